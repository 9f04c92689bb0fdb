#!/usr/bin/env bash
# Installs what is missing, builds Qeb in Release, writes its default data
# and runs the demo from build/demo. It starts full screen; F1 switches
# between full screen and a window at any time.
#
# Without a display (no DISPLAY), the demo runs on a private Xvfb; without a
# sound card, on SDL's silent audio driver.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh demo
cmake -S . -B build/demo-release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/demo-release --target qeb qeb-datagen -j "$(nproc)"

rundir=build/demo
mkdir -p "$rundir"
build/demo-release/tools/datagen/qeb-datagen "$rundir"

# A sound card, or a sound server's socket, means there is somewhere to play.
has_sound() {
  local runtime=${XDG_RUNTIME_DIR:-/nonexistent}
  [ -e /dev/snd ] || [ -S "$runtime/pulse/native" ] || [ -S "$runtime/pipewire-0" ]
}
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! has_sound; then
  export SDL_AUDIODRIVER=dummy
fi
qeb=$(pwd)/build/demo-release/src/shell/qeb
cd "$rundir"
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: the demo runs on a private Xvfb (about a minute and a half), unseen." >&2
  status=0
  ../../scripts/with-xvfb.sh "$qeb" || status=$?
  echo "The demo ended with exit code $status." >&2
  exit $status
fi
exec "$qeb"
