#!/usr/bin/env python3
"""Runs every model and fragment shown in docs/, so the documentation
cannot drift from what the translator and the runtime do.

A ```tlv block is one of:
  - a complete model (a title line, NETWORK ... END.): built with
    `talven build` and run; it must build without a message, and the
    simulation must end with exit code 0;
  - a fragment, marked by an HTML comment right before the block:
        <!-- test: wrap=NAME [key="value" ...] -->
    The fragment is put in tests/docs/wrap/NAME.tlv in place of the line
    "@@"; the result is built with `talven build`.

Keys of the comment (values in double quotes when they hold blanks):
  wrap=NAME        fragment wrapper (tests/docs/wrap/NAME.tlv)
  decl="..." init="..."  text put at @DECL@ and @INIT@ of the wrapper
  error="MESSAGE"  translation must stop with this message (exit code 3)
  warning="MESSAGE" translation must give this warning
  line=N           the message must be reported at line N of the block
  run              a fragment is also run (with expect=, args=...)
  translate        a complete model is only built, not run
  builderror="TEXT" talven build must stop with exit code 3 and this text
                   (a fault the Pascal compiler finds, at the model's line)
  args="..."       arguments of the simulation program
  stdin="..."      its standard input (\\n for a line end)
  expect="TEXT"    its standard output must contain TEXT (may repeat)
  file=NAME        the next ```text block is written to file NAME beside
                   the model before the run (data files; in a page with
                   commands, into its directory too)
  name=STEM        file name of the model (default: the title's first word)
  shell            (before a ```sh block) the commands are run with bash, in
                   a directory of the page's own where every model block
                   with name=STEM before them has been written as STEM.tlv,
                   with talven on PATH; they must end with exit code 0 and
                   print every expect= text;
  ci="FILE FIGURE VALUE"  VALUE lies in the confidence interval of FIGURE
                   in the summary.csv FILE the commands wrote, widened to
                   twice its half-width (the value of theory misses the
                   95 % interval in one run of twenty, the widened one
                   about once in a thousand: any random numbers pass);
  near="FILE FIGURE VALUE TOL"  the mean of FIGURE there is VALUE within
                   the relative tolerance TOL
  approx="TEXT VALUE TOL"  the first number after TEXT in the standard
                   output is VALUE within the relative tolerance TOL
                   (ci=, near= and approx= hold for complete models too)
  output           (before a ```text block) the block is what the run of
                   the block before it (model or commands) wrote on
                   standard output, line for line
  shape            the same, but any number matches any number, blanks
                   between words count as one, and a line "..." stands
                   for any lines: the format is checked, not the figures
                   a run draws
  source=PATH      the block is a copy of this file of the repository
                   (examples/bank.tlv): it must equal it, and is named
                   after it

usage: check.py SOURCE_DIR TALVEN_BINARY [DOC.md ...]
"""
import concurrent.futures
import csv
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

SRC = os.path.abspath(sys.argv[1])
BIN = os.path.abspath(sys.argv[2])
DOCS = [os.path.abspath(p) for p in sys.argv[3:]] or sorted(
    os.path.join(SRC, "docs", n) for n in os.listdir(os.path.join(SRC, "docs"))
    if n.endswith(".md"))
RUNTIME = os.path.join(SRC, "runtime")
WRAPS = os.path.join(SRC, "tests", "docs", "wrap")
FENCE = re.compile(r"^(```+|~~~+)\s*([\w+-]*)")
COMMENT = re.compile(r"^<!--\s*test:(.*?)-->\s*$", re.S)


class Block:
    def __init__(self, path, line, lang, text, opts):
        self.path, self.line, self.lang, self.text, self.opts = path, line, lang, text, opts
        self.files = {}
        self.stdout = None  # what its run wrote, for the text block after it

    def where(self):
        return "%s:%d" % (os.path.relpath(self.path, SRC), self.line)


def parse_opts(text):
    """key=value pairs and bare words of a test comment; keys may repeat."""
    opts = {}
    for item in shlex.split(text.replace("\n", " ")):
        key, _, value = item.partition("=")
        opts.setdefault(key, []).append(value if _ else True)
    return opts


def blocks(path):
    """Every fenced block of a Markdown file, with the test comment before it."""
    lines = open(path, encoding="utf-8").read().split("\n")
    found, i, pending = [], 0, None
    while i < len(lines):
        m = FENCE.match(lines[i])
        if lines[i].startswith("<!--"):
            j = i
            while "-->" not in lines[j]:
                j += 1
            c = COMMENT.match("\n".join(lines[i:j + 1]))
            pending = parse_opts(c.group(1)) if c else pending
            i = j + 1
            continue
        if m:
            fence, lang = m.group(1), m.group(2)
            j = i + 1
            while not lines[j].startswith(fence):
                j += 1
            found.append(Block(path, i + 1, lang, "\n".join(lines[i + 1:j]) + "\n", pending or {}))
            pending = None
            i = j + 1
            continue
        if lines[i].strip():
            pending = None
        i += 1
    # a data file is the text block after the model that names it
    for k, b in enumerate(found):
        for name in b.opts.get("file", []):
            nxt = found[k + 1] if k + 1 < len(found) else None
            if nxt is None or nxt.lang == "tlv":
                raise SystemExit("%s: file=%s needs a text block after it" % (b.where(), name))
            b.files[name] = nxt.text
    return found


def one(opts, key, default=None):
    v = opts.get(key)
    return v[-1] if v else default


def model_text(b):
    """The model to translate, and the line of the block's first line in it."""
    wrap = one(b.opts, "wrap")
    if not wrap:
        return b.text, 1
    with open(os.path.join(WRAPS, wrap + ".tlv"), encoding="utf-8") as f:
        template = f.read()
    out, offset = [], None
    for line in template.split("\n"):
        if line.strip() == "@@":
            offset = len(out) + 1
            out += b.text.rstrip("\n").split("\n")
        elif "@DECL@" in line or "@INIT@" in line:
            extra = one(b.opts, "decl" if "@DECL@" in line else "init", "")
            out += [l for l in extra.replace("\\n", "\n").split("\n") if l]
        else:
            out.append(line)
    return "\n".join(out), offset


def stem_of(b, text):
    source = one(b.opts, "source")
    if source:
        return os.path.splitext(os.path.basename(source))[0]
    name = one(b.opts, "name")
    if name:
        return name
    first = re.findall(r"[A-Za-z]+", text.split("\n", 1)[0])
    return (first[0] if first else "model").lower()


def run(cmd, cwd, stdin=None, timeout=120):
    p = subprocess.run(cmd, cwd=cwd, input=stdin, capture_output=True, text=True,
                       timeout=timeout, errors="replace")
    return p.returncode, p.stdout, p.stderr


def check(b, workdir):
    """Problems found with one block (empty when it passes)."""
    text, offset = model_text(b)
    stem = stem_of(b, text)
    source = one(b.opts, "source")
    if source:
        with open(os.path.join(SRC, source), encoding="utf-8") as f:
            if f.read() != b.text:
                return ["the block differs from %s" % source]
    d = os.path.join(workdir, "%s_%d_%s" % (os.path.basename(b.path)[:-3], b.line, stem))
    os.makedirs(d)
    with open(os.path.join(d, stem + ".tlv"), "w", encoding="utf-8") as f:
        f.write(text)
    for name, content in b.files.items():
        with open(os.path.join(d, name), "w", encoding="utf-8") as f:
            f.write(content)
    error = one(b.opts, "error")
    builderror = one(b.opts, "builderror")
    # A model error needs the translation alone; anything else is built as
    # a modeller builds it, with talven build.
    code, out, err = run([BIN, stem + ".tlv"] if error else [BIN, "build", stem + ".tlv"], d)
    shown = re.findall(r"^%s\.tlv:(\d+):(\d+): (error|warning): (.*)$" % re.escape(stem), err, re.M)
    if error:
        if code != 3:
            return ["translation should stop with '%s' but exit code is %d\n%s" % (error, code, err)]
        got = [(int(l), m) for l, _, k, m in shown if k == "error"]
        if not got or got[-1][1].strip() != error.strip():
            return ["expected error '%s', got:\n%s" % (error, err)]
        line = one(b.opts, "line")
        if line and offset and got[-1][0] != offset + int(line) - 1:
            return ["error at model line %d, not at line %s of the block" % (got[-1][0], line)]
        return []
    if builderror:
        if code != 3 or builderror not in err:
            return ["the build should stop with '%s' (exit code 3), got %d:\n%s" % (builderror, code, err)]
        return []
    if code != 0:
        return ["talven build failed (exit code %d):\n%s%s" % (code, out[-2000:], err[-3000:])]
    warnings = sorted(m.strip() for _, _, k, m in shown if k == "warning")
    wanted = sorted(w.strip() for w in b.opts.get("warning", []))
    if warnings != wanted:
        return ["warnings %s, expected %s" % (warnings, wanted)]
    complete = not one(b.opts, "wrap") or one(b.opts, "run")
    if not complete or one(b.opts, "translate"):
        return []
    program = out.strip().split("\n")[-1]
    args = shlex.split(one(b.opts, "args", ""))
    stdin = one(b.opts, "stdin", "").replace("\\n", "\n")
    code, out, err = run([program] + args, d, stdin=stdin)
    b.stdout = out
    if code != 0:
        return ["simulation ended with exit code %d:\n%s%s" % (code, out[-2000:], err[-2000:])]
    return ["output lacks '%s':\n%s" % (e, out[-3000:])
            for e in b.opts.get("expect", []) if e not in out] + claims(b, d, out)


def slug(heading):
    """The anchor a Markdown renderer gives a heading."""
    t = re.sub(r"[`*]", "", heading.strip().lower())
    t = re.sub(r"[^\w\- ]", "", t)
    return t.replace(" ", "-")


def links(paths):
    """Links between the pages that lead nowhere: a missing page or heading."""
    anchors, problems = {}, []
    for path in paths:
        text = open(path, encoding="utf-8").read()
        text = re.sub(r"```.*?```", "", text, flags=re.S)
        anchors[path] = {slug(h) for h in re.findall(r"^#+ (.*)$", text, re.M)}
        anchors[path] |= set(re.findall(r'<a name="([^"]+)"', text))
    for path in paths:
        text = re.sub(r"```.*?```", "", open(path, encoding="utf-8").read(), flags=re.S)
        for target in re.findall(r"\]\(([^)\s]+)\)", text):
            if re.match(r"[a-z]+:", target):
                continue
            page, _, anchor = target.partition("#")
            dest = os.path.normpath(os.path.join(os.path.dirname(path), page)) if page else path
            if not os.path.exists(dest):
                problems.append("%s: link to %s, which does not exist" % (os.path.relpath(path, SRC), page))
            elif anchor and dest in anchors and anchor not in anchors[dest]:
                problems.append("%s: link to #%s, no such heading in %s"
                                % (os.path.relpath(path, SRC), anchor, os.path.relpath(dest, SRC)))
    return problems


def summary(d, path, figure):
    """The row of FIGURE in the summary.csv at PATH, or a problem."""
    try:
        with open(os.path.join(d, path), encoding="utf-8") as f:
            rows = {r["figure"]: r for r in csv.DictReader(f)}
        return rows[figure], ""
    except (OSError, KeyError) as e:
        return None, "no figure %s in %s: %s" % (figure, path, e)


def interval(d, claim):
    """A problem when the value of theory lies outside a figure's interval."""
    path, figure, value = claim.split()
    row, problem = summary(d, path, figure)
    if problem:
        return problem
    mean, half = float(row["mean"]), float(row["half_width"])
    if abs(float(value) - mean) > 2 * half:
        return "%s: %g ± twice %g does not hold %s" % (figure, mean, half, value)
    return ""


def near(d, claim):
    """A problem when a figure's mean is not VALUE within the tolerance."""
    path, figure, value, tol = claim.split()
    row, problem = summary(d, path, figure)
    if problem:
        return problem
    mean, value = float(row["mean"]), float(value)
    if abs(mean - value) > float(tol) * abs(value):
        return "%s: mean %g is not %g within %s" % (figure, mean, value, tol)
    return ""


def approx(out, claim):
    """A problem when the number printed after TEXT is not VALUE within TOL."""
    text, value, tol = claim.rsplit(None, 2)
    m = re.search(re.escape(text) + r"\D*?([-+]?\d+(?:\.\d*)?(?:[eE][-+]?\d+)?)", out)
    if not m:
        return "no number after '%s' in the output" % text
    got, value = float(m.group(1)), float(value)
    if abs(got - value) > float(tol) * abs(value):
        return "%s %g is not %g within %s" % (text, got, value, tol)
    return ""


def claims(b, d, out):
    """The figures a page states, against the run that wrote d and out."""
    found = [interval(d, c) for c in b.opts.get("ci", [])]
    found += [near(d, c) for c in b.opts.get("near", [])]
    found += [approx(out, c) for c in b.opts.get("approx", [])]
    return [x for x in found if x]


NUMBER = re.compile(r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def masked(line):
    return " ".join(NUMBER.sub("0", line).split())


def shown(b, out):
    """A problem when the text block is not what the run wrote."""
    if out is None:
        return "no run before this block to compare it with"
    if one(b.opts, "output"):
        want = "\n".join(l.rstrip() for l in b.text.rstrip("\n").split("\n"))
        got = "\n".join(l.rstrip() for l in out.split("\n"))
        return "" if want in got else "the run wrote instead:\n" + out[-3000:]
    pattern = "".join(r"(?:[^\n]*\n)*?" if l.strip() == "..." else re.escape(masked(l)) + r"\n"
                      for l in b.text.rstrip("\n").split("\n"))
    got = "".join(masked(l) + "\n" for l in out.split("\n"))
    if re.search(pattern, got):
        return ""
    return "the run wrote a report of another shape:\n" + out[-3000:]


def session(page, found, work):
    """A page with shell blocks, in order: its models are checked and, when
    named, written into one directory where its shell blocks then run, as a
    reader following the page would."""
    d = os.path.join(work, "session_" + os.path.basename(page)[:-3])
    os.makedirs(d)
    env = dict(os.environ, PATH=os.path.dirname(BIN) + os.pathsep + os.environ.get("PATH", ""))
    results = []
    for b in found:
        if b.lang == "tlv":
            results.append((b, check(b, work)))
            stem = one(b.opts, "name")
            if stem:
                with open(os.path.join(d, stem + ".tlv"), "w", encoding="utf-8") as f:
                    f.write(b.text)
                for name, content in b.files.items():
                    with open(os.path.join(d, name), "w", encoding="utf-8") as f:
                        f.write(content)
        elif one(b.opts, "shell"):
            stdin = one(b.opts, "stdin", "").replace("\\n", "\n")
            p = subprocess.run(["bash", "-e", "-c", b.text], cwd=d, env=env, capture_output=True,
                               input=stdin, text=True, timeout=600, errors="replace")
            problems = []
            if p.returncode != 0:
                problems.append("commands ended with exit code %d:\n%s%s"
                                % (p.returncode, p.stdout[-2000:], p.stderr[-2000:]))
            problems += ["output lacks '%s':\n%s" % (e, p.stdout[-3000:])
                         for e in b.opts.get("expect", []) if e not in p.stdout]
            problems += claims(b, d, p.stdout)
            b.stdout = p.stdout
            results.append((b, [x for x in problems if x]))
    return results


def main():
    todo, pages, every = [], [], []
    for path in DOCS:
        found = blocks(path)
        every.append(found)
        for b in found:
            if b.opts and b.lang not in ("tlv", "text", "sh"):
                print("FAIL %s: a test comment before a %s block" % (b.where(), b.lang or "plain"))
                return 1
        if any(b.lang == "sh" and one(b.opts, "shell") for b in found):
            pages.append((path, found))
        else:
            todo += [b for b in found if b.lang == "tlv"]
    work = tempfile.mkdtemp(prefix="docs.")
    failed = 0
    for problem in links(DOCS + [os.path.join(SRC, "README.md")]):
        print("FAIL " + problem)
        failed += 1
    try:
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            sessions = [pool.submit(session, p, found, work) for p, found in pages]
            results = list(pool.map(lambda b: (b, check(b, work)), todo))
            for s in sessions:
                results += s.result()
        # text blocks that show a run: compared with the run before them
        for found in every:
            last = None
            for b in found:
                if b.lang == "tlv" or one(b.opts, "shell"):
                    last = b
                elif b.lang == "text" and (one(b.opts, "output") or one(b.opts, "shape")):
                    problem = shown(b, last.stdout if last else None)
                    results.append((b, [problem] if problem else []))
        for b, problems in results:
            if problems:
                failed += 1
                print("FAIL %s: %s" % (b.where(), "\n".join(problems)))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("docs: %d blocks, %d failed" % (len(results), failed))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
