#!/usr/bin/env bash
# usage: scripts/run-benchmarks.sh [REPETITIONS]
# Builds Qeb in Release (build/benchmarks) and runs every benchmark under
# bench/ on a private Xvfb (640x480x16, SDL's silent audio), then prints one
# table of ratios, each as min/median/max over the repetitions:
#   scripts/run-benchmarks.sh [REPETITIONS]      (default 10)
# Every executable named *_bench that bench/ builds is run with Google
# Benchmark's random interleaving: each repetition runs every benchmark of
# the program once, in a new random order, so a subject and its references
# are timed side by side rather than minutes apart. Raw results go to
# build/benchmarks/results/<name>.json. In each program the first benchmark
# of a group (same argument, such as /24) is the one measured and the others
# are its references: each ratio is taken within one repetition (subject
# over reference, wall clock and CPU). A benchmark that reports counters
# named ratio_* is shown by those instead, one value per repetition.
# The start-up is timed as the demo pays it, once per fresh process: the
# texture loading and its baseline (qeb_startup_once) run alternately,
# REPETITIONS times each, and each pair gives one ratio.
# Last, the peak resident memory of the real demo's start-up, with the
# default data and with a single picture.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
repetitions=${1:-10}
build=build/benchmarks
results=$root/$build/results

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
benches=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([A-Za-z0-9_]*_bench\)$/\1/p' | sort)
[ -n "$benches" ] || { echo "no benchmarks found (is Google Benchmark installed?)"; exit 1; }
# shellcheck disable=SC2086
cmake --build "$build" --target $benches qeb_startup_once demo_runner x_input qeb-datagen -j2 >/dev/null
mkdir -p "$results"
rm -f "$results"/*.json "$results"/*.txt

for bench in $benches; do
  program=$(find "$build/bench" -type f -executable -name "$bench" | head -n 1)
  echo "== $bench" >&2
  SDL_AUDIODRIVER=dummy scripts/with-xvfb.sh --screen 640x480x16 -- "$program" \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_display_aggregates_only=true --benchmark_out="$results/$bench.json" \
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

# One-shot start-ups in fresh processes, the order swapped every pair so that
# neither side always runs first.
start_up_pairs() {
  local once=$1 count=$2 i
  cd "$data/full"
  for i in $(seq "$count"); do
    if [ $((i % 2)) -eq 1 ]; then
      echo "$("$once" load) $("$once" baseline)"
    else
      local baseline
      baseline=$("$once" baseline)
      echo "$("$once" load) $baseline"
    fi
  done
}
export -f start_up_pairs
echo "== qeb_startup_once" >&2
data=$data scripts/with-xvfb.sh --screen 640x480x16 -- bash -c \
  "start_up_pairs '$root/$build/bench/startup/qeb_startup_once' $repetitions" >"$results/startup_once.txt"
mkdir -p "$data/one/Data" && cp "$data/full/Data/begin.bmp" "$data/full/Data/demo.mp3" "$data/one/Data/"
memory=$(root=$root build=$build scripts/with-xvfb.sh --screen 640x480x16 -- bash -c \
  "echo \$(peak_of_start_up $data/full) \$(peak_of_start_up $data/one)")

# shellcheck disable=SC2086
scripts/benchmark-ratios.py "$results" $memory
