#!/usr/bin/env bash
# The suite under ThreadSanitizer: builds the tree in build/tsan with
# -fsanitize=thread and runs every test but the slow-labelled ones there,
# among them the end-to-end runs in which the soundtrack's box stays up while
# F1 replaces the window (e2e.music-box-*). Any report fails the run.
# Reports inside libraries that are not built with the sanitizer (Mesa, SDL,
# X) are suppressed by tests/support/tsan.supp, each line with its reason.
#   scripts/run-tsan.sh [-j JOBS]     (default: all cores)
#   scripts/run-tsan.sh --help
set -eu -o pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
case ${1:-} in
  --help | -h)
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
    exit 0 ;;
  -j) jobs=$2 ;;
  "") ;;
  *) echo "run-tsan: unknown option $1 (see --help)" >&2; exit 2 ;;
esac

flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build build/tsan -j "$jobs"

# Death tests re-run the test program instead of forking a process that may
# already have threads, which ThreadSanitizer does not follow.
export GTEST_DEATH_TEST_STYLE=threadsafe
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$PWD/tests/support/tsan.supp"
(cd build/tsan && ctest --output-on-failure -j "$jobs" -LE slow) | tee build/tsan/ctest.log
