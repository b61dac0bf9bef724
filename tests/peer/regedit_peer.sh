#!/usr/bin/env bash
# qorreg and Wine's regedit and reg reading each other's files, both ways:
#   1. values made with qorreg add, exported (the regedit form is export's
#      default) and imported by regedit /S, read back identical with reg
#      query;
#   2. values made with reg add, exported by regedit /E (UTF-16), imported by
#      qorreg import, arrive complete; exported again with --utf16 and
#      imported by regedit /S, they give Wine back every value.
# Usage: tests/peer/regedit_peer.sh QORREG WINE   (WINEPREFIX set, prefix made)
# Skips, saying so, when either program is missing.
set -euo pipefail

qorreg=${1:-}
wine=${2:-}
if [ -z "$qorreg" ] || [ ! -x "$qorreg" ]; then
  echo "regedit peer: SKIPPED (no qorreg program: '${qorreg}')"
  exit 0
fi
if [ -z "$wine" ] || ! command -v "$wine" >/dev/null 2>&1; then
  echo "regedit peer: SKIPPED (no wine64)"
  exit 0
fi
export WINEDEBUG=-all

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
key='HKEY_CURRENT_USER\Software\QorPeerTest'
failures=0

# reg query of the test key, without CRs and blank lines.
wine_query() { "$wine" reg query "$key" /s 2>/dev/null | tr -d '\r' | sed '/^$/d'; }
wine_clear() { "$wine" reg delete "$key" /f >/dev/null 2>&1 || true; }
check() {  # name expected-file actual-file
  if diff -u "$2" "$3" >"$work/diff"; then
    echo "regedit peer: $1: ok"
  else
    echo "regedit peer: $1: FAILED"
    cat "$work/diff"
    failures=$((failures + 1))
  fi
}
bytes100=$(for i in $(seq 0 99); do printf '%02x' $(((i * 37 + 5) % 256)); done)
BYTES100=$(printf '%s' "$bytes100" | tr 'a-f' 'A-F')

# 1. qorreg -> regedit
store=$work/ours.ini
add() { "$qorreg" -f "$store" add --create "$@" 2>"$work/err" || { cat "$work/err"; exit 1; }; }
add "$key" -v Folder -d 'C:\Scans\Out'
add "$key" -v Unc -d '\\server\share'
add "$key" -v Quote -d 'say "hi"'
add "$key" -v Zero -t REG_DWORD -d 0
add "$key" -v Minus -t REG_DWORD -d 0xfffffff6
add "$key" -v Four -t REG_BINARY -d 00cc01ff
add "$key" -v Hundred -t REG_BINARY -d "$bytes100"
add "$key\\Sub" -v Inner -d 'a\b'
"$qorreg" -f "$store" export "$key" "$work/ours.reg"
wine_clear
"$wine" regedit /S "$work/ours.reg"
cat >"$work/expected1" <<END
HKEY_CURRENT_USER\\Software\\QorPeerTest
    FOLDER    REG_SZ    C:\\Scans\\Out
    FOUR    REG_BINARY    00CC01FF
    HUNDRED    REG_BINARY    $BYTES100
    MINUS    REG_DWORD    0xfffffff6
    QUOTE    REG_SZ    say "hi"
    UNC    REG_SZ    \\\\server\\share
    ZERO    REG_DWORD    0x0
HKEY_CURRENT_USER\\Software\\QorPeerTest\\SUB
    INNER    REG_SZ    a\\b
END
wine_query >"$work/actual1"
check "qorreg export read by regedit /S" "$work/expected1" "$work/actual1"

# 2. reg add -> regedit /E (UTF-16) -> qorreg import -> export --utf16 -> regedit /S
wine_clear
"$wine" reg add "$key" /v Folder /t REG_SZ /d 'C:\Scans\Out "q"' /f >/dev/null
"$wine" reg add "$key" /v Number /t REG_DWORD /d 4294967286 /f >/dev/null
"$wine" reg add "$key" /v Hundred /t REG_BINARY /d "$bytes100" /f >/dev/null
"$wine" reg add "$key" /v Expand /t REG_EXPAND_SZ /d '%SystemRoot%\Scans\a rather long folder name\Out' /f >/dev/null
"$wine" reg add "$key" /v Multi /t REG_MULTI_SZ /d 'first\0second text\0\\server\share' /f >/dev/null
"$wine" reg add "$key\\Sub" /ve /d 'default' /f >/dev/null
wine_query >"$work/made2"
"$wine" regedit /E "$work/wine.reg" "$key"
theirs=$work/theirs.ini
"$qorreg" -f "$theirs" import --create "$work/wine.reg" 2>/dev/null
"$qorreg" -f "$theirs" query "$key" -s >"$work/actual2"
utf16le_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n'; }
cat >"$work/expected2" <<END
HKEY_CURRENT_USER\\SOFTWARE\\QORPEERTEST
    EXPAND    REG_EXPAND_SZ (raw)    hex(2):$(utf16le_hex '%SystemRoot%\Scans\a rather long folder name\Out' | sed 's/../&,/g')00,00
    FOLDER    REG_SZ    C:\\Scans\\Out "q"
    HUNDRED    REG_BINARY    $bytes100
    MULTI    REG_MULTI_SZ (raw)    hex(7):$(printf 'first\0second text\0%s\0\0' '\\server\share' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n' | sed 's/../&,/g; s/,$//')
    NUMBER    REG_DWORD    0xfffffff6 (4294967286)

HKEY_CURRENT_USER\\SOFTWARE\\QORPEERTEST\\SUB
    @    REG_SZ    default
END
check "regedit /E (UTF-16) read by qorreg import" "$work/expected2" "$work/actual2"

"$qorreg" -f "$theirs" export --utf16 "$key" "$work/back.reg"
wine_clear
"$wine" regedit /S "$work/back.reg"
wine_query | tr 'a-z' 'A-Z' >"$work/actual3"
tr 'a-z' 'A-Z' <"$work/made2" >"$work/expected3"
check "qorreg export --utf16 read by regedit /S" "$work/expected3" "$work/actual3"
wine_clear

[ "$failures" -eq 0 ]
