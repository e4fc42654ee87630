// Instructions that hand a message other than the node's own to a
// statement: CREATE, EXTR, REL, SCAN, COPYMESS, DISASSEMBLE and
// PREEMPTION, and SORT, which reorders a list. Each opens a block, sets
// the message context for its statement (the message in _pu, or for SCAN
// the scanned one), translates the statement with PRINS, closes what it
// opened and ends with PRFINGL, which closes the block and leaves the ";"
// (or END, ELSE) for transmission. Sets CREATECOUNT, NUMEOFFSET,
// CREATENODE, REMANODE, INCREATE, INEXTR, INSCAN; clears ADVANCE while a
// PREEMPTION is read.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "stmt/flow.h"

namespace {

// What this file writes, piece by piece; '*', '/', '.' and '%' are filled in.
// Each instruction hands the statement the message in _pu.
constexpr const char* PU = "_pu";
constexpr const char* NOLIST = "0";
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* ENDSEMI = "end;";
// CREATE: '*' the record, then the counter; '%' where it was made.
constexpr const char* MADEIN = "_nno[*]";
constexpr const char* MADEININIT = "'INIT'";
constexpr const char* CREATE[] = {"new(_p*);gt:=time;et:=time;use:=1;new(_pu);_pu^.r:=*;",
                                  "_nume*:=_nume*+1; _pu^.number:=_nume*; _pu^.nor:=%; ",
                                  "_pu^.b:=_p*; ", "_pu^.pas:=nil; ", ";_upvr(_pu^.r,_pu^.b);"};
// EXTR: '*' the position, '.' the list.
constexpr const char* EXTR[] = {
    "_pu:=*;", "_extr(_pu,.);",
    "if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu);",
    "if _pu<>nil then begin "};
// REL: '*' the list, then the node; the condition follows "if ".
constexpr const char* REL[] = {"begin _pu:=_fl[*]; ext:=false; _pa:=_pu;",
                               " while (_pu<>nil) and not ext do ",
                               "begin _exalo(_pu); _uprvo(_or,_ob); O_PMESS:=_pu; if ",
                               " then ext:=true else begin _pa:=_pu; _pu:=_pu^.p end;",
                               "end; if ext then begin ",
                               "if o_xt>=0.0 then extfel(*,O_XT,INO,0);",
                               "end; end;"};
// SCAN: '*' the list.
constexpr const char* SCAN[] = {
    "begin _bsc:=true; _pu:=_fl[*];",
    "while _bsc and (_pu<>nil) do begin SENT:=false; _besc:=false;",
    "if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu);",
    "_psn:=_pu^.p; begin ",
    "end; if _besc then _pu:=_fl[*] else _pu:=_psn; end;",
    "_bsc:=false;"};
constexpr const char* SORT = "_sort(/,*,O_*,'.')";  // list, field, A or D
constexpr const char* COPYMESS[] = {"begin _ac1:=_acc; _r:=_px^.r;",
                                    "_newr(_r,_b); new(_pu);_acc:=true;_pu^.r:=_r;",
                                    "_pu^.b:=_b;_pu^.number:=_px^.number;_pu^.nor:=_px^.nor;",
                                    "_pu^.pas:=nil; begin ",
                                    "if _acc then _error('copied message not sent');",
                                    "_acc:=_ac1;"};
constexpr const char* DISASSEMBLE[] = {
    "begin if _px^.pas<>nil then begin _pu:=_px^.pas; _px^.pas:=nil;",
    "while _pu<>nil do begin _exal(_pu); _pas:=_pu^.p;", "_uprv(_pu^.r,_pu^.b); begin ",
    "end; _exal(_px); _uprv(_px^.r,_px^.b);", "_pu:=_pas; end end;"};
// PREEMPTION: '/' the resource, '*' the internal list; the condition
// follows " if ( ".
constexpr const char* INSTANCE = "ino";
constexpr const char* HELDUSE = "O_USE";
constexpr const char* PREEMPT[] = {"if f_/=0.0 then begin ",
                                   "_pu:=_ll[*]; _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu;",
                                   " if ( ",
                                   ")",
                                   " then begin _extr(_pu,*);",
                                   " O_REMA:=o_xt-time;",
                                   "_acc:=true;extfel(_N1,O_XT,INO,0); ",
                                   "end end;"};

// The record number of a message type, "" when the name is none.
std::string MESSAGENUMBER(Compiler& c, const std::string& name) {
  const MessageName* m = FINDMSG(c, name);
  return m ? m->NUMTXT : "";
}

bool HASRECORD(const Compiler& c, int node) { return c.gen.RECSET.count(node) > 0; }

// The condition of REL or PREEMPTION: transmitted up to the ")" or ","
// that ends it, which is left in CH with K past it.
void CONDITION(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  o.TRANSMIT = true;
  o.TRSTART = s.K;
  FLAGON args(c.expr.INARGS);
  PREXP(c);
  MUSTBEONE(c, "),", ") expected");
  SENDSRC(c, s.K - 1, o.CURCH);
  o.TRSTART = s.K;
  o.TRANSMIT = false;
}

}  // namespace

// create -> CREATE "(" node | message ")" statement
// The new message is _pu for the statement, which normally sends it. All
// CREATEs of one node share one counter _NUME<n>, numbered after the I
// nodes' counters.
void PRCREATE(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  if (t.CREATECOUNT == 0 || t.CREATENODE != t.CURNODE) {
    t.CREATECOUNT++;
    t.CREATENODE = t.CURNODE;
  }
  t.NUMEOFFSET = c.model.LASTI;
  std::string counter = std::to_string(t.NUMEOFFSET + t.CREATECOUNT);
  OPENARGS(c);
  PRNODO(c, false);
  std::string rec;
  if (s.NOTFOUND) {
    if (s.IDREAD) rec = MESSAGENUMBER(c, s.IDENT);
    if (rec.empty()) ERROR(c, "node or message name expected");
  } else {
    if (!HASRECORD(c, c.model.NODEIDX)) ERROR(c, " CREATE with node without message");
    rec = c.expr.NODNUM;
  }
  CLOSEARGS(c);
  std::string nor = CURREC(c) ? FILLIN(MADEIN, {{'*', t.CURNODENUM}}) : MADEININIT;
  EMIT(c, BEGINBLOCK, true);
  EMIT(c, FILLIN(CREATE[0], {{'*', rec}}), true);
  EMIT(c, FILLIN(CREATE[1], {{'*', counter}, {'%', nor}}), true);
  EMIT(c, FILLIN(CREATE[2], {{'*', rec}}), false);
  EMIT(c, CREATE[3], false);
  EMIT(c, BEGINBLOCK, false);
  {
    FLAGON increate(t.INCREATE);
    MSGCONTEXT m(c, PU, false, NOLIST, false);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, CREATE[4], false);
  EMIT(c, ENDSEMI, false);
  PRFINGL(c);
}

// extr -> EXTR "(" list "," position ")" statement
// The message at the position leaves the list; the statement sees it in
// _pu with its fields in the O_ twins (nothing runs when there is none).
void PREXTR(Compiler& c) {
  OPENARGS(c);
  EMIT(c, BEGINBLOCK, true);
  std::string list, pos;
  PRLISTPOS(c, list, pos);
  EMIT(c, FILLIN(EXTR[0], {{'*', pos}}), false);
  EMIT(c, FILLIN(EXTR[1], {{'.', list}}), false);
  CLOSEARGS(c);
  EMIT(c, EXTR[2], false);
  EMIT(c, EXTR[3], false);
  {
    FLAGON inextr(c.stmt.INEXTR);
    MSGCONTEXT m(c, PU, false, list, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, ENDSEMI, false);
  PRFINGL(c);
}

// rel -> REL "(" list "," condition ")" statement
// The first message of the list that meets the condition has its pending
// event taken off; the statement then handles it (when one was found).
void PRREL(Compiler& c) {
  OPENARGS(c);
  int node = 0;
  std::string list = LISTARG(c, node);
  NEXTARG(c);
  EMIT(c, FILLIN(REL[0], {{'*', list}}), true);
  EMIT(c, REL[1], false);
  EMIT(c, REL[2], true);
  CONDITION(c);
  EXPECT(c, ')');
  EMIT(c, REL[3], false);
  EMIT(c, REL[4], false);
  EMIT(c, FILLIN(REL[5], {{'*', std::to_string(node)}}), true);
  EMIT(c, BEGINBLOCK, false);
  {
    MSGCONTEXT m(c, PU, false, list, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, REL[6], false);
  PRFINGL(c);
}

// scan -> SCAN "(" list ")" statement
// The statement runs for each message of the list, in _pu with its fields
// in the O_ twins; BEGINSCAN starts again from the head, STOPSCAN stops.
// The next message is kept first, as the statement may move this one.
void PRSCAN(Compiler& c) {
  OPENARGS(c);
  int node = 0;
  std::string list = LISTARG(c, node);
  CLOSEARGS(c);
  EMIT(c, FILLIN(SCAN[0], {{'*', list}}), true);
  EMIT(c, SCAN[1], true);
  EMIT(c, SCAN[2], true);
  EMIT(c, SCAN[3], false);
  {
    FLAGON inscan(c.stmt.INSCAN);
    MSGCONTEXT m(c, PU, false, list, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, FILLIN(SCAN[4], {{'*', list}}), true);
  EMIT(c, SCAN[5], false);
  PRFINGL(c);
}

// sort -> SORT "(" list "," field "," (A | D) ")"
// The call's ";" is the one the instruction ends with (none before ELSE).
void PRSORT(Compiler& c) {
  Source& s = c.src;
  OPENARGS(c);
  int node = 0;
  std::string list = LISTARG(c, node);
  NEXTARG(c);
  RECID(c);
  std::string field = s.IDREAD ? s.IDENT : std::string(1, s.CH);
  if (!FIELDLOOK(c)) ERROR(c, "message field expected " + field);
  NEXTARG(c);
  RECID(c);
  ONEWORD(c, {"A", "D"}, "A or D expected");
  std::string letter = s.IDENT;
  CLOSEARGS(c);
  EMIT(c, FILLIN(SORT, {{'/', list}, {'*', field}, {'.', letter}}), false);
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// copymess -> COPYMESS statement
// A copy of the node's message, in _pu, must be sent by the statement.
// The check comes before _acc is given back its value.
void PRCOPYMESS(Compiler& c) {
  EMIT(c, COPYMESS[0], true);
  EMIT(c, COPYMESS[1], false);
  EMIT(c, COPYMESS[2], true);
  EMIT(c, COPYMESS[3], false);
  {
    MSGCONTEXT m(c, PU, true, NOLIST, false);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, ENDSEMI, false);
  EMIT(c, COPYMESS[4], true);
  EMIT(c, COPYMESS[5], false);
  PRFINGL(c);
}

// disassemble -> DISASSEMBLE statement
// The statement runs for each message joined to the node's message by
// ASSEMBLE FIRST, in _pu; the node's message is loaded again after it.
void PRDISASSEMBLE(Compiler& c) {
  const Stmt& t = c.stmt;
  char type = CURTYPE(c);
  if (type == ' ' || type == 'I' || type == 'L' || (type == 'R' && !t.RELEASEPART) ||
      t.STATEPART)
    ERROR(c, "DEASSEMBLE illegal in this node");
  EMIT(c, DISASSEMBLE[0], true);
  EMIT(c, DISASSEMBLE[1], true);
  EMIT(c, DISASSEMBLE[2], false);
  {
    MSGCONTEXT m(c, PU, false, NOLIST, false);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, DISASSEMBLE[3], false);
  EMIT(c, DISASSEMBLE[4], false);
  PRFINGL(c);
}

// preemption -> PREEMPTION "(" condition ["," REMA] ")" statement
// When the resource is all taken, the message served last may be put
// out of service (if the condition holds for it): it gives back what it
// held as a release does, so U_ keeps its time average, whatever the
// capacity. The statement handles it, and a SENDTO is allowed there. With
// REMA its remaining service time is kept in its field REMA, which a
// later STAY takes up.
void PRPREEMPTION(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  if (CURTYPE(c) != 'R') ERROR(c, "PREEMPTION illegal in this node");
  FLAGON advance(t.ADVANCE, false);
  std::string r = RESOURCETEXT(c, t.CURNODE, INSTANCE);
  EMIT(c, BEGINBLOCK, true);
  EMIT(c, FILLIN(PREEMPT[0], {{'/', r}}), true);
  EMIT(c, FILLIN(PREEMPT[1], {{'*', t.ILTEXT}}), true);
  EMIT(c, PREEMPT[2], true);
  OPENARGS(c);
  CONDITION(c);
  bool rema = false;
  if (s.CH == ',') {
    RECID(c);
    EXPECTWORD(c, "REMA");
    if (!FIELDLOOK(c)) ERROR(c, "not message with REMA");
    rema = true;
    t.REMANODE = t.CURNODE;
    CLOSEARGS(c);
  }
  EMIT(c, PREEMPT[3], false);
  EMIT(c, FILLIN(PREEMPT[4], {{'*', t.ILTEXT}}), false);
  ReleaseResource(c, t.CURNODE, INSTANCE, HELDUSE);
  if (rema) EMIT(c, PREEMPT[5], false);
  EMIT(c, PREEMPT[6], false);
  EMIT(c, BEGINBLOCK, false);
  {
    MSGCONTEXT m(c, PU, false, NOLIST, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, ENDSEMI, false);
  EMIT(c, PREEMPT[7], false);
  PRFINGL(c);
}
