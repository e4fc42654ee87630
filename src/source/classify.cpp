// Identifier classification: CLASIFY tells what the token just read is,
// trying numbered rules in order and stopping at the first that matches.
// Leaves KC (the rule's number) and TIPO (its class word), plus the results
// of the lookup that matched. A few rules act at once: function calls are
// translated, a dbase variable is rewritten, TSIM is declared on first use.
#include "ground/compiler.h"

namespace {

// The variable's generated form replaces its source text: a_b becomes b.a^,
// a qualified t.f becomes t.f^.
void REWRITEDBASE(Compiler& c) {
  Source& s = c.src;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  size_t u = s.IDENT.find('_');
  if (u != std::string::npos)
    SETOUT(c, s.IDENT.substr(u + 1) + "." + s.IDENT.substr(0, u) + "^");
  else if (s.IDENT.find('.') != std::string::npos)
    SETOUT(c, s.IDENT + "^");
  else
    ERROR(c, "invalid dbase variable");
  SENDOUT(c, c.out.CURCH, false);
  FLUSHOUT(c, c.out.CURCH);
  c.out.TRANSMIT = true;
  c.out.TRSTART = s.K;
}

// Rule 1: punctuation; the same position twice means nobody consumed it.
void SPECIALCHAR(Compiler& c) {
  Source& s = c.src;
  s.TIPO = "CAR.";
  s.NOTFOUND = false;
  if (s.K == s.LASTK && s.LB == s.LASTLB) ERROR(c, "illegal character");
  s.LASTLB = s.LB;
  s.LASTK = s.K;
}

// Rule 2: a declared name.
void VARIABLE(Compiler& c) {
  Source& s = c.src;
  Names& n = c.names;
  BUSIDAR(c);
  if (!n.FOUND) return;
  s.NOTFOUND = false;
  s.VARCOUNT = n.CURENT->COUNT;
  bool db = n.CURENT->DB;  // the call below may move CURENT
  bool procvar = s.TIPO == "FUNP" || n.CURENT->FLAG4;
  if (procvar && !(s.PROCHEAD && s.STMTSTART)) PRFUNP(c);
  if (db) REWRITEDBASE(c);
}

// Rule 8: TSIM is declared REAL the first time it is met.
void DECLARETSIM(Compiler& c) {
  Source& s = c.src;
  Names& n = c.names;
  s.NOTFOUND = false;
  n.DIRECTADD = true;
  n.NSUB = 0;
  s.TIPO = "REAL";
  STVNAME(c, true, "TSIM");
  s.TIPO = "TSIM";
  n.RECNAME = "TSIM";
  n.DIRECTADD = false;
}

// Rules that match a fixed word.
bool WORD(Compiler& c, const char* w, const char* tipo) {
  if (c.src.IDENT != w) return false;
  c.src.NOTFOUND = false;
  if (tipo) c.src.TIPO = tipo;
  return true;
}

// Rules that consult a lookup set their word whether or not it matched.
template <class L>
void LOOKUP(Compiler& c, L lookup, const char* tipo) {
  lookup(c);
  c.src.TIPO = tipo;
}

void RULE(Compiler& c, int kc) {
  Source& s = c.src;
  switch (kc) {
    case 1:
      if (!s.IDREAD) SPECIALCHAR(c);
      break;
    case 2: VARIABLE(c); break;
    case 3: LOOKUP(c, RESWORD, "SEP"); break;
    case 4: LOOKUP(c, BUSNODE, "NODO"); break;
    case 5:
      LOOKUP(c, FUNVLOOK, "FUNV");
      if (!s.NOTFOUND) {
        if (c.out.CURCH == CH_MODIN1)
          s.KC = 28;
        else
          PRFUNV(c);
      }
      break;
    case 6:
      if (TABLOOK(c, true)) s.NOTFOUND = false;
      s.TIPO = "TABLA";
      break;
    case 7:
      if (ISSTRING(s)) {
        s.NOTFOUND = false;
        s.TIPO = s.IDENT;
      }
      break;
    case 8:
      if (s.IDENT == "TSIM") DECLARETSIM(c);
      break;
    case 9: LOOKUP(c, STMTWORD, "INS.ESTR."); break;
    case 10: WORD(c, "END", "END"); break;
    case 11:
      if (s.ISNUM) {
        s.NOTFOUND = false;
        s.TIPO = "NUMERO";
      }
      break;
    case 12:
      if (!WORD(c, "TRUE", "CONST.LOG")) WORD(c, "FALSE", "CONST.LOG");
      break;
    case 13: WORD(c, "UNTIL", "UNTIL"); break;
    case 14:
      if (s.IDENT == "IT" || s.IDENT == "NT") {
        s.NOTFOUND = false;
        s.TIPO = s.IDENT;
      }
      break;
    case 15: LOOKUP(c, INSTLOOK, "PROCG"); break;
    case 16:
      LOOKUP(c, FUNCLOOK, "FUNPG");
      if (!s.NOTFOUND) PRFUNPG(c);
      break;
    case 17: LOOKUP(c, IOWORD, "PRWR"); break;
    case 18: WORD(c, "EXPER", "EXP."); break;
    case 19: WORD(c, "ENDEXP", "ENDEXP."); break;
    case 21: LOOKUP(c, PPROCLOOK, "PROPA"); break;
    case 23: WORD(c, "RAND", nullptr); break;
    case 26: WORD(c, "REPORT", "REPORT"); break;
    case 27: WORD(c, "ENDREPORT", "ENDREPORT"); break;
    case 29: ERROR(c, "unknown  identifier " + s.IDENT);
    default: break;  // numbers without a rule
  }
}

}  // namespace

void CLASIFY(Compiler& c) {
  Source& s = c.src;
  s.NOTFOUND = true;
  s.KC = 0;
  s.TIPO.clear();
  TRACELN(c, "CLASIFICAR LA VARIABLE ", s.IDENT, " (PROCESA ", c.names.SCOPE, " )");
  while (s.NOTFOUND) {
    s.KC++;
    RULE(c, s.KC);
  }
  TRACELN(c, "KC=", s.KC, ' ', s.IDENT, "  ES DE TIPO ", s.TIPO);
}
