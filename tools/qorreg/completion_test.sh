#!/usr/bin/env bash
# Drives the bash completion (qorreg.bash) as bash does, through COMP_WORDS
# and COMP_CWORD, with the built qorreg first on PATH.
# Usage: completion_test.sh QORREG_PROGRAM SCRATCH_FOLDER
set -uo pipefail
program=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work" && mkdir -p "$work/bin" "$work/My Stores ü" && cd "$work" || exit 2
ln -s "$program" bin/qorreg
PATH="$work/bin:$PATH"
. "$here/qorreg.bash"
qorreg -f store.ini add 'HKCU\Software\Orvane Corp\Scan' --create >/dev/null 2>&1 || exit 2
qorreg -f store.ini add 'HKCU\Software\Other' >/dev/null 2>&1 || exit 2

failures=0
# expect EXPECTED WORD...: the completions of the last word as bash has
# split the line (quotes and backslashes as typed), one per line, sorted.
expect() {
  local expected=$1
  shift
  COMP_WORDS=(qorreg "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _qorreg
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
  if [ "$got" != "$expected" ]; then
    echo "FAIL: qorreg $*"
    echo "  expected: $(printf '%q' "$expected")"
    echo "  got:      $(printf '%q' "$got")"
    failures=$((failures + 1))
  fi
}
q() { printf '%q\n' "$@" | sort; }

# A name with spaces is one word.
expect "My Stores ü" -f My
expect "My Stores ü" -f store.ini export HKCU My
# KEY arguments complete from the -f file's keys, typed escaped or quoted, a-z in any case.
expect "$(q 'HKEY_CURRENT_USER\SOFTWARE\ORVANE CORP' 'HKEY_CURRENT_USER\SOFTWARE\ORVANE CORP\SCAN' \
            'HKEY_CURRENT_USER\SOFTWARE\OTHER')" -f store.ini query 'HKEY_CURRENT_USER\\Software\\O'
expect "$(q 'HKEY_CURRENT_USER\SOFTWARE\OTHER')" -f store.ini export "'HKEY_CURRENT_USER\SOFTWARE\OT"
expect "$(q 'HKEY_CURRENT_USER\SOFTWARE\OTHER')" compare store.ini store.ini 'HKEY_CURRENT_USER\\SOFTWARE\\OT'
# Only the options of the verb being typed.
expect "--codepage" query --c
expect "$(q --codepage --create)" add --c
expect "$(q --codepage --file --help --json)" check --
expect "query" -f store.ini q

[ "$failures" -eq 0 ] && echo "completion ok" || exit 1
