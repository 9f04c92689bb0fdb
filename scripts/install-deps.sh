#!/usr/bin/env bash
# usage: scripts/install-deps.sh [demo|test]
# Installs with apt-get whatever Qeb needs that is not on the machine yet:
# `demo` what building and running the demo needs, `test` (the default)
# everything the test command needs as well. Run by a user other than root,
# it installs through sudo and says so first. Without apt-get, it lists the
# packages to install and stops with status 1.
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu
case ${1:-test} in
  demo | test) ;;
  *) echo "install-deps: unknown set '$1' (usage: scripts/install-deps.sh [demo|test])" >&2; exit 2 ;;
esac
# Building the demo and writing its default data and icons.
demo_packages=(
  build-essential cmake pkg-config
  libsdl2-dev libmpg123-dev libgl-dev libgl1-mesa-dri libglu1-mesa-dev
  lame libmp3lame-dev
  libpng-dev
  xvfb xauth
)
# The tests, benchmarks, fuzzers and checks on top of that.
test_packages=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxtst-dev x11-utils
  # The F1 soak test counts what the X server's clients hold (X-Resource).
  libxres-dev
  clang libclang-rt-14-dev clang-format
  libstb-dev
  # qeb-capture: headless GL (EGL, surfaceless) and FFmpeg's libraries
  libegl-dev libegl-mesa0 libavformat-dev libavcodec-dev libavfilter-dev libavutil-dev libswscale-dev libswresample-dev
  # qeb-make: its titles, drawn with FreeType in a font fontconfig finds
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  python3 time
  # The package's checks: its desktop entry, AppStream data and lintian.
  desktop-file-utils appstream lintian
  # The Windows cross build, its tests under Wine, its MP3 fixtures and its zip.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine wine64 xdotool mpg123 zip
  # The demo under a Wayland compositor (Weston on Xvfb, with XWayland), and
  # SDL's message box there.
  weston xwayland zenity
  # The browser build, its tests under node and in headless Chromium, and
  # the page's compressed weight.
  emscripten nodejs chromium brotli
)
packages=("${demo_packages[@]}")
if [ "${1:-test}" = test ]; then
  packages+=("${test_packages[@]}")
  # npm comes with Debian's nodejs as a package of its own, and inside other
  # builds of nodejs, which conflict with that package.
  command -v npm >/dev/null 2>&1 || packages+=(npm)
fi

missing=()
if command -v dpkg-query >/dev/null 2>&1; then
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
else
  missing=("${packages[@]}")
fi
[ ${#missing[@]} -gt 0 ] || exit 0

if ! command -v apt-get >/dev/null 2>&1; then
  {
    echo "install-deps: apt-get was not found, so nothing was installed."
    echo "Qeb needs these Debian packages (docs/install.md names them on Fedora and Arch);"
    echo "install them or their equivalents, then run this again:"
    printf '  %s\n' "${missing[@]}"
  } >&2
  exit 1
fi
as_root=()
if [ "$(id -u)" != 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "install-deps: installing needs root and sudo was not found; as root, run:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "install-deps: installing ${#missing[@]} packages as root with sudo (it may ask for your password):"
  as_root=(sudo)
else
  echo "install-deps: installing ${#missing[@]} packages:"
fi
echo "  ${missing[*]}"
# apt-get's own output shows the progress: the lists fetched, each package
# downloaded, unpacked and set up.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
