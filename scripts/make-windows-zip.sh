#!/usr/bin/env bash
# usage: scripts/make-windows-zip.sh [--no-install] [ZIP]
# Makes the Windows release: a zip with qeb.exe, the default data beside it
# and a short readme, in build/qeb-windows.zip (or the path given).
# qeb.exe is cross-built with MinGW-w64 (build/windows-release). The data
# tool needs lame and runs on this machine: it is brought up to date in a
# Linux build of nothing but the demo and the data tool (build/datagen).
if [ "${1:-}" = --help ]; then sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"; exit 0; fi
set -eu -o pipefail
cd "$(dirname "$0")/.."
root=$PWD
install=1
zip_path=build/qeb-windows.zip
while [ $# -gt 0 ]; do
  case $1 in
    --no-install) install=0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) zip_path=$1 ;;
  esac
  shift
done
zip_path=$(realpath -m "$zip_path")
[ $install = 1 ] && scripts/install-deps.sh test

# The data tool, native, built from this tree's sources: the data set is
# whatever this version of it writes. Without the tests, benchmarks and
# other tools the build needs no GoogleTest, stb or FFmpeg.
nice -n 10 cmake -S . -B build/datagen -DCMAKE_BUILD_TYPE=Release \
  -DQEB_BUILD_TESTS=OFF -DQEB_BUILD_BENCHMARKS=OFF -DQEB_BUILD_TOOLS=OFF >/dev/null
nice -n 10 cmake --build build/datagen --target qeb-datagen -j2
datagen=build/datagen/tools/datagen/qeb-datagen

# qeb.exe, cross-built without tests.
nice -n 10 cmake -S . -B build/windows-release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DQEB_BUILD_TESTS=OFF >/dev/null
nice -n 10 cmake --build build/windows-release --target qeb -j2

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
folder=$staging/Qeb
mkdir -p "$folder"
cp build/windows-release/src/shell/qeb.exe "$folder/"
x86_64-w64-mingw32-strip "$folder/qeb.exe"
"$datagen" "$folder"
cat >"$folder/README.txt" <<'TEXT'
Qeb - a self-running real-time 3D demo

Run qeb.exe from this folder: it reads its pictures, scene files and
soundtrack from the Data folder beside it. It starts full screen at
640x480 (a display without that mode offers a window instead) and ends by
itself after about four minutes.

Keys: Escape ends it, F1 switches between full screen and a window, the
arrow keys walk and turn, B toggles a blended look.

Needs Windows 7 or later with an OpenGL driver and a sound device; nothing
else is installed. Built with MinGW-w64 and tested under Wine on Linux; it
has not been tried on a real Windows machine.
TEXT
sed -i 's/$/\r/' "$folder/README.txt"
rm -f "$zip_path"
mkdir -p "$(dirname "$zip_path")"
(cd "$staging" && zip -q -r -X "$zip_path" Qeb)
echo "$zip_path: $(du -h "$zip_path" | cut -f1)"
