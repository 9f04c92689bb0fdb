#!/usr/bin/env bash
# usage: scripts/render-frames.sh [TICK:NAME ...]
# Renders chosen moments of the demo with its default data into PNG files in
# docs/images/, headless, on a private Xvfb:
#   scripts/render-frames.sh [TICK:NAME[:blend] ...]
# Each TICK (a value of the demo clock, 0..19400) becomes docs/images/NAME.png;
# with ":blend" it is drawn in the look the B key toggles.
# Without arguments, the pictures the README and docs/data.md show are
# rendered again.
#
# The screen is 24 bits deep: today's displays grant the demo's 640x480 at
# their own depth, which is what a viewer sees.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=build/render-frames
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target qeb-datagen qeb-render-frames -j "$(nproc)"

if [ $# -eq 0 ]; then
  set -- 900:opening 3000:countdown 8500:rocket 17600:tree 13400:blended:blend
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/datagen/qeb-datagen" "$work"

mkdir -p docs/images
requests=()
for pair in "$@"; do
  name=${pair#*:}
  suffix=""
  case "$name" in *:blend) name=${name%:blend} suffix=":blend" ;; esac
  requests+=("${pair%%:*}:$root/docs/images/$name.png$suffix")
done
cd "$work"
"$root/scripts/with-xvfb.sh" --screen 640x480x24 -- "$root/$build/tools/framegrab/qeb-render-frames" "${requests[@]}"
