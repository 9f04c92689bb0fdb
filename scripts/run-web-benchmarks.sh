#!/usr/bin/env bash
# usage: scripts/run-web-benchmarks.sh [REPETITIONS]
# The browser page's figures beside the Linux build's, in one run, in
# headless Chromium (tests/web's puppeteer-core) on a page served from
# 127.0.0.1 (bench/web/page_bench.js):
#   1. time to first frame: navigation to frame 1 under the cover, against
#      exec of the Linux build to its first frame (qeb-render-frames, on one
#      Xvfb 640x480x24 for the whole run), REPETITIONS pairs (default 10);
#   2. page weight: every file the page downloads, and each one's size under
#      gzip -9 and brotli -q 11, as a server would send them compressed;
#   3. pace: one whole show (about four minutes) after the start click: the
#      median time between the demo's frames against the page's
#      animation-frame period.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu -o pipefail
cd "$(dirname "$0")/.."
root=$PWD
repetitions=${1:-10}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
work=build/web-benchmarks
rm -rf "$work"
mkdir -p "$work"

scripts/make-web.sh >&2
build=build/benchmarks
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target qeb-datagen qeb-render-frames -j 2 >/dev/null
"$build/tools/datagen/qeb-datagen" "$work/data" >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error) >&2
export QEB_WEB_PAGE=build/web

echo "== time to first frame" >&2
QEB_BENCH_REPS=$repetitions QEB_NATIVE_DATA=$root/$work/data \
  QEB_NATIVE_FIRST="[\"$root/$build/tools/framegrab/qeb-render-frames\"]" \
  scripts/with-xvfb.sh --screen 640x480x24 -- node bench/web/page_bench.js first

echo "== page weight (bytes: over the wire, file, gzip -9, brotli -q 11)" >&2
node bench/web/page_bench.js weight >"$work/weight.txt"
total=(0 0 0 0)
while read -r file wire; do
  bytes=$(wc -c <"build/web/$file")
  gz=$(gzip -9 -c "build/web/$file" | wc -c)
  br=$(brotli -q 11 -c "build/web/$file" | wc -c)
  echo "weight: $file $wire $bytes $gz $br"
  total=($((total[0] + wire)) $((total[1] + bytes)) $((total[2] + gz)) $((total[3] + br)))
done <"$work/weight.txt"
echo "weight: all ${total[*]}"

echo "== pace over a whole show" >&2
node bench/web/page_bench.js pace
