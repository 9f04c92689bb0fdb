#!/usr/bin/env bash
# Builds qeb-capture-bench and the data tool, writes the default data set
# and times the whole show's capture (640x480, default MP4) against the same
# frames only rendered, headless (no display needed).
#   bench/capture/run-capture-bench.sh [build directory] [capture options...]
set -eu
# The build directory as the caller names it (relative to the caller's
# folder, or absolute), before the script moves to the project's root.
build=$(realpath -m "${1:-$(dirname "$0")/../../build/release}")
cd "$(dirname "$0")/../.."
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target qeb-capture-bench qeb-datagen -j2 >/dev/null
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
"$build/tools/datagen/qeb-datagen" "$data" >/dev/null
bench=$build/bench/capture/qeb-capture-bench
cd "$data" && "$bench" "$@"
