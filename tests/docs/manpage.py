#!/usr/bin/env python3
"""The manual page against the programs it describes.

  - man/talven.1 renders without a warning of groff, and names the
    version `talven --version` gives;
  - every form of the command line `talven --help` lists is in its
    SYNOPSIS, and every command its SYNOPSIS names is one talven knows;
    the options `talven help COMMAND` gives are on the page and in
    docs/program.md;
  - the options of a built simulation (`PROGRAM --help`) are exactly
    those the page and docs/program.md list for it.

usage: manpage.py SOURCE_DIR TALVEN_BINARY
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

SRC = os.path.abspath(sys.argv[1])
BIN = os.path.abspath(sys.argv[2])
PAGE = os.path.join(SRC, "man", "talven.1")
MODEL = """A bank with one teller.
NETWORK
  ENTRY (I) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
     STAY := EXPO(4);
  EXIT (E) ::
INIT
  TSIM := 100;
  ACT(ENTRY, 0);
DECL
END.
"""
OPTION = re.compile(r"(?<![\w-])--[a-z][a-z-]*")


def run(cmd, cwd=None):
    p = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, errors="replace")
    return p.returncode, p.stdout, p.stderr


def rendered():
    """The page as plain text, one line per paragraph (no hyphenation)."""
    code, out, err = run(["groff", "-man", "-Tutf8", "-ww", "-rLL=2000n",
                          "-P-c", "-P-b", "-P-o", "-P-u", PAGE])
    problems = [] if code == 0 and not err.strip() else ["groff: " + err.strip()]
    return out.replace("\u2010", "-").replace("\u2212", "-"), problems


def sections(text):
    """Heading -> body of a rendered page."""
    found, name = {}, None
    for line in text.split("\n"):
        if line and not line[0].isspace():
            name = line.strip()
            found[name] = []
        elif name:
            found[name].append(" ".join(line.split()))
    return {k: "\n".join(l for l in v if l) for k, v in found.items()}


def forms(text):
    """Each 'talven ...' form that begins a line of a usage text, blanks
    made single."""
    got = []
    for line in text.split("\n"):
        m = re.match(r"(?:usage:\s*)?talven ((?:\S+ ?)+?)(?:\s{2,}|$)", line.strip())
        if m:
            got.append(" ".join(m.group(1).split()))
    return got


def main():
    problems = []
    text, p = rendered()
    problems += p
    parts = sections(text)
    synopsis = parts.get("SYNOPSIS", "")
    program_part = parts.get("THE SIMULATION PROGRAM", "")
    if not synopsis or not program_part:
        problems.append("the page lacks SYNOPSIS or THE SIMULATION PROGRAM")

    code, out, err = run([BIN, "--version"])
    version = out.split("\n")[0].split()[-1] if code == 0 and out else "?"
    title = open(PAGE, encoding="utf-8").readline()
    if '"TALVEN %s"' % version not in title:
        problems.append("the page's title line is not of version %s: %s" % (version, title.strip()))

    code, out, err = run([BIN, "--help"])
    if code != 0:
        problems.append("talven --help ended with %d" % code)
    listed = forms(out)
    if not listed:
        problems.append("talven --help lists no form:\n" + out)
    synopsis_forms = forms(synopsis)
    for f in listed:
        if f not in synopsis_forms:
            problems.append("talven %s: in talven --help, not in the SYNOPSIS" % f)
    verbs = {f.split()[0] for f in listed}
    for f in synopsis_forms:
        word = f.split()[0]
        if word[0].isalpha() and word.islower() and word not in verbs:
            problems.append("talven %s: in the SYNOPSIS, not a command of talven --help" % f)

    # each command's own options, on the page and in the program chapter
    chapter = open(os.path.join(SRC, "docs", "program.md"), encoding="utf-8").read()
    commands = parts.get("COMMANDS", "")
    for verb in sorted(verbs):
        if not verb[0].isalpha() or verb == "help":
            continue
        code, usage, err = run([BIN, "help", verb])
        for o in sorted(set(OPTION.findall(usage))):
            if o not in OPTION.findall(commands):
                problems.append("talven %s has %s: not on the page" % (verb, o))
            if o not in OPTION.findall(chapter):
                problems.append("talven %s has %s: not in docs/program.md" % (verb, o))

    work = tempfile.mkdtemp(prefix="manpage.")
    try:
        with open(os.path.join(work, "bank.tlv"), "w", encoding="utf-8") as f:
            f.write(MODEL)
        code, out, err = run([BIN, "build", "bank.tlv"], work)
        if code != 0:
            problems.append("talven build failed:\n" + err)
        else:
            code, usage, err = run([out.strip().split("\n")[-1], "--help"], work)
            options = set(OPTION.findall(usage))
            if code != 0 or not options:
                problems.append("the program's --help lists no option:\n" + usage + err)
            on_page = set(OPTION.findall(program_part))
            table = set(OPTION.findall("\n".join(
                l.split("|")[1] for l in chapter.split("\n") if l.startswith("| `--"))))
            for where, found in (("the manual page", on_page), ("docs/program.md", table)):
                for o in sorted(options - found):
                    problems.append("%s: the program has %s, not listed" % (where, o))
                for o in sorted(found - options):
                    problems.append("%s: lists %s, which the program does not have" % (where, o))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    for p in problems:
        print("FAIL " + p)
    print("manpage: %d problems" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
