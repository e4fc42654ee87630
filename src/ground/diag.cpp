// Diagnostics: the fatal error routine, warnings, the punctuation check and
// the trace pause. Reads the shared position (PL, LB, K); ERROR throws the
// one ModelError type, caught only at the top of a run (RUNTALVEN).
#include <istream>
#include <ostream>
#include "ground/compiler.h"

std::string_view LINETEXTOF(const Compiler& c) {
  if (c.src.lines.empty()) return {};
  return c.src.line().text();
}

std::string CUT(std::string_view s, size_t n) {
  return std::string(s.substr(0, n));
}

// line text ": " message " Lin: " LB " Col: " K
std::string MESSAGETEXT(Compiler& c, std::string_view msg) {
  std::string t(LINETEXTOF(c));
  t += ": ";
  t += CUT(msg, LINEMAX);
  t += " Lin: " + std::to_string(c.src.LB);
  t += " Col: " + std::to_string(c.src.K);
  return t;
}

static ModelError MAKEERROR(Compiler& c, std::string_view msg) {
  ModelError e;
  e.text = MESSAGETEXT(c, msg);
  e.message = CUT(msg, LINEMAX);
  e.line = c.src.LB;
  e.column = c.src.K;
  return e;
}

void ERROR(Compiler& c, std::string_view msg) { throw MAKEERROR(c, msg); }

// The box text, then the line editors understand.
void WARNING(Compiler& c, std::string_view msg) {
  ModelError w = MAKEERROR(c, msg);
  *c.drv.err << w.text << '\n'
             << c.drv.SRCPATH << ':' << w.line << ':' << w.column
             << ": warning: " << w.message << '\n';
  c.drv.warnings.push_back(std::move(w));
}

void EXPECT(Compiler& c, char x) {
  if (c.src.CH != x) ERROR(c, std::string(1, x) + " expected");
}

// Waits for Enter; at end of input (or with input closed) it runs on.
void TRACEWAIT(Compiler& c) {
  if (!c.drv.TRACE || !c.drv.in) return;
  std::istream& in = *c.drv.in;
  int ch = in.get();
  if (ch == std::char_traits<char>::eof()) {
    in.clear(std::ios::eofbit);
    return;
  }
  c.drv.KEYCH = static_cast<char>(ch);
  while (ch != '\n' && ch != std::char_traits<char>::eof()) ch = in.get();
}
