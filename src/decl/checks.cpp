// Checks shared by the declaration classes and the section finder: the
// class-keyword lookup, the end of one declaration, and the reserved-word
// and node-name checks of a newly declared name.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

void BUCLADE(Compiler& c) {
  Decl& d = c.decl;
  d.CLASSIDX = DECLCLASSNO(c.src.IDENT);
  d.CLASSFOUND = d.CLASSIDX != DECLCLASSNONE;
  if (d.CLASSFOUND)
    TRACELN(c, "BUCLADE HALLO DECLARACION CLASE ", DECLCLASSENTRY(d.CLASSIDX));
  else
    TRACELN(c, "BUCLADE NO HALLO CLASE DE DECLARACION", c.src.IDENT);
}

// BUSPOCO -> [ABSOLUTE word] (";" | "=")
void BUSPOCO(Compiler& c) {
  Source& s = c.src;
  TRACELN(c, "ENTRA A BUSPOCO   PL^.CON[K] ", s.at(s.K));
  RECID(c);
  if (s.IDENT == "ABSOLUTE"sv) {
    RECID(c);
    if (!s.IDREAD) ERROR(c, "invalid expression after absolute");
    RECID(c);
  }
  MUSTBEONE(c, ";=", "; or = expected after declaration");
  s.K++;
  RECID(c);
}

// Operator words, statement words, instructions, functions, class
// keywords, type names and four more words are reserved.
void CHKRES(Compiler& c) {
  Source& s = c.src;
  auto reserved = [&] { ERROR(c, "reserved word used as identifier"); };
  s.NOTFOUND = true;
  for (auto lookup : {RESWORD, STMTWORD, INSTLOOK, FUNCLOOK}) {
    lookup(c);
    if (!s.NOTFOUND) reserved();
  }
  BUCLADE(c);
  if (c.decl.CLASSFOUND) reserved();
  if (TYPELOOK(c)) reserved();
  const std::string& w = s.IDENT;
  if (w == "PROCEDURE"sv || w == "PROGRAM"sv || w == "FUNCTION"sv || w == "IN"sv) reserved();
}

void CHKNAME(Compiler& c) {
  c.src.NOTFOUND = true;
  if (BUSNODE(c)) ERROR(c, "node name used as identifier");
  CHKRES(c);
}
