#!/usr/bin/env bash
# Installs what is missing, builds Qeb in Release, writes its default data
# and runs the demo from build/demo. It starts full screen; F1 switches
# between full screen and a window at any time.
#
# Without a display (no DISPLAY), the demo runs on a private Xvfb; without a
# sound card, on SDL's silent audio driver.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/demo-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/demo-release -j "$(nproc)"

rundir=build/demo
mkdir -p "$rundir"
if [ -x build/demo-release/tools/datagen/qeb-datagen ]; then
  build/demo-release/tools/datagen/qeb-datagen "$rundir"
fi

if [ ! -e /dev/snd ] && [ -z "${SDL_AUDIODRIVER:-}" ] && ! pgrep -x -q 'pulseaudio|pipewire'; then
  export SDL_AUDIODRIVER=dummy
fi
qeb=$(pwd)/build/demo-release/src/shell/qeb
cd "$rundir"
if [ -z "${DISPLAY:-}" ]; then
  exec ../../scripts/with-xvfb.sh "$qeb"
fi
exec "$qeb"
