// Scheduling and the flow through a node: ACT and DEACT, the switches
// __STOP, __STOPALL, __GO, __GOALL and NOTFREE, FREE, FIFO and LIFO,
// ORDER, BLOCK and DEBLOCK, and the assignments to the
// predefined IT, NT, STAY and USE. Each is entered from PRINST (or, for
// IT, NT, STAY and USE, from PRINS) with the keyword read, transmission
// off and TRSTART on the keyword, and leaves past the instruction's end
// with transmission on. Reads SENDPENDING; sets ACTSEEN, ACCPENDING and
// USENODE.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "continuous/continuous.h"
#include "stmt/flow.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; '*', '/' and '.' are filled in.
constexpr const char* STOPFLAG = "_ac_*:=false";                 // DEACT of a C node
constexpr const char* STOPEVENTS = "extfel(*,-1,0,0)";           // DEACT of any other node
constexpr const char* SCHEDULE = "_afel(*,/,evp,blck[*],time+";  // ACT: the delay follows
constexpr const char* FIRSTCOPY = "1";                           // '/' of a node without subscript
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* ENDBLOCK = " end ";
constexpr const char* SEMI = ";";
constexpr const char* REFUSE = "_acc:=false ";
constexpr const char* FREEEND = "_swt:=false end";
constexpr const char* IFACC = "begin if _acc then ";
constexpr const char* TOLIST[] = {"_agr(.,_px,'l') ", "_agr(.,_px,'f') "};  // FIFO, LIFO
// ORDER: by the kernel ('.' A or D), or a walk comparing with '/'.
constexpr const char* ORDERED = "begin _order(*,_px,/,O_/,'.'); ";
constexpr const char* UPWARD = ">=";
constexpr const char* DOWNWARD = "<=";
constexpr const char* ORDERLETTER[] = {"A", "D"};
constexpr const char* ORDERWALK[] = {
    "_pu:=_fl[*];_bs:=true; _pa:=nil; while (_pu<>nil) and _bs do ",
    "begin _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu;",
    "if */O_* then begin _pa:=_pu;_pu:=_pu^.p end else _bs:=false",
    "end;if _pu=nil then _agr(*,_px,'l') else _inter(*,_px,_pa,_pu); "};
constexpr const char* BLOCKARGS = "(*,blck[*])";
// IT, NT, STAY after their assignment; '*' the node.
constexpr const char* AFTERIT = "_afel(*,ino,evp,blck[*],it+time);";
constexpr const char* AFTERNT = "_afel(*,ino,evp,blck[*],nt);";
constexpr const char* AFTERSTAY = "_sta:=true; ";
constexpr const char* REMASTAY = "if rema<>0 then stay:=rema;";
constexpr const char* EVENTNODE = "_n";              // outside node code
constexpr const char* PREEND[] = {"end;", " end "};  // after ";", before END or ELSE

// The switches: the node types they are allowed in, and their text.
struct Switch {
  Inst kw;
  const char* types;
  const char* error;
  const char* text;
};
constexpr Switch SWITCHES[] = {
    {I_STOP, "GR", "STOP illegal in this node", "_acc:=false "},
    {I_STOPALL, "GR", "STOPALL illegal in this node", "begin _bs:=false;_acc:=false end "},
    {I_GO, "GR", "GO illegal in this node", "begin _bs:=false; _acc:=true end"},
    {I_GOALL, "GR", "GOALL illegal in this node", "_acc:=true "},
    {I_NOTFREE, "R", "NOTFREE illegal in this node", "_fre:=false"},
};

// priority -> unsigned integer below 256 | BYTE or INTEGER variable
// It is transmitted as the sixth argument of _afel.
void PRIORITY(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  if (s.IDREAD && s.ISNUM) {
    if (!s.ISINT) ERROR(c, "espera numero entero");
    if (!SMALLUNSIGNED(s.IDENT) || std::stoi(s.IDENT) > 255)
      ERROR(c, "parameter>255");
  } else {
    const NameNode* e = s.IDREAD ? BUSIDAR1(c) : nullptr;
    if (!e || (e->TIPO != "BYTE"sv && e->TIPO != "INTEGER"sv))
      ERROR(c, "type BYTE or INTEGER expected");
  }
  RECID(c);
  s.K++;
}

// A continuous node is stopped by its activation flag, any other by
// taking its events off the event list.
void DEACT(Compiler& c) {
  const Expr& x = c.expr;
  if (x.NODTYPE == 'C')
    EMIT(c, FILLIN(STOPFLAG, {{'*', x.NODNAME}}), true);
  else
    EMIT(c, FILLIN(STOPEVENTS, {{'*', x.NODNUM}}), true);
  EXPECT(c, ')');
  c.src.K++;
  c.out.TRSTART = c.src.K;
}

const char* PRELETTERS = "INSU";

}  // namespace

// act   -> ACT "(" node "," delay ["," priority] ")"
// deact -> DEACT "(" node ")"
// The delay is transmitted behind "time+"; ACT(N, 2.5); becomes
// _afel(3,1,evp,blck[3],time+ 2.5);
void PRACT(Compiler& c, bool deact) {
  Source& s = c.src;
  Out& o = c.out;
  Expr& x = c.expr;
  OPENARGS(c);
  PRNODO(c, true);
  int node = c.model.NODEIDX;
  RECID(c);
  if (x.NODSUB.empty()) x.NODSUB = FIRSTCOPY;
  if (deact) {
    DEACT(c);
  } else {
    if (x.NODTYPE == 'R') ERROR(c, "ACT forbidden in node type R");
    EXPECT(c, ',');
    s.K++;
    if (c.stmt.INITMODE) c.stmt.ACTSEEN = true;
    if (x.NODTYPE == 'C') {
      TranslateContinuousAct(c, node);
    } else {
      EMIT(c, FILLIN(SCHEDULE, {{'*', x.NODNUM}, {'/', x.NODSUB}}), false);
      o.TRANSMIT = true;
      o.TRSTART = s.K;
      x.INACT = true;
      PREXP(c);
      x.INACT = false;
      if (!s.IDREAD && s.CH == ',') PRIORITY(c);
      if (s.IDREAD || s.CH != ')') ERROR(c, "ACTIVATE illegaly ended");
      SENDSRC(c, s.K, o.CURCH);
      o.TRSTART = s.K;
    }
  }
  o.TRANSMIT = false;
  PRFININS(c, false);
  o.TRANSMIT = true;
}

// switch -> __STOP | __STOPALL | __GO | __GOALL | NOTFREE
void PRSWITCH(Compiler& c, Inst kw) {
  for (const Switch& r : SWITCHES) {
    if (r.kw != kw) continue;
    char t = CURTYPE(c);
    if (t == ' ' || std::string_view(r.types).find(t) == std::string_view::npos)
      ERROR(c, r.error);
    EMIT(c, r.text, false);
  }
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// free -> FREE "(" resource node ")"
// The current message gives back what it holds of the resource. The
// release is several statements: a block keeps them under an IF.
void PRFREE(Compiler& c) {
  Expr& x = c.expr;
  if (CURTYPE(c) == 'I') ERROR(c, "FREE illegal in this node");
  FLAGON infree(c.stmt.INFREE);
  OPENARGS(c);
  PRNODO(c, true);
  if (x.NODTYPE != 'R') ERROR(c, "FREE illegal in this node");
  EMIT(c, BEGINBLOCK, true);
  ReleaseResource(c, c.model.NODEIDX, x.NODSUB);
  EMIT(c, FREEEND, false);
  CLOSEARGS(c);
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// fifo -> (FIFO | LIFO) (";" | before END or ELSE)
// The message joins the node's internal list, last (FIFO) or first. After
// a send it joins only when the send did not take it: the test is closed
// in a block of its own, so that an ELSE after it stays the user's.
void PRFIFO(Compiler& c, bool lifo) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  if (CURTYPE(c) != 'L') ERROR(c, "LIFO or FIFO illegal in this node");
  bool guard = !t.SENDPENDING;
  if (guard) EMIT(c, IFACC, true);
  EMIT(c, FILLIN(TOLIST[lifo], {{'.', t.ILTEXT}}), false);
  RECID(c);
  c.out.TRSTART = s.K;
  if (!s.IDREAD && s.CH == ';')
    s.K++;
  else if (ENDORELSE(c.src))
    c.out.TRSTART = BEFOREWORD(c);
  else
    ERROR(c, "LIFO or FIFO illegaly ended");
  if (guard) EMIT(c, ENDBLOCK, true);
  t.ACCPENDING = false;
  c.out.TRANSMIT = true;
}

namespace {

// A field of a number type is compared by the kernel's _order, which has
// a version for each of them; other fields keep the walk written out.
bool ORDERBYKERNEL(const NameNode* field) {
  for (const char* t : {"REAL", "DOUBLE", "INTEGER", "LONGINT", "BYTE", "WORD"})
    if (field->TIPO == t) return true;
  return false;
}

}  // namespace

// order -> ORDER "(" field ["," (A | D)] ")"
// The message is put into the node's internal list before the first one
// whose field is greater (A) or smaller (D).
void PRORDER(Compiler& c) {
  Source& s = c.src;
  const std::string& il = c.stmt.ILTEXT;
  if (CURTYPE(c) != 'L') ERROR(c, "ORDER illegal in this node");
  OPENARGS(c);
  RECID(c);
  std::string name = s.IDREAD ? s.IDENT : std::string(1, s.CH);
  const NameNode* field = FIELDLOOK(c);
  if (!field) ERROR(c, "variable expected " + name);
  RECID(c);
  const char* cmp = UPWARD;
  if (!s.IDREAD && s.CH == ',') {
    s.K++;
    RECID(c);
    ONEWORD(c, {"A", "D"}, "A or D expected");
    if (s.IDENT == "D"sv) cmp = DOWNWARD;
    RECID(c);
  }
  EXPECT(c, ')');
  s.K++;
  if (ORDERBYKERNEL(field)) {
    // The kernel finds the place, without walking a list kept in order.
    EMIT(c, FILLIN(ORDERED, {{'*', il}, {'/', name}, {'.', ORDERLETTER[cmp == DOWNWARD]}}), true);
    EMIT(c, REFUSE, true);
    PRFININS(c, true);
    c.out.TRANSMIT = true;
    return;
  }
  EMIT(c, BEGINBLOCK, true);
  EMIT(c, FILLIN(ORDERWALK[0], {{'*', il}}), true);
  EMIT(c, ORDERWALK[1], true);
  EMIT(c, FILLIN(ORDERWALK[2], {{'*', name}, {'/', cmp}}), false);
  EMIT(c, FILLIN(ORDERWALK[3], {{'*', il}}), true);
  EMIT(c, REFUSE, true);
  PRFININS(c, true);
  c.out.TRANSMIT = true;
}

// block -> (BLOCK | DEBLOCK) "(" node ")"   the keyword itself is kept:
// BLOCK(N); becomes BLOCK(3,blck[3]);
void PRBLOCK(Compiler& c) {
  const Expr& x = c.expr;
  SENDSRC(c, c.src.K, c.out.CURCH);
  OPENARGS(c);
  PRNODO(c, true);
  EMIT(c, FILLIN(BLOCKARGS, {{'*', x.NODNUM}}), false);
  CLOSEARGS(c);
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// pre -> (IT | NT | STAY | USE) ":=" expression (";" | before END or ELSE)
// The assignment is transmitted inside a block that then schedules the
// node (IT after a delay, NT at a time) or marks a service time (STAY).
// IT and NT schedule the node whose code holds them; outside node code,
// the node of the current event.
void PRPREVAR(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Stmt& t = c.stmt;
  char letter = s.IDENT.empty() ? ' ' : s.IDENT[0];
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRSTART = s.KSTART;
  EMIT(c, BEGINBLOCK, true);
  PRASIG(c);
  PRINSIM(c, false);
  bool before = ENDORELSE(c.src);
  if (!s.IDREAD && s.CH == ';') {
    SENDSRC(c, s.K, o.CURCH);
    o.TRSTART = s.K;
  } else if (before) {
    SENDSRC(c, BEFOREWORD(c), o.CURCH);
    o.TRSTART = BEFOREWORD(c);
    EMIT(c, SEMI, false);
  } else {
    ERROR(c, "; or END or ELSE expected");
  }
  o.TRANSMIT = false;
  std::string node = CURREC(c) ? t.CURNODENUM : EVENTNODE;
  switch (std::string_view(PRELETTERS).find(letter)) {
    case 0:
      EMIT(c, FILLIN(AFTERIT, {{'*', node}}), false);
      break;
    case 1:
      EMIT(c, FILLIN(AFTERNT, {{'*', node}}), false);
      break;
    case 2:
      if (CURTYPE(c) != 'R') ERROR(c, "STAY in not R type node");
      EMIT(c, AFTERSTAY, false);
      if (CURREC(c)->SUCC.empty()) ERROR(c, "STAY in node without succesor");
      if (t.REMANODE == t.CURNODE) EMIT(c, REMASTAY, true);
      break;
    case 3:
      t.USENODE = t.CURNODE;
      break;
    default:
      break;
  }
  EMIT(c, PREEND[before], false);
  o.TRANSMIT = true;
}
