#!/usr/bin/env bash
# Installs (as root, with apt-get) whatever Qeb needs that is not on the
# machine yet: `demo` what building and running the demo needs, `test`
# (the default) everything the test command needs as well.
set -eu
# Building the demo and writing its default data.
demo_packages=(
  build-essential cmake pkg-config
  libsdl2-dev libmpg123-dev libgl-dev libgl1-mesa-dri libglu1-mesa-dev
  lame libmp3lame-dev
  xvfb xauth
)
# The tests, benchmarks, fuzzers and checks on top of that.
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxtst-dev x11-utils
  clang libclang-rt-14-dev clang-format
  libstb-dev
  python3 time
  # The Windows cross build, its tests under Wine, its MP3 fixtures and its zip.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 xdotool mpg123 zip
)
packages=("${demo_packages[@]}")
[ "${1:-test}" = demo ] || packages+=("${test_packages[@]}")
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
