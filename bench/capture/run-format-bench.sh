#!/usr/bin/env bash
# Times qeb-capture writing the same stretch of the show as MP4 (H.264 +
# AAC), WebM (VP9 + Opus) and GIF (a palette per frame), one after the other
# in each of a few rounds, and gives each format's wall-clock and processor
# time as a ratio against the MP4 of the same round. Headless, no display.
#   bench/capture/run-format-bench.sh [build directory] [rounds] [capture options...]
# Default: build/release, 2 rounds, --from 1600 --to 3400 (600 frames, 10 s at 60 fps), 640x480.
set -eu
# The build directory as the caller names it (relative to the caller's
# folder, or absolute), before the script moves to the project's root.
build=$(realpath -m "${1:-$(dirname "$0")/../../build/release}")
cd "$(dirname "$0")/../.."
rounds=${2:-2}
shift 2 || shift $# || true
[ $# -gt 0 ] || set -- --from 1600 --to 3400
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target qeb-capture qeb-datagen -j2 >/dev/null
capture=$build/tools/capture/qeb-capture
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/tools/datagen/qeb-datagen" "$data" >/dev/null
cd "$data"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores); options: $*"
TIMEFORMAT='%R %U %S'
for round in $(seq "$rounds"); do
  declare -A wall=() processor=()
  for format in mp4 webm gif; do
    times=$( { time "$capture" --force "$@" "clip.$format" >/dev/null; } 2>&1 | tail -1)
    read -r real user system <<<"$times"
    wall[$format]=$real
    processor[$format]=$(awk "BEGIN { print $user + $system }")
    size=$(stat -c %s "clip.$format")
    printf 'round %d %-4s wall %7.1f s  processor %7.1f s  %6.1f MB\n' "$round" "$format" "$real" \
      "${processor[$format]}" "$(awk "BEGIN { print $size / 1000000 }")"
  done
  for format in webm gif; do
    printf 'round %d %-4s / mp4: wall %.2f, processor %.2f\n' "$round" "$format" \
      "$(awk "BEGIN { print ${wall[$format]} / ${wall[mp4]} }")" \
      "$(awk "BEGIN { print ${processor[$format]} / ${processor[mp4]} }")"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
