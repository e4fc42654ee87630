// Statement dispatcher: PRINS reads one statement of node code, INIT or a
// procedure and hands it to its translator by the class of its first
// token; PRINST does the same for simulation instructions by keyword.
// Pascal text passes through by transmission; handlers that write text of
// their own stop it around their pieces. At the block's end (LB reaching
// LBF) the BEGIN/CASE/REPEAT balance is checked.
// Reads LBF, INITMODE, CURNODE and the label lists; sets NOMASIG,
// ASGENTRY, HASSTATS, the EXPER state, Program::TSIMSET. Called by the blocks
// (procedures, node code, INIT) and by the statements that hold statements.
#include <iterator>
#include <ostream>
#include "ground/compiler.h"
#include "symbols/names.h"
#include "source/source.h"
#include "symbols/keywords.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "continuous/continuous.h"
#include "stmt/flow.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes: the experiment hook after ENDEXP and the
// instructions that are one fixed text.
constexpr const char* EXPSET = "if _exon then _pexpset;";
constexpr const char* BEGINSCAN = "_besc:=true;";
constexpr const char* PAUSE = "rtdlg._WinMensaje('Pause');";
constexpr const char* TRACEON = "_bt:=true;";
constexpr const char* TRACEOFF = "_bt:=false;";

// A word followed by the derivative mark: X' = ...
bool ISEQUATION(const Source& s) {
  return HASTEXT(s) && s.CH == '\'' && s.at(s.K) == '\'';
}

void EQUATION(Compiler& c) {
  if (!c.stmt.CONTNODE) ERROR(c, "derivatives only in C node");
  TranslateEquation(c);
}

bool ISLABEL(Compiler& c, const std::string& w) {
  int n = c.stmt.CURNODE;
  if (n <= 0 || n > c.model.NodeCount) return false;
  for (const NodeLabel& l : c.model.NodeTable[n].LABELS)
    if (l.NOM == std::string_view(w).substr(0, NAMEMAX)) return true;
  return false;
}

// label -> name ":"   (the labelled statement is the next one)
bool LABEL(Compiler& c) {
  Source& s = c.src;
  if (!c.stmt.HASLABELS || !s.IDREAD || !ISLABEL(c, s.IDENT)) return false;
  RECID(c);
  EXPECT(c, ':');
  s.K++;
  return true;
}

bool EMPTY(Compiler& c) {
  Source& s = c.src;
  if (s.IDREAD || s.CH != ';') return false;
  s.K++;
  return true;
}

// EXPER with an array: name "[" subscript "]", the subscript kept in NOMASIG.
void EXPERSUB(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  RECID(c);
  MUSTBE(c, '[');
  s.K++;
  RECID(c);
  std::string sub = s.IDENT;
  RECID(c);
  MUSTBE(c, ']');
  t.NOMASIG = CUT(t.NOMASIG + "[" + sub + "]", NOMASIGMAX);
  t.NOMGIVEN = true;
  s.K++;
}

// Block end: what was opened must have been closed.
void UNBALANCED(Compiler& c, const char* msg) {
  const Stmt& t = c.stmt;
  if (t.INITMODE) {
    *c.drv.out << "En procedimiento INIT\n";
  } else {
    int prev = t.CURNODE - 1;
    const std::string& name =
        prev >= 1 && prev <= c.model.NodeCount ? c.model.NodeTable[prev].NOM : "";
    *c.drv.out << "Ver nodo " << name << '\n';
  }
  ERROR(c, msg);
}

void BLOCKEND(Compiler& c) {
  const Stmt& t = c.stmt;
  if (c.src.LB < t.LBF) return;
  if (t.BEGINDEPTH != 0)
    UNBALANCED(c, "BEGIN END do not match in INIT or previous node");
  if (t.CASEDEPTH != 0)
    UNBALANCED(c, "CASE END do not match in INIT or previous node");
  if (t.REPEATDEPTH != 0)
    UNBALANCED(c, "REPEAT UNTIL do not match in INIT or previous node");
}

// Pending source up to the word, which itself is not transmitted.
void DROPWORD(Compiler& c) {
  SENDSRC(c, c.src.KSTART, c.out.CURCH);
  c.out.TRSTART = c.src.K;
}

void EXPER(Compiler& c) {
  Stmt& t = c.stmt;
  t.INEXPER = true;
  t.HASEXPER = true;
  if (!t.INITMODE) ERROR(c, "no EXPER in INIT");
  DROPWORD(c);
}

// The values of a loaded experiment replace those the block just gave.
void ENDEXP(Compiler& c) {
  Stmt& t = c.stmt;
  if (!t.INEXPER) ERROR(c, "ENDEXP without EXPER");
  t.INEXPER = false;
  DROPWORD(c);
  SEND(c, EXPSET, true);
}

// "@" and "%" lists (and INTI, OUTG): the mark is not transmitted.
void IOLIST(Compiler& c, bool input, std::string_view word) {
  Source& s = c.src;
  c.out.TRANSMIT = false;
  SENDSRC(c, s.K, c.out.CURCH);
  s.K++;
  RECID(c);
  PRIOLIST(c, input, word);
  c.out.TRSTART = s.K;
  c.out.TRANSMIT = true;
}

// name ["[" subscripts "]"] ["^." field] ":=" expression
// or a call of a procedure variable.
void VARIABLE(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  if (s.TIPO == "PRE"sv) {
    PRPREVAR(c);
    return;
  }
  if (s.TIPO == "PROCP"sv) {
    PRPROCP(c);
    SENDSRC(c, s.K, c.out.CURCH);
    c.out.TRANSMIT = false;
    PRFININS(c, false);
    c.out.TRANSMIT = true;
    return;
  }
  NameNode* e = t.ASGENTRY;
  bool procvar = e && (e->FLAG4 || e->TIPO == "FUNP"sv);
  RECID(c);
  if (!s.IDREAD && s.CH == '[') {
    PRSUBS(c, e ? e->NSUB : 0);
    RECID(c);
  }
  if (!s.IDREAD && s.CH == '^' && s.at(s.K + 1) == '.') {
    PRPTRFLD(c);
    RECID(c);
  }
  if (!s.IDREAD && s.CH == ':' && s.at(s.K + 1) == '=') {
    if (t.NOMASIG == "TSIM"sv) c.prog.TSIMSET = true;
    s.K += 2;
    PRINSIM(c, true);
    return;
  }
  if (!procvar) ERROR(c, ":= expected");
  if (!t.CALLREAD) PRFUNP(c);
}

// node -> name "(" event ")" | name ["[" i "]"] ":=" expression
void NODESTMT(Compiler& c) {
  Source& s = c.src;
  c.expr.NODNAME = c.model.NodeTable[c.model.NODEIDX].NOM;
  int k = s.K;
  while (s.at(k) == ' ') k++;
  if (s.at(k) == '(')
    PRNODCALL(c);
  else
    PRNODASG(c);
}

void KEYWORD(Compiler& c) {
  if (c.stmt.INEXPER) ERROR(c, "not allowed statement in EXPER");
  switch (c.kw.STMTNO) {
    case SW_BEGIN: PRCOMP(c); break;
    case SW_IF: PRIF(c); break;
    case SW_WHILE: PRWHILE(c); break;
    case SW_FOR: PRFOR(c); break;
    case SW_REPEAT: PRREPEAT(c); break;
    case SW_CASE: PRCASE(c); break;
    case SW_GOTO: PRGOTO(c); break;
    case SW_DONODE: PRDONODE(c); break;
    case SW_DOEVENT: PRDOEVENT(c); break;
    default: break;  // UNTIL: the REPEAT that waits for it looks at IDENT
  }
}

void DISPATCH(Compiler& c) {
  Source& s = c.src;
  switch (s.KC) {
    case ClassRule::Character:
      if (s.CH == ';') s.K++;
      break;
    case ClassRule::Variable: VARIABLE(c); break;
    case ClassRule::Separator:
      if (s.IDENT != "END"sv) ERROR(c, "illegal begining of statement");
      s.CH = ';';
      break;
    case ClassRule::Node: NODESTMT(c); break;
    case ClassRule::ValuedFunction: PRFUNVSTMT(c); break;
    case ClassRule::Table: PRFREQTAB(c); break;
    case ClassRule::Tsim:
      c.prog.TSIMSET = true;
      PRASIG(c);
      PRINSIM(c, false);
      break;
    case ClassRule::ControlWord: KEYWORD(c); break;
    case ClassRule::Instruction: PRINST(c); break;
    case ClassRule::InputOutput: PRIOSTMT(c); break;
    case ClassRule::Exper: EXPER(c); break;
    case ClassRule::EndExp: ENDEXP(c); break;
    case ClassRule::ArrayConstants:
      SENDSRC(c, s.K, c.out.CURCH);
      s.K++;
      PRARRAYASG(c, "#");
      break;
    case ClassRule::PascalProcedure: PRPROPA(c); break;
    case ClassRule::Rand: PRRAND(c); break;
    case ClassRule::InputList: IOLIST(c, true, "@"); break;
    case ClassRule::OutputList: IOLIST(c, false, "%"); break;
    case ClassRule::Report: PRREPORT(c); break;
    case ClassRule::EndReport: PRENDREPORT(c); break;
    case ClassRule::InitFunction: PRFUNVINIT(c); break;
    default: break;  // constants, numbers, functions: passed through
  }
}

// "INTI" and "OUTG" lists: the keyword is not transmitted.
void IOINST(Compiler& c, bool input) {
  Source& s = c.src;
  c.out.TRSTART = s.K;
  RECID(c);
  PRIOLIST(c, input, INSTENTRY(input ? I_INTI : I_OUTG));
  c.out.TRSTART = s.K;
  c.out.TRANSMIT = true;
}

// A dBase instruction: the data moved (decl/dbase.cpp), then the closing
// " end" and the statement's end.
void DBSTATEMENT(Compiler& c, void (*move)(Compiler&)) {
  move(c);
  PRFININS(c, true);
  c.out.TRANSMIT = true;
}

// The translator of each instruction, in the keyword table's order; null
// for the words nothing translates. Entered with transmission off and
// TRSTART on the keyword.
using Translator = void (*)(Compiler&);
struct InstRule {
  Inst inst;
  Translator run;
};
constexpr InstRule INSTRULES[] = {
    {I_ACT, [](Compiler& c) { PRACT(c, false); }},
    {I_AGRE, PRAGRE},
    {I_ASSEMBLE, [](Compiler& c) { PRSYNC(c, true); }},
    {I_COUNT, nullptr},
    {I_CREATE, PRCREATE},
    {I_ENDSIMUL, PRENDSIMUL},
    {I_EXAM, nullptr},
    {I_EXTR, PREXTR},
    {I_FIFO, [](Compiler& c) { PRFIFO(c, false); }},
    {I_BEGINSCAN, [](Compiler& c) { PRFIXED(c, BEGINSCAN, false); }},
    {I_GO, [](Compiler& c) { PRSWITCH(c, I_GO); }},
    {I_GOALL, [](Compiler& c) { PRSWITCH(c, I_GOALL); }},
    {I_LIFO, [](Compiler& c) { PRFIFO(c, true); }},
    {I_MOVE, nullptr},
    {I_ORDER, PRORDER},
    {I_POINT, PRPOINT},
    {I_PREEMPTION, PRPREEMPTION},
    {I_SCAN, PRSCAN},
    {I_SELECT, PRSELECT},
    {I_SENDTO, PRSENDTO},
    {I_SENDTOF, nullptr},
    {I_SYNCHRONIZE, [](Compiler& c) { PRSYNC(c, false); }},
    {I_SORT, PRSORT},
    {I_COPYMESS, PRCOPYMESS},
    {I_STOP, [](Compiler& c) { PRSWITCH(c, I_STOP); }},
    {I_STOPALL, [](Compiler& c) { PRSWITCH(c, I_STOPALL); }},
    {I_STAT, PRPASS},
    {I_FREE, PRFREE},
    {I_NOTFREE, [](Compiler& c) { PRSWITCH(c, I_NOTFREE); }},
    {I_REL, PRREL},
    {I_DEACT, [](Compiler& c) { PRACT(c, true); }},
    {I_TAB, PRTAB},
    {I_CLRSTAT, PRPASS},
    {I_STOPSCAN, PRSTOPSCAN},
    {I_UPDATE, PRUPDATE},
    {I_TRANS, PRTRANS},
    {I_REPLIC, PRPASS},
    {I_EXTFEL, PRFEL},
    {I_PUTFEL, PRFEL},
    {I_METHOD, TranslateMethod},
    {I_DISASSEMBLE, PRDISASSEMBLE},
    {I_GRAPH, PRGRAPH},
    {I_DESTROY, PRDESTROY},
    {I_PAUSE, [](Compiler& c) { PRFIXED(c, PAUSE, true); }},
    {I_TRACE, [](Compiler& c) { PRFIXED(c, TRACEON, false); }},
    {I_UNTRACE, [](Compiler& c) { PRFIXED(c, TRACEOFF, false); }},
    {I_ASSI, [](Compiler& c) { PRARRAYASG(c, INSTENTRY(I_ASSI)); }},
    {I_INTI, [](Compiler& c) { IOINST(c, true); }},
    {I_OUTG, [](Compiler& c) { IOINST(c, false); }},
    {I_RETARD, TranslateRetard},
    {I_MENU, PRPASS},
    {I_BLOCK, PRBLOCK},
    {I_DEBLOCK, PRBLOCK},
    {I_DISFEL, PRPASS},
    {I_LOAD, [](Compiler& c) { DBSTATEMENT(c, PRLOAD); }},
    {I_UNLOAD, [](Compiler& c) { DBSTATEMENT(c, PRUNLOAD); }},
    {I_DBUPDATE, [](Compiler& c) { DBSTATEMENT(c, PRDBUPDATE); }},
};
static_assert(std::size(INSTRULES) == NINSTWORD - 2,
              "one rule per instruction of the keyword table");
constexpr bool INORDER() {
  for (size_t i = 0; i < std::size(INSTRULES); ++i)
    if (INSTRULES[i].inst != static_cast<int>(i) + 1) return false;
  return true;
}
static_assert(INORDER(), "rules in the keyword table's order");

}  // namespace

// statement -> [label ":"] ( equation | ";" | assignment | call | node
//              statement | control statement | instruction | EXPER | ... )
void PRINS(Compiler& c) {
  Source& s = c.src;
  NESTED level(c);
  const Stmt& t = c.stmt;
  if (c.drv.TRACE) {
    TRACELN(c, "*******************ENTRADA A PRINS  ");
    TRACELN(c, "VER SI SIGUE INSTRUCCION.  LINEA ", s.LB, "   LBF ", t.LBF);
    TRACELN(c, LINETEXTOF(c));
    TRACEWAIT(c);
  }
  ENDTRANSCONTEXT(c);
  RECID(c);
  if (ISEQUATION(s)) {
    EQUATION(c);
  } else {
    if (EquationGroupOpen(c)) CloseEquationGroup(c);
    if (!LABEL(c) && !EMPTY(c)) {
      PRCOMINS(c);
      if (c.drv.TRACE) {
        TRACELN(c, "SE RECOGIO COMIENZO INST. ", "CH ", s.CH);
        TRACELN(c, "INSTRUCCION QUE COMIENZA CON ", s.IDENT, " KC ", RULENO(s.KC));
        TRACEWAIT(c);
      }
      if (s.LB < t.LBF) DISPATCH(c);
    }
  }
  BLOCKEND(c);
  TRACELN(c, "********SALIDA PRINS CH ", s.CH, " PL^.CON[K] ", s.at(s.K));
}

void PRCOMINS(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  TRACELN(c, "RECOGER COMIENZO DE INSTRUCCION ", s.IDENT);
  if (s.LB >= t.LBF) return;
  t.NOMASIG.assign(s.IDENT, 0, NOMASIGMAX);  // in the room it has
  t.NOMGIVEN = false;
  t.STATSRAN = false;
  s.STMTSTART = true;
  CLASIFY(c);
  s.STMTSTART = false;
  NameNode* e = s.KC == ClassRule::Variable && c.names.FOUND ? c.names.CURENT : nullptr;
  t.ASGENTRY = e;
  if (e) t.NOMASIG.assign(s.IDENT, 0, NOMASIGMAX);  // with its field or "^"
  // The classifier reads a user function's call itself, unless a
  // procedure heading is being read.
  t.CALLREAD = e && (e->TIPO == "FUNP"sv || e->FLAG4) && !s.PROCHEAD;
  t.HASSTATS = !e || e->FLAG1;  // FLAG1: statistics are kept for it
  if (!t.HASSTATS && (s.TIPO == "ARRAY"sv || e->TYPTYP == "ARRAY"sv)) {
    if (t.INEXPER) {
      EXPERSUB(c);
    } else {
      RECID(c);
      PRSUBS(c, e->NSUB);
    }
    s.KC = ClassRule::Variable;
  }
  if (e && s.TIPO == "STRING"sv) {
    RECID(c);
    if (!s.IDREAD && s.CH == '[') PRSUBS(c, 1);
  }
  if (s.KC == ClassRule::Variable && t.HASSTATS && e) {
    StatisticsBefore(c);
    t.STATSRAN = true;
  }
  if (s.KC == ClassRule::Character) {
    if (s.CH == '#') s.KC = ClassRule::ArrayConstants;
    if (s.CH == '@') s.KC = ClassRule::InputList;
    if (s.CH == '%') s.KC = ClassRule::OutputList;
  }
}

// The keyword itself is never transmitted.
void PRINST(Compiler& c) {
  Source& s = c.src;
  if (c.stmt.INEXPER) ERROR(c, "illegal procedure in EXPER");
  c.out.TRANSMIT = false;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRSTART = s.KSTART;
  int kw = c.kw.KWNO;
  if (kw < 1 || kw > static_cast<int>(std::size(INSTRULES))) return;
  // Recognised words that nothing translates: refused rather than
  // dropped with the rest of the statement.
  if (!INSTRULES[kw - 1].run)
    ERROR(c, "instruction " + std::string(INSTENTRY(kw)) + " not implemented");
  INSTRULES[kw - 1].run(c);
}
