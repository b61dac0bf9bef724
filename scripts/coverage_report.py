#!/usr/bin/env python3
"""Merges gcovr's per-file counts by the real source file and writes the
coverage summary.

Usage: coverage_report.py <gcovr.json> <build folder> <docs/robustness.md>

gcov may name one header by several paths (the include views of the rooms
are links to the source folders); the counts of every name are merged into
the file the name resolves to. Only the library and the tool are measured.
Writes <build>/coverage.json (totals and files) and replaces the text
between the coverage markers of the Markdown file.
"""
import datetime
import json
import os
import re
import subprocess
import sys

MEASURED = re.compile(r"^(util|platform|store|core|regext|table|winhelpers|include|tools/qorreg)/")
LEFT_OUT = re.compile(r"(_test\.cpp$|^platform/win32/|^winhelpers/win32/|^winhelpers/wintests/)")
BEGIN = "<!-- coverage: begin (make coverage writes this part) -->"
END = "<!-- coverage: end -->"
LINES_GOAL, FUNCTIONS_GOAL = 97.0, 95.0

# Why the suite leaves a line unrun: (file pattern, function pattern, line
# text pattern, reason). Every uncovered line is named with the first entry
# whose patterns match its file, the function it lies in and its text; a
# line no entry names is listed as "no reason: a test belongs here", and the
# run says how many there are.
IN_ALLOCATION_CATCH = "(a line of a catch of std::bad_alloc)"
WINDOW = "window code: outside Windows no shell or window exists, so the stand-in never acts on one; the Win32 code runs in the window tests under Wine"
ALLOCATION = "allocation failure: the allocation fault tests fail the load, import, save and merging save; this catch turns a failed allocation elsewhere into the call's failure result"
AFTER_SWITCH = "the return after a switch that handles every value of its enumeration: no value reaches it"
REASONS = [
    (r"^winhelpers/other/", r"", r"", WINDOW),
    (r"^winhelpers/QorMfc\.cpp$", r"GetRuntimeClass|GetMessageMap|GetSafeHwnd", r"", "window code: class and message-map members only a window procedure calls"),
    (r"^winhelpers/CMyScrollBar\.cpp$", r"OnMyMessage", r"", "window code: called by a window's message only"),
    (r"^winhelpers/CMyScrollBar\.cpp$", r"RegisterNoticeMessage", r"", "a host that throws while it registers the notice message: the native stand-in host never throws; the catch keeps the exception inside the library's load"),
    (r"^winhelpers/OSVersion\.cpp$", r"GetThisClass", r"", "window code: the class registry's entry, called by the host's message map only"),
    (r"^platform/posix/PosixFileError\.cpp$", r"^Words$", r"", "the other C library's strerror_r: compiled for the form that returns a status, which glibc does not have"),
    (r"^platform/posix/PosixHostFiles\.cpp$", r"Close", r"", "close() failing on a local file: the fault tests replace the host's files and fail Close above this line, so the real call's failure is never met"),
    (r"^platform/posix/PosixHostFiles\.cpp$", r"KeepModeAndOwner", r"fchown", "a save by a user who may not give the file to its owner (not root, another user's file): the suite runs as one user"),
    (r"^platform/Files\.cpp$", r"ReadToEnd", r"^(bytes\.resize\(filled\);|return true;)$", "a file that shrinks between the size it reported and the end of its read: a race between two processes that no test can time (a file that grows is read through /proc)"),
    (r"^core/RootLookup\.cpp$", r"ShortFormOrSelf", r"", "POSIX has no short form of a path: the platform gives the path itself and never fails (a Win32 build fails it for a path that does not exist)"),
    (r"^regext/DateAndRandom\.cpp$", r"MonthNumber", r"return 0", "reads the build's own date (__DATE__), whose month is always one of the twelve"),
    (r"^tools/qorreg/main\.cpp$", r"^main$", r"", "an exception out of the tool: Run turns every refusal into a status; only an allocation failure of the tool's own process reaches main's catch"),
    (r"", r"", IN_ALLOCATION_CATCH, ALLOCATION),
    (r"^core/ValueAccess\.cpp$", r"ReadDword", r"^return 0;$", AFTER_SWITCH),
    (r"^tools/qorreg/", r"WriteValue|KindId|Describe|WholeFileWords|TypeName|OptionName", r"^(default:|return (0|\"\?\"|\"unknown\"|\"REG_NONE\"|\{\"\?\", \"\?\"\});)$", AFTER_SWITCH),
    (r"^table/EnumerationSlots\.cpp$", r"ErrorOf", r"Found|ERROR_SUCCESS", "the listing's Found result: both callers return before they ask ErrorOf for it; the case keeps the switch over every result"),
    (r"", r"", r"", None),
]


def merge(raw, root):
    files = {}
    for entry in raw["files"]:
        path = os.path.relpath(os.path.realpath(os.path.join(root, entry["file"])), root)
        if not MEASURED.match(path) or LEFT_OUT.search(path):
            continue
        merged = files.setdefault(path, {"lines": {}, "branches": {}, "functions": {}})
        for line in entry["lines"]:
            if line.get("gcovr/noncode"):
                continue
            number = line["line_number"]
            merged["lines"][number] = merged["lines"].get(number, 0) + line["count"]
            for index, branch in enumerate(line.get("branches", [])):
                key = (number, index)
                merged["branches"][key] = merged["branches"].get(key, 0) + branch["count"]
        for function in entry.get("functions", []):
            key = (function["lineno"], function["name"])
            merged["functions"][key] = merged["functions"].get(key, 0) + function["execution_count"]
    return files


def ratio(counts):
    return len(counts), sum(1 for count in counts.values() if count > 0)


def percent(covered, total):
    return 100.0 * covered / total if total else 100.0


def short_names(functions):
    """The functions' names without namespaces' and parameters' noise, each
    once, with how many overloads of it were never called."""
    counts = {}
    for name in functions:
        name = re.sub(r"\(anonymous namespace\)::|\bqor::\w+::", "", name)
        name = re.sub(r"( const)?$", "", name)
        depth, cut = 0, len(name)
        for i in range(len(name) - 1, -1, -1):  # the parameter list: the last (...)
            depth += {")": 1, "(": -1}.get(name[i], 0)
            if depth == 0 and name[i] == "(":
                cut = i
                break
        name, depth, start = name[:cut], 0, 0
        for i, c in enumerate(name):  # a return type before the name: after the last space outside <>
            depth += {"<": 1, ">": -1}.get(c, 0)
            if c == " " and depth == 0:
                start = i + 1
        name = name[start:] or "(lambda)"
        counts[name] = counts.get(name, 0) + 1
    return sorted(counts.items())


def function_of(line, starts):
    """The function a line lies in: the last one starting at or before it."""
    owner = ""
    for start, name in starts:
        if start > line:
            break
        owner = name
    return owner


def in_allocation_catch(source, number):
    """Whether a line lies in the block of a `catch (const std::bad_alloc&)`:
    the catch line is the first line above it that is indented less."""
    def indent(text):
        return len(text) - len(text.lstrip())
    line = source[number - 1]
    for above in reversed(source[: number - 1]):
        if above.strip() and indent(above) < indent(line):
            return "catch (const std::bad_alloc&)" in above
    return False


def matches(pattern, source, number):
    if pattern == IN_ALLOCATION_CATCH:
        return in_allocation_catch(source, number) or "catch (const std::bad_alloc&)" in source[number - 1]
    return re.search(pattern, source[number - 1].strip()) is not None


def ranges(numbers):
    out, first, last = [], None, None
    for n in numbers:
        if last is not None and n == last + 1:
            last = n
            continue
        if first is not None:
            out.append(f"{first}" if first == last else f"{first}-{last}")
        first = last = n
    if first is not None:
        out.append(f"{first}" if first == last else f"{first}-{last}")
    return ", ".join(out)


def named_gaps(path, data, source):
    """Each uncovered line of a file, grouped by its function and reason."""
    starts = sorted((start, short_names([name])[0][0]) for (start, name) in data["functions"])
    groups = {}
    for number in sorted(n for n, count in data["lines"].items() if count == 0):
        owner = function_of(number, starts)
        reason = next(
            r for f, fn, t, r in REASONS
            if re.search(f, path) and re.search(fn, owner) and number <= len(source) and matches(t, source, number))
        groups.setdefault((owner, reason), []).append(number)
    return [{"function": owner, "lines": numbers, "reason": reason} for (owner, reason), numbers in groups.items()]


def summarise(files):
    rows, totals = [], {"lines": [0, 0], "functions": [0, 0], "branches": [0, 0]}
    for path, data in sorted(files.items()):
        row = {"file": path}
        for kind in totals:
            total, covered = ratio(data[kind])
            totals[kind][0] += total
            totals[kind][1] += covered
            row[kind] = [covered, total]
        row["uncovered_functions"] = sorted(name for (_, name), count in data["functions"].items() if count == 0)
        row["never"] = short_names(row["uncovered_functions"])
        row["uncovered_lines"] = sorted(number for number, count in data["lines"].items() if count == 0)
        with open(path, encoding="utf-8", errors="replace") as f:
            row["gaps"] = named_gaps(path, data, f.read().split("\n"))
        rows.append(row)
    return totals, rows


def markdown(totals, rows):
    when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")
    commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True, text=True).stdout.strip()
    out = [BEGIN, "", f"Last run {when}, commit {commit or 'unknown'}.", "", "| Measure | Covered | Total | Percent |", "|---|---:|---:|---:|"]
    for kind, (total, covered) in totals.items():
        out.append(f"| {kind} | {covered} | {total} | {percent(covered, total):.1f} % |")
    weak = [r for r in rows if percent(*r["lines"]) < LINES_GOAL or percent(*r["functions"]) < FUNCTIONS_GOAL]
    weak.sort(key=lambda r: percent(*r["lines"]))
    out += ["", f"Files under {LINES_GOAL:.0f} % of lines or {FUNCTIONS_GOAL:.0f} % of functions, weakest first:", ""]
    out += ["| File | Lines | Functions | Branches | Functions never called |", "|---|---:|---:|---:|---|"]
    for r in weak:
        names = ", ".join(f"`{name}`" + (f" ({count})" if count > 1 else "") for name, count in r["never"][:8])
        more = len(r["never"]) - 8
        names += f" and {more} more" if more > 0 else ""
        cells = " | ".join(f"{percent(*r[k]):.1f} %" for k in ("lines", "functions", "branches"))
        out.append(f"| `{r['file']}` | {cells} | {names} |")
    gaps = [(r["file"], g) for r in rows for g in r["gaps"]]
    unnamed = sum(len(g["lines"]) for _, g in gaps if g["reason"] is None)
    out += ["", "Every line the suite leaves unrun, by file and function, with why"]
    out += [f"({unnamed} lines without a reason: each is a test still to write):", ""]
    out += ["| File | Functions | Lines | Why |", "|---|---|---|---|"]
    rows_by_reason = {}  # one row per file and reason, its functions in order
    for path, g in gaps:
        row = rows_by_reason.setdefault((path, g["reason"]), {"functions": [], "lines": []})
        row["functions"].append(f"`{g['function'] or '(file scope)'}`")
        row["lines"] += g["lines"]
    for (path, reason), row in rows_by_reason.items():
        why = reason or "no reason: a test belongs here"
        out.append(f"| `{path}` | {', '.join(row['functions'])} | {ranges(sorted(row['lines']))} | {why} |")
    out += ["", END]
    return "\n".join(out)


def main():
    raw_path, build, document = sys.argv[1:4]
    root = os.getcwd()
    with open(raw_path, encoding="utf-8") as f:
        totals, rows = summarise(merge(json.load(f), root))
    with open(os.path.join(build, "coverage.json"), "w", encoding="utf-8") as f:
        json.dump({"totals": totals, "files": rows}, f, indent=1)
    with open(document, encoding="utf-8") as f:
        text = f.read()
    block = markdown(totals, rows)
    if BEGIN in text and END in text:
        text = text[: text.index(BEGIN)] + block + text[text.index(END) + len(END) :]
    else:
        text = text.rstrip("\n") + "\n\n## Coverage\n\n" + block + "\n"
    with open(document, "w", encoding="utf-8") as f:
        f.write(text)
    for kind, (total, covered) in totals.items():
        print(f"coverage: {kind} {covered}/{total} ({percent(covered, total):.1f} %)")
    unnamed = sum(len(g["lines"]) for r in rows for g in r["gaps"] if g["reason"] is None)
    print(f"coverage: {unnamed} unrun lines without a reason (docs/robustness.md lists them)")


if __name__ == "__main__":
    main()
