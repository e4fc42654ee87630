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
  bool procvar = s.TIPO == std::string_view("FUNP") || e->FLAG4;
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

// The class word of the rules tried so far. A lookup rule sets its word
// whether or not it matched, and the next such rule overwrites it: the
// word is kept here and written to TIPO only before a rule that may read
// TIPO, or when the search ends.
// The words are literals or IDENT, never TIPO itself, so TIPO is cleared
// and appended to: cheaper than a general assign, which allows for both.
struct Tipo {
  Source& s;
  std::string_view held;  // a word not yet written, or empty
  void hold(std::string_view w) { held = w; }
  void flush() {
    if (!held.empty()) write(held);
    held = {};
  }
  void set(std::string_view w) {  // a rule that matched writes its word at once
    held = {};
    write(w);
  }
  void write(std::string_view w) {
    s.TIPO.clear();
    s.TIPO.append(w.data(), w.size());
  }
};

// Rules that match a fixed word.
bool WORD(Compiler& c, Tipo& t, std::string_view w, std::string_view tipo) {
  if (c.src.IDENT != w) return false;
  c.src.NOTFOUND = false;
  if (!tipo.empty()) t.set(tipo);
  return true;
}

void RULE(Compiler& c, ClassRule kc, Tipo& t) {
  Source& s = c.src;
  switch (kc) {
    case ClassRule::Character:
      if (!s.IDREAD) {
        t.flush();
        SPECIALCHAR(c);
      }
      break;
    case ClassRule::Variable:
      t.flush();
      VARIABLE(c);
      break;
    case ClassRule::Separator:
      RESWORD(c);
      t.hold("SEP");
      break;
    case ClassRule::Node:
      t.flush();
      BUSNODE(c);
      t.hold("NODO");
      break;
    case ClassRule::ValuedFunction:
      FUNVLOOK(c);
      t.hold("FUNV");
      if (!s.NOTFOUND) {
        t.flush();
        if (c.out.CURCH == CH_MODIN1)
          s.KC = ClassRule::InitFunction;
        else
          PRFUNV(c);
      }
      break;
    case ClassRule::Table:
      t.flush();
      if (TABLOOK(c, true)) s.NOTFOUND = false;
      t.hold("TABLA");
      break;
    case ClassRule::String:
      if (ISSTRING(s)) {
        s.NOTFOUND = false;
        t.set(s.IDENT);
      }
      break;
    case ClassRule::Tsim:
      if (s.IDENT == std::string_view("TSIM")) {
        t.flush();
        DECLARETSIM(c);
      }
      break;
    case ClassRule::ControlWord:
      STMTWORD(c);
      t.hold("INS.ESTR.");
      break;
    case ClassRule::End: WORD(c, t, "END", "END"); break;
    case ClassRule::Number:
      if (s.ISNUM) {
        s.NOTFOUND = false;
        t.set("NUMERO");
      }
      break;
    case ClassRule::Boolean:
      if (!WORD(c, t, "TRUE", "CONST.LOG")) WORD(c, t, "FALSE", "CONST.LOG");
      break;
    case ClassRule::Until: WORD(c, t, "UNTIL", "UNTIL"); break;
    case ClassRule::ItNt:
      if (s.IDENT == std::string_view("IT") || s.IDENT == std::string_view("NT")) {
        s.NOTFOUND = false;
        t.set(s.IDENT);
      }
      break;
    case ClassRule::Instruction:
      INSTLOOK(c);
      t.hold("PROCG");
      break;
    case ClassRule::Function:
      FUNCLOOK(c);
      t.hold("FUNPG");
      if (!s.NOTFOUND) {
        t.flush();
        PRFUNPG(c);
      }
      break;
    case ClassRule::InputOutput:
      t.flush();
      IOWORD(c);
      t.hold("PRWR");
      break;
    case ClassRule::Exper: WORD(c, t, "EXPER", "EXP."); break;
    case ClassRule::EndExp: WORD(c, t, "ENDEXP", "ENDEXP."); break;
    case ClassRule::PascalProcedure:
      PPROCLOOK(c);
      t.hold("PROPA");
      break;
    case ClassRule::Rand: WORD(c, t, "RAND", {}); break;
    case ClassRule::Report: WORD(c, t, "REPORT", "REPORT"); break;
    case ClassRule::EndReport: WORD(c, t, "ENDREPORT", "ENDREPORT"); break;
    case ClassRule::Unknown:
      t.flush();
      ERROR(c, "unknown  identifier " + s.IDENT);
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
  Tipo t{s, {}};
  while (s.NOTFOUND) {
    s.KC = static_cast<ClassRule>(RULENO(s.KC) + 1);
    RULE(c, s.KC, t);
  }
  t.flush();
  TRACELN(c, "KC=", RULENO(s.KC), ' ', s.IDENT, "  ES DE TIPO ", s.TIPO);
  return s.KC;
}
