#!/usr/bin/env bash
# Runs the demo: the qorreg tool on the example store file that ships with
# the project (examples/root.ini, the settings of a scanner suite).
# Usage: scripts/demo.sh <build-dir>
set -euo pipefail

build="${1:?usage: scripts/demo.sh <build-dir>}"
build="$(cd "$build" && pwd)"
here="$(cd "$(dirname "$0")/.." && pwd)"
qorreg="$build/tools/qorreg/qorreg"
[ -x "$qorreg.exe" ] && qorreg="$qorreg.exe"
if [ ! -x "$qorreg" ]; then
  echo "demo: $qorreg is missing; build the project first (make build)" >&2
  exit 1
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$here/examples"

# The command as one would type it: arguments with spaces or backslashes quoted.
shown() {
  local arg line="qorreg"
  for arg in "$@"; do
    case "$arg" in
      *[\ \\]*) line+=" '$arg'" ;;
      *) line+=" $arg" ;;
    esac
  done
  printf '%s\n' "$line"
}

# Prints the explanation and the command, then runs it.
step() {
  local explanation="$1"
  shift
  printf '\n# %s\n$ %s\n' "$explanation" "$(shown "$@")"
  "$qorreg" "$@"
}

step "Is root.ini complete? A store file ends with a marker line; a file cut short has none." \
  validate root.ini
step "Does the store read every line of root.ini as written, and would a save keep it? check lists what a load ignores or a save would change." \
  check root.ini
step "The scanner profiles: the key ...\\Devices and every key below it (-s); each value with its name, type and data." \
  -f root.ini query 'HKCU\Software\Orvane Corp\DocScan\Devices' -s
step "Export one scanner's settings (the key and every key below it) as a file for Windows' regedit into a temporary file; root.ini itself is not changed." \
  -f root.ini export 'HKCU\Software\Orvane Corp\DocScan\Devices\FB-2400' "$work/fb2400.reg"
printf '\n# The exported file: a header, then each key and its values, texts escaped as regedit reads them.\n$ cat %s\n' "$work/fb2400.reg"
tr -d '\r' < "$work/fb2400.reg"
step "Import it into a new store file (--create: a missing store file is an error without it)." \
  -f "$work/copy.ini" import --create "$work/fb2400.reg"
step "compare the scanner's keys in both files: export and import keep every value exactly (exit status 0: identical)." \
  compare root.ini "$work/copy.ini" 'HKCU\Software\Orvane Corp\DocScan\Devices\FB-2400' -s
printf '\n# More: qorreg --help, and docs/qorreg.md.\n'
