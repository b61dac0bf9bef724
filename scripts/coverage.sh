#!/usr/bin/env bash
# The line, function and branch coverage of the library and the qorreg tool
# by the whole native suite: a Debug build with --coverage (build/coverage),
# every ctest run, then gcovr. The Win32 code, the window tests, the tests
# themselves, their support, the fuzz harnesses and the bench are not
# measured. Writes build/coverage/coverage.json (gcovr's summary) and
# replaces the summary between the markers of docs/robustness.md.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/coverage
jobs=${JOBS:-$(nproc)}

scripts/setup.sh gcovr
cmake --preset coverage >/dev/null
cmake --build "$build" -j "$jobs"
# Counts of an earlier run would add to this one.
find "$build" -name '*.gcda' -delete
(cd "$build" && ctest --output-on-failure -j "$jobs")

# A room's sources include its headers through the room's include view
# (build/.../rooms/<view>/<room>, a link to the source folder), so gcov names
# an inline header once per view. Every name is taken back to the source
# file it links to before the counts are merged: a header's lines are then
# counted once, with what every object that used it ran.
gcovr --root . --object-directory "$build" --exclude-directories '.*/CMakeFiles/[0-9.]+$' \
  --json "$build/coverage-raw.json"
scripts/coverage_report.py "$build/coverage-raw.json" "$build" docs/robustness.md
