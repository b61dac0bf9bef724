#!/usr/bin/env bash
# Fails when a file includes a header of a room it may not use, or names
# any header by a path that climbs out of a folder ("../"). The rooms, each
# using only those below it:
#   util <- platform <- store <- core <- regext, table
#   util <- winhelpers
# include/ (the public headers) is open to every room. tools/ is a caller
# like any other: the public headers and its own files only. A test file
# (*_test.cpp, a header named *Test*.h, anything under a wintests/ folder)
# follows its room's rule and may also use the shared test helpers in
# testsupport/. tests/, fuzz/, bench/ and examples/ sit above everything.
# It also fails on a header whose include guard is not the one its path
# gives: QOR_ and the path (include/ left out) upper-cased, every other
# character an underscore (store/KeyMap.h: QOR_STORE_KEYMAP_H), so that a
# moved header cannot keep the guard of its old place.
# Usage: scripts/check_layering.sh [source folder]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The rooms a room's files may include besides their own and include/.
allowed() {
  case "$1" in
    util) echo "" ;;
    platform) echo "util" ;;
    store) echo "util platform" ;;
    core) echo "util platform store" ;;
    regext | table) echo "util platform store core" ;;
    winhelpers) echo "util" ;;
    testsupport) echo "util platform store" ;;
    tools) echo "" ;;
    *) echo "*" ;;
  esac
}
rooms=" util platform store core regext table winhelpers testsupport tools "

status=0
checked=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  quoted=${rest#*:}
  quoted=${quoted#*\"}
  target=${quoted%%\"*}
  file=${file#./}
  if [[ "$target" == ../* || "$target" == */../* ]]; then
    echo "$file:$line: $target climbs out of its folder (name a header from the root of its room)"
    status=1
    continue
  fi
  room=${file%%/*}
  used=${target%%/*}
  [[ "$target" == */* && "$rooms" == *" $used "* ]] || continue
  checked=$((checked + 1))
  [ "$used" = "$room" ] && continue
  may=$(allowed "$room")
  [ "$may" = "*" ] && continue
  name=${file##*/}
  if [[ "$name" == *_test.cpp || "$name" == *Test*.h || "$file" == */wintests/* ]]; then
    may="${may:+$may }testsupport"
  fi
  if [[ " $may " != *" $used "* ]]; then
    echo "$file:$line: $room may not include $target (it may use: ${may:-nothing but include/})"
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.cpp' --include='*.h' --include='*.c' \
           util platform store core regext table winhelpers testsupport tools tests fuzz bench examples 2>/dev/null || true)

headers=0
while IFS= read -r header; do
  header=${header#./}
  relative=${header#include/}
  guard=QOR_$(printf '%s' "$relative" | tr '[:lower:]' '[:upper:]' | tr -c 'A-Z0-9\n' '_')
  headers=$((headers + 1))
  if ! grep -qx "#ifndef $guard" "$header" || ! grep -qx "#define $guard" "$header"; then
    echo "$header: the include guard must be $guard"
    status=1
  fi
done < <(find util platform store core regext table winhelpers testsupport tools tests fuzz bench examples include \
           -name '*.h' 2>/dev/null | sort)

if [ "$status" -eq 0 ]; then
  echo "layering: $checked includes of rooms, none against the layering; $headers include guards from their paths"
fi
exit "$status"
