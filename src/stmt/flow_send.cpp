// Moving the message in hand: SENDTO with its destination forms, AGRE and
// DESTROY. The message, where it came from and whether its fields are in
// the O_ twins come from the message context (flow_common.cpp). A node
// destination is reached through the current node's successor link to
// it, so that a D node gets the list it keeps for this predecessor.
// Clears SENDPENDING; reads REQUESTPART, ADVANCE, INEXTR.
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "stmt/flow.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; the placeholders are filled in.
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* SENDING = "SENT:=true; if _px<> nil then _pxs:=_px^.p;";
// held, origin list, list, letter, message, element
constexpr const char* TRAN = "_tran(#,*,.,'/',$,&);";
constexpr const char* COPY = "_copy(/,.,'*',$);";  // message, list, letter, element
constexpr const char* REFUSE = "_acc:=false; ";
constexpr const char* EXTR = "_extr(/,.);";  // message, list
constexpr const char* ELIM = "_elim(/^.r,/^.b,/);";
constexpr const char* OWNMSG = "_px";
constexpr const char* NOLIST = "0";
// A destination: its letter (after or before the element), the element
// ('*' the list), the list of a copy ('*' the list before the first).
constexpr const char* AFTER = "A";
constexpr const char* BEFORE = "B";
constexpr const char* ATEND = "_ll[*]";
constexpr const char* ATHEAD = "_fl[*]";
constexpr const char* CHOSEN = "*+_i";           // FREE
constexpr const char* LEAST = "*+_imi";          // MIN
constexpr const char* COPYOF = "*+/";            // / the subscript
constexpr const char* PERSENDER = "+(ino-1)*/";  // / the copies of a D node
// FREE: '*' the test, '/' the copies.
constexpr const char* FREETEST[] = {"_l^[*+_i]>0", "F_*[_i]<=0"};  // a queue, a resource
constexpr const char* FREESEL[] = {"_i:=1;while (*) and (_i<=/) do _i:=_i+1;",
                                   " if _i>/ then _i:=1;"};
// MIN: what waits at a copy ('1' or '_i'), then the choice.
constexpr const char* FIRSTCOPY = "1";
constexpr const char* ANYCOPY = "_i";
constexpr const char* WAITLIST[] = {"*", "*+_i"};  // at the first copy, at copy _i
constexpr const char* WAITEND = "]";
constexpr const char* WAITIL = "+_l^[";
constexpr const char* WAITUSED = "+round(U_*[/])";
constexpr const char* MINSEL[] = {"_imi:=1;_min:=_l^[*;_i:=1;",
                                  " while _i</ do begin _i:=_i+1; if (_l^[*<_min)",
                                  " or (_l^[*=_min)",
                                  " and (_en^[*+_i]<_en^[*+_imi])",
                                  " then begin _min:=_l^[*;_imi:=_i;",
                                  " end end;"};

// One destination: list index, position letter and element, and the code
// that picks the copy of a FREE or MIN destination at run time.
struct Dest {
  std::string index;
  std::string letter = AFTER;
  std::string elem;
  std::string select;
};

// The first list the current node feeds in node: its link's, or, with no
// link (INIT, procedures, a node that is no successor), the node's own
// entry list. A D node keeps lists per predecessor only.
int LINKLIST(Compiler& c, int node) {
  if (const NodeRecord* x = CURREC(c))
    for (const NodeLink& l : x->SUCC)
      if (l.NODE == node) return l.ELSUC;
  const NodeRecord& y = c.model.NodeTable[node];
  if (y.TIPO != 'D' && y.EL > 0) return y.EL;
  ERROR(c, "predecessor or succesor node not defined");
}

// FREE: the first copy with room (a resource) or an empty queue; when
// there is none the message waits at the first copy.
std::string FREESELECT(const NodeRecord& y, const std::string& base) {
  std::string n = std::to_string(y.MULT);
  std::string test = FILLIN(FREETEST[y.TIPO == 'R'], {{'*', y.TIPO == 'R' ? y.NOM : base}});
  return FILLIN(FREESEL[0], {{'*', test}, {'/', n}}) + FILLIN(FREESEL[1], {{'/', n}});
}

// What waits at copy i of node y (i: "1" or "_i"), past the "_l^[" of
// the template: its entry list (el: the list of copy 1 less one), for a
// resource the capacity it has in use, for a node with an internal list
// that list too, and when that list is the entry list of a resource (a
// queue in front of its server), the server's capacity in use. A queue
// that a scanned L node empties at once would otherwise always look empty.
std::string WAITING(const Compiler& c, const NodeRecord& y, int el, const std::string& i) {
  auto list = [&](int base) {
    bool first = i == FIRSTCOPY;
    return FILLIN(WAITLIST[!first], {{'*', std::to_string(first ? base + 1 : base)}});
  };
  auto used = [&](const NodeRecord& r) { return FILLIN(WAITUSED, {{'*', r.NOM}, {'/', i}}); };
  std::string q = list(el) + WAITEND;
  if (y.TIPO == 'R') return q + used(y);
  if (y.IL <= 0) return q;
  q += WAITIL + list(y.IL - 1) + WAITEND;
  if (!y.SUCC.empty()) {
    const NodeRecord& s = c.model.NodeTable[y.SUCC.front().NODE];
    if (s.TIPO == 'R' && s.EL == y.IL && s.MULT == y.MULT) q += used(s);
  }
  return q;
}

// MIN: the copy with the least waiting (above). Among copies with as
// much, the one that has received fewer messages wins, then the lowest:
// the lowest alone would take every tie, and copies alike would not share
// alike.
std::string MINSELECT(const Compiler& c, const NodeRecord& y, const std::string& base, int first) {
  std::string q1 = WAITING(c, y, first - 1, FIRSTCOPY);
  std::string qi = WAITING(c, y, std::stoi(base), ANYCOPY);
  std::string n = std::to_string(y.MULT);
  return FILLIN(MINSEL[0], {{'*', q1}}) + FILLIN(MINSEL[1], {{'/', n}, {'*', qi}}) +
         FILLIN(MINSEL[2], {{'*', qi}}) + FILLIN(MINSEL[3], {{'*', base}}) +
         FILLIN(MINSEL[4], {{'*', qi}}) + MINSEL[5];
}

// A node destination with the subscript PRNODO read.
void NODEDEST(Compiler& c, int node, Dest& d) {
  const NodeRecord& y = c.model.NodeTable[node];
  const std::string& sub = c.expr.NODSUB;
  int first = LINKLIST(c, node);
  std::string base = std::to_string(first - 1);
  if (sub == "FREE"sv) {
    if (CURTYPE(c) != 'G') ERROR(c, "FREE subscript in node no G");
    d.index = FILLIN(CHOSEN, {{'*', base}});
    d.select = FREESELECT(y, base);
  } else if (sub == "MIN"sv) {
    d.index = FILLIN(LEAST, {{'*', base}});
    d.select = MINSELECT(c, y, base, first);
  } else if (y.MULT == 1) {
    d.index = std::to_string(first);
  } else if (SMALLUNSIGNED(sub)) {
    d.index = std::to_string(first + std::stoi(sub) - 1);
  } else {
    d.index = FILLIN(COPYOF, {{'*', base}, {'/', sub}});
  }
  // A D node keeps one list per copy of the sending node.
  const NodeRecord* x = CURREC(c);
  if (y.TIPO == 'D' && x && x->MULT > 1)
    d.index += FILLIN(PERSENDER, {{'/', std::to_string(y.MULT)}});
}

// The bracketed subscripts after a GPOINTER array, as written.
std::string RAWSUBS(Compiler& c) {
  Source& s = c.src;
  int k = s.K;
  while (s.at(k) == ' ') k++;
  if (s.at(k) != '[') return "";
  RECID(c);
  int from = s.KSTART;
  PRSUBS(c, 1);
  std::string t;
  for (int i = from; i < s.K; ++i) t += s.at(i);
  return t;
}

// dest -> [(FIRST | LAST) ","] target
//       | gpointer ["[" subscripts "]"] "," (A | B) "," target
// target -> node ["[" (n | name | FREE | MIN) "]"] | EL_... | IL_...
Dest DESTINATION(Compiler& c) {
  Source& s = c.src;
  Dest d;
  RECID(c);
  std::string w = s.IDREAD ? s.IDENT : std::string(1, s.CH);
  bool islist = s.IDREAD && (w.compare(0, 3, "EL_") == 0 || w.compare(0, 3, "IL_") == 0);
  if (s.IDREAD && (w == "FIRST"sv || w == "LAST"sv)) {
    if (w == "FIRST"sv) d.letter = BEFORE;
    NEXTARG(c);
    RECID(c);
  } else if (s.IDREAD && !islist && !ISNODE(c, w)) {
    const NameNode* e = BUSIDAR1(c);
    if (!e || e->TIPO != "GPOINTER"sv)
      ERROR(c, "node or GPOINTER variable expected " + w);
    d.elem = w + RAWSUBS(c);
    NEXTARG(c);
    RECID(c);
    ONEWORD(c, {"A", "B"}, "A o B expected");
    d.letter = s.IDENT;
    NEXTARG(c);
    RECID(c);
  }
  w = s.IDREAD ? s.IDENT : std::string(1, s.CH);
  int node = 0;
  if (s.IDREAD && (w.compare(0, 3, "EL_") == 0 || w.compare(0, 3, "IL_") == 0)) {
    if (!ISNODE(c, w.substr(3))) ERROR(c, "invalid destination in SENDTO");
    s.K = s.KSTART;
    d.index = LISTREF(c);
  } else if (s.IDREAD && ISNODE(c, w, &node)) {
    s.K = s.KSTART;
    PRNODO(c, true);
    NODEDEST(c, node, d);
  } else {
    ERROR(c, "node or GPOINTER variable expected " + w);
  }
  if (d.elem.empty()) d.elem = FILLIN(d.letter == BEFORE ? ATHEAD : ATEND, {{'*', d.index}});
  return d;
}

}  // namespace

// sendto -> SENDTO "(" dest {"," dest} ")"
// The first destination takes the message (_tran), every further one a
// copy of it (_copy); a copy goes to the list its index names, FREE and
// MIN choice included.
void PRSENDTO(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  if (t.REQUESTPART && t.ADVANCE && !t.INEXTR) ERROR(c, "SENDTO not allowed here");
  FLAGON insendto(t.INSENDTO);
  t.SENDPENDING = false;
  const std::string& var = t.MSGVAR;
  OPENARGS(c);
  EMIT(c, BEGINBLOCK, true);
  EMIT(c, SENDING, false);
  for (bool first = true;; first = false) {
    Dest d = DESTINATION(c);
    if (!d.select.empty()) EMIT(c, d.select, false);
    if (first)
      EMIT(c,
           FILLIN(TRAN, {{'#', HELDTEXT(c)},
                         {'*', ORIGINNOW(c)},
                         {'.', d.index},
                         {'/', d.letter},
                         {'$', var},
                         {'&', d.elem}}),
           false);
    else
      EMIT(c, FILLIN(COPY, {{'/', var}, {'.', d.index}, {'*', d.letter}, {'$', d.elem}}), false);
    RECID(c);
    if (s.IDREAD || s.CH != ',') break;
    s.K++;
  }
  EXPECT(c, ')');
  s.K++;
  if (HELDNOW(c)) EMIT(c, REFUSE, false);
  EMIT(c, PACKTEXT(c), false);
  PRFININS(c, true);
  c.out.TRANSMIT = true;
}

// agre -> AGRE "(" (A | B) "," list "," position ")"
// The message goes into the list after (A) or before (B) the position.
void PRAGRE(Compiler& c) {
  Source& s = c.src;
  c.stmt.SENDPENDING = false;
  OPENARGS(c);
  RECID(c);
  ONEWORD(c, {"A", "B"}, "A or B expected");
  std::string letter = s.IDENT;
  NEXTARG(c);
  std::string list, pos;
  PRLISTPOS(c, list, pos);
  CLOSEARGS(c);
  EMIT(c, BEGINBLOCK, true);
  EMIT(c,
       FILLIN(TRAN, {{'#', HELDTEXT(c)},
                     {'*', ORIGINNOW(c)},
                     {'.', list},
                     {'/', letter},
                     {'$', c.stmt.MSGVAR},
                     {'&', pos}}),
       false);
  EMIT(c, PACKTEXT(c), false);
  if (HELDNOW(c)) EMIT(c, REFUSE, false);
  PRFININS(c, true);
  c.out.TRANSMIT = true;
}

// destroy -> DESTROY (";" | before END or ELSE)
// The message leaves its list and is disposed of. The node's own message
// is disposed of only where its skeleton no longer touches it: an E node
// disposes of it itself, L and R nodes still read it after the code.
void PRDESTROY(Compiler& c) {
  Stmt& t = c.stmt;
  const std::string& var = t.MSGVAR;
  bool own = var == OWNMSG;
  char type = CURTYPE(c);
  t.SENDPENDING = false;
  EMIT(c, BEGINBLOCK, true);
  if (own) EMIT(c, SENDING, false);
  std::string origin = ORIGINNOW(c);
  if (origin != NOLIST) EMIT(c, FILLIN(EXTR, {{'/', var}, {'.', origin}}), false);
  if (!own || (type != 'E' && type != 'L' && type != 'R'))
    EMIT(c, FILLIN(ELIM, {{'/', var}}), false);
  if (HELDNOW(c)) EMIT(c, REFUSE, false);
  PRFININS(c, true);
  c.out.TRANSMIT = true;
}
