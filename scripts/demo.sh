#!/usr/bin/env bash
# Runs the demo: prints the example store file that ships with the project.
# Usage: scripts/demo.sh <build-dir>
set -euo pipefail

build="${1:?usage: scripts/demo.sh <build-dir>}"
here="$(cd "$(dirname "$0")/.." && pwd)"
program="$build/examples/dump_store"
[ -x "$program.exe" ] && program="$program.exe"
if [ ! -x "$program" ]; then
  echo "demo: $program is missing; build the project first (make build)" >&2
  exit 1
fi
exec "$program" "$here/examples/root.ini"
