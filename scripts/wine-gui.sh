#!/usr/bin/env bash
# Runs the window helpers' tests on real windows: the x86_64 test program
# under wine64 on a virtual X display, and a screenshot of the folder dialog
# with its check box.
#   - installs Xvfb and ImageMagick when missing (as root)
#   - starts one Xvfb on a free display (stopped on exit)
#   - runs winhelpers_window_tests.exe of the build in a Wine virtual desktop
#     drawn by the X11 driver, in the build's Wine prefix (whose own default
#     driver stays the windowless one the unit tests use)
#   - answers the program's screenshot requests with ImageMagick's import,
#     into <build>/wintests/<name>.png
#   - prints "N passed, M failed" and fails when a test or the screenshot
#     failed
# Usage: scripts/wine-gui.sh [--docs] [build folder]     (default build/win64)
#   --docs  also copies the dialog's screenshot to docs/browse-dialog.png
set -euo pipefail
cd "$(dirname "$0")/.."

docs=no
if [ "${1:-}" = "--docs" ]; then
  docs=yes
  shift
fi
build=${1:-build/win64}
program=$build/winhelpers_window_tests.exe
out=$build/wintests
screen=1024x768
limit=${QOR_GUI_TIMEOUT:-120}   # seconds the whole program may take
margin=12                       # pixels of desktop around a photographed window
started=$SECONDS

say() { echo "wine-gui: $*"; }

[ -f "$program" ] || { say "$program missing (build the win64 preset first)" >&2; exit 1; }
scripts/setup.sh xvfb imagemagick
for tool in Xvfb import; do
  command -v "$tool" >/dev/null 2>&1 || { say "$tool is not installed" >&2; exit 1; }
done
wine=$(sed -n 's/^QOR_WINE:FILEPATH=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi
[ -x "$wine" ] || { say "no wine64 found" >&2; exit 1; }

# A path as the Windows programs see it, through Wine's drive Z: (the root).
windows_path() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

export WINEPREFIX=$PWD/$build/wineprefix WINEDEBUG=-all
mkdir -p "$out"
rm -f "$out"/*.request "$out"/*.part "$out"/*.done "$out"/*.png "$out/results.xml"

xvfb=
runner=
unfinished=no
cleanup() {
  if [ -n "$runner" ]; then
    kill "$runner" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
  fi
  # A program that crashed or outlived its time limit may leave Wine
  # processes behind: the prefix's server ends them.
  if [ "$unfinished" = yes ]; then "$(dirname "$wine")/wineserver" -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
fi

# Xvfb picks a free display itself and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb=$!
display_ready() { [ -s "$out/display" ] && [ -n "$(tr -dc 0-9 <"$out/display")" ]; }
if ! wait_for 20 display_ready; then
  say "Xvfb did not start:"
  cat "$out/xvfb.log"
  exit 1
fi
DISPLAY=:$(tr -dc 0-9 <"$out/display")
export DISPLAY
say "virtual display $DISPLAY ready ($((SECONDS - started)) s)"

# Photographs what a request names: "left top width height" of a window on
# the desktop, which the X11 driver draws at the origin of the display.
answer_screenshot() {
  local request=$1 name left top width height x y
  name=$(basename "$request" .request)
  # The program writes Windows line ends.
  read -r left top width height < <(tr -d '\r' <"$request") || true
  x=$((left > margin ? left - margin : 0))
  y=$((top > margin ? top - margin : 0))
  sleep 0.3  # the X11 driver copies the painted window to the display shortly after
  import -display "$DISPLAY" -window root -crop "$((width + 2 * margin))x$((height + 2 * margin))+$x+$y" \
    +repage "$out/$name.png" >>"$out/import.log" 2>&1 || say "import failed for $name"
  rm -f "$request"
  : >"$out/$name.done"
}

export QOR_SCREENSHOT_DIR GTEST_OUTPUT
QOR_SCREENSHOT_DIR=$(windows_path "$out")
GTEST_OUTPUT=xml:$(windows_path "$out/results.xml")
# Output goes to a file: Wine's service processes keep a pipe open.
timeout "$limit" "$wine" explorer "/desktop=qorwintests,$screen,x11" "$(windows_path "$program")" \
  >"$out/run.log" 2>&1 &
runner=$!
results_complete() { grep -qs '</testsuites>' "$out/results.xml"; }
runner_gone() { ! kill -0 "$runner" 2>/dev/null; }
while ! runner_gone && ! results_complete; do
  for request in "$out"/*.request; do
    [ -f "$request" ] && answer_screenshot "$request"
  done
  sleep 0.1
done
# The program writes its results last; the desktop then closes by itself
# once its last window is gone.
if results_complete || wait_for 5 results_complete; then
  say "tests finished ($((SECONDS - started)) s)"
  wait_for 15 runner_gone || true
  say "desktop closed ($((SECONDS - started)) s)"
else
  unfinished=yes
fi

failed=0
if [ "$unfinished" = yes ]; then
  say "the test program did not finish (crashed, or ran over $limit s); its output:"
  tail -40 "$out/run.log"
  passed=0
  failed=1
else
  counts=$(grep -o '<testsuites [^>]*>' "$out/results.xml")
  total=$(sed -n 's/.* tests="\([0-9]*\)".*/\1/p' <<<"$counts")
  failures=$(sed -n 's/.* failures="\([0-9]*\)".*/\1/p' <<<"$counts")
  errors=$(sed -n 's/.* errors="\([0-9]*\)".*/\1/p' <<<"$counts")
  failed=$((failures + errors))
  passed=$((total - failed))
  if [ "$failed" -ne 0 ]; then
    say "failing tests, with their output:"
    # Each test's lines from its RUN line on, printed when it ends FAILED.
    awk '/^\[ RUN/ { lines = "" } { lines = lines $0 "\n" }
         /^\[  FAILED  \].*\(/ { printf "%s", lines }' "$out/run.log" | tr -d '\r' | head -200
  fi
fi

shot=$out/browse-dialog.png
shot_ok=no
if [ -s "$shot" ]; then
  shot_ok=yes
  say "screenshot of the folder dialog: $shot"
  if [ "$docs" = yes ]; then
    cp "$shot" docs/browse-dialog.png
    say "copied to docs/browse-dialog.png"
  fi
else
  say "no screenshot of the folder dialog was taken"
fi

echo "window tests under Wine: $passed passed, $failed failed ($((SECONDS - started)) s)"
[ "$failed" -eq 0 ] && [ "$shot_ok" = yes ]
