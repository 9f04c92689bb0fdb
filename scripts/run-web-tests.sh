#!/usr/bin/env bash
# usage: scripts/run-web-tests.sh [--no-install]
# Builds the browser page and tests it, headless:
#   1. the page with the default data (scripts/make-web.sh, into build/web),
#      two pages with broken data sets (no soundtrack, no pictures) and one
#      whose soundtrack is too long to decode in a page (40 minutes at
#      8 kbit/s, encoded by lame);
#   2. the WebAssembly unit tests under node (ctest in build/wasm-tests):
#      the shared suites that need no window and the GL layer's own tests;
#   3. the page in headless Chromium (tests/web, node's test runner and
#      puppeteer-core, installed with `npm ci`; it downloads no browser),
#      against frames the Linux build draws for the same ticks.
# Pictures the browser tests took are left in build/web-tests/artifacts.
#   --no-install   do not install missing packages (scripts/install-deps.sh)
usage() { sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; }
if [ "${1:-}" = --help ]; then usage; exit 0; fi
set -eu -o pipefail
cd "$(dirname "$0")/.."
root=$PWD
install=1
while [ $# -gt 0 ]; do
  case $1 in
    --no-install) install=0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
[ $install = 0 ] || scripts/install-deps.sh
jobs=$(nproc)
# Emscripten's optimiser finds its JavaScript parser there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
work=build/web-tests
rm -rf "$work/data" "$work/pages" "$work/artifacts" "$work/native"
mkdir -p "$work/data" "$work/pages" "$work/native"

echo "== the page" >&2
scripts/make-web.sh

# The native build writes the data sets and draws the reference frames.
native=build/release
[ -f "$native/CMakeCache.txt" ] || cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$native" --target qeb-datagen qeb-render-frames -j "$jobs" >/dev/null
"$native/tools/datagen/qeb-datagen" "$work/data/full" >/dev/null
cp -r "$work/data/full" "$work/data/no-mp3"
find "$work/data/no-mp3" -iname demo.mp3 -delete
cp -r "$work/data/full" "$work/data/no-pictures"
find "$work/data/no-pictures" -iname '*.bmp' -delete
cp -r "$work/data/full" "$work/data/long-mp3"
head -c $((8000 * 2 * 2400)) /dev/zero |
  lame --quiet -r -s 8 --bitwidth 16 --signed --little-endian -m m -b 8 - "$work/data/long-mp3/Data/demo.mp3" 2>/dev/null
for broken in no-mp3 no-pictures long-mp3; do
  echo "== the page with the data set $broken" >&2
  scripts/make-web.sh --data "$work/data/$broken" --out "$work/pages/$broken"
done

echo "== the reference frames (Linux build, llvmpipe)" >&2
frames=()
for tick in 1 900 2200 3000 8500 17600; do frames+=("$tick:$root/$work/native/tick-$tick.png"); done
frames+=("2200:$root/$work/native/tick-2200-blend.png:blend")
(cd "$work/data/full" && "$root/scripts/with-xvfb.sh" --screen 640x480x24 -- \
  "$root/$native/tools/framegrab/qeb-render-frames" "${frames[@]}")

echo "== the WebAssembly unit tests under node" >&2
wasm=build/wasm-tests
emcmake cmake -S . -B "$wasm" -DCMAKE_BUILD_TYPE=Release -DQEB_BUILD_TESTS=ON -DQEB_BUILD_BENCHMARKS=OFF \
  -DQEB_BUILD_TOOLS=OFF >/dev/null
cmake --build "$wasm" -j "$jobs"
(cd "$wasm" && ctest --output-on-failure -j "$jobs") | tee "$work/wasm-ctest.log"

echo "== the page in headless Chromium" >&2
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
export QEB_WEB_PAGE=build/web
export QEB_WEB_PAGE_NO_MP3=$work/pages/no-mp3
export QEB_WEB_PAGE_NO_PICTURES=$work/pages/no-pictures
export QEB_WEB_PAGE_LONG_MP3=$work/pages/long-mp3
export QEB_NATIVE_FRAMES=$work/native
export QEB_WEB_ARTIFACTS=$work/artifacts
# One file at a time: each drives a browser of its own, and the machine may
# have two cores.
: >"$work/chromium-tests.log"
status=0
for file in tests/web/*.test.js; do
  node --test "$file" | tee -a "$work/chromium-tests.log" || status=1
done
[ $status = 0 ] || exit 1
passed=$(awk '/^# pass / {sum += $3} END {print sum + 0}' "$work/chromium-tests.log")
echo "browser tests: $passed passed, 0 failed"
