#!/usr/bin/env bash
# usage: scripts/run-demo.sh
# Installs what building and running the demo needs (with sudo when not run
# as root: it says so first), builds Qeb in Release, installs it with its
# default data into build/demo and shows it with build/demo/games/qeb, which
# also watches the show again later without rebuilding. It starts full
# screen; F1 switches between full screen and a window at any time.
#
# Without a display (no DISPLAY), the demo runs on a private Xvfb; without a
# sound card, on SDL's silent audio driver. The demo's exit code is this
# script's, explained when it is not 0.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
if [ $# -gt 0 ]; then
  echo "run-demo: unknown argument '$1' (usage: scripts/run-demo.sh)" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh demo
build=build/demo-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQEB_BUILD_TESTS=OFF -DQEB_BUILD_BENCHMARKS=OFF \
  -DQEB_BUILD_FUZZERS=OFF -DQEB_BUILD_TOOLS=OFF -DQEB_INSTALL_BINDIR=games >/dev/null
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --prefix "$root/build/demo" >/dev/null
qeb=$root/build/demo/games/qeb

# What the demo's exit code says.
explain() {
  case $1 in
    0) ;;
    1) echo "The demo ended with exit code 1: a fatal soundtrack error (its message said which)." ;;
    2) echo "The launcher ended with exit code 2: it was given no data to show (see above)." ;;
    27) echo "The demo ended with exit code 27: Escape was pressed." ;;
    127) echo "The launcher ended with exit code 127: the demo is not installed (see above)." ;;
    *)
      if [ "$1" -gt 128 ]; then
        echo "The demo was ended by signal $(($1 - 128)) ($(kill -l "$1" 2>/dev/null || echo unknown))."
      else
        echo "The demo ended with exit code $1: the virtual-key code of the last key pressed."
      fi ;;
  esac
}

# A sound card, or a sound server's socket, means there is somewhere to play.
has_sound() {
  local runtime=${XDG_RUNTIME_DIR:-/nonexistent}
  [ -e /dev/snd ] || [ -S "$runtime/pulse/native" ] || [ -S "$runtime/pipewire-0" ]
}
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! has_sound; then
  export SDL_AUDIODRIVER=dummy
fi
echo "To watch it again later: $qeb" >&2
status=0
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: the demo runs on a private Xvfb (about a minute and a half), unseen." >&2
  scripts/with-xvfb.sh "$qeb" || status=$?
else
  "$qeb" || status=$?
fi
explain "$status" >&2
exit $status
