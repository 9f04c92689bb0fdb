#!/usr/bin/env bash
# Installs (as root, with apt-get) whatever Qeb needs to build, run and test
# that is not on the machine yet.
set -eu
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libmpg123-dev libgl-dev libgl1-mesa-dri libglu1-mesa-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libx11-dev libxtst-dev x11-utils
  lame libmp3lame-dev
  clang libclang-rt-14-dev clang-format
  libstb-dev
  python3 time
)
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
