#!/usr/bin/env bash
# clang-tidy over the project's own sources (the library rooms and the
# tool, not the tests), with the checked-in .clang-tidy, whose findings
# are errors. Usage: scripts/lint.sh [build folder with compile_commands.json]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
tidy=$(command -v run-clang-tidy-14 || command -v run-clang-tidy || true)
if [ -z "$tidy" ]; then
  scripts/setup.sh clang-tidy
  tidy=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
fi
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: no $build/compile_commands.json; run make build first" >&2
  exit 1
fi
# Library and tool sources; *_test.cpp files are left out.
files='/(platform|store|core|regext|table|winhelpers|tools)/([^/]+/)*(?![^/]*_test\.cpp$)[^/]+\.cpp$'
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$tidy" -p "$build" -quiet -j "${JOBS:-$(nproc)}" "$files" >"$log" 2>&1 || status=$?
# Keep the findings; drop clang-tidy's progress and counting lines.
grep -v -E '^([0-9]+ warnings? generated\.|Suppressed [0-9]+ warnings|Use -header-filter|Running clang-tidy|clang-tidy-14 |\[[0-9/ ]+\] )' "$log" || true
[ "$status" -eq 0 ] && echo "lint: clean"
exit "$status"
