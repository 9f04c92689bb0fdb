#!/usr/bin/env bash
# usage: scripts/run-tsan.sh [-j JOBS]     (default: all cores)
# The suite under ThreadSanitizer: builds the tree in build/tsan with
# -fsanitize=thread and runs every test but the slow-labelled ones there,
# among them the end-to-end runs in which the soundtrack's box stays up while
# F1 replaces the window (e2e.music-box-*). Any report fails the run.
# Reports inside libraries that are not built with the sanitizer (Mesa, SDL,
# X) are suppressed by tests/support/tsan.supp, each line with its reason.
if [ "${1:-}" = --help ] || [ "${1:-}" = -h ]; then
  # The comment above, without its "# ".
  sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$0"
  exit 0
fi
set -eu -o pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
case ${1:-} in
  -j) jobs=$2 ;;
  "") ;;
  *) echo "run-tsan: unknown option $1 (see --help)" >&2; exit 2 ;;
esac

flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread \
  -DQEB_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/tsan -j "$jobs"

# Death tests re-run the test program instead of forking a process that may
# already have threads, which ThreadSanitizer does not follow.
export GTEST_DEATH_TEST_STYLE=threadsafe
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 second_deadlock_stack=1 suppressions=$PWD/tests/support/tsan.supp"
(cd build/tsan && ctest --output-on-failure -j "$jobs" -LE slow) | tee build/tsan/ctest.log
