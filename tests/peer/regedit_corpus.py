#!/usr/bin/env python3
"""Wine's regedit as the judge of `qorreg import`: a corpus of small .reg files.

Each case is one grammar point of regedit's import (comments, blanks,
escapes, continued hex lists, broken continuations, deletion lines, ...),
written out in three forms: REGEDIT4 8-bit with CR LF, "Windows Registry
Editor Version 5.00" UTF-16LE with CR LF, and version 5 8-bit with LF; a
few also with lines ended by CR alone. Every case writes only under its own
key, CORPUS_KEY\\<case>.

Wine's side is read back from the corpus key alone; our side also shows,
by name, any key the import made elsewhere. Both sides are read back into
one stable text per case: its keys (with their parent keys) relative to the
case key, and each value as its name in capitals (the store keeps names in
capitals; registry names ignore case), its type and its data. hex(2) and hex(7) lists of an 8-bit file are widened
to UTF-16LE on our side, as regedit widens them on import.

  regedit_corpus.py refresh WINE           import every case with regedit /S,
                                           read back with regedit /E, write
                                           regedit_corpus_wine.json
  regedit_corpus.py check QORREG           `qorreg import` every case into a
                                           fresh store and compare with the
                                           committed read-back
  regedit_corpus.py live QORREG WINE [N]   the same for N (at most 10) cases
                                           with Wine run now, checking the
                                           committed read-back as well

A case may differ only where docs/compatibility.md names it (the table
under "Where qorreg import and regedit differ") or where
regedit_corpus_pending.txt lists it; a listed case that no longer differs
fails the check too, so both lists stay exact.
"""

import concurrent.futures
import hashlib
import json
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
READBACKS = os.path.join(HERE, "regedit_corpus_wine.json")
PENDING = os.path.join(HERE, "regedit_corpus_pending.txt")
COMPATIBILITY = os.path.join(ROOT, "docs", "compatibility.md")
CORPUS_KEY = "HKEY_CURRENT_USER\\Software\\QorPeerCorpus"

# name: lines after the header and its blank line; {K} is the case key.
# A line of None ends the file without a line end after the line before.
CASES = {
    # Plain values of every type.
    "string": ['[{K}]', '"Text"="plain value"'],
    "string-empty": ['[{K}]', '"Empty"=""'],
    "dword": ['[{K}]', '"D"=dword:00000017', '"Max"=dword:ffffffff'],
    "dword-short": ['[{K}]', '"D1"=dword:1', '"D2"=dword:abcd'],
    "dword-upper": ['[{K}]', '"D"=dword:ABCDEF01'],
    "hex": ['[{K}]', '"B"=hex:aa,bb,cc,11'],
    "hex-empty": ['[{K}]', '"B"=hex:'],
    "hex-upper": ['[{K}]', '"B"=hex:AA,0F'],
    "hex-types": ['[{K}]', '"N"=hex(0):01,02', '"S"=hex(1):41,00,00,00',
                  '"E"=hex(2):41,00,42,00,00,00', '"B"=hex(3):05', '"D"=hex(4):01,02,03,04',
                  '"M"=hex(7):61,00,62,00,00,00', '"Q"=hex(b):01,02,03,04,05,06,07,08'],
    "hex-type-upper": ['[{K}]', '"A"=hex(A):01,02'],
    "default": ['[{K}]', '@="default text"'],
    "default-dword": ['[{K}]', '@=dword:00000005'],
    "at-name": ['[{K}]', '@="default"', '"@"="named at"'],
    "subkeys": ['[{K}\\One]', '"V"="1"', '[{K}\\One\\Two]', '"V"="2"'],
    "key-only": ['[{K}\\Empty]'],
    "key-twice": ['[{K}]', '"A"="1"', '[{K}\\S]', '"B"="2"', '[{K}]', '"C"="3"'],
    "value-twice": ['[{K}]', '"A"="first"', '"A"="second"'],
    "name-case": ['[{K}]', '"Mixed"="1"', '"MIXED"="2"'],
    "key-case": ['[{K}\\Sub]', '"A"="1"', '[{K}\\SUB]', '"B"="2"'],
    # Escapes in names and texts.
    "escape-quote": ['[{K}]', '"say\\"hi\\""="valid \\"or\\" not"'],
    "escape-backslash": ['[{K}]', '"Path"="C:\\\\Scans\\\\Out"'],
    "escape-name-backslash": ['[{K}]', '"a\\\\b"="x"'],
    "doubled-backslash": ['[{K}]', '"Unc"="\\\\\\\\server\\\\share"'],
    "doubled-backslash-mid": ['[{K}]', '"M"="a\\\\\\\\b"'],
    "backslash-other": ['[{K}]', '"T"="a\\tb"'],
    "newline-escape": ['[{K}]', '"N"="line1\\nline2"'],
    "quote-single": ['[{K}]', '"single\'quote"=dword:00000008'],
    "with-equals": ['[{K}]', '"With=Equals"="asdf"'],
    "equals-in-data": ['[{K}]', '"E"="a=b"'],
    "odd-name": ['[{K}]', '"123/\\"4;\'5"="random"'],
    "key-quote": ['[{K}\\Sub"1]', '"V"="x"'],
    "key-slash": ['[{K}\\Sub/2]', '"V"="x"'],
    "key-bracket": ['[{K}\\a]b]', '"V"="x"'],
    "key-trailing-backslash": ['[{K}\\T\\]', '"V"="x"'],
    "key-trailing-double-backslash": ['[{K}\\T\\\\]', '"V"="x"'],
    "key-space-after": ['[{K}\\S] ', '"V"="x"'],
    "dword-in-string": ['[{K}]', '"Note"="see dword:5"'],
    "hex-in-string": ['[{K}]', '"Note"="see hex:01,02"'],
    "semicolon-in-string": ['[{K}]', '"A"="#one"', '"B"=";two"', '"C"="x;y"', '"D"="x #z"'],
    # Comments and blank lines.
    "comment-lines": ['[{K}]', ';comment', '#comment', '"A"="1"', ';"B"="2"', '#"C"="3"'],
    "comment-indented": ['[{K}]', '    ;"B"="2"', '\t#"C"="3"', '"A"="1"'],
    "comment-after-string": ['[{K}]', '"A"="1";comment', '"B"="2"#comment',
                             '"C"="3"  ;comment', '"D"="4"\t#comment'],
    "comment-after-dword": ['[{K}]', '"A"=dword:00000001;c', '"B"=dword:00000002 ;c',
                            '"C"=dword:00000003#c', '"D"=dword:00000004 #c'],
    "comment-after-hex": ['[{K}]', '"A"=hex:01,02;c', '"B"=hex:01,02 ;c'],
    "comment-before-data": ['[{K}]', '"A"=;"1"', '"B"=#"2"', '"C"=;dword:00000001'],
    "comment-continued": ['[{K}]', ';comment\\', '"A"="1"', '#comment\\', '"B"="2"'],
    "blank-lines": ['[{K}]', '"A"="1"', '', '', '"B"="2"', '', '', '', '"C"="3"'],
    "blank-before-key": ['', '', '[{K}]', '"A"="1"'],
    # Blanks around the parts of a line.
    "blank-before-key-line": ['  [{K}]', '"A"="1"', '\t[{K}\\S]', '"B"="2"'],
    "blank-before-value": ['[{K}]', '  "A"="1"', '\t"B"="2"', ' \t "C"=dword:00000003'],
    "blank-around-equals": ['[{K}]', '"A" ="1"', '"B"= "2"', '"C"\t=\t"3"',
                            '"D"    \t    =    \t    "4"'],
    "blank-around-default": ['[{K}]', '@  =  "x"'],
    "blank-around-default-dword": ['[{K}]', '\t@\t=\tdword:\t00000008\t'],
    "blank-in-names": ['[{K}]', '"  lead"="1"', '"trail  "="2"', '"\tTab"="3"'],
    "blank-in-data": ['[{K}]', '"A"="  lead"', '"B"="trail  "', '"C"="\ttab"'],
    "blank-after-string": ['[{K}]', '"A"="1"    ', '"B"="2"\t \t'],
    "blank-in-dword": ['[{K}]', '"A"=dword:  00000008', '"B"=dword:\t00000009'],
    "blank-after-dword": ['[{K}]', '"A"=dword:00000008  '],
    "blank-in-hex": ['[{K}]', '"A"=hex: 01,02', '"B"=hex:01, 02', '"C"=hex:01,02 '],
    # Text after a value.
    "text-after-string": ['[{K}]', '"A"="1"x', '"B"="2" x', '"C"="3"'],
    "text-after-dword": ['[{K}]', '"A"=dword:12345678abc', '"B"=dword:12345678 abc',
                         '"C"=dword:00000001'],
    "dword-semicolon": ['[{K}]', '"A"=dword:1234;5678', '"B"=dword:1234 ;5678',
                        '"C"=dword:1234#5678'],
    # Values regedit refuses; the lines around them stay.
    "dword-bad": ['[{K}]', '"A"=dword:', '"B"=dword:hello', '"C"=dword:123456789',
                  '"D"=dword:0x123', '"E"=dword:123 456', '"F"=dword:00000006'],
    "dword-long-zero": ['[{K}]', '"A"=dword:012345678', '"B"=dword:000000001'],
    "hex-bad": ['[{K}]', '"A"=hex:1,2', '"B"=hex:0g', '"C"=hex:010', '"D"="ok"'],
    "string-unclosed": ['[{K}]', '"A"="no end', '"B"="ok"'],
    "string-unopened": ['[{K}]', '"A"=no begin"', '"B"=plain', '"C"="ok"'],
    "string-inner-quote": ['[{K}]', '"A"="foo"bar"', '"B"="foo""bar"', '"C"="ok"'],
    "name-unclosed": ['[{K}]', '"A=\"x"', '"B"="ok"'],
    "name-unquoted": ['[{K}]', 'A="x"', '"B"="ok"'],
    "name-mixed-quotes": ['[{K}]', '"A=x"', '"B"="ok"'],
    "data-missing": ['[{K}]', '"A"=', '"B"=\\"', '"C"=\\"v\\"', '"D"="ok"'],
    "unknown-type": ['[{K}]', '"A"=word:1', '"B"=hex(x):01', '"C"="ok"'],
    "no-key-yet": ['"A"="before any key"', '[{K}]', '"B"="ok"'],
    "key-unclosed": ['[{K}\\Open', '"A"="1"', '[{K}]', '"B"="ok"'],
    "key-split": ['[{K}\\', 'Sub1]', '[{K}]', '"B"="ok"'],
    "name-split": ['[{K}]', '"Te\\', 'st"="1"', '"B"="ok"'],
    "string-continued": ['[{K}]', '"A"="Test \\', 'Value"', '"B"="ok"'],
    "dword-continued": ['[{K}]', '"A"=dword:1234\\', '5678', '"B"="ok"'],
    "root-other": ['[{K}]', '"A"="1"', '[HKEY_NOWHERE\\QorPeerCorpus]', '"B"="2"'],
    # Continued hex lists.
    "hex-continued": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\', '  63,6f,6e,63,61,74,00,00,00'],
    "hex-continued-binary": ['[{K}]', '"B"=hex:01,02,\\', '  03,04,\\', '  05'],
    "hex-continued-no-indent": ['[{K}]', '"B"=hex:01,02,\\', '03,04'],
    "hex-continued-comment": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\',
                              '  63,6f,6e,\\;comment', '  63,61,74,00,00,00'],
    "hex-continued-comments": ['[{K}]', '"M"=hex(7):4c,69,6e,\\;comment',
                               '  65,20,\\;comment', '  63,6f,6e,\\;#comment',
                               '  63,61,74,00,00,00'],
    "hex-continued-hash": ['[{K}]', '"M"=hex(7):4c,69,6e,\\#comment', '  65,00,00',
                           '"B"="ok"'],
    "hex-continued-semicolon": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\',
                                '  63,6f,6e,\\;comment', '  63,61,74,;comment',
                                '  00,00', '"B"="ok"'],
    "hex-continued-blank": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\', '',
                            '  63,6f,6e,63,61,74,00,00,00'],
    "hex-continued-comment-line": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\',
                                   '  ;comment', '  63,6f,6e,63,61,74,00,00,00',
                                   '"B"="ok"'],
    "hex-continued-hash-line": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\',
                                '  #comment', '  63,6f,6e,63,61,74,00,00,00', '"B"="ok"'],
    "hex-continued-mixed": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20,\\',
                            '  63,6f,6e,\\;comment', '  63,61,\\', '',
                            '  74,\\;comment', '', '  00,00,00'],
    "hex-continued-leading-comma": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20\\',
                                    ',63,00,00', '"B"="ok"'],
    "hex-continued-indented-comma": ['[{K}]', '"M"=hex(7):4c,69,6e,65,20\\',
                                     '  ,63,00,00', '"B"="ok"'],
    "hex-continued-no-comma": ['[{K}]', '"M"=hex(2):4c,69,6e,65\\', '  00,00', '"B"="ok"'],
    "hex-continued-tabs": ['[{K}]', '\t  "M"=hex(7):4c,69,6e,65,20,\\',
                           '\t\t63,6f,6e,\\;comment', '  \t63,61,74,00,00,00'],
    # Broken continuations drop only their own value.
    "broken-before-value": ['[{K}]', '"A"=hex(2):4c,69,6e,65\\', '"B"="kept 1"', '"C"="kept 2"'],
    "broken-comma-before-value": ['[{K}]', '"A"=hex(2):4c,69,6e,65,\\', '"B"="v"',
                                  '"C"="kept"'],
    "broken-before-default": ['[{K}]', '"A"=hex:01,\\', '@="kept"'],
    "broken-before-key": ['[{K}]', '"A"=hex:01,\\', '[{K}\\S]', '"B"="kept"'],
    "broken-before-deletion": ['[{K}]', '"A"="1"', '"B"=hex:01,\\', '"A"=-'],
    "broken-at-end": ['[{K}]', '"A"="kept"', '"B"=hex:01,\\'],
    "broken-before-comment": ['[{K}]', '"A"=hex:01,\\', ';comment', '  02', '"B"="kept"'],
    "broken-text": ['[{K}]', '"A"=hex:01,\\', '  zz', '"B"="kept"'],
    # Deletion lines.
    "delete-key": ['[{K}\\Gone]', '"A"="1"', '[{K}\\Gone\\Sub]', '"B"="2"',
                   '[{K}\\Kept]', '"C"="3"', '[-{K}\\Gone]'],
    "delete-key-missing": ['[-{K}\\Never]', '[{K}]', '"A"="1"'],
    "delete-key-blank": ['[{K}\\Gone]', '"A"="1"', '  [-{K}\\Gone]', '[{K}]', '"B"="2"'],
    "delete-value": ['[{K}]', '"A"="1"', '"B"="2"', '"A"=-'],
    "delete-value-blank": ['[{K}]', '"A"="1"', '"A" = -'],
    "delete-value-missing": ['[{K}]', '"B"=-', '"C"="1"'],
    "delete-default": ['[{K}]', '@="x"', '"A"="1"', '@=-'],
    "delete-value-then-set": ['[{K}]', '"A"="1"', '"A"=-', '"A"="2"'],
    "delete-then-recreate": ['[{K}\\R]', '"A"="1"', '[-{K}\\R]', '[{K}\\R]', '"B"="2"'],
    "delete-value-text-after": ['[{K}]', '"A"="1"', '"B"="2"', '"A"=- x', '"B"=-;c'],
    # Line ends.
    "last-line-open": ['[{K}]', '"A"="1"', '"B"="no line end"', None],
    "last-line-open-dword": ['[{K}]', '"A"=dword:00000050', None],
    "last-line-open-hex": ['[{K}]', '"A"=hex:01,02', None],
    "last-line-open-key": ['[{K}]', '"A"="1"', '[{K}\\Last]', None],
    "cr-only": ['[{K}]', '"A"="1"\r"B"="2"'],
    # Long lists and long texts.
    "hex-long": ['[{K}]', '"B"=hex:' + ",".join("%02x" % (i % 256) for i in range(300))],
    "string-long": ['[{K}]', '"S"="' + "x" * 2000 + '"'],
}

# Header forms, each a case of its own in 8-bit and UTF-16LE.
HEADERS = {
    "header-lower": "regedit4",
    "header-space": "REGEDIT 4",
    "header-suffix": "REGEDIT4FOO",
    "header-v3": "REGEDIT3",
    "header-v5-number": "Windows Registry Editor Version 5",
    "header-v5-upper": "WINDOWS REGISTRY EDITOR VERSION 5.00",
    "header-indented": "  REGEDIT4",
    "header-tab": "\tREGEDIT4",
}

# (suffix, header, encoding, line end)
FORMS = [
    ("a4", "REGEDIT4", "8bit", "\r\n"),
    ("u5", "Windows Registry Editor Version 5.00", "utf16", "\r\n"),
    ("a5", "Windows Registry Editor Version 5.00", "8bit", "\n"),
]
# Lines ended by CR alone, as old Macintosh editors write them.
CR_FORMS = [
    ("c4", "REGEDIT4", "8bit", "\r"),
    ("c5", "Windows Registry Editor Version 5.00", "utf16", "\r"),
]
CR_CASES = ["string", "dword", "hex-continued", "hex-continued-comment", "blank-lines",
            "comment-lines", "delete-value", "delete-key", "last-line-open"]
# Text only UTF-16 can carry: a name and a text beyond Latin-1.
WIDE_CASES = {
    "wide-text": ['[{K}]', '"\u3041Name"="\u3041Value"', '"B"="caf\u00e9"'],
}


def build_corpus():
    """Every case: name -> (file bytes, 8-bit or not)."""
    corpus = {}

    def add(name, header, lines, encoding, eol):
        key = CORPUS_KEY + "\\" + name
        text = header + eol + eol
        for line in lines:
            if line is None:
                text = text[: -len(eol)]
                break
            text += line.replace("{K}", key) + eol
        data = b"\xff\xfe" + text.encode("utf-16-le") if encoding == "utf16" else text.encode("latin-1")
        corpus[name] = (data, encoding == "8bit")

    for base, lines in CASES.items():
        for suffix, header, encoding, eol in FORMS:
            add(base + "." + suffix, header, lines, encoding, eol)
    for base in CR_CASES:
        for suffix, header, encoding, eol in CR_FORMS:
            add(base + "." + suffix, header, CASES[base], encoding, eol)
    for base, lines in WIDE_CASES.items():
        add(base + ".u5", FORMS[1][1], lines, "utf16", "\r\n")
    for base, header in HEADERS.items():
        for suffix, encoding in (("a", "8bit"), ("u", "utf16")):
            add(base + "." + suffix, header, ['[{K}]', '"A"="1"'], encoding, "\r\n")
    return corpus


def case_hash(data):
    return hashlib.sha256(data).hexdigest()[:16]


# ---- the common read-back form ------------------------------------------


def key_lines(keys, prefix):
    """Keys relative to the case key, each with its parents; others apart."""
    out = set()
    upper = prefix.upper()
    for key in keys:
        k = key.upper()
        if k == upper:
            out.add("[.]")
        elif k.startswith(upper + "\\"):
            parts = k[len(upper) + 1:].split("\\")
            out.add("[.]")
            for i in range(1, len(parts) + 1):
                out.add("[" + "\\".join(parts[:i]) + "]")
        elif not upper.startswith(k + "\\"):  # not a parent of the case key
            out.add("[elsewhere: " + k + "]")
    return out


def own_line(key, prefix):
    """The key line of one key (key_lines without its parents)."""
    k, upper = key.upper(), prefix.upper()
    if k == upper:
        return "[.]"
    if k.startswith(upper + "\\"):
        return "[" + k[len(upper) + 1:] + "]"
    return "[elsewhere: " + k + "]"


def hex_bytes(text):
    items = [t.strip() for t in text.split(",")]
    if items and items[-1] == "":
        items.pop()
    if not all(re.fullmatch(r"[0-9a-fA-F]{2}", t) for t in items):
        return None
    return bytes(int(t, 16) for t in items)


def typed(kind, data):
    """One value's type and data as one text."""
    if kind == 4 and len(data) == 4:
        return "dword:%08x" % int.from_bytes(data, "little")
    if kind == 1 and len(data) % 2 == 0:
        text = data.decode("utf-16-le", "replace")
        return "sz:" + json.dumps(text[:-1] if text.endswith("\0") else text)
    return "hex(%x):%s" % (kind, data.hex())


def render(entries):
    """entries: {key line: {name text: value text}} -> one text."""
    out = []
    for key in sorted(entries):
        out.append(key)
        for name in sorted(entries[key]):
            out.append("  %s=%s" % (name, entries[key][name]))
    return "\n".join(out) + "\n" if out else "(nothing)\n"


def name_text(name, default):
    return "@" if default else json.dumps(name.upper())


def regedit_export_entries(text, prefix):
    """Wine's regedit /E text (version 5, well formed) -> entries."""
    entries = {}
    current = None
    lines = text.replace("\r\n", "\n").split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        while line.endswith("\\") and i < len(lines) and "=hex" in line:
            line = line[:-1] + lines[i].strip()
            i += 1
        if line.startswith("["):
            key = line[1:-1]
            for k in key_lines([key], prefix):
                entries.setdefault(k, {})
            current = own_line(key, prefix)
            continue
        if current is None or not line or line.startswith("Windows Registry"):
            continue
        if line.startswith("@="):
            name, default, rest = "", True, line[2:]
        else:
            m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line)
            if not m:
                raise ValueError("unexpected export line: %r" % line)
            name, default, rest = unescape(m.group(1)), False, m.group(2)
        if rest.startswith('"'):
            value = "sz:" + json.dumps(unescape(rest[1:-1]))
        elif rest.startswith("dword:"):
            value = "dword:" + rest[6:].lower()
        else:
            m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", rest)
            value = typed(int(m.group(1) or "3", 16), hex_bytes(m.group(2)))
        entries[current][name_text(name, default)] = value
    return entries


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            out.append({"n": "\n", "0": "\0"}.get(n, n))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def store_value(raw, widen):
    """One value as the store holds it (qorreg's JSON raw text)."""
    if raw.startswith("<string>"):
        return "sz:" + json.dumps(raw[8:])
    if raw.startswith("<dword>") and re.fullmatch(r"-?[0-9]+", raw[7:]):
        number = int(raw[7:])
        if -(2**31) <= number < 2**32:
            return "dword:%08x" % (number & 0xFFFFFFFF)
    if raw.startswith("<hex>"):
        data = hex_bytes(raw[5:])
        if data is not None:
            return typed(3, data)
    m = re.fullmatch(r"hex\(([0-9a-fA-F]+)\):(.*)", raw, re.S)
    if m and hex_bytes(m.group(2)) is not None:
        kind, data = int(m.group(1), 16), hex_bytes(m.group(2))
        if widen and kind in (2, 7):
            data = b"".join(bytes([b, 0]) for b in data)
        return typed(kind, data)
    return "raw:" + json.dumps(raw)


def store_entries(node, prefix, widen, entries):
    for k in key_lines([node["key"]], prefix):
        entries.setdefault(k, {})
    own = own_line(node["key"], prefix)
    for value in node["values"]:
        name = name_text(value["name"], value["name"] == "@")
        entries.setdefault(own, {})[name] = store_value(value["raw"], widen)
    for sub in node["subkeys"]:
        store_entries(sub, prefix, widen, entries)


# ---- running the two programs -------------------------------------------


def qorreg_readback(qorreg, name, data, widen, work):
    path = os.path.join(work, "case.reg")
    store = os.path.join(work, "store.ini")
    if os.path.exists(store):
        os.remove(store)
    with open(path, "wb") as f:
        f.write(data)
    run = subprocess.run([qorreg, "-f", store, "import", "--create", path],
                         capture_output=True, timeout=60)
    entries = {}
    prefix = CORPUS_KEY + "\\" + name
    if os.path.exists(store):
        q = subprocess.run([qorreg, "-f", store, "query", prefix, "-s", "--json"],
                           capture_output=True, timeout=60)
        if q.returncode == 0:
            store_entries(json.loads(q.stdout), prefix, widen, entries)
        # Keys made anywhere else show by their section lines in the store file.
        with open(store, "rb") as f:
            sections = [line[1:-1].decode("latin-1") for line in f.read().splitlines()
                        if line.startswith(b"[") and line.endswith(b"]")]
        for k in key_lines([s for s in sections if s != "CINICHECKFILEVALID"], prefix):
            if k.startswith("[elsewhere: "):
                entries.setdefault(k, {})
    return render(entries), run.returncode


class Wine:
    def __init__(self, wine):
        self.wine = wine
        self.env = dict(os.environ, WINEDEBUG="-all")

    def run(self, *args):
        return subprocess.run([self.wine, *args], env=self.env, capture_output=True, timeout=120)

    def clear(self):
        self.run("reg", "delete", CORPUS_KEY, "/f")

    def import_file(self, path):
        self.run("regedit", "/S", path)

    def readbacks(self, names, work):
        """regedit /E of the corpus key, split into each case's text."""
        out = os.path.join(work, "wine.reg")
        if os.path.exists(out):
            os.remove(out)
        self.run("regedit", "/E", out, CORPUS_KEY)
        text = ""
        if os.path.exists(out):
            with open(out, "rb") as f:
                raw = f.read()
            text = raw[2:].decode("utf-16-le") if raw.startswith(b"\xff\xfe") else raw.decode("latin-1")
        result = {}
        for name in names:
            prefix = CORPUS_KEY + "\\" + name
            mine = []
            keep = False
            for line in text.replace("\r\n", "\n").split("\n"):
                if line.startswith("["):
                    k = line[1:-1].upper()
                    keep = k == prefix.upper() or k.startswith(prefix.upper() + "\\")
                if keep:
                    mine.append(line)
            result[name] = render(regedit_export_entries("\n".join(mine), prefix))
        return result


def wine_readbacks(wine, corpus, names, work):
    w = Wine(wine)
    w.clear()
    for name in names:
        path = os.path.join(work, "case.reg")
        with open(path, "wb") as f:
            f.write(corpus[name][0])
        w.import_file(path)
    result = w.readbacks(names, work)
    w.clear()
    return result


# ---- the allowed differences --------------------------------------------


def allowed_differences():
    """Case names from docs/compatibility.md's table and the pending list."""
    allowed = {}
    with open(COMPATIBILITY, encoding="utf-8") as f:
        text = f.read()
    start = text.find("### Where qorreg import and regedit differ")
    if start >= 0:
        section = text[start:].split("\n## ", 1)[0].split("\n### ", 1)[0]
        for m in re.finditer(r"^\| `([^`]+)` \|", section, re.M):
            allowed[m.group(1)] = "docs/compatibility.md"
    with open(PENDING, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                allowed[line] = "regedit_corpus_pending.txt"
    return allowed


def load_readbacks():
    with open(READBACKS, encoding="utf-8") as f:
        return json.load(f)


def compare(qorreg, corpus, names, wine_side, verbose):
    """Compare each named case; returns the failures as texts."""
    allowed = allowed_differences()
    failures, differing = [], []
    # Each import saves its store with a flush to disk: in memory where there is room.
    scratch = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(dir=scratch) as work:

        def one(name):
            folder = os.path.join(work, name)
            os.mkdir(folder)
            return qorreg_readback(qorreg, name, corpus[name][0], corpus[name][1], folder)

        # The programs mostly wait on the file system: four at a time.
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            results = dict(zip(names, pool.map(one, names)))
        for name in names:
            ours, status = results[name]
            theirs = wine_side.get(name)
            if theirs is None:
                failures.append("%s: no Wine read-back for this case (run make peer-refresh)" % name)
                continue
            if ours == theirs:
                if name in allowed:
                    failures.append("%s: now equal to regedit; take it off %s" % (name, allowed[name]))
                continue
            differing.append(name)
            if name not in allowed:
                failures.append("%s: qorreg import (exit %d) differs from regedit:\n--- regedit\n%s--- qorreg\n%s"
                                % (name, status, theirs, ours))
            elif verbose:
                print("%s (allowed by %s):\n--- regedit\n%s--- qorreg\n%s" % (name, allowed[name], theirs, ours))
    listed = sum(1 for name in differing if name in allowed)
    print("regedit corpus: %d cases, %d equal to regedit, %d differ as listed, %d failures"
          % (len(names), len(names) - len(differing), listed, len(failures)))
    return failures


def main(argv):
    corpus = build_corpus()
    names = sorted(corpus)
    if len(argv) >= 3 and argv[1] == "refresh":
        with tempfile.TemporaryDirectory() as work:
            wine_side = wine_readbacks(argv[2], corpus, names, work)
        data = {case_hash(corpus[n][0]): {"case": n, "readback": wine_side[n]} for n in names}
        with open(READBACKS, "w", encoding="utf-8") as f:
            json.dump(data, f, indent=1, sort_keys=True)
            f.write("\n")
        print("regedit corpus: %d Wine read-backs written to %s" % (len(data), READBACKS))
        return 0
    if len(argv) >= 3 and argv[1] == "check":
        committed = load_readbacks()
        wine_side = {}
        for name in names:
            entry = committed.get(case_hash(corpus[name][0]))
            if entry is not None:
                wine_side[name] = entry["readback"]
        failures = compare(argv[2], corpus, names, wine_side, "-v" in argv)
        for f in failures:
            print("FAILED " + f)
        return 1 if failures else 0
    if len(argv) >= 4 and argv[1] == "live":
        count = min(int(argv[4]) if len(argv) > 4 else 10, 10)
        # A fixed spread over the corpus, so each run checks the same cases.
        picked = names[:: max(1, len(names) // count)][:count]
        committed = load_readbacks()
        with tempfile.TemporaryDirectory() as work:
            live = wine_readbacks(argv[3], corpus, picked, work)
        failures = []
        for name in picked:
            entry = committed.get(case_hash(corpus[name][0]))
            if entry is None or entry["readback"] != live[name]:
                failures.append("%s: Wine's regedit now reads it otherwise than the committed read-back "
                                "(run make peer-refresh):\n--- committed\n%s--- now\n%s"
                                % (name, entry["readback"] if entry else "(none)\n", live[name]))
        failures += compare(argv[2], corpus, picked, live, False)
        for f in failures:
            print("FAILED " + f)
        return 1 if failures else 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
