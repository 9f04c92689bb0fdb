#!/usr/bin/env bash
# usage: scripts/fuzz-long.sh [SECONDS]
# Runs every libFuzzer target for a long time, one after the other:
#   scripts/fuzz-long.sh [SECONDS]  (default 600, ten minutes per target)
# Same targets, sanitizers and failure rules as the short runs of the test
# command (scripts/run-fuzzers.sh), in a build directory of its own,
# build/fuzz-long; each target's log stays in build/fuzz-long/fuzz_<name>.log.
# Ends with one line per target: executions, corpus size, peak memory.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -u
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=build/fuzz-long
QEB_FUZZ_BUILD=$build scripts/run-fuzzers.sh "$seconds"
status=$?

echo "== summary (${seconds}s per target)"
for log in "$build"/fuzz_*.log; do
  [ -e "$log" ] || continue
  name=$(basename "$log" .log)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log")
  corpus=$(find "$build/corpus/${name#fuzz_}" -type f | wc -l)
  echo "$name: ${runs:-?} runs, corpus $corpus files, peak RSS ${rss:-?} MB"
done
[ $status = 0 ] && echo "fuzz-long: no crash, leak or slow input" || echo "fuzz-long: FAILED (see the logs above)"
exit $status
