#!/usr/bin/env python3
"""Checks the editor grammars against annotated sample models.

Each tests/grammar/*.tlv file is a test case in the format of
vscode-tmgrammar-test: a header line, then model lines, each followed by
assertion lines ("!!" then carets under the columns and the scopes they
must have).  This script
  1. writes one more case, made from the translator's own keyword tables
     (src/symbols/keywords.cpp), so that no instruction or function is left
     out of the grammar;
  2. runs vscode-tmgrammar-test on every case against the TextMate grammar;
  3. runs Vim on the same models with editors/vim and checks each asserted
     column has the Vim group that stands for the asserted scope.
usage: check.py SOURCE_DIR
"""
import os, re, subprocess, sys, tempfile

src = os.path.abspath(sys.argv[1])
vscode = os.path.join(src, "editors", "vscode")
cases_dir = os.path.join(src, "tests", "grammar")
failures = []

def table(name):
    text = open(os.path.join(src, "src", "symbols", "keywords.cpp")).read()
    m = re.search(name + r"\[[^\]]*\]\s*=\s*\{(.*?)\};", text, re.S)
    return [w for w in re.findall(r'"([^"]*)"', m.group(1)) if w.strip()]

def keyword_case(path):
    """One line per word of the instruction and function tables."""
    lines = ['!! SYNTAX TEST "source.talven" "every keyword of the translator"',
             "Keywords", "NETWORK", "  A (A) ::"]
    dist = {"BIN", "ERLG", "EXPO", "GAUSS", "NORM", "RANDOM", "TRIA", "UNIF",
            "UNIFI", "BER", "BETA", "GAMMA", "POISSON", "LOGNORM", "WEIBULL"}
    lists = {"LL", "MAXL", "MINL", "MEDL", "DMEDL", "ENTR", "TFREE", "MSTL",
             "DMSTL", "PFIRST", "PLAST"}
    for w in table("INSTTAB"):
        lines += ["     " + w + ";", "!!   " + "^" * len(w) + " keyword.other.instruction.talven"]
    for w in table("FUNCTAB"):
        scope = ("support.function.distribution.talven" if w in dist else
                 "support.function.list.talven" if w in lists else
                 "support.function.talven")
        lines += ["     X := " + w + ";", "!!        " + "^" * len(w) + " " + scope]
    for w in table("STMTTAB"):
        lines += ["     " + w + " ", "!!   " + "^" * len(w) + " keyword.control.talven"]
    lines += ["INIT", "END."]
    open(path, "w").write("\n".join(lines) + "\n")

def parse(path):
    """Model lines (without assertions) and [(model line, col, scope)]."""
    raw = open(path).read().split("\n")
    token = raw[0].split()[0]
    model, asserts = [], []
    for line in raw[1:]:
        rest = line[len(token):]
        if line.startswith(token) and re.match(r"\s*(\^|<~*-+)", rest):
            m = re.match(r"(\s*)(\^+|<(~*)(-+))\s*(.*)", rest)
            if m.group(2).startswith("<"):
                start = len(m.group(3) or "")
                cols = range(start, start + len(m.group(4)))
            else:
                start = len(token) + len(m.group(1))
                cols = range(start, start + len(m.group(2)))
            positive = m.group(5).split(" - ")[0].split()
            if positive:
                for c in cols:
                    asserts.append((max(len(model) - 1, 0), c, positive[-1]))
        else:
            model.append(line)
    return model, asserts

VIMGROUP = [
    ("comment.block.preamble", "talvenPreamble"),
    ("keyword.control.section", "talvenSection"),
    ("entity.name.function.node", "talvenNodeHeader"),
    ("storage.type.node-type", "talvenNodeType"),
    ("entity.name.tag.successor", "talvenNodeRest"),
    ("keyword.other.instruction", "talvenInstruction"),
    ("support.function.distribution", "talvenDistribution"),
    ("support.function.list", "talvenListFunction"),
    ("support.function", "talvenFunction"),
    ("keyword.control", "talvenControl"),
    ("keyword.operator.word", "talvenOperator"),
    ("keyword.operator.derivative", "talvenDerivative"),
    ("storage.type.class", "talvenClass"),
    ("storage.type", "talvenType"),
    ("variable.language.list", "talvenList"),
    ("variable.language.node", "talvenNodeVar"),
    ("variable.language", "talvenPredefined"),
    ("variable.other.derivative", "talvenDerivative"),
    ("constant.numeric", "talvenNumber"),
    ("string.quoted", "talvenString"),
    ("constant.character.escape", "talvenString"),
    ("comment.block", "talvenComment"),
    ("meta.embedded.line.pascal", "talvenPassThrough"),
    ("punctuation.definition.passthrough", "talvenPassThrough"),
]

def vim_group(scope):
    for prefix, group in VIMGROUP:
        if scope.startswith(prefix):
            return group
    return None   # punctuation and operators: Vim leaves them plain

def check_vim(case, tmp):
    model, asserts = parse(case)
    wanted = [(l, c, vim_group(s), s) for l, c, s in asserts if vim_group(s)]
    if not wanted:
        return
    mfile = os.path.join(tmp, "m.tlv")
    open(mfile, "w").write("\n".join(model) + "\n")
    out = os.path.join(tmp, "groups.txt")
    probe = " ".join("[%d,%d]," % (l + 1, c + 1) for l, c, _, _ in wanted)
    cmd = ["vim", "-u", "NONE", "-i", "NONE", "-es", "-N",
           "--cmd", "set rtp^=" + os.path.join(src, "editors", "vim"),
           "-c", "syntax on", "-c", "set ft=talven",
           "-c", "let g:r = map([" + probe + "], 'synIDattr(synID(v:val[0],v:val[1],1),\"name\")')",
           "-c", "call writefile(g:r, '" + out + "')", "-c", "qa!", mfile]
    subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=60)
    got = open(out).read().split("\n") if os.path.exists(out) else []
    for i, (l, c, g, s) in enumerate(wanted):
        have = got[i] if i < len(got) else "(nothing)"
        if have != g:
            failures.append("%s:%d:%d: vim group %s, expected %s (for %s)"
                            % (os.path.basename(case), l + 1, c + 1, have, g, s))

with tempfile.TemporaryDirectory() as tmp:
    cases = sorted(os.path.join(cases_dir, f) for f in os.listdir(cases_dir) if f.endswith(".tlv"))
    kw = os.path.join(tmp, "keywords.tlv")
    keyword_case(kw)
    cases.append(kw)
    tool = os.path.join(vscode, "node_modules", ".bin", "vscode-tmgrammar-test")
    r = subprocess.run([tool, "-c", "-g", os.path.join(vscode, "syntaxes", "talven.tmLanguage.json")] + cases,
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    print(r.stdout, end="")
    if r.returncode != 0:
        failures.append("vscode-tmgrammar-test failed")
    for case in cases:
        check_vim(case, tmp)

for f in failures:
    print("FAIL", f)
print("grammar checks: %s" % ("failed" if failures else "passed"))
sys.exit(1 if failures else 0)
