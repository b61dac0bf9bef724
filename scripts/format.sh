#!/usr/bin/env bash
# The house layout (.clang-format) applied by machine, with one pinned
# clang-format: Debian's clang-format-14, the version the tree is laid out
# with (another version lays some lines out differently).
# Usage: scripts/format.sh          rewrites every C/C++ file in place
#        scripts/format.sh --check  lists the files that differ; fails if any
set -euo pipefail
cd "$(dirname "$0")/.."
tool=clang-format-14
command -v "$tool" >/dev/null || scripts/setup.sh clang-format-14
# Every C and C++ file the project keeps, fuzz seeds left out.
mapfile -t files < <(git ls-files '*.c' '*.h' '*.cpp' | grep -v '^fuzz/corpus/')
if [ "${1:-}" != "--check" ]; then
  "$tool" -i --style=file "${files[@]}"
  echo "format: ${#files[@]} files laid out"
  exit 0
fi
differ=0
for file in "${files[@]}"; do
  if ! "$tool" --style=file "$file" | cmp -s - "$file"; then
    echo "format: $file differs from the house layout (make format rewrites it)"
    differ=$((differ + 1))
  fi
done
if [ "$differ" -ne 0 ]; then
  echo "format: $differ of ${#files[@]} files differ" >&2
  exit 1
fi
echo "format: ${#files[@]} files in the house layout"
