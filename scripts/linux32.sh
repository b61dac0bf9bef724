#!/usr/bin/env bash
# Builds the library, qorreg, the examples and every test for 32-bit Linux
# (i686: 4-byte pointers and 4-byte long, the data model of 32-bit Windows)
# and runs the whole ctest suite under qemu-i386, user-mode emulation.
#   - installs the multilib compiler and qemu-user when missing (as root)
#   - configures and builds the preset linux32 (build/linux32)
#   - runs ctest there; every test program, and every program a test starts,
#     goes through qemu-i386 (the build's cross-compiling emulator)
#   - the crash tests kill QOR_CRASH_KILLS saves (20 here, as in the
#     sanitizer run); each test may take at most QOR_32_TIMEOUT seconds
#   - prints the tests left out, with the reason, and the test count
# Usage: scripts/linux32.sh            (JOBS=n to set the parallelism)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
build=build/linux32
timeout=${QOR_32_TIMEOUT:-300}
started=$SECONDS

phase() { echo "linux32: $* ($((SECONDS - started)) s)"; }

scripts/setup.sh g++-multilib qemu-user
command -v qemu-i386 >/dev/null 2>&1 || { echo "linux32: qemu-i386 is not installed" >&2; exit 1; }

# Tests that cannot work under user-mode emulation, as "name|reason", one a
# line. A name is a ctest test name (a regular expression anchored at both
# ends); each is printed before the run.
excluded=(
)

# shellcheck source=scripts/quietly.sh
. scripts/quietly.sh

phase "configure and build the linux32 preset"
quietly cmake --preset linux32
quietly cmake --build --preset linux32 -j "$jobs"

library=$(readlink -f "$build/libQorCommonLib.so")
if ! file -L "$library" 2>/dev/null | grep -q 'ELF 32-bit.*80386'; then
  # file(1) may be missing: the ELF class byte says the same.
  [ "$(od -An -tx1 -j4 -N1 "$library" | tr -d ' ')" = 01 ] ||
    { echo "linux32: $library is not a 32-bit library" >&2; exit 1; }
fi
phase "built $build/libQorCommonLib.so (32-bit)"

exclude_args=()
if [ ${#excluded[@]} -eq 0 ]; then
  echo "linux32: no test is left out"
else
  pattern=
  echo "linux32: left out under qemu-i386:"
  for entry in "${excluded[@]}"; do
    echo "  ${entry%%|*}: ${entry#*|}"
    pattern+="${pattern:+|}^${entry%%|*}\$"
  done
  exclude_args=(-E "$pattern")
fi

phase "running the tests of $build under qemu-i386"
log=$build/ctest-qemu.log
status=0
(cd "$build" && QOR_CRASH_KILLS=20 ctest -j "$jobs" --timeout "$timeout" "${exclude_args[@]}") >"$log" 2>&1 || status=1
sed -n '/tests passed/,$p' "$log"
if [ "$status" -ne 0 ]; then
  grep -q 'tests passed' "$log" || tail -40 "$log"
  echo "linux32: failing tests under qemu-i386, with their output:"
  { cd "$build" && QOR_CRASH_KILLS=20 ctest --rerun-failed --output-on-failure --timeout "$timeout" 2>&1 || true; } |
    grep -vE '^ *(Start +[0-9]+:|Test project)' | tail -200
fi
count=$(sed -n 's/.* out of \([0-9]*\)$/\1/p' "$log" | tail -1)
phase "done: ${count:-?} tests under qemu-i386"
exit "$status"
