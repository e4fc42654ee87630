#!/usr/bin/env python3
"""Checks that docs/diagnostics.md has one entry for every model message
the translator can give, and none for a message it no longer gives.

The messages come from the translator's source (messages.py). An entry is
a heading of level 3 that is one code span: ### `duplicated name <name>`,
with <name> where the message carries a name.

usage: diagnostics.py SOURCE_DIR
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import messages  # noqa: E402

src = os.path.abspath(sys.argv[1])
page = os.path.join(src, "docs", "diagnostics.md")
try:
    wanted = messages.messages(src)
except messages.Unresolved as e:
    print("FAIL: a message of the translator cannot be read from its source: %s" % e)
    print("Pass it to ERROR or WARNING as a literal, or teach tests/docs/messages.py the form.")
    sys.exit(1)

entries = {}
for n, line in enumerate(open(page, encoding="utf-8"), 1):
    m = re.match(r"^### `(.*)`\s*$", line)
    if m:
        text = m.group(1).strip()
        if text in entries:
            print("FAIL docs/diagnostics.md:%d: a second entry for `%s`" % (n, text))
            sys.exit(1)
        entries[text] = n

missing = sorted(set(wanted) - set(entries))
stale = sorted(set(entries) - set(wanted))
for text in missing:
    print("FAIL: the message `%s` (%s) has no entry in docs/diagnostics.md"
          % (text, ", ".join(wanted[text]["where"][:3])))
if missing:
    print("Add for each a heading ### `message` to docs/diagnostics.md, in the group it")
    print("belongs to, saying what it means and the usual fix, with a model that gives it")
    print("(<!-- test: wrap=... error=\"message\" --> before a ```tlv block; see tests/docs/check.py).")
for text in stale:
    print("FAIL docs/diagnostics.md:%d: `%s` is no message of the translator"
          % (entries[text], text))
print("diagnostics: %d messages, %d entries, %d missing, %d stale"
      % (len(wanted), len(entries), len(missing), len(stale)))
sys.exit(1 if missing or stale else 0)
