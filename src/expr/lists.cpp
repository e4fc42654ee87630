// List designators of node code: EL_name and IL_name, with a node's
// subscript and, for an entry list, the predecessor it is fed from, read
// into the list's number as text. Reads the node table the organisation
// numbered.
#include "ground/compiler.h"
#include "source/source.h"
#include "expr/expr.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What a node reference names: the node and its subscript as written.
// CH is then the character right after the reference, at K.
struct NodeRef {
  int node = 0;
  std::string sub = "1";
};

// A node name with its subscript (PRNODO). After a subscript K is past
// "]"; CH is set to what follows, as after a plain name.
NodeRef READNODEREF(Compiler& c) {
  PRNODO(c, true);
  NodeRef r{c.model.NODEIDX, c.expr.NODSUB};
  if (c.model.NodeTable[r.node].MULT != 1) c.src.CH = c.src.at(c.src.K);
  return r;
}

// list + (v - 1) for a numeric subscript; otherwise the name is added at
// run time: "(list-1)+s", or for a predecessor's copy "list+(s-1)".
void ADDSUB(int& base, std::string& tail, const std::string& sub, bool pred) {
  if (SMALLUNSIGNED(sub)) {
    base += std::stoi(sub) - 1;
  } else if (pred) {
    tail += "+(" + sub + "-1)";
  } else {
    base -= 1;
    tail += "+" + sub;
  }
}

std::string FIRSTPLUS(int first, const NodeRecord& x, const std::string& sub) {
  if (x.MULT == 1) return std::to_string(first);
  return std::to_string(first - 1) + "+" + sub;
}

}  // namespace

NodeLink* SUCCTO(Compiler& c, int p, int n) {
  for (NodeLink& s : c.model.NodeTable[p].SUCC)
    if (s.NODE == n) return &s;
  return nullptr;
}

// list -> ("EL_" | "IL_") node ["(" node ")"]
// The designator's list number as text; a node with copies yields the
// first number less one, "+" and the subscript as written.
std::string LISTREF(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  std::string kind = s.IDENT.substr(0, 3);
  if (kind != "EL_"sv && kind != "IL_"sv) ERROR(c, "EL_ or IL_ expected");
  s.K = s.KSTART + 3;  // the node name follows the prefix in the same word
  NodeRef r = READNODEREF(c);
  const NodeRecord& x = c.model.NodeTable[r.node];
  if (kind == "IL_"sv) return FIRSTPLUS(x.IL, x, r.sub);
  if (s.CH != '(') return FIRSTPLUS(x.EL, x, r.sub);
  s.K++;
  NodeRef p = READNODEREF(c);
  int base;
  if (c.decl.PROCSEEN) {
    base = x.EL;
  } else {
    const NodeLink* l = SUCCTO(c, p.node, r.node);
    if (!l) ERROR(c, "predecessor or succesor node not defined");
    base = l->ELSUC;
    TRACELN(c, "BULESU HALLO EL CORRESP. A ANTEC.SU EL ES ", base);
  }
  std::string tail;
  ADDSUB(base, tail, r.sub, false);
  if (x.TIPO == 'D' && c.model.NodeTable[p.node].TIPO != 'L') ADDSUB(base, tail, p.sub, true);
  TRACELN(c, "ANTECESOR (DESP.BUSELN)");
  if (s.CH != ')') {
    RECID(c);  // blanks or a line end before ")"
    MUSTBE(c, ')');
  }
  s.K++;
  return std::to_string(base) + tail;
}
