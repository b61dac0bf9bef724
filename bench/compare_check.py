#!/usr/bin/env python3
"""Runs bench/compare on a small store and checks the shape of what it prints:
one line per measure (name, seconds, ratio to the baseline, baseline name)
whose ratio agrees with the printed seconds, the memory line, and the summary
last. Times themselves are not judged here."""
import subprocess
import sys
import tempfile

build, compare = sys.argv[1], sys.argv[2]
with tempfile.TemporaryDirectory() as data:
    done = subprocess.run([compare, "--build", build, "--data", data, "--keys", "1200", "--scan-keys", "300",
                           "--repeat", "1"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
if done.returncode not in (0, 1):
    sys.exit(f"compare ended with {done.returncode}")
lines = done.stdout.splitlines()
measures = {}
for line in lines[:-2]:
    name, seconds, ratio, base = line.split("\t")
    measures[name] = (float(seconds), float(ratio), base)
expected = {"wc_l", "configparser_read", "LoadFile", "SaveFile", "tree_walk", "tree_walk@300",
            "scan_per_query_walk@300", "scan_per_query_walk_extrapolated", "pfnGetInt_per_call"}
if set(measures) != expected:
    sys.exit(f"measures printed: {sorted(measures)}")
for name, (seconds, ratio, base) in measures.items():
    base_seconds = 150e-9 if base == "goal_150ns" else measures[base][0]
    if seconds <= 0 or abs(ratio - seconds / base_seconds) > 0.01 * ratio + 0.005:
        sys.exit(f"{name}: {seconds} s is not {ratio} x {base}")
extrapolated = measures["scan_per_query_walk_extrapolated"][0] / measures["scan_per_query_walk@300"][0]
if abs(extrapolated - 16) > 0.01:
    sys.exit(f"the reference is scaled by {extrapolated}, not (1200 / 300)^2")
memory = lines[-2].split("\t")
if memory[0] != "peak_rss_MiB" or float(memory[1]) <= 0 or len(memory) != 4:
    sys.exit(f"memory line: {lines[-2]}")
if not lines[-1].startswith("summary\t") or "goals met at 1200 keys" not in lines[-1] or "CHECK FAILED" in lines[-1]:
    sys.exit(f"summary line: {lines[-1]}")
