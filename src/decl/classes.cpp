// The declaration classes whose text is not copied into the unit:
// GFUNCTIONS (valued functions and their signatures), TABLES (frequency
// tables of REAL variables), STATISTICS (measured nodes and variables),
// FACTORS and RESPONSES (the variables of experiments). Each only records
// what it reads: the valued-function list (Keywords::FUNV), the signature
// list (Decl::FUNTABLES), the table list (Expr::TABLES), the statistics
// flags of nodes and names, the factor list (Decl::FACTORLIST) and the
// responses (Program::RESPONSES). While a class is read transmission and
// the whole-line copy are off; copying resumes with the next class keyword.
// Called by BUDECL; CLASSSTART also serves PROCEDURES and DBTABLES.
#include <climits>
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "decl/decl.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {



// Copying resumes from column k with the next class keyword.
void RESUME(Compiler& c, int k) {
  c.out.TRMODE = 1;
  c.out.TRANSMIT = true;
  c.out.TRSTART = k;
}

// ";" then the next class keyword.
void CLASSEND(Compiler& c) {
  Source& s = c.src;
  RESUME(c, s.K);
  RECID(c);
  BUCLADE(c);
  if (!c.decl.CLASSFOUND) ERROR(c, "declaration or END. expected");
}

// After one item of a list: "," goes on, ";" ends it.
void LISTSEP(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  MUSTBEONE(c, ";,", "; or , expected");
  s.K++;
}

// IDENT as a global name; its entry, or null.
NameNode* GLOBAL(Compiler& c) {
  std::string scope = c.names.SCOPE;
  c.names.SCOPE = "MAIN";
  NameNode* e = BUSIDAR1(c);
  c.names.SCOPE = scope;
  return e;
}


// "(" or ":" and a type name: its number in the type list, its name in out;
// the scanner is left on what follows the name.
int FUNCTYPE(Compiler& c, std::string& out) {
  Source& s = c.src;
  s.K++;
  RECID(c);
  const TypeRecord* type = TYPELOOK(c);
  if (NOWORD(s) || !type) ERROR(c, "illegal type in function");
  TRACELN(c, "HALLADO TIPO ", s.IDENT, " EN DEF. DE FUNCVAL");
  out = CUT(s.IDENT, NAMEMAX);
  int no = c.names.TYPENO;
  RECID(c);  // to the punctuation after it
  return no;
}

// The signature list: one entry per class, argument and value type.
void ADDSIGNATURE(Compiler& c, const ValuedFunction& f) {
  std::vector<FuncTable>& t = c.decl.FUNTABLES;
  std::string key = CUT(std::string(FUNVCLASSENTRY(f.CLASS)) + f.ARGTYPE + f.VALTYPE, 30);
  for (FuncTable& e : t) {
    if (e.KEY != key) continue;
    e.NPOINTS = std::max(e.NPOINTS, f.NPOINTS);
    if (f.SPLINENO) e.SPLINENO = f.SPLINENO;
    return;
  }
  t.push_back({key, f.CLASS, f.ARGTYPE, f.VALTYPE,
               f.NPOINTS, f.SPLINENO});
}

// gfunction -> name [":"] class "(" type ")" ":" type ":" integer ";"
// Both forms are written in models: with and without the colon.
void GFUNCTION(Compiler& c) {
  Source& s = c.src;
  Keywords& kw = c.kw;
  EXPECTNAME(c, "function name expected");
  CHKNAME(c);
  std::string name = CUT(s.IDENT, NAMEMAX);
  if (kw.FUNVINDEX.count(name)) ERROR(c, "duplicated function name");
  size_t at = kw.FUNV.size();
  FUNVADD(c, name);
  ValuedFunction f = kw.FUNV[at];
  RECID(c);
  if (!s.IDREAD && s.CH == ':') {
    s.K++;
    RECID(c);
  }
  int cls = FUNVCLASSNO(s.IDENT);
  if (NOWORD(s) || cls == FUNVCLASSNONE) ERROR(c, "illegal function class");
  f.CLASS = static_cast<FunvClass>(cls);
  RECID(c);
  MUSTBE(c, '(');
  int arg = FUNCTYPE(c, f.ARGTYPE);
  EXPECT(c, ')');
  s.K++;
  RECID(c);
  EXPECT(c, ':');
  int val = FUNCTYPE(c, f.VALTYPE);
  MUSTBE(c, ':');
  s.K++;
  RECID(c);
  EXPECTINTEGER(c, "integer constant expected");
  f.NPOINTS = INTVALUE(s.IDENT);
  BUSPOCO(c);
  BUCLADE(c);
  TRACELN(c, "FUNC ", f.NOM, ' ', FUNVCLASSENTRY(f.CLASS), ' ', f.ARGTYPE, ' ', f.VALTYPE,
          " ARG ", arg, ' ', val, ' ', f.NPOINTS);
  if (cls == FC_POLYG || cls == FC_SPLINE) {
    if (arg != T_REAL || val != T_REAL) ERROR(c, "REAL type expected");
  } else if (cls == FC_STAIR) {
    if (arg != T_REAL) ERROR(c, "REAL argument expected");
  } else if (cls == FC_FREQ) {
    if (val != T_REAL) ERROR(c, "REAL type expected");
  }
  if (cls == FC_SPLINE) f.SPLINENO = ++c.decl.NSPLINE;
  kw.FUNV[at] = f;
  ADDSIGNATURE(c, f);
  TRACELN(c, "SE HALLO EN BUCLADE ", s.IDENT, " EL ", c.decl.CLASSIDX);
}

// One name of FACTORS or RESPONSES: a declared REAL variable.
void FACTORNAME(Compiler& c, std::vector<std::string>& names, const char* notreal,
                const char* empty) {
  Source& s = c.src;
  RECID(c);
  if (NOWORD(s)) {
    if (names.empty() && !s.IDREAD && s.CH == ';') ERROR(c, empty);
    ERROR(c, "identifier expected");
  }
  if (!GLOBAL(c)) ERROR(c, "unknown identifier " + s.IDENT);
  if (s.TIPO != "REAL"sv) ERROR(c, notreal);
  names.push_back(CUT(s.IDENT, NAMEMAX));
  LISTSEP(c);
}

// name {"," name} ";"
std::vector<std::string> FACTORLIST(Compiler& c, const char* notreal, const char* empty) {
  std::vector<std::string> names;
  do FACTORNAME(c, names, notreal, empty);
  while (c.src.CH != ';');
  RESUME(c, c.src.K);
  RECID(c);
  BUCLADE(c);
  return names;
}

bool ISNODE(Compiler& c) {
  c.src.NOTFOUND = true;
  if (NOWORD(c.src)) return false;
  return BUSNODE(c) != 0;
}

// A variable of STATISTICS: REAL, INTEGER or an array of one subscript.
// A type that is, or is named for, a predefined number type.
bool NUMERIC(const Compiler& c, std::string name) {
  static const char* const NUMBERS[] = {"REAL", "INTEGER", "LONGINT", "WORD", "BYTE",
                                        "SHORTINT", "DOUBLE", "SINGLE", "EXTENDED", "COMP"};
  const std::deque<TypeRecord>& types = c.names.TYPES;
  for (size_t step = 0; step <= types.size(); ++step) {
    for (const char* n : NUMBERS)
      if (name == n) return true;
    const TypeRecord* t = FINDTYPE(c, name);
    if (!t || t->TIPO == t->NOM) return false;
    name = t->TIPO;
  }
  return false;
}

void STATVAR(Compiler& c) {
  Source& s = c.src;
  NameNode* e = GLOBAL(c);
  if (NOWORD(s) || !e) ERROR(c, "node or variable expected " + s.IDENT);
  TRACELN(c, "ES VARIABLE ");
  if (e->TIPO != "REAL"sv && e->TIPO != "INTEGER"sv && e->NSUB != 1)
    ERROR(c, "estatistics not allowed in this type");
  // The statistics routines take reals: an array of text or truth values
  // would give a program that does not compile.
  if (e->NSUB == 1 && !e->TYPEL.empty() && !NUMERIC(c, e->TYPEL))
    ERROR(c, "estatistics not allowed in this type");
  if (e->FLAG1) return;  // named twice: measured once
  e->FLAG1 = true;
  if (e->COUNT1 < 1) e->COUNT1 = 1;  // a plain variable is one element
  c.gen.NVSTAT += 1;
  c.gen.NVELEM += e->COUNT1;
}

}  // namespace

void CLASSSTART(Compiler& c, bool beforeorganisation) {
  Source& s = c.src;
  Out& o = c.out;
  if (beforeorganisation && c.decl.PROCSEEN)
    ERROR(c, std::string(DECLCLASSENTRY(c.decl.CLASSIDX)) + " after PROCEDURES");
  int from = o.TRANSMIT ? o.TRSTART : 1;
  bool text = false;
  for (int i = from; i < s.KSTART; ++i) text = text || s.at(i) != ' ';
  if (text && o.TRANSMIT) {
    SENDSRC(c, s.KSTART, o.CURCH);
    FLUSHOUT(c, o.CURCH);
  } else if (text && o.TRMODE == 1 && s.DECLCOPY && !s.INPROC) {
    s.PRULINES++;
    WRITELINE(c, CH_PRU, s.line().text().substr(0, s.KSTART - 1));
  }
  o.TRSTART = s.KSTART;
  o.TRANSMIT = false;
  o.TRMODE = 0;
}

// GFUNCTIONS gfunction {gfunction}
void PROGFUNC(Compiler& c) {
  Source& s = c.src;
  CLASSSTART(c, true);
  c.out.TRMODE = 2;
  RECID(c);
  BUCLADE(c);
  while (!c.decl.CLASSFOUND) GFUNCTION(c);
  RESUME(c, s.KSTART);
}

// TABLES variable ":" table {"," variable ":" table} ";"
void PROTABLES(Compiler& c) {
  Source& s = c.src;
  CLASSSTART(c, true);
  do {
    RECID(c);
    if (NOWORD(s) || !GLOBAL(c) || s.TIPO != "REAL"sv)
      ERROR(c, "incorrect variable " + s.IDENT);
    std::string var = CUT(s.IDENT, NAMEMAX);
    RECID(c);
    MUSTBE(c, ':');
    s.K++;
    RECID(c);
    EXPECTNAME(c, "table name expected");
    c.expr.TABLES.push_back({var, CUT(s.IDENT, NAMEMAX)});
    LISTSEP(c);
  } while (s.CH != ';');
  CLASSEND(c);
}

// STATISTICS item {"," item} ";"     item -> ALLNODES | node | variable
void PROSTAT(Compiler& c) {
  Source& s = c.src;
  Model& m = c.model;
  CLASSSTART(c, true);
  do {
    c.decl.STATCLASS = true;
    RECID(c);
    if (WORDIS(s, "ALLNODES")) {
      for (int n = 1; n <= m.NodeCount; ++n) m.NodeTable[n].STAT = true;
    } else if (ISNODE(c)) {
      TRACELN(c, "ES NODO ");
      m.NodeTable[m.NODEIDX].STAT = true;
    } else {
      STATVAR(c);
    }
    LISTSEP(c);
  } while (s.CH != ';');
  CLASSEND(c);
}

// FACTORS name {"," name} ";"  — once
void PROFACT(Compiler& c) {
  if (c.prog.FACTORS) ERROR(c, "FACTORS already declared");
  CLASSSTART(c, false);
  c.decl.FACTORLIST = FACTORLIST(c, "factor must be REAL", "factors list empty");
  c.prog.FACTORS = true;
}

// RESPONSES name {"," name} ";"  — may be repeated
void PRORESP(Compiler& c) {
  CLASSSTART(c, false);
  std::vector<std::string> names =
      FACTORLIST(c, "response must be REAL", "responses list empty");
  c.prog.RESPONSES.insert(c.prog.RESPONSES.end(), names.begin(), names.end());
}
