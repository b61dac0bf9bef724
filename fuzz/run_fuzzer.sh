#!/usr/bin/env bash
# Runs one libFuzzer harness for a number of seconds on its seed corpus and
# prints one summary line: "<harness>: <executions> executions in <s> s".
# New inputs go to <work>/corpus/<harness>, crashes to <work>/artifacts.
# Usage: run_fuzzer.sh <harness binary> <seconds> <seed corpus> <work folder>
# With FUZZ_RUNS set, the harness runs that many inputs instead (the seconds
# are ignored), at the lowest priority, so a long campaign spares a shared
# machine.
set -euo pipefail

binary=$1
seconds=$2
seeds=$3
work=$4
name=$(basename "$binary")

mkdir -p "$work/corpus/$name" "$work/artifacts" "$seeds"
log="$work/$name.log"
status=0
limit=(-max_total_time="$seconds")
nice=()
if [ -n "${FUZZ_RUNS:-}" ]; then
  limit=(-runs="$FUZZ_RUNS")
  nice=(nice -n 19)
fi
"${nice[@]}" "$binary" "${limit[@]}" -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/$name-" "$work/corpus/$name" "$seeds" >"$log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "$name: FAILED after ${runs:-?} executions (log: $log)"
  exit "$status"
fi
echo "$name: ${runs:-0} executions in ${time:-$seconds} s, corpus $(ls "$work/corpus/$name" "$seeds" | wc -l) files"
