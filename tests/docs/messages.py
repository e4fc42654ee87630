"""The translator's model messages, read from its source.

Every call ERROR(c, ...) and WARNING(c, ...) in src/ gives one message.
The text is the string literal at the call; where the call passes a
parameter instead, the message comes from the literals the callers pass
for that parameter (EXPECT(c, ';') gives "; expected"), and where it
passes a field of a table of rows, from that column of the rows.  A part
computed at run time, such as the name of a node, is written <name>.  An argument
this reader cannot trace to literals is an error, so that no message can
escape the diagnostics page unseen.

usage (as a program): messages.py SOURCE_DIR   prints one message a line
"""
import os
import re
import sys

IDENT = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")


class Unresolved(Exception):
    pass


def strip_comments(text):
    """Blanks out comments, keeping string and character literals and
    every offset (so positions still give line numbers)."""
    out = []
    i, n = 0, len(text)
    while i < n:
        ch = text[i]
        if ch in "\"'":
            j = i + 1
            while j < n and text[j] != ch:
                j += 2 if text[j] == "\\" else 1
            out.append(text[i:j + 1])
            i = j + 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        else:
            out.append(ch)
            i += 1
    return "".join(out)


def closing(text, i):
    """Index of the bracket that closes the one at text[i]."""
    pairs = {"(": ")", "[": "]", "{": "}"}
    stack = [pairs[text[i]]]
    j = i + 1
    while j < len(text):
        ch = text[j]
        if ch in "\"'":
            k = j + 1
            while text[k] != ch:
                k += 2 if text[k] == "\\" else 1
            j = k
        elif ch in pairs:
            stack.append(pairs[ch])
        elif ch in ")]}":
            if ch != stack.pop():
                raise Unresolved("unbalanced brackets")
            if not stack:
                return j
        j += 1
    raise Unresolved("unclosed bracket")


def split_args(s):
    """Top-level comma-separated items of an argument text."""
    items, depth, cur, j = [], 0, [], 0
    while j < len(s):
        ch = s[j]
        if ch in "\"'":
            k = j + 1
            while s[k] != ch:
                k += 2 if s[k] == "\\" else 1
            cur.append(s[j:k + 1])
            j = k + 1
            continue
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
        if ch == "," and depth == 0:
            items.append("".join(cur).strip())
            cur = []
        else:
            cur.append(ch)
        j += 1
    if cur or items:
        items.append("".join(cur).strip())
    return items


def unescape(lit):
    body = lit[1:-1]
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), body)


LITERALS = re.compile(r'^((?:"(?:[^"\\]|\\.)*"\s*)+)(.*)$', re.S)


class Source:
    def __init__(self, root):
        self.files = {}
        for dirpath, _, names in os.walk(os.path.join(root, "src")):
            for name in sorted(names):
                if name.endswith((".cpp", ".h")):
                    path = os.path.join(dirpath, name)
                    with open(path, encoding="utf-8") as f:
                        self.files[os.path.relpath(path, root)] = strip_comments(f.read())

    def calls(self, name):
        """(file, offset, argument texts) of every call of name(...)."""
        pat = re.compile(r"(?<![A-Za-z0-9_.>])" + re.escape(name) + r"\s*\(")
        for path, text in self.files.items():
            for m in pat.finditer(text):
                before = text[:m.start()].rstrip()
                # a declaration or definition, not a call: a type stands before
                word = re.search(r"(\w+)$", before)
                if before.endswith(("]]", ">", "*", "&")) or (
                        word and word.group(1) not in ("else", "return", "do", "throw", "case")):
                    continue
                open_at = m.end() - 1
                close_at = closing(text, open_at)
                yield path, m.start(), split_args(text[open_at + 1:close_at])

    def enclosing(self, path, offset):
        """Name, parameter names and body text of the function around offset."""
        text = self.files[path]
        best = None
        for m in re.finditer(r"([A-Za-z_][A-Za-z0-9_]*)\s*\(([^;{}()]*(?:\([^()]*\)[^;{}()]*)*)\)\s*(?:const\s*)?\{", text):
            if m.start() > offset:
                break
            if m.group(1) in ("if", "for", "while", "switch", "catch"):
                continue
            body_end = closing(text, m.end() - 1)
            if body_end > offset:
                best = m
        if best is None:
            raise Unresolved("no enclosing function")
        params = []
        for p in split_args(best.group(2)):
            p = p.split("=")[0].strip()
            words = IDENT.findall(p)
            params.append(words[-1] if words else "")
        body = text[best.end() - 1:closing(text, best.end() - 1) + 1]
        return best.group(1), params, body

    def line(self, path, offset):
        return self.files[path].count("\n", 0, offset) + 1


def split_plus(expr):
    """Top-level operands of a concatenation a + b + c."""
    parts, depth, cur, j = [], 0, [], 0
    while j < len(expr):
        ch = expr[j]
        if ch in "\"'":
            k = j + 1
            while expr[k] != ch:
                k += 2 if expr[k] == "\\" else 1
            cur.append(expr[j:k + 1])
            j = k + 1
            continue
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
        if ch == "+" and depth == 0:
            parts.append("".join(cur).strip())
            cur = []
        else:
            cur.append(ch)
        j += 1
    parts.append("".join(cur).strip())
    return parts


# What a computed part of a message stands for, by the routine that gives it.
PLACEHOLDERS = {"DECLCLASSENTRY": "<class>", "INSTENTRY": "<instruction>"}


def resolve(src, path, offset, expr, depth=0):
    """Message texts an argument expression can take.  A part computed at
    run time (a name) is written <name>."""
    if depth > 6:
        raise Unresolved("forwarding too deep")
    expr = expr.strip()
    if IDENT.fullmatch(expr):
        return forwarded(src, path, offset, expr, depth)
    m = re.match(r"^(\w+)\.(\w+)$", expr)
    if m:
        return table_column(src, path, offset, m.group(2))
    texts = [""]
    for part in split_plus(expr):
        lits = re.fullmatch(r'(?:"(?:[^"\\]|\\.)*"\s*)+', part)
        one = re.fullmatch(r"std::string\(1,\s*(\w+)\)", part)
        param = re.fullmatch(r"std::string\((\w+)\)", part)
        if lits:
            piece = ["".join(unescape(l) for l in re.findall(r'"(?:[^"\\]|\\.)*"', part))]
        elif one:
            piece = chars(src, path, offset, one.group(1), depth)
        elif param and param.group(1) in src.enclosing(path, offset)[1]:
            piece = forwarded(src, path, offset, param.group(1), depth)
        elif part and texts != [""]:
            call = re.match(r"(?:std::string\()?(\w+)\(", part)
            piece = [PLACEHOLDERS.get(call.group(1), "<name>") if call else "<name>"]
        elif part:
            call = re.match(r"std::string\((\w+)\(", part)
            if not call:
                raise Unresolved("cannot read " + expr)
            piece = [PLACEHOLDERS.get(call.group(1), "<name>")]
        else:
            raise Unresolved("cannot read " + expr)
        texts = [t + p for t in texts for p in piece]
    return texts


def forwarded(src, path, offset, param, depth):
    """A message passed in a parameter: the texts its callers pass."""
    name, params, _ = src.enclosing(path, offset)
    if param not in params:
        raise Unresolved("not a parameter: " + param)
    at = params.index(param)
    found = []
    for cpath, coff, args in src.calls(name):
        if len(args) > at:
            found += resolve(src, cpath, coff, args[at], depth + 1)
    if not found:
        raise Unresolved("no caller passes a text for " + param)
    return found


def chars(src, path, offset, expr, depth):
    """Character literals a char argument can take."""
    if re.fullmatch(r"'(?:[^'\\]|\\.)'", expr):
        return [unescape(expr)]
    name, params, body = src.enclosing(path, offset)
    loop = re.search(r"for\s*\(\s*char\s+" + re.escape(expr) + r"\s*:\s*\{([^{}]*)\}", body)
    if loop:
        return [unescape(x) for x in split_args(loop.group(1))]
    if expr not in params:
        raise Unresolved("not a parameter: " + expr)
    at = params.index(expr)
    found = []
    for cpath, coff, args in src.calls(name):
        if len(args) > at:
            found += chars(src, cpath, coff, args[at], depth + 1)
    return found


def table_column(src, path, offset, field):
    """The literals of one column of a table of rows: in the same function,
    or at the top of the file and walked by a loop of the function."""
    _, _, body = src.enclosing(path, offset)
    text, row, table = body, r"\w+", r"\w+"
    if not re.search(r"struct\s+\w+\s*\{", body):
        loop = re.search(r"for\s*\(\s*const\s+(\w+)\s*&\s*\w+\s*:\s*(\w+)\s*\)", body)
        if not loop:
            raise Unresolved("no row type for ." + field)
        text, row, table = src.files[path], loop.group(1), loop.group(2)
    m = re.search(r"struct\s+" + row + r"\s*\{([^}]*)\}", text)
    if not m:
        raise Unresolved("no row type for ." + field)
    fields = [IDENT.findall(d)[-1] for d in m.group(1).split(";") if d.strip()]
    at = fields.index(field)
    m = re.search(table + r"\[\]\s*=\s*\{", text)
    rows_text = text[m.end() - 1:closing(text, m.end() - 1) + 1]
    found = []
    for row in re.finditer(r"\{([^{}]*)\}", rows_text[1:-1]):
        item = split_args(row.group(1))[at]
        found.append(unescape(item))
    return found


def messages(root):
    """{text: {"kind": "error"|"warning", "where": [file:line, ...]}}
    Texts are stripped of the blanks at their ends, which no reader sees."""
    src = Source(root)
    result = {}
    for kind, name in (("error", "ERROR"), ("warning", "WARNING")):
        for path, offset, args in src.calls(name):
            if len(args) != 2:
                continue
            where = "%s:%d" % (path, src.line(path, offset))
            try:
                found = resolve(src, path, offset, args[1])
            except Unresolved as e:
                raise Unresolved("%s: %s" % (where, e))
            for text in found:
                entry = result.setdefault(text.strip(), {"kind": kind, "where": []})
                entry["where"].append(where)
    return result


if __name__ == "__main__":
    for text, e in sorted(messages(sys.argv[1]).items()):
        print("%-7s %s" % (e["kind"], text))
