#!/usr/bin/env bash
# The CPU cost of one DrawFrame up to the GL calls, side by side: native on
# the GL recorder (the reference), native on the browser's GL layer, and the
# same layer as wasm under node. Runs the three in turn, several times, and
# prints the median of each and the ratios.
#   bench/webgl/run-frame-cost-bench.sh [native build dir] [wasm build dir] [runs]
# The wasm build directory is configured here with emcmake if it is missing.
set -eu
cd "$(dirname "$0")/../.."
native=${1:-build/release}
wasm=${2:-build/wasm}
runs=${3:-5}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

cmake -S . -B "$native" >/dev/null
cmake --build "$native" --target qeb_frame_cost_recorder qeb_frame_cost_layer -j2 >/dev/null
[ -f "$wasm/CMakeCache.txt" ] || emcmake cmake -S . -B "$wasm" -DCMAKE_BUILD_TYPE=Release >/dev/null
libraries=(qeb_render qeb_image qeb_clock qeb_scene qeb_platform_files qeb_platform_message_box qeb_platform_webgl)
cmake --build "$wasm" --target "${libraries[@]}" -j2 >/dev/null
# Benchmarks are not part of the wasm build's configuration: the program is
# linked here from its libraries, with the optimisation of a release build.
mkdir -p "$wasm/bench/webgl"
archives=()
for library in "${libraries[@]}"; do archives+=("$(find "$wasm/src" -name "lib$library.a" | head -n 1)"); done
em++ -std=c++20 -O3 -DNDEBUG -Isrc -Ibench/webgl bench/webgl/frame_cost.cpp bench/webgl/frame_end_layer.cpp \
  "${archives[@]}" "${archives[@]}" -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1 -o "$wasm/bench/webgl/qeb_frame_cost.js"

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for _ in $(seq "$runs"); do
  "$native/bench/webgl/qeb_frame_cost_recorder" >>"$results"
  "$native/bench/webgl/qeb_frame_cost_layer" >>"$results"
  node --no-experimental-fetch "$wasm/bench/webgl/qeb_frame_cost.js" >>"$results"
done
awk '
  { times[$1] = times[$1] " " $2 }
  function median(list,   values, n, i, j, t) {
    n = split(list, values, " ")
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (values[j] + 0 < values[i] + 0) { t = values[i]; values[i] = values[j]; values[j] = t }
    return values[int((n + 1) / 2)]
  }
  END {
    recorder = median(times["recorder-native"]); layer = median(times["layer-native"]); wasm = median(times["layer-wasm"])
    printf "microseconds per frame (median of runs):\n"
    printf "  native, GL recorder   %9.1f   (runs:%s)\n", recorder, times["recorder-native"]
    printf "  native, GL layer      %9.1f   (runs:%s)\n", layer, times["layer-native"]
    printf "  wasm,   GL layer      %9.1f   (runs:%s)\n", wasm, times["layer-wasm"]
    printf "wasm layer / native recorder: %.2f\n", wasm / recorder
    printf "wasm layer / native layer:    %.2f\n", wasm / layer
  }' "$results"
