#!/usr/bin/env bash
# usage: scripts/run-tests.sh
# Installs what is missing (with sudo when not run as root: it says so
# first), then builds and runs every test, headless:
#   1. the suite on an optimised build,
#   2. the suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
#   3. the suite again under ThreadSanitizer (scripts/run-tsan.sh),
#   4. a short run of each fuzz target (clang's libFuzzer),
#   5. the Windows build, cross-built with MinGW-w64, and its tests under Wine
#      (scripts/run-windows-tests.sh),
#   6. the browser build: its unit tests under node and the page in headless
#      Chromium (scripts/run-web-tests.sh).
if [ "${1:-}" = --help ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu -o pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
scripts/check-format.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$jobs"
(cd build/release && ctest --output-on-failure -j "$jobs") | tee build/release/ctest.log

cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQEB_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs" -LE slow) |
  tee build/asan/ctest.log

scripts/run-tsan.sh -j "$jobs"

if [ -x scripts/run-fuzzers.sh ] && command -v clang++ >/dev/null; then
  scripts/run-fuzzers.sh 20
fi

scripts/run-windows-tests.sh --no-install | tee build/windows-tests.log

scripts/run-web-tests.sh --no-install | tee build/web-tests.log

# Any failure has ended the script above; what is left is the count.
total=$(grep -ho 'tests failed out of [0-9]*' build/release/ctest.log build/asan/ctest.log build/tsan/ctest.log build/windows-tests.log build/web-tests.log | awk '{sum += $5} END {print sum}')
browser=$(sed -n 's/^browser tests: \([0-9]*\) passed.*/\1/p' build/web-tests.log)
echo "tests: $((total + browser)) passed, 0 failed"
