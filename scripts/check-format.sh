#!/usr/bin/env bash
# Fails, listing the files, when clang-format would change any C++ file of
# the tree. With --fix, formats them in place instead.
set -eu -o pipefail
if [ "${1:-}" = "--help" ]; then
  echo "usage: scripts/check-format.sh [--fix]"
  echo "Checks every tracked .cpp and .h file against .clang-format; --fix rewrites them."
  exit 0
fi
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
unformatted=()
for file in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then unformatted+=("$file"); fi
done
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "check-format: these files are not formatted (run scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
