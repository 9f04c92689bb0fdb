#!/usr/bin/env bash
# usage: scripts/run-fuzzers.sh [SECONDS]
# Runs every libFuzzer target briefly:  scripts/run-fuzzers.sh [SECONDS]  (default 20)
#
# Builds the targets with clang in build/fuzz, libraries instrumented and
# AddressSanitizer + UndefinedBehaviorSanitizer on, then runs each executable
# named fuzz_* found there for SECONDS. A target fuzz_<name> starts from the
# seeds in fuzz/<name>/corpus (when that folder exists); what it discovers goes
# to build/fuzz/corpus/<name>, crashes to build/fuzz/artifacts/. To add a
# target, make it with qeb_add_fuzz_target in fuzz/<name>/CMakeLists.txt.
# Fails when any target finds a crash, a leak or an input slower than 10 s.
# QEB_FUZZ_BUILD names another build directory (scripts/fuzz-long.sh uses one
# of its own, so that long runs and short runs do not share logs).
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${QEB_FUZZ_BUILD:-build/fuzz}

instrument="-fsanitize=fuzzer-no-link"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQEB_BUILD_FUZZERS=ON -DQEB_SANITIZE=ON -DQEB_BUILD_TESTS=OFF -DQEB_BUILD_TOOLS=ON \
  -DCMAKE_C_FLAGS="$instrument" -DCMAKE_CXX_FLAGS="$instrument" >/dev/null
cmake --build "$build" --target qeb_fuzz_targets -j "$(nproc)"

mkdir -p "$build/artifacts"
failed=0
targets=$(find "$build" -type f -executable -name 'fuzz_*' | sort)
for target in $targets; do
  name=$(basename "$target")
  name=${name#fuzz_}
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/$name/corpus" ] && seeds=("fuzz/$name/corpus")
  echo "== fuzz_$name for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" -timeout=10 \
      -artifact_prefix="$build/artifacts/${name}-" -print_final_stats=1 \
      "$corpus" "${seeds[@]}" 2> "$build/fuzz_$name.log"; then
    echo "fuzz_$name FAILED; log: $build/fuzz_$name.log"
    tail -n 40 "$build/fuzz_$name.log"
    failed=1
  else
    grep -E '^stat::number_of_executed_units' "$build/fuzz_$name.log" || true
  fi
done
if [ -z "$targets" ]; then echo "No fuzz targets found in $build"; fi
exit $failed
