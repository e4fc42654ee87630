// Identifier classification: CLASIFY tells what the token just read is,
// trying numbered rules in order and stopping at the first that matches.
// Returns the rule that matched, also left in KC, with TIPO (its class
// word) and the results of the lookup that matched. A few rules act at once: function calls are
// translated, a dbase variable is rewritten, TSIM is declared on first use.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "expr/expr.h"

namespace {

// The variable's generated form replaces its source text: a_b becomes b.a^,
// a qualified t.f becomes t.f^.
void REWRITEDBASE(Compiler& c) {
  Source& s = c.src;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  size_t u = s.IDENT.find('_');
  std::string v;
  if (u != std::string::npos)
    v = s.IDENT.substr(u + 1) + "." + s.IDENT.substr(0, u) + "^";
  else if (s.IDENT.find('.') != std::string::npos)
    v = s.IDENT + "^";
  else
    ERROR(c, "invalid dbase variable");
  SENDPIECE(c, c.out.CURCH, v, false);
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
  const NameNode* e = BUSIDAR(c);
  if (!e) return;
  s.NOTFOUND = false;
  s.VARCOUNT = e->COUNT;
  bool db = e->DB;
  bool procvar = s.TIPO == "FUNP" || e->FLAG4;
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
void TRYLOOKUP(Compiler& c, L lookup, const char* tipo) {
  lookup(c);
  c.src.TIPO = tipo;
}

void RULE(Compiler& c, ClassRule kc) {
  Source& s = c.src;
  switch (kc) {
    case ClassRule::Character:
      if (!s.IDREAD) SPECIALCHAR(c);
      break;
    case ClassRule::Variable: VARIABLE(c); break;
    case ClassRule::Separator: TRYLOOKUP(c, RESWORD, "SEP"); break;
    case ClassRule::Node: TRYLOOKUP(c, BUSNODE, "NODO"); break;
    case ClassRule::ValuedFunction:
      TRYLOOKUP(c, FUNVLOOK, "FUNV");
      if (!s.NOTFOUND) {
        if (c.out.CURCH == CH_MODIN1)
          s.KC = ClassRule::InitFunction;
        else
          PRFUNV(c);
      }
      break;
    case ClassRule::Table:
      if (TABLOOK(c, true)) s.NOTFOUND = false;
      s.TIPO = "TABLA";
      break;
    case ClassRule::String:
      if (ISSTRING(s)) {
        s.NOTFOUND = false;
        s.TIPO = s.IDENT;
      }
      break;
    case ClassRule::Tsim:
      if (s.IDENT == "TSIM") DECLARETSIM(c);
      break;
    case ClassRule::ControlWord: TRYLOOKUP(c, STMTWORD, "INS.ESTR."); break;
    case ClassRule::End: WORD(c, "END", "END"); break;
    case ClassRule::Number:
      if (s.ISNUM) {
        s.NOTFOUND = false;
        s.TIPO = "NUMERO";
      }
      break;
    case ClassRule::Boolean:
      if (!WORD(c, "TRUE", "CONST.LOG")) WORD(c, "FALSE", "CONST.LOG");
      break;
    case ClassRule::Until: WORD(c, "UNTIL", "UNTIL"); break;
    case ClassRule::ItNt:
      if (s.IDENT == "IT" || s.IDENT == "NT") {
        s.NOTFOUND = false;
        s.TIPO = s.IDENT;
      }
      break;
    case ClassRule::Instruction: TRYLOOKUP(c, INSTLOOK, "PROCG"); break;
    case ClassRule::Function:
      TRYLOOKUP(c, FUNCLOOK, "FUNPG");
      if (!s.NOTFOUND) PRFUNPG(c);
      break;
    case ClassRule::InputOutput: TRYLOOKUP(c, IOWORD, "PRWR"); break;
    case ClassRule::Exper: WORD(c, "EXPER", "EXP."); break;
    case ClassRule::EndExp: WORD(c, "ENDEXP", "ENDEXP."); break;
    case ClassRule::PascalProcedure: TRYLOOKUP(c, PPROCLOOK, "PROPA"); break;
    case ClassRule::Rand: WORD(c, "RAND", nullptr); break;
    case ClassRule::Report: WORD(c, "REPORT", "REPORT"); break;
    case ClassRule::EndReport: WORD(c, "ENDREPORT", "ENDREPORT"); break;
    case ClassRule::Unknown: ERROR(c, "unknown  identifier " + s.IDENT);
    default: break;  // numbers without a rule of their own
  }
}

}  // namespace

// Unknown ends the search: every token matches a rule up to it.
static_assert(RULENO(ClassRule::Unknown) == 29, "the last rule");

ClassRule CLASIFY(Compiler& c) {
  Source& s = c.src;
  s.NOTFOUND = true;
  s.KC = ClassRule::None;
  s.TIPO.clear();
  TRACELN(c, "CLASIFICAR LA VARIABLE ", s.IDENT, " (PROCESA ", c.names.SCOPE, " )");
  while (s.NOTFOUND) {
    s.KC = static_cast<ClassRule>(RULENO(s.KC) + 1);
    RULE(c, s.KC);
  }
  TRACELN(c, "KC=", RULENO(s.KC), ' ', s.IDENT, "  ES DE TIPO ", s.TIPO);
  return s.KC;
}
