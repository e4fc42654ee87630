// What the token just read is: the checks the passes make on it.
#include "ground/compiler.h"
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

bool ENDORELSE(const Source& s) { return s.IDREAD && (s.IDENT == "END" || s.IDENT == "ELSE"); }

std::string WHAT(const Source& s) { return s.IDREAD ? s.IDENT : std::string(1, s.CH); }

void MUSTBE(Compiler& c, char ch) {
  if (c.src.IDREAD || c.src.CH != ch) ERROR(c, std::string(1, ch) + " expected");
}
