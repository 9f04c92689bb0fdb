#!/usr/bin/env bash
# usage: scripts/run-windows-tests.sh [--no-install] [--build-dir DIR]
# Cross-builds Qeb for 64-bit Windows with MinGW-w64 and runs its tests under
# Wine on private Xvfb displays: the shared unit suites, the Win32 back-end's
# own tests, and end-to-end runs of qeb.exe. Checks that qeb.exe imports only
# DLLs that come with Windows.
#   --no-install   do not install missing packages (scripts/install-deps.sh)
#   --build-dir    the build folder (default build/windows); its wine/
#                  folder holds the private Wine prefix and HOME
usage() { sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; }
if [ "${1:-}" = --help ]; then usage; exit 0; fi
set -eu -o pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Inside one display session (run by scripts/with-xvfb.sh): a persistent
# wineserver for the whole run, so each program starts in a fraction of a
# second, and Wine's own services started once with their output elsewhere.
if [ "${1:-}" = --in-session ]; then
  build=$2
  shift 2
  export WINEPREFIX=$build/wine/prefix
  wineserver=$(dpkg -L wine64 | grep -m1 '/wineserver64$')
  # The server starts in the prefix's folder; Wine fills an empty one.
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p
  "$build/wine-run" cmd /c exit 0 >/dev/null 2>&1 || true
  status=0
  (cd "$build" && ctest --output-on-failure "$@") || status=$?
  "$wineserver" -k || true
  exit $status
fi

install=1
build=build/windows
while [ $# -gt 0 ]; do
  case $1 in
    --no-install) install=0 ;;
    --build-dir) build=$2; shift ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done
build=$(realpath -m "$build")

[ $install = 1 ] && scripts/install-deps.sh test

nice -n 10 cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
nice -n 10 cmake --build "$build" -j2

# qeb.exe may import only what every Windows has.
exe=$build/src/shell/qeb.exe
allowed='^(KERNEL32|USER32|GDI32|OPENGL32|GLU32|WINMM|MSACM32|msvcrt)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
echo "qeb.exe imports: $(echo $imports)"
if echo "$imports" | grep -Eiv "$allowed"; then
  echo "qeb.exe imports a DLL that Windows does not carry (above)" >&2
  exit 1
fi

status=0
scripts/with-xvfb.sh --screen 640x480x16 -- "$0" --in-session "$build" -LE screen-1024x768 || status=1
scripts/with-xvfb.sh --screen 1024x768x24 -- "$0" --in-session "$build" -L screen-1024x768 || status=1
[ $status = 0 ] && echo "Windows tests passed"
exit $status
