// Assignments and statement ends: ":=" and the right side (with the
// experiment list and the delay shift), the end of an instruction, node
// capacity assignments and node calls, a pointer field at statement start.
// Generated text goes to CURCH between stretches of transmitted source.
// Reads NOMASIG, ASGENTRY, INEXPER, INITMODE, CURNODE; appends to EXPLIST.
// Called by the dispatcher and by the instruction translators.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "stmt/flow.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; '*' and '/' are filled in.
constexpr const char* DELAYSHIFT = "for _i:=1 to * do _/_DEL[_i]:=/;";  // * length-1, / variable
constexpr const char* ENDBLOCK = " end ";
constexpr const char* SEMI = ";";
constexpr const char* BLANK = " ";
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* CAPACITY = "m_*";  // * node
constexpr const char* SEPARATOR = "; ";
constexpr const char* CAPINIT = "f_*:=m_*; u_*:=0.0;";
constexpr const char* CAPFREE = "f_*:=m_*-u_*;";
// Node call: the node's procedure directly or through the table of nodes.
constexpr const char* CALLHEAD = " begin _pxx:=_px; _nn:=_n; _n:=";
constexpr const char* CALLNODE = "*;";  // * node number
constexpr const char* CALLEVENT = "_ievv:=iev; iev:=*;";
constexpr const char* CALLVIA = "_hknod^[*]";
constexpr const char* CALL = "*(/);";  // * procedure, / event
constexpr const char* CALLTAIL = "; _px:=_pxx; _n:=_nn; iev:=_ievv end;";

void ADDEXP(Compiler& c, const std::string& name, char kind) {
  c.stmt.EXPLIST.push_back({CUT(name, EXPNAMEMAX), kind, ""});
}

// Where transmission resumes for a word left to the caller: at the blank
// before it, never at text already sent or before the line's start.
int BEFOREWORD(const Source& s) {
  int k = s.KSTART - 1;
  return k >= 1 && s.at(k) == ' ' ? k : s.KSTART;
}

// The unit (module number) that holds each node's procedure.
int UNITOF(Compiler& c, int node) {
  std::vector<int>& u = c.stmt.NODEUNIT;
  const Model& m = c.model;
  if (static_cast<int>(u.size()) != m.NodeCount + 1) {
    u.assign(m.NodeCount + 1, 0);
    int cur = 0;
    for (int i = 1; i <= m.NodeCount; ++i) {
      if (m.NodeTable[i].MODULE > 0) cur = m.NodeTable[i].MODULE;
      u[i] = cur;
    }
  }
  return u[node];
}

}  // namespace

void PRASIG(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  MUSTBEPAIR(c, ":=");
  s.K += 2;
}

// In EXPER the right side is a number, and the variable joins the list.
void PRINSIM(Compiler& c, bool upd) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  TRACELN(c, "PRINSIM ");
  t.INRHS = true;
  if (t.INEXPER) {
    RECID(c);
    EXPECTNUMBER(c, "number expected");
    RECID(c);
    MUSTBE(c, ';');
    s.K++;
    if (!t.NODEASG) {
      ADDEXP(c, t.NOMASIG, 'V');
      if (c.drv.TRACE) {
        TRACELN(c, "!!!!!!!PROCESANDO VAR.EXP ", t.NOMASIG);
        TRACEW(c, "ANTES DE ESTA HAY ", t.EXPLIST.size() - 1);
        for (size_t i = 0; i + 1 < t.EXPLIST.size(); ++i)
          TRACEW(c, ' ', t.EXPLIST[i].NOM);
        TRACELN(c);
      }
    }
  } else {
    PREXP(c);
    if (t.NOMASIG == "WINDOWWIDTH"sv) t.WINWIDTH = true;
    if (t.NOMASIG == "WINDOWHEIGHT"sv) t.WINHEIGHT = true;
  }
  t.INRHS = false;
  if (t.STATSRAN) {
    StatisticsAfter(c);
    t.STATSRAN = false;
  }
  int n = upd && t.ASGENTRY ? DELAYLEN(c, *t.ASGENTRY) : 0;
  if (n > 0) {
    SENDSRC(c, s.K, c.out.CURCH);
    c.out.TRSTART = s.K;
    c.out.TRANSMIT = false;
    SEND(c, FILLIN(DELAYSHIFT, {{'*', std::to_string(n - 1)}, {'/', t.NOMASIG}}), true);
    FLUSHOUT(c, c.out.CURCH);
    c.out.TRANSMIT = true;
  }
}

// end -> ";" | before END or ELSE.  close: " end " closes a "begin".
void PRFININS(Compiler& c, bool close) {
  Source& s = c.src;
  RECID(c);
  std::string text = close ? ENDBLOCK : "";
  if (!s.IDREAD && s.CH == ';') {
    s.K++;
    c.out.TRSTART = s.K;
    text += SEMI;
  } else if (ENDORELSE(s)) {
    c.out.TRSTART = BEFOREWORD(s);
  } else {
    ERROR(c, "; or END or ELSE expected");
  }
  SEND(c, text, false);
}

// The ";" is left for transmission; the " end " closes the block.
void PRFINGL(Compiler& c) {
  Source& s = c.src;
  if (!s.IDREAD && s.CH == ';') {
  } else if (ENDORELSE(s)) {
    c.out.TRSTART = BEFOREWORD(s);
  } else {
    ERROR(c, "illegaly ended TALVEN statement");
  }
  SEND(c, ENDBLOCK, true);
  SEND(c, BLANK, true);
  c.out.TRANSMIT = true;
}

// N := e  becomes  begin m_N := e; f_N:=m_N-u_N; end ;
// (in INIT: f_N:=m_N; u_N:=0.0;)
void PRNODASG(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  Expr& x = c.expr;
  NodeRecord& n = c.model.NodeTable[c.model.NODEIDX];
  n.ASSIGN = 2;
  x.NODNAME = n.NOM;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  x.NODVARSUB = false;
  if (n.MULT > 1) PRNODSUB(c);
  SEND(c, BEGINBLOCK, true);
  SEND(c, FILLIN(CAPACITY, {{'*', x.NODNAME}}), false);
  c.out.TRANSMIT = true;
  c.out.TRSTART = s.K;
  PRASIG(c);
  t.NODEASG = true;
  PRINSIM(c, false);
  t.NODEASG = false;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  s.K = s.KSTART;
  c.out.TRANSMIT = false;
  SEND(c, SEPARATOR, false);
  SEND(c, REPL(t.INITMODE ? CAPINIT : CAPFREE, '*', x.NODNAME), false);
  PRFININS(c, true);
  c.out.TRANSMIT = true;
  if (t.INEXPER) {
    TRACELN(c, "!!!!!!!PROCESANDO NOD.EXP[] ", x.NODNAME);
    ADDEXP(c, x.NODNAME, 'N');
  }
}

// N(x) runs node N's code for event x in place. Unit files cannot see each
// other, and pru sees none of them: a node outside the caller's unit (and
// any node called from INIT or a procedure) is called through the runtime's
// table of node procedures, _hknod, which the main program points at _prnod.
void PRNODCALL(Compiler& c) {
  Source& s = c.src;
  int node = c.model.NODEIDX;
  std::string num = std::to_string(node);
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  while (s.at(s.K) == ' ') s.K++;
  s.K++;
  RECID(c);
  EXPECTIDENT(c, "event expected");
  std::string ev = s.IDENT;
  int cur = c.stmt.CURNODE;
  bool direct = cur > 0 && UNITOF(c, cur) == UNITOF(c, node);
  std::string call =
      FILLIN(CALL, {{'*', direct ? c.expr.NODNAME : FILLIN(CALLVIA, {{'*', num}})}, {'/', ev}});
  RECID(c);
  MUSTBE(c, ')');
  s.K++;
  SEND(c, CALLHEAD, true);
  SEND(c, FILLIN(CALLNODE, {{'*', num}}), false);
  SEND(c, FILLIN(CALLEVENT, {{'*', ev}}), false);
  FLUSHOUT(c, c.out.CURCH);
  SEND(c, call, true);
  SEND(c, CALLTAIL, false);
  FLUSHOUT(c, c.out.CURCH);
  c.out.TRSTART = s.K;
  c.out.TRANSMIT = true;
  RECID(c);
  if (!s.IDREAD) {
    EXPECT(c, ';');
    s.K++;
  } else if (!ENDORELSE(s)) {
    ERROR(c, "END o ELSE expected");
  }
}

// "^." field, after a variable whose pointer the name lookup did not follow.
void PRPTRFLD(Compiler& c) {
  Source& s = c.src;
  s.IDENT = c.stmt.NOMASIG;
  RETOKEN(s);
  BUSIDAR1(c);
  s.K += 2;
  RECID(c);
  if (!s.IDREAD)
    ERROR(c, "field name expected " + (HASTEXT(s) ? s.IDENT : std::string(1, s.CH)));
}
