// Source line store: reads the model up to the "END." line into line
// records (CREALIN) and owns the line advance (VERFLIN), which transmits the
// finished line to the output, skips empty lines and passes '#' lines.
// Sets PL, K, LB; reads the copy flags that the translating passes set.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include "ground/compiler.h"

std::string_view LINETEXTOF(const Compiler& c) {
  if (c.src.lines.empty()) return {};
  return c.src.line().text();
}

static SourceLine MAKELINE(char eol, std::string_view text) {
  SourceLine l;
  l.fill = eol;
  std::memset(l.cell, eol, sizeof l.cell);
  l.len = static_cast<int>(std::min<size_t>(text.size(), LINETEXT));
  std::memcpy(l.cell + 1, text.data(), l.len);
  return l;
}

// Control characters and codes above 172 become blanks.
static void CLEANLINE(SourceLine& l) {
  for (int i = 1; i <= l.len; ++i) {
    unsigned char ch = static_cast<unsigned char>(l.cell[i]);
    if (ch < 32 || ch > 172) l.cell[i] = ' ';
  }
}

// Reads the next line of content from pos; CR LF counts as LF.
static std::string_view READLINE(std::string_view content, size_t& pos) {
  size_t end = content.find('\n', pos);
  if (end == std::string_view::npos) end = content.size();
  std::string_view line = content.substr(pos, end - pos);
  pos = end < content.size() ? end + 1 : end;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

static char UPPER(char ch) { return ch >= 'a' && ch <= 'z' ? ch - 32 : ch; }

void CREALINFROM(Compiler& c, std::string_view content) {
  Source& s = c.src;
  s.IDENT.clear();
  c.out.TRANSMIT = false;
  c.out.TRMODE = 0;
  s.lines.clear();
  s.lines.reserve(std::count(content.begin(), content.end(), '\n') + 2);
  size_t pos = 0;
  s.lines.push_back(MAKELINE(s.EOLCH, READLINE(content, pos)));  // stored as read
  s.PL = 0;
  s.LB = 1;
  while (pos < content.size() && s.IDENT != "END.") {
    s.lines.push_back(MAKELINE(s.EOLCH, READLINE(content, pos)));
    s.PL = static_cast<int>(s.lines.size()) - 1;
    s.LB++;
    SourceLine& l = s.line();
    CLEANLINE(l);
    if (l.len < 4) continue;
    s.K = 1;
    while (l.at(s.K) == ' ') s.K++;
    if (l.len - s.K + 1 <= 3) continue;
    s.IDENT.clear();
    for (int i = 0; i < 4; ++i) s.IDENT += UPPER(l.at(s.K + i));
  }
  if (s.IDENT != "END.") ERROR(c, "END. missing or misplaced");
  s.lines.push_back(MAKELINE(s.EOLCH, "$"));
  if (c.drv.TRACE) {
    TRACELN(c, " CREADAS LINEAS");
    for (const SourceLine& l : s.lines) TRACELN(c, l.text());
    TRACEWAIT(c);
  }
  s.PL = 0;
}

void CREALIN(Compiler& c) {
  TRACELN(c, "ENTRADA A CREALIN");
  TRACEWAIT(c);
  const std::string& path = c.drv.SRCPATH;
  std::FILE* f = std::fopen(FILEPATH(c, path).c_str(), "rb");
  if (!f) throw IoError{path, std::strerror(errno)};
  std::string content;
  char block[65536];
  size_t n;
  while ((n = std::fread(block, 1, sizeof block, f)) > 0) content.append(block, n);
  bool bad = std::ferror(f);
  int err = errno;
  std::fclose(f);
  if (bad) throw IoError{path, std::strerror(err)};
  CREALINFROM(c, content);
}

// Characters of the current line from column a up to column b.
static std::string CELLS(const Compiler& c, int a, int b) {
  std::string t;
  for (int i = a; i <= b; ++i) t += c.src.at(i);
  return t;
}

// The finished line's rest goes to CURCH while transmitting; otherwise the
// declaration-time rules copy whole lines or procedure text.
static void TRANSMITLINE(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  if (o.TRANSMIT && (!s.INPROC || s.LOCALDECL)) {
    SETOUT(c, CELLS(c, o.TRSTART, s.K - 1));
    SENDOUT(c, o.CURCH, true);
    FLUSHOUT(c, o.CURCH);
    o.TRSTART = 1;
    if (s.MSGVAR && s.MSGAUX && !s.AUXOFF) {
      SENDOUT(c, 5, false);
      FLUSHOUT(c, 5);
    }
    return;
  }
  if (o.TRMODE != 1) return;
  if (s.DECLCOPY && !s.INPROC && !s.DBDECL) {
    s.PRULINES++;
    WRITELINE(c, 1, s.line().text());
  }
  if (s.INPROC) {
    SETOUT(c, CELLS(c, o.TRSTART, s.K - 1));
    SENDOUT(c, o.CURCH, true);
    o.TRSTART = 1;
    FLUSHOUT(c, o.CURCH);
    TRACELN(c, "TRANSMITIDA LINEA DE PROCP O FUNCP");
    if (s.HEADER) {
      TRACELN(c, "SI ES ENC.VA TAMBIEN A INTERFACE");
      SENDOUT(c, 1, true);
    }
  }
}

// Moves to the next stored line; the sentinel has no successor.
static void NEXTLINE(Source& s) {
  if (s.PL + 1 < static_cast<int>(s.lines.size())) s.PL++;
  s.LB++;
}

void VERFLIN(Compiler& c) {
  Source& s = c.src;
  if (s.at(s.K) != s.EOLCH) return;
  TRACELN(c, "ENTRADA A VERFLIN LINEA ", s.LB, ' ', s.line().text());
  s.line().put(s.K, ' ');
  s.K++;
  TRANSMITLINE(c);
  TRACELN(c, "LINEA TERM. LB ", s.LB, ' ', s.line().text());
  do {
    NEXTLINE(s);
    TRACELN(c, "LINEA SIG . LB ", s.LB, ' ', s.line().text());
    if (s.at(1) == '$') ERROR(c, "unexpected end of program");
    s.K = 0;
  } while (s.at(1) == s.EOLCH);
  while (s.at(1) == '#') {
    if (c.out.CURCH != 1 || s.HASHTOPRU) {
      SETOUT(c, s.line().text().substr(1));
      SENDOUT(c, c.out.CURCH, false);
      FLUSHOUT(c, c.out.CURCH);
    }
    NEXTLINE(s);
  }
}
