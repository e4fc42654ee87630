// What the token just read is: the checks the passes make on it.
#include "ground/compiler.h"
#include "source/source.h"
#include "ground/text.h"

void RETOKEN(Source& s) {
  if (!s.IDREAD)
    s.KIND = TokKind::Symbol;
  else if (s.IDENT.empty())
    s.KIND = TokKind::String;
  else
    s.KIND = ISDIGIT(s.IDENT[0]) ? TokKind::Number : TokKind::Word;
}

bool NOWORD(const Source& s) { return !HASTEXT(s); }

bool UNSIGNEDINT(const Source& s) { return s.IDREAD && s.ISINT && ALLDIGITS(s.IDENT); }

bool WORDIS(const Source& s, std::string_view w) { return s.IDREAD && s.IDENT == w; }

bool ENDORELSE(const Source& s) { return s.IDREAD && (s.IDENT == "END" || s.IDENT == "ELSE"); }

std::string WHAT(const Source& s) { return s.IDREAD ? s.IDENT : std::string(1, s.CH); }

// The token checks: each stops the translation, at the token just read,
// when it is not the one the reader needs here. The plain ones say
// "<token> expected"; where several tokens may follow, or a reader has
// always said it otherwise, the check is given its message.
void MUSTBE(Compiler& c, char ch) {
  if (c.src.IDREAD || c.src.CH != ch) ERROR(c, std::string(1, ch) + " expected");
}

void MUSTBEPAIR(Compiler& c, std::string_view t) {
  const Source& s = c.src;
  if (s.IDREAD || s.CH != t[0] || s.at(s.K + 1) != t[1]) ERROR(c, std::string(t) + " expected");
}

void MUSTBEONE(Compiler& c, std::string_view chars, std::string_view msg) {
  if (c.src.IDREAD || chars.find(c.src.CH) == std::string_view::npos) ERROR(c, msg);
}

void EXPECTWORD(Compiler& c, std::string_view w) {
  if (!c.src.IDREAD || c.src.IDENT != w) ERROR(c, std::string(w) + " expected");
}

void NEEDWORD(Compiler& c, std::string_view w, std::string_view msg) {
  if (!c.src.IDREAD || c.src.IDENT != w) ERROR(c, msg);
}

void ONEWORD(Compiler& c, std::initializer_list<std::string_view> words, std::string_view msg) {
  if (c.src.IDREAD)
    for (std::string_view w : words)
      if (c.src.IDENT == w) return;
  ERROR(c, msg);
}

void EXPECTIDENT(Compiler& c, std::string_view msg) {
  if (!c.src.IDREAD) ERROR(c, msg);
}

void EXPECTNAME(Compiler& c, std::string_view msg) {
  if (NOWORD(c.src)) ERROR(c, msg);
}

void EXPECTNUMBER(Compiler& c, std::string_view msg) {
  if (!c.src.ISNUM) ERROR(c, msg);
}

void EXPECTUNSIGNED(Compiler& c, std::string_view msg) {
  if (!UNSIGNEDINT(c.src)) ERROR(c, msg);
}

void EXPECTINTEGER(Compiler& c, std::string_view msg) {
  if (!c.src.ISNUM || !c.src.ISINT) ERROR(c, msg);
}
