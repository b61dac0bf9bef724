#!/usr/bin/env bash
# Builds QorCommonLib.dll for 32-bit and 64-bit Windows with MinGW-w64 and
# runs the unit tests of the 64-bit build under Wine.
#   - installs the cross compilers and wine64 when missing (as root)
#   - configures and builds the presets win32 and win64
#   - runs every test of build/win64 through wine64, in a Wine prefix of
#     that build folder with the windowless graphics driver
#   - checks the export tables of both DLLs
#   - runs Wine's regedit and reg against the native qorreg (tests/peer)
# Usage: scripts/windows.sh            (JOBS=n to set the parallelism)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-$(nproc)}
win64=build/win64
win32=build/win32
started=$SECONDS

phase() { echo "windows: $* ($((SECONDS - started)) s)"; }

scripts/setup.sh g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64

# shellcheck source=scripts/quietly.sh
. scripts/quietly.sh

for preset in win64 win32; do
  phase "configure and build $preset"
  quietly cmake --preset "$preset"
  quietly cmake --build --preset "$preset" -j "$jobs"
done

# The i686 build carries the compile-time layout checks of the handle
# record and the table: the DLL exists only when they held.
[ -f "$win32/QorCommonLib.dll" ] || { echo "windows: $win32/QorCommonLib.dll missing" >&2; exit 1; }
phase "i686 build complete, layout checks held"

status=0
for dll in "$win64/QorCommonLib.dll" "$win32/QorCommonLib.dll"; do
  case "$dll" in
    *win64*) objdump=x86_64-w64-mingw32-objdump ;;
    *) objdump=i686-w64-mingw32-objdump ;;
  esac
  bash tests/exports/check_exports.sh "$dll" "$objdump" || status=1
done

wine=$(sed -n 's/^QOR_WINE:FILEPATH=//p' "$win64/CMakeCache.txt")
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  echo "windows: no wine64 found; the 64-bit tests cannot run" >&2
  exit 1
fi
export WINEPREFIX=$PWD/$win64/wineprefix WINEDEBUG=-all
wineserver=$(dirname "$wine")/wineserver
command -v "$wineserver" >/dev/null 2>&1 || wineserver=wineserver

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  phase "creating the Wine prefix"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
fi
# One server for the whole run, so each test program starts quickly. Its
# helper processes (services, explorer, ...) are started here with their
# output closed: started by a test program instead, they would inherit
# ctest's output pipe and keep ctest waiting until the server ends.
"$wineserver" -p >/dev/null 2>&1 || true  # an already running server serves as well
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine" wineboot </dev/null >/dev/null 2>&1 || true

phase "running the tests of $win64 under $(basename "$wine")"
log=$win64/ctest-wine.log
tests_passed=1
ctest --preset win64 -j "$jobs" >"$log" 2>&1 || tests_passed=0
if grep -q 'tests passed' "$log"; then
  sed -n '/tests passed/,$p' "$log"
else
  tail -40 "$log"
fi
if [ "$tests_passed" -ne 1 ]; then
  status=1
  echo "windows: failing tests under Wine, with their output:"
  { ctest --preset win64 --rerun-failed --output-on-failure 2>&1 || true; } |
    grep -vE '^ *(Start +[0-9]+:|Test project)' | tail -200
fi
# Wine's regedit and reg reading qorreg's files and qorreg reading theirs,
# with the native qorreg of build/default (made by make test-native; the
# test says it is skipped when that is missing).
phase "regedit peer tests"
bash tests/peer/regedit_peer.sh "$PWD/build/default/tools/qorreg/qorreg" "$wine" || status=1
# Ten cases of the regedit corpus with Wine's regedit run now: the committed
# read-backs that the regedit_corpus test compares with are still Wine's.
python3 tests/peer/regedit_corpus.py live "$PWD/build/default/tools/qorreg/qorreg" "$wine" 10 || status=1
# The window helpers on real windows, on a virtual display of their own.
scripts/wine-gui.sh "$win64" || status=1
phase "done"
exit "$status"
