// Instructions that take several messages at once: SELECT, by which a
// decision node picks messages from the lists of its predecessors through
// local procedures _prs<s>, and SYNCHRONIZE and ASSEMBLE, which wait for
// a number of messages of the node's list that match the first one. Their
// conditions become the cases of the function _cl on channel 7 (MODLOG),
// created at the first of them and completed by the assembly.
// Sets SELECTSEEN, SELNODE, SELCOUNT and Program::NSYNC.
#include "ground/compiler.h"
#include "source/source.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "stmt/flow.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; the placeholders are filled in.
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* ENDSEMI = "end;";
constexpr const char* SEMI = ";";
constexpr const char* ENDBLOCK = " end ";
constexpr const char* BLANK = " ";
constexpr const char* OWNMSG = "_px";
constexpr const char* PU = "_pu";
// SELECT: the call of the local procedure ('.' its number: the list, the
// count and the copies follow), and the procedure.
constexpr const char* ONECOPY = "1";
constexpr const char* SELCALL = "_prs.(*,/,#,$);";
constexpr const char* SELLIST = "_el";
constexpr const char* SELPROC[] = {
    "procedure _prs.(_el,MAXSEL,_i1,_i2:integer);var _k,INO,_el1:integer;",
    "begin _el1:=_el-1;for INO:=_i1 to _i2 do begin _el:=_el1+INO;",
    "_px:=_fl[_el];_k:=1; while (_px<>nil) and (_k<=MAXSEL) do begin ",
    "_uprv(_px^.r,_px^.b);",
    "_k:=_k+1;",
    "_px:=_fl[_el] end; ",
    "end end;"};
// The function _cl of the conditions, a case '*' for each.
constexpr const char* FIRSTCASE = "1";
constexpr const char* CLHEAD[] = {"function _cl; begin ", "case _nsy of  "};
constexpr const char* CLCASE = "*:begin _cl:=(";
constexpr const char* EQUFIELD = "O_*=*";
constexpr const char* CLCASEEND = ") end;";
// ASSEMBLE: '*' the node's list.
constexpr const char* JOINHEAD = "if _acc then begin _extr(_pu,*); ";
constexpr const char* JOINELIM = "_elim(_pu^.r,_pu^.b,_pu);";
constexpr const char* JOINFIRST[] = {"if _pla1=nil then _pla1:=_pu else ",
                                     "_pas^.p:=_pu;_pas:=_pu;_pu^.p:=nil;",
                                     "if _pc=nil then ",
                                     "begin _pu^.p:=nil; if _plas^.pas=nil then _plas^.pas:=_pla1 ",
                                     "else begin _pla:=_plas^.pas; while _pla^.p<>nil do ",
                                     " _pla:=_pla^.p; _pla^.p:=_pla1 end end "};
// SYNCHRONIZE and ASSEMBLE: '*' the list, '/' the count (ALL: at least
// two, as many as there are).
constexpr const char* ALLCOUNT = "2";
constexpr const char* ALLMOST = "maxint";
constexpr const char* ATLEAST = ">=2";
constexpr const char* EXACTLY = "=*";
constexpr const char* SYNCHEAD[] = {
    "begin _ac1:=_acc; sync:=false;_pu:=_fl[*];", "while(_l^[*]>=/) and (_pu<>nil) do begin ",
    "_sinc(*,/); _sf:=true;", "if _ks * then begin _pc:=_fs; _sf:=false;_bs:=false;sync:=true;",
    "_fs:=nil;"};
constexpr const char* SYNCLOOP[] = {
    "_aas:=true; _plas:=_pc^.p1; _pla1:=nil;", "while _pc<>nil do begin _pu:=_pc^.p1;_acc:=true;",
    "if _aas then begin _aas:=false;", "_exal(_pu); _uprv(_pu^.r,_pu^.b);"};
constexpr const char* SYNCTAIL[] = {"if _acc then _error('synchronized record not sent');",
                                    "_as:=_pc; _pc:=_pc^.p2; dispose(_as);",
                                    "end end;if _sf then _pu:=_pu^.p else _pu:=_fl[*] end;",
                                    "if not sync then _acc:=_ac1 else _px:=nil;"};

// A copy number of a SELECT source: an unsigned integer within the copies.
std::string COPYNO(Compiler& c, int mult) {
  const Source& s = c.src;
  const std::string& w = s.IDENT;
  if (!s.IDREAD || !SMALLUNSIGNED(w) || std::stoi(w) < 1 || std::stoi(w) > mult)
    ERROR(c, "wrong subscript");
  return w;
}

struct Source1 {
  int list = 0;  // the list it feeds the decision node, for its first copy
  std::string from = ONECOPY, to = ONECOPY;
};

// source -> node ["[" i [".." j] "]"]   (subscripted when it has copies)
Source1 SELECTSOURCE(Compiler& c) {
  Source& s = c.src;
  Source1 r;
  RECID(c);
  int node = 0;
  if (!s.IDREAD || !ISNODE(c, s.IDENT, &node)) ERROR(c, "node name expected");
  const NodeRecord& y = c.model.NodeTable[node];
  if (y.MULT > 1) {
    RECID(c);
    MUSTBE(c, '[');
    s.K++;
    RECID(c);
    r.from = r.to = COPYNO(c, y.MULT);
    RECID(c);
    if (!s.IDREAD && s.CH == '.' && s.at(s.K + 1) == '.') {
      s.K += 2;
      RECID(c);
      r.to = COPYNO(c, y.MULT);
      RECID(c);
    }
    MUSTBE(c, ']');
    s.K++;
  }
  for (const NodeLink& l : y.SUCC)
    if (l.NODE == c.stmt.CURNODE) r.list = l.ELSUC;
  if (r.list == 0) ERROR(c, "predecessor or succesor node not defined");
  return r;
}

// The local procedure of SELECT number sel: for each copy asked for, at
// most MAXSEL messages of its list go through the statement, which
// should send each (the next one is then the list's head).
void SELECTPROC(Compiler& c, const std::string& sel) {
  EMITCH(c, CH_NODE, FILLIN(SELPROC[0], {{'.', sel}}), true);
  EMITCH(c, CH_NODE, SELPROC[1], true);
  EMITCH(c, CH_NODE, SELPROC[2], true);
  EMITCH(c, CH_NODE, SELPROC[3], true);
  CHANNELFOR node(c.out, CH_NODE);
  {
    MSGCONTEXT m(c, OWNMSG, true, SELLIST, false);
    HELDSTATEMENT(c, CH_NODE);
  }
  EMITCH(c, CH_NODE, SEMI, false);
  EMITCH(c, CH_NODE, SELPROC[4], true);
  EMITCH(c, CH_NODE, SELPROC[5], false);
  EMITCH(c, CH_NODE, SELPROC[6], false);
}

}  // namespace

// select -> SELECT "(" group {";" group} ")" statement
// group  -> source {"," source} ":" count
// Only in the body of a decision node with several predecessors, which
// is written apart (MODAUX), so that the local procedures, written to the
// unit at once, stand before it.
void PRSELECT(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  const NodeRecord* x = CURREC(c);
  if (!x || x->TIPO != 'D' || x->NEL == 1) ERROR(c, "SELECT in node not D");
  TRACELN(c, "ENTRA A SELECT NOM,CH ", s.IDENT, ' ', s.CH);
  if (t.SELNODE != t.CURNODE) {
    t.SELNODE = t.CURNODE;
    t.SELCOUNT = 0;
  }
  std::string sel = std::to_string(++t.SELCOUNT);
  t.SELECTSEEN = true;
  EMIT(c, BEGINBLOCK, true);
  OPENARGS(c);
  for (;;) {
    std::vector<Source1> group;
    for (;;) {
      group.push_back(SELECTSOURCE(c));
      RECID(c);
      MUSTBEONE(c, ":,", ": or , expected");
      if (s.CH == ':') break;
      s.K++;
    }
    s.K++;
    RECID(c);
    EXPECTIDENT(c, "; or ) expected");
    std::string count = s.IDENT;
    for (const Source1& g : group)
      EMIT(c,
           FILLIN(SELCALL, {{'.', sel},
                            {'*', std::to_string(g.list)},
                            {'/', count},
                            {'#', g.from},
                            {'$', g.to}}),
           false);
    RECID(c);
    MUSTBEONE(c, ";)", "; or ) expected");
    s.K++;
    if (s.CH == ')') break;
  }
  SELECTPROC(c, sel);
  PRFINGL(c);
}

namespace {

// The condition of a SYNCHRONIZE or ASSEMBLE as case k of _cl, on MODLOG;
// the first one opens the function. Reads up to the ")" of the arguments.
// condition -> EQUFIELD "(" field ")" | expression
void SYNCCONDITION(Compiler& c, const std::string& k) {
  Source& s = c.src;
  Out& o = c.out;
  if (k == FIRSTCASE) {
    CREATECH(c, CH_MODLOG);
    EMITCH(c, CH_MODLOG, CLHEAD[0], true);
    EMITCH(c, CH_MODLOG, CLHEAD[1], true);
  }
  EMITCH(c, CH_MODLOG, FILLIN(CLCASE, {{'*', k}}), true);
  PEEK(c);
  if (WORDIS(s, "EQUFIELD")) {
    STEPPAST(c);
    RECID(c);
    if (s.IDREAD || s.CH != '(') ERROR(c, "( missing in EQUFIELD");
    s.K++;
    RECID(c);
    std::string f = s.IDREAD ? s.IDENT : std::string(1, s.CH);
    RECID(c);
    if (s.IDREAD || s.CH != ')') ERROR(c, ") missing in EQUFIELD");
    s.K++;
    EMITCH(c, CH_MODLOG, FILLIN(EQUFIELD, {{'*', f}}), false);
    CLOSEARGS(c);
  } else {
    CHANNELFOR log(o, CH_MODLOG);
    o.TRSTART = s.K;
    o.TRANSMIT = true;
    PREXP(c);
    MUSTBE(c, ')');
    SENDSRC(c, s.K - 1, CH_MODLOG);
    o.TRSTART = s.K;
    o.TRANSMIT = false;
  }
  EMITCH(c, CH_MODLOG, CLCASEEND, false);
}

// ASSEMBLE: the messages the statement did not send (all but the first)
// leave the node's list and are disposed of (ELIM) or chained to the
// first one's pas list (FIRST), the chain being hung there at the last.
void JOIN(Compiler& c, bool elim, const std::string& el) {
  EMIT(c, FILLIN(JOINHEAD, {{'*', el}}), true);
  if (elim) {
    EMIT(c, JOINELIM, false);
  } else {
    EMIT(c, JOINFIRST[0], true);
    EMIT(c, JOINFIRST[1], false);
    EMIT(c, JOINFIRST[2], false);
    EMIT(c, JOINFIRST[3], true);
    EMIT(c, JOINFIRST[4], true);
    EMIT(c, JOINFIRST[5], false);
  }
  EMIT(c, ENDSEMI, false);
}

}  // namespace

// sync     -> SYNCHRONIZE "(" count "," condition ")" statement
// assemble -> ASSEMBLE "(" (ELIM | FIRST) "," count "," condition ")" statement
// count    -> token | ALL
// The statement runs for each of the messages found, in _pu, and must
// send it. ASSEMBLE runs it for the first only: the others are disposed
// of (ELIM) or joined to the first (FIRST) for a later DISASSEMBLE.
void PRSYNC(Compiler& c, bool assemble) {
  Source& s = c.src;
  Out& o = c.out;
  Stmt& t = c.stmt;
  const NodeRecord* x = CURREC(c);
  if (!x || std::string_view("DEILR").find(x->TIPO) != std::string_view::npos ||
      t.STATEPART || x->EL <= 0 || t.ELTEXT.empty())
    ERROR(c, "SYNCHRONIZE o ASSEMBLE illegal in this node");
  const std::string el = t.ELTEXT;
  OPENARGS(c);
  bool elim = false;
  if (assemble) {
    RECID(c);
    ONEWORD(c, {"ELIM", "FIRST"}, "ELIM, FIRST expected");
    elim = s.IDENT == "ELIM"sv;
    NEXTARG(c);
  }
  RECID(c);
  if (!s.IDREAD) ERROR(c, "SYNCHRONIZE or ASSEMBLE illegaly ended");
  bool all = s.IDENT == "ALL"sv;
  std::string count = all ? ALLCOUNT : s.IDENT;
  std::string most = all ? ALLMOST : s.IDENT;
  EMIT(c, FILLIN(SYNCHEAD[0], {{'*', el}}), true);
  EMIT(c, FILLIN(SYNCHEAD[1], {{'*', el}, {'/', count}}), true);
  NEXTARG(c);
  std::string k = std::to_string(++c.prog.NSYNC);
  SYNCCONDITION(c, k);

  EMIT(c, FILLIN(SYNCHEAD[2], {{'*', most}, {'/', k}}), true);
  EMIT(c, FILLIN(SYNCHEAD[3], {{'*', all ? ATLEAST : FILLIN(EXACTLY, {{'*', count}})}}), true);
  // The loop below disposes of the cells; _sinc must not find them again.
  EMIT(c, SYNCHEAD[4], false);
  if (assemble) EMIT(c, SYNCLOOP[0], true);
  EMIT(c, SYNCLOOP[1], true);
  if (assemble) EMIT(c, SYNCLOOP[2], true);
  EMIT(c, SYNCLOOP[3], true);
  EMIT(c, BEGINBLOCK, false);
  {
    MSGCONTEXT m(c, PU, true, el, false);
    TRACELN(c, "A PRINS DESDE SYNCHRONIZE");
    o.TRANSMIT = true;
    o.TRSTART = s.K;
    PRINS(c);
    TRACELN(c, "VIENE INSTRUCCION DEL SYNCH O ASSE ");
    STATEMENTDONE(c, o.CURCH);
  }
  EMIT(c, ENDSEMI, true);
  EMIT(c, SYNCTAIL[0], false);
  if (assemble) EMIT(c, ENDSEMI, false);
  EMIT(c, SYNCTAIL[1], true);
  if (assemble) JOIN(c, elim, el);
  EMIT(c, FILLIN(SYNCTAIL[2], {{'*', el}}), true);
  EMIT(c, SYNCTAIL[3], true);
  if (ENDORELSE(c.src))
    o.TRSTART = BEFOREWORD(c);
  else if (s.IDREAD || s.CH != ';')
    ERROR(c, "SYNCHRONIZE or ASSEMBLE illegaly ended");
  EMIT(c, ENDBLOCK, true);
  EMIT(c, BLANK, true);
  o.TRANSMIT = true;
}
