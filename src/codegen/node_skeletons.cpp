// Node skeletons: the fixed text of each node type around the node's
// translated code, on channel 4 (the body of a D node with several
// predecessors passes through MODAUX). Each writer is entered by the node
// pass with the scanner on the node's code and the per-node state of Stmt
// set; it writes the head, translates the code with PRINS up to the
// node's end line and closes the procedure. The instructions clear
// SENDPENDING, ACCPENDING and set SELECTSEEN; the writers read them back.
#include <iterator>
#include "ground/compiler.h"
#include "source/source.h"
#include "decl/decl.h"
#include "stmt/stmt.h"
#include "continuous/continuous.h"
#include "codegen/codegen.h"

namespace {

// I node: a new message enters.
constexpr const char* INEW =
    "new(_p*);gt:=time;use:=1;et:=time; new(_px);_px^.r:=*;_px^.pas:=nil;";
constexpr const char* ICOUNT = "_nume*:=_nume*+1; _px^.number:=_nume*; _px^.nor:=_nno[%];";
constexpr const char* INUMBER = "NUMBER:=_nume*; NODE:=_px^.nor;";
constexpr const char* INULLE = "_nulle[*+ino-1]:=_nulle[*+ino-1]+1;";
constexpr const char* IRECORD = "_px^.b:=_p*;";

// The loop over the messages of the node's list (L, D, E).
constexpr const char* FIRST = "_px:=_fl[*];";
constexpr const char* WHILEMSG = " while _px<>nil do begin ";
constexpr const char* TAKE = "_extr(_px,*);";
constexpr const char* UNPACK = "_uprv(_px^.r,_px^.b);";
constexpr const char* UNPACKP = "_uprv(_px^.r,_px^.b); PMESS:=_px;";
constexpr const char* PACK = "_upvr(_px^.r,_px^.b);";
constexpr const char* NEXT = "_px:=_fl[.] end; ";

// L node.
constexpr const char* ACCEPT = "_acc:=true;";
constexpr const char* IFACC = "if _acc then ";
constexpr const char* TOIL = "_agr(.,_px,'l');";

// R node.
constexpr const char* RHEAD = "begin if (_n=/) and _ci1 and (ino=iev) then begin ";
constexpr const char* RFREE = "_fre:=true;";
constexpr const char* RDONE = "_px:=_fl[*];_exlx(_px,*);_extr(_px,*);";
constexpr const char* RGIVE = "if _fre then begin ";
constexpr const char* ENDEND = "end end;";
constexpr const char* RREQ = "_exal(_px);_uprv(_px^.r,_px^.b); PMESS:=_px; ";
constexpr const char* RNOSTAY = "_sta:=false;";
constexpr const char* RTOOMUCH = "if use>f_* then _acc:=false;";
constexpr const char* RIFACC = "if _acc then begin ";
constexpr const char* RSTAY = "if _sta then begin xt:=time+stay;";
constexpr const char* RSCHED = "_afel(*,ino,evp,blck[*],time+stay) end else xt:=-1; ";
constexpr const char* RTAKE[] = {"if f_*<>MAXREAL then f_*:=f_*-use;",
                                 "if m_*<>MAXREAL then u_*:=u_*+use;"};
constexpr const char* RNEXT = "if _acc then _px:=_fl[*] else ";
constexpr const char* RSKIP = " if f_*<>0.0 then _px:=_px^.p else _px:=nil;";

// G node.
constexpr const char* GSTATE = "if (_n=/) and _ci1 and (ino=iev) then begin  ";
constexpr const char* GFIRST = "_px:=_fl[*];_bs:=true;sync:=false; PMESS:=_px;";
constexpr const char* GWHILE = "while(_px<>nil) and _bs and (_l^[*]<>0) do begin ";
constexpr const char* GSCAN[] = {"_besc:=false; SENT:=false;", "_acc:=false; "};
constexpr const char* GNEXT[] = {
    "if SENT and not sync then  _px:=_pxs else if _px<>nil then _px:=_px^.p;",
    "if _besc then _px:=_fl[&];"};

// E node.
constexpr const char* ETIMES[] = {
    "_tmps[*+ino-1]:=_tmps[*+ino-1]+time-gt;",
    "_t2ps[%+ino-1]:=_t2ps[%+ino-1]+(time-gt)*(time-gt);",
    "if time-gt<_tips[*+ino-1] then _tips[*+ino-1]:=time-gt;",
    "if time-gt>_txps[*+ino-1] then _txps[*+ino-1]:=time-gt;"};
constexpr const char* ELIM = "_elim(_px^.r,_px^.b,_px);";

// C node: '/' its number, '*' its name (with "[ino]" for a multiple
// node); '#' the number of nodes. A stopped node (DEACT) no longer
// integrates, not even at a step of its still on the event list.
constexpr const char* CHEAD[] = {
    "if ((_n=/) or (ino=0)) and _ac_* then begin ", "_dt:=time-_tc_*;",
    "repeat _dta:=_dt;", "_dt:=time-_tc_*;", "if _dt<>0.0 then begin "};
constexpr const char* CTAIL[] = {
    "_tc_*:=_tc_*+_dt;", " end ", "else _dta:=dt_*;", "until _tc_*=time;",
    "if ino=0 then _bi_*:=true;", "if ino=1 then begin _k:=#;_swt:=true;",
    "if _bi_* then begin _dta:=dt_*;", "_bi_*:=false end;",
    "if _ac_* then _afel(/,1,evp,blck[/],time+_dta);", " end ", "end end;"};
// A multiple C node: each instance ino has its own clock and step and runs
// at its own events; a successor calls it with -ino to integrate that
// instance up to now (_cu), as 0 does for a simple node.
// Its subscripted names are longer: the lines that hold two of them, or
// one and a call, are written in two pieces (line false: appended).
constexpr const char* CMHEAD[] = {"if ((_n=/) and (ino=iev) or (ino<0)) and _ac_@[abs(ino)] then begin ",
                                  "_cu:=ino<0; if _cu then ino:=-ino;"};
struct CPiece {
  const char* text;
  bool line;
};
constexpr CPiece CMTAIL[] = {
    {"_tc_*:=_tc_*+_dt;", true}, {" end ", true}, {"else _dta:=dt_*;", true},
    {"until _tc_*=time;", true}, {"if _cu then _bi_*:=true else ", true}, {"begin _k:=#;_swt:=true;", false},
    {"if _bi_* then begin ", true}, {"_dta:=dt_*;", false}, {"_bi_*:=false end;", true},
    {"if _ac_* then ", true}, {"_afel(/,ino,evp,blck[/],time+_dta);", false},
    {" end ", true}, {"end end;", true}};

const NodeRecord& NODE(const Compiler& c) { return c.model.NodeTable[c.stmt.CURNODE]; }

// code -> { statement } up to the node's end line. rescan: after each
// statement the next word is looked at and left for the next one.
void CODE(Compiler& c, bool rescan = false, bool trace = false) {
  Source& s = c.src;
  while (s.LB < c.stmt.LBF) {
    if (trace) TRACELN(c, "PROC.CODIGO LIN ", s.LB);
    PRINS(c);
    if (rescan && s.LB < c.stmt.LBF) {
      PEEK(c);
    }
  }
}

// The word at the start of the code, when it is `word`; otherwise the
// scanner is left before what was read.
bool MARKER(Compiler& c, const char* word) {
  Source& s = c.src;
  PEEK(c);
  if (s.IDREAD && s.IDENT == word) {
    STEPPAST(c);
    return true;
  }
  c.out.TRSTART = s.K;
  return false;
}

// One statement of a skeleton's own part (STATE, RELEASE), the rest of
// its line sent at once.
void PARTSTATEMENT(Compiler& c, bool& part) {
  part = true;
  PRINS(c);
  part = false;
  SENDSRC(c, c.src.K, c.out.CURCH);
  c.out.TRSTART = c.src.K;
}

// STATE [":"] at the start of a G node's code: the scanner is left on the
// statement. STATE := ... is an assignment to a variable of that name.
bool STATEWORD(Compiler& c) {
  Source& s = c.src;
  if (!MARKER(c, "STATE")) return false;
  int pl = s.PL, k0 = s.KSTART;
  c.out.TRSTART = s.K;
  PEEK(c);
  if (!s.IDREAD && s.CH == ':' && s.at(s.K + 1) == '=' && s.PL == pl) {
    s.K = k0;
    c.out.TRSTART = k0;
    return false;
  }
  if (!s.IDREAD && (s.CH == ':' || s.CH == ';')) s.K++;
  c.out.TRSTART = s.K;
  return true;
}

// The message loop over the list `list` (L without PMESS, D and E with it).
void MESSAGELOOP(Compiler& c, const std::string& list, bool pmess) {
  NEWPIECE(c, c.out.CURCH, FILLIN(FIRST, {{'*', list}}));
  NEWPIECE(c, c.out.CURCH, WHILEMSG);
  if (!pmess) return;
  NEWPIECE(c, c.out.CURCH, FILLIN(TAKE, {{'*', list}}));
  ADDPIECE(c, c.out.CURCH, UNPACKP);
}

// The list a D node with one predecessor takes from: the one its
// predecessor's link to it feeds.
std::string DLIST(Compiler& c) {
  const Model& m = c.model;
  const NodeRecord& x = NODE(c);
  const NodeLink& p = x.PRED.front();
  const NodeRecord& y = m.NodeTable[p.NODE];
  for (const NodeLink& s : y.SUCC) {
    if (s.NODE != c.stmt.CURNODE) continue;
    std::string t = SUCCLIST(s);
    if (y.MULT > 1) t += "+(ino-1)*" + c.stmt.MULTTEXT;
    return t;
  }
  ERROR(c, "predecessor or succesor node not defined");
}

// D node fed by one list: its messages are taken one by one and the code
// must send each.
void DSIMPLE(Compiler& c) {
  Stmt& t = c.stmt;
  t.SENDPENDING = true;
  NEWPIECE(c, c.out.CURCH, "begin ");
  t.ELTEXT = DLIST(c);
  MESSAGELOOP(c, t.ELTEXT, true);
  CODE(c);
  if (t.SENDPENDING) ERROR(c, "SENDTO not found in type D node");
  ADDPIECE(c, c.out.CURCH, FILLIN(NEXT, {{'.', t.ELTEXT}}));
  ADDPIECE(c, c.out.CURCH, "end;");
}

// D node fed by several lists: SELECT picks from them. Its local
// procedures go to the unit while the body waits in MODAUX, so they stand
// before the body.
void DSELECT(Compiler& c) {
  Stmt& t = c.stmt;
  CREATECH(c, CH_MODAUX);
  c.out.ch[CH_MODAUX].BUF.clear();
  t.SELECTSEEN = false;
  c.out.CURCH = CH_MODAUX;
  NEWPIECE(c, c.out.CURCH, "begin ");
  CODE(c, true);
  if (!t.SELECTSEEN) ERROR(c, "SELECT missing in type D node with many antecesors");
  NEWPIECE(c, c.out.CURCH, "end;");
  FLUSHOUT(c, CH_MODAUX);
  FLUSHOUT(c, CH_NODE);
  COPYCH(c, CH_MODAUX, CH_NODE);
  c.out.CURCH = CH_NODE;
}

}  // namespace

void INODE(Compiler& c) {
  Stmt& t = c.stmt;
  const NodeRecord& x = NODE(c);
  const std::string& n = t.CURNODENUM;
  t.SENDPENDING = true;
  NodeHeader(c, true);
  NEWPIECE(c, c.out.CURCH, FILLIN(INEW, {{'*', n}}));
  NEWPIECE(c, c.out.CURCH, FILLIN(ICOUNT, {{'*', n}, {'%', n}}));
  NEWPIECE(c, c.out.CURCH, FILLIN(INUMBER, {{'*', n}}));
  if (x.STAT) NEWPIECE(c, c.out.CURCH, FILLIN(INULLE, {{'*', x.STATNAME}}));
  NEWPIECE(c, c.out.CURCH, FILLIN(IRECORD, {{'*', n}}));
  CODE(c, false, true);
  if (t.SENDPENDING && x.MULT > 1) ERROR(c, "Node I multiple without SENDTO");
  if (t.SENDPENDING) SendToSuccessors(c, true);
  ADDPIECE(c, c.out.CURCH, "end;");
}

void LNODE(Compiler& c) {
  Stmt& t = c.stmt;
  t.ACCPENDING = true;
  NodeHeader(c, true);
  MESSAGELOOP(c, t.ELTEXT, false);
  if (NODE(c).FROMC) ActivateContinuousPredecessors(c, t.CURNODE);
  ADDPIECE(c, c.out.CURCH, FILLIN(TAKE, {{'*', t.ELTEXT}}));
  ADDPIECE(c, c.out.CURCH, UNPACK);
  ADDPIECE(c, c.out.CURCH, ACCEPT);
  t.SCANLOOP = false;
  CODE(c);
  ADDPIECE(c, c.out.CURCH, PACK);
  if (t.ACCPENDING) {
    NEWPIECE(c, c.out.CURCH, IFACC);
    ADDPIECE(c, c.out.CURCH, FILLIN(TOIL, {{'.', t.ILTEXT}}));
  }
  ADDPIECE(c, c.out.CURCH, FILLIN(NEXT, {{'.', t.ELTEXT}}));
  ADDPIECE(c, c.out.CURCH, "end;");
}

// R node: first the message whose service ends gives the resource back
// (RELEASE: its own statement decides where it goes), then waiting
// messages take what is free.
void RNODE(Compiler& c) {
  Stmt& t = c.stmt;
  const NodeRecord& x = NODE(c);
  const int node = t.CURNODE;
  const std::string r = RESOURCETEXT(c, node, "ino");
  t.ADVANCE = true;
  NodeHeader(c, false);
  NEWPIECE(c, c.out.CURCH, FILLIN(RHEAD, {{'/', t.CURNODENUM}}));
  ADDPIECE(c, c.out.CURCH, RFREE);
  NEWPIECE(c, c.out.CURCH, FILLIN(RDONE, {{'*', t.ILTEXT}}));
  NEWPIECE(c, c.out.CURCH, UNPACKP);
  if (!MARKER(c, "RELEASE")) {
    if (!x.SUCC.empty()) SendToSuccessors(c, false);
  } else {
    t.SENDPENDING = true;
    if (x.SUCC.empty()) ERROR(c, "RELEASE without succesor node");
    c.out.TRSTART = c.src.K;  // the word itself is not sent
    PARTSTATEMENT(c, t.RELEASEPART);
    if (t.SENDPENDING) SendToSuccessors(c, true);
  }
  NEWPIECE(c, c.out.CURCH, RGIVE);
  ReleaseResource(c, node, "ino");
  ADDPIECE(c, c.out.CURCH, ENDEND);
  NEWPIECE(c, c.out.CURCH, FILLIN(FIRST, {{'*', t.ELTEXT}}));
  NEWPIECE(c, c.out.CURCH, WHILEMSG);
  NEWPIECE(c, c.out.CURCH, RREQ);
  ADDPIECE(c, c.out.CURCH, ACCEPT);
  ADDPIECE(c, c.out.CURCH, RNOSTAY);
  t.REQUESTPART = true;
  CODE(c);
  NEWPIECE(c, c.out.CURCH, FILLIN(RTOOMUCH, {{'*', r}}));
  ADDPIECE(c, c.out.CURCH, RIFACC);
  ADDPIECE(c, c.out.CURCH, FILLIN(TAKE, {{'*', t.ELTEXT}}));
  NEWPIECE(c, c.out.CURCH, RSTAY);
  ADDPIECE(c, c.out.CURCH, FILLIN(RSCHED, {{'*', t.CURNODENUM}}));
  ADDPIECE(c, c.out.CURCH, PACK);
  ADDPIECE(c, c.out.CURCH, FILLIN(TOIL, {{'.', t.ILTEXT}}));
  ADDPIECE(c, c.out.CURCH, FILLIN(RTAKE[0], {{'*', r}}));
  ResourceStatisticsBefore(c, node, "ino");
  ADDPIECE(c, c.out.CURCH, FILLIN(RTAKE[1], {{'*', r}}));
  ResourceStatisticsAfter(c, node, "ino");
  ADDPIECE(c, c.out.CURCH, "end;");
  ADDPIECE(c, c.out.CURCH, FILLIN(RNEXT, {{'*', t.ELTEXT}}));
  NEWPIECE(c, c.out.CURCH, FILLIN(RSKIP, {{'*', r}}));
  NEWPIECE(c, c.out.CURCH, "end;");
  ADDPIECE(c, c.out.CURCH, "end;");
  t.REQUESTPART = false;
}

// G node: an optional STATE statement runs for the node's own event; then
// the code scans the node's list.
//   code -> [STATE [":"] statement] {statement}
void GNODE(Compiler& c) {
  Stmt& t = c.stmt;
  NodeHeader(c, true);
  if (STATEWORD(c)) {
    NEWPIECE(c, c.out.CURCH, FILLIN(GSTATE, {{'/', t.CURNODENUM}}));
    PARTSTATEMENT(c, t.STATEPART);
    NEWPIECE(c, c.out.CURCH, "end;");
  }
  t.SENDPENDING = true;
  NEWPIECE(c, c.out.CURCH, FILLIN(GFIRST, {{'*', t.ELTEXT}}));
  NEWPIECE(c, c.out.CURCH, FILLIN(GWHILE, {{'*', t.ELTEXT}}));
  NEWPIECE(c, c.out.CURCH, RREQ);
  ADDPIECE(c, c.out.CURCH, GSCAN[0]);
  ADDPIECE(c, c.out.CURCH, GSCAN[1]);
  t.SCANLOOP = true;
  CODE(c, false, true);
  ADDPIECE(c, c.out.CURCH, GNEXT[0]);
  ADDPIECE(c, c.out.CURCH, FILLIN(GNEXT[1], {{'&', t.ELTEXT}}));
  ADDPIECE(c, c.out.CURCH, ENDEND);
  t.SCANLOOP = false;
}

void DNODE(Compiler& c) {
  NodeHeader(c, false);
  if (NODE(c).NEL == 1)
    DSIMPLE(c);
  else
    DSELECT(c);
}

void ENODE(Compiler& c) {
  const Stmt& t = c.stmt;
  const NodeRecord& x = NODE(c);
  NodeHeader(c, true);
  MESSAGELOOP(c, t.ELTEXT, true);
  if (x.STAT)
    for (const char* e : ETIMES)
      // The square line multiplies: its index is '%' alone.
      ADDPIECE(c, c.out.CURCH,
               e == ETIMES[1] ? FILLIN(e, {{'%', x.STATNAME}}) : FILLIN(e, {{'*', x.STATNAME}}));
  CODE(c);
  ADDPIECE(c, c.out.CURCH, ELIM);
  ADDPIECE(c, c.out.CURCH, FILLIN(NEXT, {{'.', t.ELTEXT}}));
  ADDPIECE(c, c.out.CURCH, "end;");
}

// C node: integrates its equations from its last time up to now. A group
// of equations still open at the end of the code is integrated here, in
// its own node.
void CNODE(Compiler& c) {
  Stmt& t = c.stmt;
  const NodeRecord& x = NODE(c);
  const std::string count = std::to_string(c.model.NodeCount);
  const bool multiple = x.MULT > 1;
  const std::string nom = multiple ? x.NOM + "[ino]" : x.NOM;
  t.CONTNODE = true;
  StartContinuousNode(c, t.CURNODE);
  NodeHeader(c, true);
  for (size_t i = 0; i < std::size(CHEAD); ++i) {
    if (multiple && i == 0) {
      for (const char* l : CMHEAD)
        NEWPIECE(c, c.out.CURCH, FILLIN(l, {{'/', t.CURNODENUM}, {'@', x.NOM}}));
      continue;
    }
    NEWPIECE(c, c.out.CURCH, FILLIN(CHEAD[i], {{'/', t.CURNODENUM}, {'*', nom}}));
  }
  CODE(c);
  if (EquationGroupOpen(c)) CloseEquationGroup(c);
  if (multiple)
    for (const CPiece& p : CMTAIL) {
      std::string piece = FILLIN(p.text, {{'/', t.CURNODENUM}, {'*', nom}, {'#', count}});
      if (p.line)
        NEWPIECE(c, c.out.CURCH, piece);
      else
        ADDPIECE(c, c.out.CURCH, piece);
    }
  else
    for (const char* l : CTAIL)
      NEWPIECE(c, c.out.CURCH, FILLIN(l, {{'/', t.CURNODENUM}, {'*', nom}, {'#', count}}));
  t.CONTNODE = false;
}

void ANODE(Compiler& c) {
  NodeHeader(c, true);
  CODE(c);
  NEWPIECE(c, c.out.CURCH, "end;");
}

void ONODE(Compiler& c) {
  NodeHeader(c, true);
  if (NODE(c).FROMC) ActivateContinuousPredecessors(c, c.stmt.CURNODE);
  CODE(c, true);
  ADDPIECE(c, c.out.CURCH, "end;");
}
