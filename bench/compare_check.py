#!/usr/bin/env python3
"""Runs bench/compare on a small store and checks the shape of what it prints:
the '#' lines (load average, file system), one line per measure (name,
seconds, ratio to the baseline, baseline name) whose ratio agrees with the
printed seconds, the memory lines, one line per goal, and the summary last.
The QSettings, GKeyFile and SimpleIni measures are expected when their drivers
were built.
Times themselves are not judged here."""
import os
import subprocess
import sys
import tempfile

build, compare = sys.argv[1], sys.argv[2]
def built(name):
    return os.access(os.path.join(build, "bench", name), os.X_OK)


with_qt = built("qsettings_driver")
ini_peers = [name for name in ("GKeyFile", "SimpleIni") if built(f"{name.lower()}_driver")]
with tempfile.TemporaryDirectory() as data:
    done = subprocess.run([compare, "--build", build, "--data", data, "--keys", "1200", "--scan-keys", "300",
                           "--repeat", "1"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
if done.returncode not in (0, 1):
    sys.exit(f"compare ended with {done.returncode}")
lines = done.stdout.splitlines()
if not lines or not lines[0].startswith("# load average "):
    sys.exit(f"first line: {lines[:1]}")
if "data folder on " not in lines[0]:
    sys.exit(f"no file system in: {lines[0]}")
if not any(line.startswith("# first touch of 64 MiB") for line in lines):
    sys.exit("no first-touch line")
measures, memory, goals = {}, {}, {}
for line in lines[:-1]:
    fields = line.split("\t")
    if line.startswith("#"):
        continue
    if fields[0] == "goal":
        goals[fields[1]] = fields[2:]
    elif fields[0].endswith("_MiB"):
        memory[fields[0]] = fields
    else:
        name, seconds, ratio, base = fields
        measures[name] = (float(seconds), float(ratio), base)

getint = {f"{facade}_{n}" for facade in ("pfnGetInt", "CRegExt_GetInt") for n in ("1_handle", "16_handles")}
start = {f"start_{part}" for part in ("find_root", "load", "regext_reads", "table_reads", "change", "save",
                                      "save_wait", "total")}
qsettings = {"QSettings_load", "QSettings_getint_per_call", "QSettings_change"}
expected = {"wc_l", "configparser_read", "LoadFile", "SaveFile", "SaveFile_wait", "replace_file_only", "save_visit",
            "replace_copied", "change_save",
            "merge_save", "tree_walk", "store_lookup_16",
            "tree_walk@300", "scan_per_query_walk@300", "scan_per_query_walk_extrapolated"} | getint | start
expected |= {"fresh_load", "fresh_pfnGetInt_16_handles", "fresh_CRegExt_GetInt_16_handles", "fresh_change_save_regext",
             "fresh_change_save_table", "fresh_merge_save", "first_touch_64MiB", "touch_again_64MiB"}
expected |= {f"{name}_{measure}" for name in ini_peers for measure in ("load", "getint_per_call", "change",
                                                                       "change_replace")}
if with_qt:
    expected |= qsettings
if set(measures) != expected:
    sys.exit(f"measures printed: {sorted(measures)}, expected {sorted(expected)}")
for name, (seconds, ratio, base) in measures.items():
    base_seconds = 60e-9 if base == "goal_60ns" else measures[base][0]
    if seconds < 0 or (seconds > 0 and abs(ratio - seconds / base_seconds) > 0.01 * ratio + 0.005):
        sys.exit(f"{name}: {seconds} s is not {ratio} x {base}")
    if seconds == 0 and not name.endswith("_wait") and name != "start_change":
        sys.exit(f"{name}: no time measured")
extrapolated = measures["scan_per_query_walk_extrapolated"][0] / measures["scan_per_query_walk@300"][0]
if abs(extrapolated - 16) > 0.01:
    sys.exit(f"the reference is scaled by {extrapolated}, not (1200 / 300)^2")
parts = sum(measures[p][0] for p in start - {"start_save_wait", "start_total"})
if abs(parts - measures["start_total"][0]) > 0.01 * parts + 1e-6:
    sys.exit(f"the start's parts add up to {parts} s, not its whole {measures['start_total'][0]} s")
expected_memory = {"peak_rss_MiB", "merge_kept_MiB", "fresh_peak_rss_MiB"} | {f"{name}_peak_rss_MiB" for name in ini_peers}
if set(memory) != expected_memory | ({"QSettings_peak_rss_MiB"} if with_qt else set()):
    sys.exit(f"memory lines: {sorted(memory)}")
if float(memory["peak_rss_MiB"][1]) <= 0 or len(memory["peak_rss_MiB"]) != 4:
    sys.exit(f"memory line: {memory['peak_rss_MiB']}")

# Every goal of the table, each met, not met, or (a peer not built) not measured.
peer_goals = {
    "QSettings": {"load vs QSettings", "change + save vs QSettings", "peak memory vs QSettings",
                  "typed read vs QSettings"},
    "GKeyFile": {"load vs GKeyFile, fresh process", "typed read vs GKeyFile, fresh process"},
    "SimpleIni": {f"{measure} vs SimpleIni, fresh process" for measure in ("load", "typed read", "change + save",
                                                                           "peak memory")},
}
present = {"QSettings": with_qt, **{name: name in ini_peers for name in ("GKeyFile", "SimpleIni")}}
expected_goals = {"LoadFile vs configparser", "LoadFile vs wc -l", "SaveFile vs replace_file_only, processor time",
                  "tree walk", "walk vs scan-per-query", "pfnGetInt, 1 handle", "pfnGetInt, 16 handles",
                  "CRegExt::GetInt, 1 handle", "CRegExt::GetInt, 16 handles", "load vs wc -l, fresh process",
                  "peak memory vs store file, fresh process", "merged save vs load + save, fresh process",
                  "merge bookkeeping vs store memory"}
expected_goals |= set().union(*peer_goals.values())
if set(goals) != expected_goals:
    sys.exit(f"goals printed: {sorted(goals)}")
for name, fields in goals.items():
    status = fields[2]
    missing = any(name in names and not present[peer] for peer, names in peer_goals.items())
    if status not in ({"not measured"} if missing else {"met", "NOT MET"}):
        sys.exit(f"goal {name}: {status}")
# A goal of the load, the save, the typed read or the memory that is not met names its floor.
for name in ("load vs GKeyFile, fresh process", "load vs wc -l, fresh process", "typed read vs GKeyFile, fresh process",
             "peak memory vs store file, fresh process", "SaveFile vs replace_file_only, processor time"):
    fields = goals[name]
    if fields[2] == "NOT MET" and (len(fields) < 4 or not fields[3].startswith("floor: ")):
        sys.exit(f"goal {name} not met without its floor: {fields}")
if "flush" not in goals["SaveFile vs replace_file_only, processor time"][-1]:
    sys.exit("the SaveFile goal does not give the flush's share")
met = sum(fields[2] == "met" for fields in goals.values())
if not lines[-1].startswith(f"summary\t{met}/{len(goals)} goals met at 1200 keys") or "CHECK FAILED" in lines[-1]:
    sys.exit(f"summary line: {lines[-1]}")
