#!/usr/bin/env bash
# Runs Wine's side of the regedit corpus (tests/peer/regedit_corpus.py) in a
# Wine prefix of its own, with one Wine server for the whole run:
#   regedit_corpus_wine.sh refresh              regenerate the committed
#                                               read-backs of every case
#   regedit_corpus_wine.sh live QORREG [N]      Wine live on N cases (at most 10)
# The prefix is build/peer/wineprefix, made on first use (a minute or two).
set -euo pipefail
cd "$(dirname "$0")/../.."

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -x "$wine" ]; then
  echo "regedit corpus: no wine64 found" >&2
  exit 1
fi
export WINEPREFIX=$PWD/build/peer/wineprefix WINEDEBUG=-all
wineserver=$(dirname "$wine")/wineserver
command -v "$wineserver" >/dev/null 2>&1 || wineserver=wineserver
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "regedit corpus: creating the Wine prefix $WINEPREFIX"
  "$wine" wineboot -i </dev/null >/dev/null 2>&1 || true
fi
"$wineserver" -p >/dev/null 2>&1 || true
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wine" wineboot </dev/null >/dev/null 2>&1 || true

case "${1:-}" in
  refresh) python3 tests/peer/regedit_corpus.py refresh "$wine" ;;
  live) python3 tests/peer/regedit_corpus.py live "$2" "$wine" "${3:-10}" ;;
  *) echo "usage: $0 refresh | live QORREG [N]" >&2; exit 2 ;;
esac
