// Constants: the CONST class. Untyped constants take their type from the
// literal (INTEGER, REAL or STRING); typed ones are read by the type reader
// and their value is checked by kind, array values through nested
// parenthesised lists (PRCA). The text passes through unchanged. Called by
// BUDECL; CHKCONST and READSIGNED also serve other constant lists.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// "=" [sign] literal
void UNTYPED(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  if (!s.IDREAD && (s.CH == '+' || s.CH == '-')) {
    s.K++;
    RECID(c);
  }
  if (s.CH != '\'') {
    if (!s.ISNUM) ERROR(c, "error in constant");
    s.TIPO = s.ISINT ? "INTEGER" : "REAL";
  }
}

// ":" type "=" value, the value by the kind of the type.
void TYPED(Compiler& c, const std::string& name) {
  Source& s = c.src;
  Decl& d = c.decl;
  RECID(c);
  NAMEDTYPE(c);
  int kind = d.W.TYPEKIND;
  std::string type = d.W.TYPNAME;
  s.TIPO = type;
  TRACELN(c, "CONSTANTE TIPEADA ", name, "  TIPO ", s.TIPO, "  CH ", s.CH,
          "  K ", s.K, "  L1 ", kind);
  switch (kind) {
    case T_ARRAY:
      if (!s.IDREAD && s.CH == '=') {
        s.K++;
        RECID(c);
      }
      MUSTBE(c, '(');
      PRCA(c, d.W.LASTTYPENAME);
      EXPECT(c, ')');
      s.K++;
      s.TIPO = "ARRAY";
      break;
    case T_STRING:
      if (!s.IDREAD && s.CH == '=') s.K++;
      RECID(c);
      break;
    case T_RECORD:
    case T_SET:
      ERROR(c, "const. RECORD and SET not implemented");
    case T_REAL:
    case T_INTEGER:
      s.K++;
      READSIGNED(c);
      EXPECTNUMBER(c, "number expected");
      break;
    case T_CHAR:
      s.K++;
      RECID(c);
      if (s.CH != '\'') ERROR(c, "constant CHAR expected");
      break;
    default:
      s.K++;
      RECID(c);
      break;
  }
  if (kind != T_ARRAY) s.TIPO = type;  // reading a quoted value sets TIPO
}

}  // namespace

// CONST name ("=" literal | ":" type "=" value) ";" { ... }
void PROCONST(Compiler& c) {
  Source& s = c.src;
  Names& n = c.names;
  Decl& d = c.decl;
  TRACELN(c, "CONST");
  RECID(c);
  d.CLASSFOUND = false;
  d.CONSTMODE = true;
  while (!d.CLASSFOUND) {
    EXPECTNAME(c, "constant name expected");
    TRACELN(c, "RECOGIDA CONSTANTE ", s.IDENT);
    std::string name = s.IDENT;
    d.NOM2 = name;
    TYPERESET(c);
    RECID(c);
    s.K++;
    bool typed = false;
    if (s.CH == '=') {
      UNTYPED(c);
      TRACELN(c, "CONSTANTE NO TIPEADA ", name, "  TIPO ", s.TIPO);
    } else if (s.CH == ':') {
      TYPED(c, name);
      typed = true;
    } else {
      ERROR(c, "error after constant name");
    }
    std::string tipo = s.TIPO;  // the end may read a string and change TIPO
    BUSPOCO(c);
    STVNAME(c, true, name);
    NameNode* e = n.NEWENTRY;
    e->TIPO = tipo;
    if (typed) {
      e->TYPTYP = d.W.TIPOTIPO;
      e->BOUNDS = n.BOUNDS;
      e->CODE = n.DIRECTCODE;
      e->COUNT1 = d.W.LASTDIM;
    }
    TRACELN(c, "RECOGIDA CONSTANTE VA A VER SIGUIENTE   K=", s.K);
    TRACEWAIT(c);
    BUCLADE(c);
  }
  d.CONSTMODE = false;
}

// "(" value {"," value} ")" or "(" list {"," list} ")", nested to any depth.
// Entered with CH on "(", returns with CH on ")".
void PRCA(Compiler& c, const std::string& elemtype) {
  Source& s = c.src;
  NESTED level(c);
  TRACELN(c, "PRCA: NOM ", s.IDENT, "  CH ", s.CH);
  do {
    s.K++;
    READSIGNED(c);
    if (!s.IDREAD && s.CH == '(') {
      PRCA(c, elemtype);
      s.K++;
      RECID(c);
      continue;
    }
    if (!s.IDREAD && s.CH == ')') break;
    if (!s.IDREAD && s.CH != '\'') ERROR(c, "constant expected");
    for (;;) {
      CHKCONST(c, elemtype);
      RECID(c);
      if (s.CH == ')') break;
      s.K++;
      READSIGNED(c);
    }
  } while (s.CH == ',');
  TRACELN(c, "SALIDA DE PRCA");
}

void CHKCONST(Compiler& c, const std::string& t) {
  Source& s = c.src;
  TRACELN(c, "VERIF TIPO DE CTI ", t);
  TRACEWAIT(c);
  if (t == "REAL"sv || t == "INTEGER"sv || t == "BYTE"sv || t == "WORD"sv) {
    EXPECTNUMBER(c, "number expected");
  } else if (t == "STRING"sv) {
    if (s.CH != '\'') ERROR(c, "string  expected");
    RECID(c);
  } else if (t == "CHAR"sv) {
    if (s.CH != '\'') ERROR(c, "character expected");
  } else {
    ERROR(c, "type REAL or INTEGER or CHAR or STRING expected");
  }
}

// RECID; a sign before a number goes into IDENT.
void READSIGNED(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  if (!s.IDREAD && (s.CH == '+' || s.CH == '-')) {
    char sign = s.CH;
    s.K++;
    RECID(c);
    s.IDENT.insert(s.IDENT.begin(), sign);
  }
}
