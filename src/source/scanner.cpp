// Scanner: reads the next word, number or string constant from the shared
// position and leaves it in IDENT, CH, K, KSTART, IDREAD, KIND, ISNUM, ISINT.
// Punctuation is never consumed: callers step over it (K := K + 1), and the
// next RECID handles a line end that follows. PEEK reads one token ahead
// and keeps it for the next RECID. Called by every translator.
#include <array>
#include <string_view>
#include "ground/compiler.h"
#include "source/source.h"
#include "ground/text.h"

namespace {

// Characters that end a word; '.' is decided apart. A table: the word
// loop asks for every character.
constexpr std::array<bool, 256> DELIMS = [] {
  std::array<bool, 256> t{};
  for (char ch : std::string_view(" #%&'()*+,-/:;<=>@[\\]^{"))
    t[static_cast<unsigned char>(ch)] = true;
  return t;
}();

// Characters that go on a word without a second look: no delimiter, no
// point.
constexpr std::array<bool, 256> PLAIN = [] {
  std::array<bool, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = !DELIMS[i] && i != '.';
  return t;
}();

// A line end at K: only then has the line advance anything to do.
inline bool ATEND(const Source& s) { return s.at(s.K) == s.EOLCH; }

// After a step forward: a line end moves on.
inline void STEP(Compiler& c) {
  if (ATEND(c.src)) VERFLIN(c);
  if (c.src.K == 0) c.src.K = 1;
}

// The last column from K on, within the line's text, before a cell that
// stop() accepts or a line end. Every cell stepped over is neither, so the
// line advance would have done nothing there.
template <class Stop>
int RUNEND(const Source& s, Stop stop) {
  int n;
  const char* p = s.lines.cells(s.PL, n);
  int k = s.K;
  while (k < n && p[k] != s.EOLCH && !stop(p[k])) k++;
  return k;
}

}  // namespace

bool ISDELIM(char ch) { return DELIMS[static_cast<unsigned char>(ch)]; }

static void ADDIDENT(Source& s, char ch) {
  if (s.IDENT.size() < static_cast<size_t>(LINEMAX)) s.IDENT += ch;
}

// A point ends the word unless it makes "END." (decimal points and ".."
// ranges are left to the number reader).
static bool WORDSTOP(const Source& s) {
  char ch = s.CH;
  if (ISDELIM(ch)) return true;
  if (ch != '.') return false;
  if (!s.IDENT.empty() && ISDIGIT(s.IDENT[0])) return true;
  if (s.at(s.K + 1) == '.') return true;
  return s.IDENT != "END";
}

Token CURTOKEN(const Source& s) {
  Token t;
  t.kind = s.KIND;
  t.text = s.IDENT;
  t.ch = s.CH;
  t.line = s.PL;
  t.start = s.KSTART;
  t.end = s.K;
  t.isnum = s.ISNUM;
  t.isint = s.ISINT;
  t.probing = s.PROBING;
  return t;
}

// The token PEEK read, when the position is still on it. A scan from its
// first character gives the same token with no effect but the trace, so
// while tracing it is scanned again and the trace shows every read.
static bool TAKEAHEAD(Compiler& c) {
  Source& s = c.src;
  Token& a = s.AHEAD;
  bool here = a.line == s.PL && a.start == s.K && a.probing == s.PROBING;
  if (!here || c.drv.TRACE) {
    a.line = -1;
    return false;
  }
  s.KIND = a.kind;
  s.IDREAD = a.kind != TokKind::Symbol;
  s.IDENT = std::move(a.text);
  s.CH = a.ch;
  s.KSTART = a.start;
  s.K = a.end;
  s.ISNUM = a.isnum;
  s.ISINT = a.isint;
  if (a.kind == TokKind::String) s.TIPO = "STRING";
  a.line = -1;
  return true;
}

const Token& PEEK(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  Token& a = s.AHEAD;  // filled in place: its text keeps its room
  a.kind = s.KIND;
  a.text = s.IDENT;
  a.ch = s.CH;
  a.line = s.PL;
  a.start = s.KSTART;
  a.end = s.K;
  a.isnum = s.ISNUM;
  a.isint = s.ISINT;
  a.probing = s.PROBING;
  s.K = s.KSTART;
  return s.AHEAD;
}

void STEPPAST(Compiler& c) {
  Source& s = c.src;
  s.K = s.AHEAD.end;
  s.AHEAD.line = -1;
}

// RECID -> {blank | comment} (word | number | 'string' | punctuation)
void RECID(Compiler& c) {
  Source& s = c.src;
  if (s.AHEAD.line >= 0 && TAKEAHEAD(c)) return;
  TRACELN(c, "RECID");
  s.ISNUM = false;
  s.ISINT = false;
  if (ATEND(s)) VERFLIN(c);
  if (s.K == 0) s.K = 1;
  s.IDENT.clear();
  s.CH = ' ';
  s.IDREAD = true;
  bool blank, comment;
  do {  // both return at once unless K is on a blank, "(" or "{"
    blank = s.at(s.K) == ' ' && SKIPBL(c);
    char ch = s.at(s.K);
    comment = (ch == '(' || ch == '{') && SKIPCOM(c);
  } while (blank || comment);
  s.KSTART = s.K;
  // The word's plain characters within the text at once; a point, the
  // text's end or a line end is left to the loop after.
  {
    int n;
    const char* p = s.lines.cells(s.PL, n);
    int k = s.K;
    const char eol = s.EOLCH;
    while (k <= n && PLAIN[static_cast<unsigned char>(p[k - 1])] && p[k - 1] != eol) k++;
    size_t room = static_cast<size_t>(LINEMAX) - std::min<size_t>(s.IDENT.size(), LINEMAX);
    size_t take = std::min<size_t>(static_cast<size_t>(k - s.K), room);
    char word[LINEMAX];
    for (size_t i = 0; i < take; ++i) word[i] = UPPER(p[s.K - 1 + i]);
    s.IDENT.append(word, take);
    s.K = k;
  }
  s.CH = s.at(s.K);
  while (s.CH != s.EOLCH && !WORDSTOP(s)) {
    ADDIDENT(s, UPPER(s.CH));
    s.K++;
    s.CH = s.at(s.K);
  }
  if (s.K == s.KSTART) s.IDREAD = false;
  s.KIND = !s.IDREAD ? TokKind::Symbol : ISDIGIT(s.IDENT[0]) ? TokKind::Number : TokKind::Word;
  if (s.IDREAD && ISDIGIT(s.IDENT[0])) {
    if (s.CH == '.' && s.at(s.K + 1) == '.') {
      s.ISINT = true;  // "1..10": the bound stays in IDENT
    } else {
      RECNUM(c);
      if (!s.ISNUM) ERROR(c, "error in number");
    }
  }
  if (!s.IDREAD && s.CH == '\'' && !s.PROBING) RECSTR(c);
  if (c.drv.TRACE) {
    TRACELN(c, "FIN RECID");
    TRACELN(c, "IDENT ", s.IDENT, "   CH ", s.CH, "  PL^.CON[K] ", s.at(s.K));
  }
}

bool SKIPBL(Compiler& c) {
  Source& s = c.src;
  if (s.at(s.K) != ' ') return false;
  TRACELN(c, "VA A ELIMINAR BLANCOS");
  while (s.at(s.K) == ' ') {
    s.K = RUNEND(s, [](char ch) { return ch != ' '; });
    s.K++;
    STEP(c);
  }
  return true;
}

// "(*" ... "*)" or "{" ... "}", possibly across lines; no nesting.
bool SKIPCOM(Compiler& c) {
  Source& s = c.src;
  char first = s.at(s.K);
  if (first != '(' && first != '{') return false;
  bool paren = first == '(' && s.at(s.K + 1) == '*';
  if (!paren && first != '{') return false;
  TRACELN(c, "COMIENZA A SALTAR COMENTARIO");
  if (paren) {
    s.K += 2;
    while (!(s.at(s.K) == '*' && s.at(s.K + 1) == ')')) {
      s.K = RUNEND(s, [](char ch) { return ch == '*'; });
      s.K++;
      STEP(c);
    }
    s.K += 2;
  } else {
    s.K++;
    while (s.at(s.K) != '}') {
      s.K = RUNEND(s, [](char ch) { return ch == '}'; });
      s.K++;
      STEP(c);
    }
    s.K++;
  }
  STEP(c);
  return true;
}

// Re-reads from KSTART: digits ['.' digits] [('E'|'e') ['+'|'-'] digits]
void RECNUM(Compiler& c) {
  Source& s = c.src;
  s.K = s.KSTART - 1;
  s.IDENT.clear();
  s.ISINT = true;
  s.ISNUM = true;
  RECDIG(c);
  s.IDENT.erase(0, 1);  // the stale CH that RECDIG put first
  if (s.CH == '.' && s.at(s.K + 1) != '.') {
    s.ISINT = false;
    RECDIG(c);
    if (s.CH == 'E' || s.CH == 'e') RECEXP(c);
  } else if (s.CH == 'E' || s.CH == 'e') {
    s.ISINT = false;
    RECEXP(c);
  }
  TRACELN(c, "RECOGIDO NUMERO ", s.IDENT, " CH ", s.CH);
}

void RECDIG(Compiler& c) {
  Source& s = c.src;
  ADDIDENT(s, s.CH);
  s.K++;
  s.CH = s.at(s.K);
  int start = s.K;
  while (ISDIGIT(s.CH)) {
    ADDIDENT(s, s.CH);
    s.K++;
    s.CH = s.at(s.K);
  }
  if (s.K == start) s.ISNUM = false;
}

void RECEXP(Compiler& c) {
  Source& s = c.src;
  char next = s.at(s.K + 1);
  if (next == '+' || next == '-') {
    ADDIDENT(s, s.CH);
    s.K++;
    s.CH = next;
  }
  RECDIG(c);
}

// The text is not collected: it lies between KSTART and K-1. A line end
// before the closing apostrophe is an error.
void RECSTR(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "RECOGIENDO CONSTANTE DE TIPO STRING");
  s.K++;
  while (!(s.at(s.K) == '\'' && s.at(s.K + 1) != '\'') && s.K != 0) {
    if (s.at(s.K) == '\'' && s.at(s.K + 1) == '\'') {
      TRACEW(c, "DOS APOSTR. SEGUIDOS ", s.at(s.K), s.at(s.K + 1));
      s.K += 2;
    } else {
      TRACEW(c, s.at(s.K));
      s.K++;
    }
    VERFLIN(c);
  }
  if (s.K == 0) ERROR(c, " constant string exceeds the line");
  s.K++;
  s.TIPO = "STRING";
  s.IDREAD = true;
  s.KIND = TokKind::String;
  if (c.drv.TRACE) {
    TRACELN(c, "");
    TRACEWAIT(c);
  }
}
