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
#include "stmt/flow.h"

namespace {

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
  if (s.IDREAD || (s.CH != ')' && s.CH != ',')) ERROR(c, ") expected");
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
  std::string nor = CURREC(c) ? "_nno[" + t.CURNODENUM + "]" : "'INIT'";
  EMIT(c, "begin ", true);
  EMIT(c, FILLIN("new(_p*);gt:=time;et:=time;use:=1;new(_pu);_pu^.r:=*;", {{'*', rec}}), true);
  EMIT(c, FILLIN("_nume*:=_nume*+1; _pu^.number:=_nume*; _pu^.nor:=%; ",
                {{'*', counter}, {'%', nor}}),
       true);
  EMIT(c, FILLIN("_pu^.b:=_p*; ", {{'*', rec}}), false);
  EMIT(c, "_pu^.pas:=nil; ", false);
  EMIT(c, "begin ", false);
  {
    FLAGON increate(t.INCREATE);
    MSGCONTEXT m(c, "_pu", false, "0", false);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, ";_upvr(_pu^.r,_pu^.b);", false);
  EMIT(c, "end;", false);
  PRFINGL(c);
}

// extr -> EXTR "(" list "," position ")" statement
// The message at the position leaves the list; the statement sees it in
// _pu with its fields in the O_ twins (nothing runs when there is none).
void PREXTR(Compiler& c) {
  OPENARGS(c);
  EMIT(c, "begin ", true);
  std::string list, pos;
  PRLISTPOS(c, list, pos);
  EMIT(c, "_pu:=" + pos + ";", false);
  EMIT(c, FILLIN("_extr(/,.);", {{'/', "_pu"}, {'.', list}}), false);
  CLOSEARGS(c);
  EMIT(c, "if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu);", false);
  EMIT(c, "if _pu<>nil then begin ", false);
  {
    FLAGON inextr(c.stmt.INEXTR);
    MSGCONTEXT m(c, "_pu", false, list, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, "end;", false);
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
  EMIT(c, FILLIN("begin _pu:=_fl[*]; ext:=false; _pa:=_pu;", {{'*', list}}), true);
  EMIT(c, " while (_pu<>nil) and not ext do ", false);
  EMIT(c, "begin _exalo(_pu); _uprvo(_or,_ob); O_PMESS:=_pu; if ", true);
  CONDITION(c);
  EXPECT(c, ')');
  EMIT(c, " then ext:=true else begin _pa:=_pu; _pu:=_pu^.p end;", false);
  EMIT(c, "end; if ext then begin ", false);
  EMIT(c, FILLIN("if o_xt>=0.0 then extfel(*,O_XT,INO,0);", {{'*', std::to_string(node)}}),
       true);
  EMIT(c, "begin ", false);
  {
    MSGCONTEXT m(c, "_pu", false, list, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, "end; end;", false);
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
  EMIT(c, FILLIN("begin _bsc:=true; _pu:=_fl[*];", {{'*', list}}), true);
  EMIT(c, "while _bsc and (_pu<>nil) do begin SENT:=false; _besc:=false;", true);
  EMIT(c, "if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu);", true);
  EMIT(c, "_psn:=_pu^.p; begin ", false);
  {
    FLAGON inscan(c.stmt.INSCAN);
    MSGCONTEXT m(c, "_pu", false, list, true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, FILLIN("end; if _besc then _pu:=_fl[*] else _pu:=_psn; end;", {{'*', list}}), true);
  EMIT(c, "_bsc:=false;", false);
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
  if (!s.IDREAD || (s.IDENT != "A" && s.IDENT != "D")) ERROR(c, "A or D expected");
  std::string letter = s.IDENT;
  CLOSEARGS(c);
  EMIT(c, FILLIN("_sort(/,*,O_*,'.')", {{'/', list}, {'*', field}, {'.', letter}}), false);
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// copymess -> COPYMESS statement
// A copy of the node's message, in _pu, must be sent by the statement.
// The check comes before _acc is given back its value.
void PRCOPYMESS(Compiler& c) {
  EMIT(c, "begin _ac1:=_acc; _r:=_px^.r;", true);
  EMIT(c, "_newr(_r,_b); new(_pu);_acc:=true;_pu^.r:=_r;", false);
  EMIT(c, "_pu^.b:=_b;_pu^.number:=_px^.number;_pu^.nor:=_px^.nor;", true);
  EMIT(c, "_pu^.pas:=nil; begin ", false);
  {
    MSGCONTEXT m(c, "_pu", true, "0", false);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, "end;", false);
  EMIT(c, "if _acc then _error('copied message not sent');", true);
  EMIT(c, "_acc:=_ac1;", false);
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
  EMIT(c, "begin if _px^.pas<>nil then begin _pu:=_px^.pas; _px^.pas:=nil;", true);
  EMIT(c, "while _pu<>nil do begin _exal(_pu); _pas:=_pu^.p;", true);
  EMIT(c, "_uprv(_pu^.r,_pu^.b); begin ", false);
  {
    MSGCONTEXT m(c, "_pu", false, "0", false);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, "end; _exal(_px); _uprv(_px^.r,_px^.b);", false);
  EMIT(c, "_pu:=_pas; end end;", false);
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
  std::string r = RESOURCETEXT(c, t.CURNODE, "ino");
  EMIT(c, "begin ", true);
  EMIT(c, FILLIN("if f_/=0.0 then begin ", {{'/', r}}), true);
  EMIT(c, FILLIN("_pu:=_ll[*]; _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu;", {{'*', t.ILTEXT}}),
       true);
  EMIT(c, " if ( ", true);
  OPENARGS(c);
  CONDITION(c);
  bool rema = false;
  if (s.CH == ',') {
    RECID(c);
    if (!s.IDREAD || s.IDENT != "REMA") ERROR(c, "REMA expected");
    if (!FIELDLOOK(c)) ERROR(c, "not message with REMA");
    rema = true;
    t.REMANODE = t.CURNODE;
    CLOSEARGS(c);
  }
  EMIT(c, ")", false);
  EMIT(c, FILLIN(" then begin _extr(_pu,*);", {{'*', t.ILTEXT}}), false);
  ReleaseResource(c, t.CURNODE, "ino", "O_USE");
  if (rema) EMIT(c, " O_REMA:=o_xt-time;", false);
  EMIT(c, "_acc:=true;extfel(_N1,O_XT,INO,0); ", false);
  EMIT(c, "begin ", false);
  {
    MSGCONTEXT m(c, "_pu", false, "0", true);
    HELDSTATEMENT(c, c.out.CURCH);
  }
  EMIT(c, "end;", false);
  EMIT(c, "end end;", false);
  PRFINGL(c);
}
