#!/usr/bin/env bash
# usage: scripts/run-benchmarks.sh [REPETITIONS]
# Builds Qeb in Release (build/benchmarks) and runs every benchmark under
# bench/ on a private Xvfb (640x480x16, SDL's silent audio), then prints one
# table of ratios, each measured within one run of one benchmark program:
#   scripts/run-benchmarks.sh [REPETITIONS]      (default 5; medians are used)
# Every executable named *_bench that bench/ builds is run; its raw results
# go to build/benchmarks/results/<name>.json. In each program the first
# benchmark of a group (same argument, such as /24) is the one measured and
# the others are its references: each row gives its median time over theirs,
# wall clock and CPU. A benchmark that reports counters named ratio_* is
# shown by those instead. Last, the peak resident memory of the real demo's
# start-up, with the default data and with a single picture.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
repetitions=${1:-5}
build=build/benchmarks
results=$root/$build/results

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
benches=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([A-Za-z0-9_]*_bench\)$/\1/p' | sort)
[ -n "$benches" ] || { echo "no benchmarks found (is Google Benchmark installed?)"; exit 1; }
# shellcheck disable=SC2086
cmake --build "$build" --target $benches demo_runner x_input qeb-datagen -j2 >/dev/null
mkdir -p "$results"

for bench in $benches; do
  program=$(find "$build/bench" -type f -executable -name "$bench" | head -n 1)
  echo "== $bench" >&2
  scripts/with-xvfb.sh --screen 640x480x16 -- "$program" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_out="$results/$bench.json" \
    --benchmark_out_format=json --benchmark_format=console --benchmark_color=false >&2
done

# Peak resident memory (KB) of the demo from start until its first frames:
# it is ended with Escape as soon as its window shows.
peak_of_start_up() {
  local dir=$1 peak
  (cd "$dir" && exec /usr/bin/time -f '%M' -o "$dir/peak.txt" "$root/$build/tests/e2e/demo_runner") 2>/dev/null &
  local demo=$!
  if "$root/$build/tests/e2e/x_input" wait-window Qeb 60 >/dev/null 2>&1; then
    for _ in $(seq 20); do
      sleep 0.5
      kill -0 $demo 2>/dev/null || break
      "$root/$build/tests/e2e/x_input" key Escape
    done
  fi
  wait $demo || true
  peak=$(tail -n 1 "$dir/peak.txt" 2>/dev/null)
  echo "${peak:-?}"
}
export -f peak_of_start_up
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/tools/datagen/qeb-datagen" "$data/full" >/dev/null
mkdir -p "$data/one/Data" && cp "$data/full/Data/begin.bmp" "$data/full/Data/demo.mp3" "$data/one/Data/"
memory=$(root=$root build=$build scripts/with-xvfb.sh --screen 640x480x16 -- bash -c \
  "echo \$(peak_of_start_up $data/full) \$(peak_of_start_up $data/one)")

python3 - "$results" "$memory" <<'PY'
import json, os, re, sys
results, memory = sys.argv[1], sys.argv[2].split()
rows = []
for name in sorted(os.listdir(results)):
    with open(os.path.join(results, name)) as f:
        runs = [b for b in json.load(f)["benchmarks"] if b.get("aggregate_name") == "median"]
    program = name[:-len(".json")]
    ratios = [(b, k, v) for b in runs for k, v in b.items() if k.startswith("ratio")]
    if ratios:
        for b, key, value in ratios:
            rows.append((program, b["run_name"], key, f"{value:.2f}", ""))
        continue
    groups = {}
    for b in runs:
        base, _, argument = b["run_name"].partition("/")
        groups.setdefault(argument, []).append(b)
    for argument, group in groups.items():
        subject = group[0]
        for other in group[1:]:
            rows.append((program, subject["run_name"], "vs " + other["run_name"],
                         f"{subject['real_time'] / other['real_time']:.2f}",
                         f"{subject['cpu_time'] / other['cpu_time']:.2f}"))
widths = [max(len(r[i]) for r in rows + [("program", "measured", "against", "wall", "CPU")]) for i in range(5)]
line = lambda r: "  ".join(c.ljust(w) for c, w in zip(r, widths))
print(line(("program", "measured", "against", "wall", "CPU")))
for r in rows:
    print(line(r))
if len(memory) == 2 and all(m.isdigit() for m in memory):
    full, one = map(int, memory)
    print(f"\npeak resident memory of a start-up: {full} KB with 127 pictures, {one} KB with one;"
          f" {(full - one) / 126:.0f} KB more per picture")
else:
    print("\npeak resident memory of a start-up: not measured", memory)
PY
