#!/usr/bin/env bash
# Checks the packages that scripts/package.sh wrote, as a user meets them:
#   - the Debian package of build/default, extracted without root
#     (dpkg-deb -x): the extracted qorreg lists the example store with an
#     empty environment; a consumer in C and one in C++ are built against
#     the extracted tree with find_package and with pkg-config and run with
#     an empty environment; lintian reports no error (its warnings are
#     printed);
#   - the zips of build/win64 and build/win32: their contents, and that the
#     DLL and qorreg.exe import only Windows' own DLLs (and QorCommonLib.dll);
#     the win64 zip unzipped: its qorreg.exe and a C consumer built against
#     it run under wine64 from the zip's bin folder, nothing else on the path;
#   - one version everywhere: the project's, in qorreg --version, the package
#     names, the Debian control file, the pkg-config file and the CMake package.
# Usage: tests/package/check_packages.sh      (after scripts/package.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."

native=build/default
work=$PWD/build/package-check
store=$PWD/examples/root.ini
consumers=$PWD/tests/package
started=$SECONDS
status=0

phase() { echo "packages: $* ($((SECONDS - started)) s)"; }
fail() { echo "packages: FAILED: $*" >&2; status=1; }
expect() {  # expect WHAT ACTUAL EXPECTED
  if [ "$2" = "$3" ]; then echo "  ok: $1: $2"; else fail "$1: '$2', expected '$3'"; fi
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$native/CMakeCache.txt")
[ -n "$version" ] || { echo "packages: no project version in $native/CMakeCache.txt" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work"

# Runs one consumer program with an empty environment; it must print the
# resolution the example store keeps.
run_consumer() {  # run_consumer LABEL PROGRAM EXPECTED-PREFIX
  local shown
  shown=$(env -i "$2" "$store" 2>&1) || true
  expect "$1" "$shown" "$3 resolution 300"
}

phase "Debian package"
arch=$(dpkg --print-architecture)
deb=$native/qorcommonlib_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  fail "no $deb (found: $(cd "$native" && ls ./*.deb 2>/dev/null | tr '\n' ' '))"
else
  expect "Debian package version" "$(dpkg-deb -f "$deb" Version)" "$version"
  expect "Debian maintainer" "$(dpkg-deb -f "$deb" Maintainer)" "Orvane Corp <support@orvane.example>"
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ "$depends" == *libc6* ]] || fail "Depends not computed by dpkg-shlibdeps: '$depends'"
  # Maintainer scripts, where there are any, only run ldconfig.
  mkdir -p "$work/control"
  dpkg-deb -e "$deb" "$work/control"
  for script in preinst postinst prerm postrm; do
    [ -f "$work/control/$script" ] || continue
    extra=$(grep -vE '^(#!/bin/sh|set -e|if \[ "\$1" = "[a-z]+" \]; then|[[:space:]]*ldconfig|fi|)$' "$work/control/$script" || true)
    expect "$script beyond ldconfig" "${extra:-nothing}" nothing
  done
  root=$work/deb
  dpkg-deb -x "$deb" "$root"
  prefix=$root/usr
  expect "extracted qorreg --version" "$(env -i "$prefix/bin/qorreg" --version 2>&1)" "qorreg (QorCommonLib) $version"
  library=$(find "$prefix" -name 'libQorCommonLib.so.*.*')
  expect "run paths of the library" "$(readelf -d "$library" | grep -cE '\((RPATH|RUNPATH)\)' || true)" 0
  listing=$(env -i "$prefix/bin/qorreg" -f "$store" query -s 2>&1) || fail "extracted qorreg query -s: $listing"
  expect "extracted qorreg lists a root-less product key" \
    "$(grep -cx 'SOFTWARE\\ORVANE CORP\\DOCSCAN\\DOCSCAN PRO 5' <<<"$listing")" 1
  for doc in copyright changelog.Debian.gz qorreg.md compatibility.md README.md; do
    [ -f "$prefix/share/doc/qorcommonlib/$doc" ] || fail "the package lacks share/doc/qorcommonlib/$doc"
  done
  [ -f "$prefix/share/man/man1/qorreg.1.gz" ] || fail "the package lacks the manual page"

  pc=$(find "$prefix" -name QorCommonLib.pc)
  pkgconf() { PKG_CONFIG_PATH=$(dirname "$pc") PKG_CONFIG_LIBDIR= pkg-config "$@" QorCommonLib; }
  expect "pkg-config version" "$(pkgconf --modversion)" "$version"
  libdir=$(pkgconf --variable=libdir)
  # shellcheck disable=SC2046  # the flags are words
  cc -std=c99 -Wall -Werror "$consumers/consumer.c" $(pkgconf --cflags --libs) -Wl,-rpath,"$libdir" -o "$work/pc_consumer_c" ||
    fail "the C consumer does not build with pkg-config"
  # shellcheck disable=SC2046
  c++ -std=c++20 -Wall -Werror "$consumers/consumer.cpp" $(pkgconf --cflags --libs) -Wl,-rpath,"$libdir" -o "$work/pc_consumer_cxx" ||
    fail "the C++ consumer does not build with pkg-config"
  run_consumer "pkg-config C consumer" "$work/pc_consumer_c" "C table:"
  run_consumer "pkg-config C++ consumer" "$work/pc_consumer_cxx" "CRegExt:"

  if cmake -S "$consumers/consumer" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
       -DQOR_VERSION="$version" >"$work/cmake.log" 2>&1 &&
     cmake --build "$work/cmake" >>"$work/cmake.log" 2>&1; then
    expect "CMake package version" "$(sed -n 's/.*QorCommonLib package version: //p' "$work/cmake.log")" "$version"
    run_consumer "find_package C consumer" "$work/cmake/consumer_c" "C table:"
    run_consumer "find_package C++ consumer" "$work/cmake/consumer_cxx" "CRegExt:"
  else
    cat "$work/cmake.log"
    fail "the consumers do not build with find_package(QorCommonLib $version EXACT)"
  fi

  lintian --info "$deb" >"$work/lintian.txt" 2>&1 || true
  grep -E '^[EW]: ' "$work/lintian.txt" | sed 's/^/  lintian /' || true
  grep -q '^E: ' "$work/lintian.txt" && fail "lintian reports errors"
fi

# The DLL names a Windows program of the zips may import: Windows' own.
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|shlwapi|version|ws2_32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'

for width in win64 win32; do
  phase "$width zip"
  zip=build/$width/QorCommonLib-$version-$width.zip
  if [ ! -f "$zip" ]; then
    fail "no $zip"
    continue
  fi
  unzip -q "$zip" -d "$work/$width"
  top=$work/$width/QorCommonLib-$version-$width
  for file in bin/QorCommonLib.dll bin/qorreg.exe lib/libQorCommonLib.dll.a lib/QorCommonLib.def \
              include/QorCommonLib/QorCommonLib.h include/QorCommonLib/QorFunctionTable.h README.txt \
              share/doc/qorcommonlib/compatibility.md share/doc/qorcommonlib/copyright; do
    [ -f "$top/$file" ] || fail "$zip lacks $file"
  done
  objdump=$([ "$width" = win64 ] && echo x86_64-w64-mingw32-objdump || echo i686-w64-mingw32-objdump)
  for binary in QorCommonLib.dll qorreg.exe; do
    [ -f "$top/bin/$binary" ] || continue
    others=$("$objdump" -p "$top/bin/$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' |
             grep -viE "$system_dlls" | grep -vx 'QorCommonLib.dll' || true)
    expect "$width $binary imports beyond Windows' own DLLs" "${others:-none}" none
  done
done

phase "win64 zip under wine64"
wine=$(sed -n 's/^QOR_WINE:FILEPATH=//p' build/win64/CMakeCache.txt 2>/dev/null || true)
bin=$work/win64/QorCommonLib-$version-win64/bin
if [ -z "$wine" ] || [ ! -x "$wine" ]; then
  fail "no wine64 found (build/win64/CMakeCache.txt QOR_WINE)"
elif [ -d "$bin" ]; then
  # The prefix of the Windows test runs when there is one; a new one otherwise.
  prefix=$PWD/build/win64/wineprefix
  [ -f "$prefix/system.reg" ] || prefix=$work/wineprefix
  x86_64-w64-mingw32-gcc-posix -std=c99 -Wall -Werror -static "$consumers/consumer.c" \
    -I"$bin/../include/QorCommonLib" "$bin/../lib/libQorCommonLib.dll.a" -o "$bin/consumer_c.exe" ||
    fail "the C consumer does not build against the win64 zip"
  cp "$store" "$bin/root.ini"
  # Only the prefix and the quiet switch: the DLL must come from the
  # program's own folder.
  wine_run() { (cd "$bin" && env -i HOME="$HOME" WINEPREFIX="$prefix" WINEDEBUG=-all timeout 300 "$wine" "$@" 2>&1 | tr -d '\r'); }
  [ -f "$prefix/system.reg" ] || wine_run wineboot -i >/dev/null
  expect "win64 qorreg.exe --version" "$(wine_run qorreg.exe --version)" "qorreg (QorCommonLib) $version"
  expect "win64 qorreg.exe lists a root-less product key" \
    "$(wine_run qorreg.exe -f root.ini query -s | grep -cx 'SOFTWARE\\ORVANE CORP\\DOCSCAN\\DOCSCAN PRO 5')" 1
  expect "win64 C consumer" "$(wine_run consumer_c.exe root.ini)" "C table: resolution 300"
fi

phase "done"
[ "$status" -eq 0 ] || echo "packages: some checks failed" >&2
exit "$status"
