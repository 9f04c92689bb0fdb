#!/usr/bin/env bash
# Builds and runs the renderer benchmark on a private 640x480x16 Xvfb.
#   bench/render/run-draw-frame-bench.sh [build directory] [benchmark flags...]
set -eu
cd "$(dirname "$0")/../.."
build=${1:-build/render}
shift || true
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target qeb_render_bench -j2
# Interleaved repetitions: DrawFrame and its references run side by side.
scripts/with-xvfb.sh --screen 640x480x16 -- "$build/bench/render/qeb_render_bench" --benchmark_repetitions=10 \
  --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true --benchmark_color=false "$@"
