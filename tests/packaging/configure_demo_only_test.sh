#!/usr/bin/env bash
# Configuring with the optional parts off asks only for the demo's own
# libraries: GoogleTest, Google Benchmark, Xlib and stb are hidden from CMake
# and pkg-config, and the configuration must still succeed.
#   configure_demo_only_test.sh SOURCE_DIR
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A pkg-config search path that holds only the demo's own modules.
mkdir -p "$work/pkgconfig"
for module in libmpg123 lame; do
  folder=$(pkg-config --variable=pcfiledir "$module") || { echo "FAILED: pkg-config has no $module"; exit 1; }
  ln -s "$folder/$module.pc" "$work/pkgconfig/"
done
if ! PKG_CONFIG_LIBDIR=$work/pkgconfig PKG_CONFIG_PATH='' cmake -S "$source_dir" -B "$work/build" \
    -DQEB_BUILD_TESTS=OFF -DQEB_BUILD_BENCHMARKS=OFF -DQEB_BUILD_FUZZERS=OFF -DQEB_BUILD_TOOLS=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON >"$work/configure.log" 2>&1; then
  cat "$work/configure.log"
  echo "FAILED: configuring the demo alone"
  exit 1
fi
# The demo, its data tool and the package are there; the tests are not.
targets=$(cmake --build "$work/build" --target help)
for target in qeb qeb-datagen qeb-icons qeb_default_data package; do
  grep -q "\.\.\. $target\$" <<<"$targets" || { echo "FAILED: no target $target"; exit 1; }
done
if grep -q '\.\.\. datagen_tests$' <<<"$targets"; then
  echo "FAILED: test targets configured with QEB_BUILD_TESTS=OFF"
  exit 1
fi
echo "the demo alone configures"
