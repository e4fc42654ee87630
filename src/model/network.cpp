// Network organisation: run once when the declarations reach PROCEDURES or
// END. (ORGRED). Resolves successors to node numbers, adds default
// successors, builds predecessor lists, checks the rules of the node types,
// numbers every message list (internal lists IL, entry lists EL and the
// links' ELSUC) and then writes the network tables (network_emit.cpp).
// Also prints the node table in trace mode (NODELIST).
// Reads and sets NodeTable, NLIST, LISTTEXT and NSTAT of Model.
#include "ground/compiler.h"
#include "symbols/names.h"
#include "model/model.h"
#include "decl/decl.h"
#include "expr/expr.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

NodeRecord& NODEAT(Compiler& c, int n) { return c.model.NodeTable[n]; }


// A fresh run of `count` lists for a node: its first number. The names
// go on from `named`, the node's lists of this kind named before.
int NEWLISTS(Compiler& c, int n, const char* kind, int count, int named = 0) {
  int first = c.model.NLIST;
  c.model.NLIST += count;
  LISTNAMES(c, n, kind, count, named + 1);
  return first;
}

// Step 1 for node n: names to numbers, NOSUC, or the default successor.
void RESOLVESUCC(Compiler& c, int n) {
  Model& m = c.model;
  NodeRecord& x = NODEAT(c, n);
  x.PRED.clear();
  if (n > 1) NODEAT(c, n - 1).L = x.L;
  if (x.MULT < 0) ERROR(c, "node with illegal subscript " + x.NOM);
  if (!x.SUCC.empty()) {
    if (x.SUCC.front().NOM == "NOSUC"sv) {
      x.SUCC.clear();
      return;
    }
    for (NodeLink& s : x.SUCC) {
      auto it = m.NODENUM.find(s.NOM);
      if (it == m.NODENUM.end()) ERROR(c, "not defined succesor " + s.NOM);
      s.NODE = it->second;
    }
    TRACELN(c, "SUCESORES INICIALES DE ", x.NOM, " LIN ", x.L);
    return;
  }
  // Exits, ordinary, assembly and continuous nodes send nowhere by default,
  // and nothing flows by default into a source or an assembly node.
  switch (x.TIPO) {
    case 'E': case 'O': case 'A': case 'C':
      return;
  }
  if (n == m.NodeCount) return;
  const NodeRecord& next = NODEAT(c, n + 1);
  if (next.TIPO == 'I' || next.TIPO == 'A') return;
  NodeLink d;
  d.NOM = next.NOM;
  d.SUB = std::to_string(next.MULT);
  d.NODE = n + 1;
  x.SUCC.push_back(d);
  TRACELN(c, "SUC.DE DEFECTO ", d.NOM, "   CON SUBINDICE ", d.SUB);
}

// Step 2 for node n: the type rules of each link, and n as a predecessor.
void LINKPRED(Compiler& c, int n) {
  NodeRecord& x = NODEAT(c, n);
  for (const NodeLink& l : x.SUCC) {
    NodeRecord& s = NODEAT(c, l.NODE);
    if (x.TIPO == 'C') s.FROMC = true;
    if (s.TIPO == 'I') ERROR(c, "I type node succesor of " + x.NOM);
    if (s.TIPO == 'C' && x.TIPO != 'C') ERROR(c, "C type node succesor of " + x.NOM);
    if (s.TIPO == 'L' && x.TIPO == 'L')
      ERROR(c, "L type node succesor of L type node " + x.NOM);
    NodeLink p;
    p.NOM = x.NOM;
    p.NODE = n;
    p.SUB = std::to_string(x.MULT);
    s.PRED.push_back(p);
  }
}

void NEEDPRED(Compiler& c, const NodeRecord& x) {
  if (x.PRED.empty()) ERROR(c, "Node " + x.NOM + " without predecessor");
}

// A decision node has one run of lists per predecessor (times the
// predecessor's copies); an L predecessor lends its internal lists instead.
void DENTRY(Compiler& c, int n) {
  NodeRecord& x = NODEAT(c, n);
  TRACELN(c, "***********TIPO D");
  if (x.PRED.empty()) ERROR(c, "D type node without predecessor " + x.NOM);
  if (x.MULT > 1) ERROR(c, "subscripted node D ");
  x.NEL = 0;
  int named = 0;  // one numbering over all the node's entry lists
  for (NodeLink& p : x.PRED) {
    const NodeRecord& from = NODEAT(c, p.NODE);
    x.NEL += from.MULT;
    if (from.TIPO == 'L') {
      p.ELSUC = from.IL;
    } else {
      p.ELSUC = NEWLISTS(c, n, "EL", from.MULT * x.MULT, named);
      named += from.MULT * x.MULT;
    }
    BULESU(c, p.NODE, n, p.ELSUC);
  }
  TRACELN(c, "NUMERO DE ANTECESORES ", x.NEL);
}

// A G or R node that is the first successor of an L node takes its
// messages straight from the L node's internal lists.
void GRENTRY(Compiler& c, int n) {
  NodeRecord& x = NODEAT(c, n);
  NEEDPRED(c, x);
  const NodeLink* feed = nullptr;
  for (const NodeLink& p : x.PRED)
    if (NODEAT(c, p.NODE).TIPO == 'L') {
      feed = &p;
      break;
    }
  const NodeRecord* h = feed ? &NODEAT(c, feed->NODE) : nullptr;
  if (h && !h->SUCC.empty() && h->SUCC.front().NODE == n) {
    if (h->MULT != x.MULT) ERROR(c, "mismatch dimension nodes " + x.NOM + " " + h->NOM);
    x.EL = h->IL;
    x.SUBEL = h->SUBEL;
    x.NEL = h->MULT;
  } else {
    x.EL = NEWLISTS(c, n, "EL", x.MULT);
  }
  SETELSUC(c, n);
}

void LENTRY(Compiler& c, int n) {
  NodeRecord& x = NODEAT(c, n);
  if (x.PRED.empty()) ERROR(c, "L type node without predecessor " + x.NOM);
  if (!x.SUCC.empty() && NODEAT(c, x.SUCC.front().NODE).TIPO == 'E')
    ERROR(c, "node E first succesor of " + x.NOM);
  x.EL = NEWLISTS(c, n, "EL", x.MULT);
  SETELSUC(c, n);
}

// Step 4 for node n: its entry lists, by type.
void ENTRYLISTS(Compiler& c, int n) {
  NodeRecord& x = NODEAT(c, n);
  x.NEL = 1;
  if (x.STAT) c.model.NSTAT += 1 + (x.TIPO == 'D' ? static_cast<int>(x.PRED.size()) : 0);
  switch (x.TIPO) {
    case 'A':
      if (!x.PRED.empty()) ERROR(c, "Node " + x.NOM + " with predecessor");
      break;
    case 'D':
      DENTRY(c, n);
      break;
    case 'E':
      NEEDPRED(c, x);
      x.EL = NEWLISTS(c, n, "EL", x.MULT);
      SETELSUC(c, n);
      break;
    case 'G': case 'R':
      GRENTRY(c, n);
      break;
    case 'I':
      if (!x.DECLARED) DefaultRecord(c, n);
      x.HASATTR = true;  // a source node always has a message record
      break;
    case 'L':
      LENTRY(c, n);
      break;
    case 'O':
      if (x.PRED.empty()) break;
      if (x.EL != -1) ERROR(c, "Node " + x.NOM + " without EL");
      x.EL = NEWLISTS(c, n, "EL", x.MULT);
      SETELSUC(c, n);
      break;
  }
}

}  // namespace

// '<kind>_<node> <i> ' in quotes: the display names of a node's lists. A
// long node name is cut inside the quotes so the constant stays closed.
void LISTNAMES(Compiler& c, int node, std::string_view kind, int count, int first) {
  const std::string& name = NODEAT(c, node).NOM;
  for (int i = first; i < first + count; ++i) {
    std::string inner = std::string(kind) + "_" + name + " " + std::to_string(i) + " ";
    c.model.LISTTEXT.push_back("'" + CUT(inner, NAMEMAX - 2) + "'");
  }
}

void BULESU(Compiler& c, int pred, int node, int list) {
  if (NodeLink* s = SUCCTO(c, pred, node)) s->ELSUC = list;
}

void SETELSUC(Compiler& c, int node) {
  NodeRecord& x = NODEAT(c, node);
  for (NodeLink& p : x.PRED) {
    p.ELSUC = x.EL;
    BULESU(c, p.NODE, node, x.EL);
  }
}

void ORGRED(Compiler& c) {
  Model& m = c.model;
  TRACELN(c, "ORGANIZAR RED");
  for (int i = 0; i < 4; ++i) TRACEWAIT(c);
  for (int n = 1; n <= m.NodeCount; ++n) RESOLVESUCC(c, n);
  m.NodeTable[m.NodeCount].L = m.SectionLine[2];
  for (int n = 1; n <= m.NodeCount; ++n) LINKPRED(c, n);
  for (int n = 1; n <= m.NodeCount; ++n) {
    NodeRecord& x = NODEAT(c, n);
    if (x.TIPO == 'L' || x.TIPO == 'R' || (x.TIPO == 'O' && x.IL == -1))
      x.IL = NEWLISTS(c, n, "IL", x.MULT);
  }
  m.NSTAT = 0;
  for (int n = 1; n <= m.NodeCount; ++n) ENTRYLISTS(c, n);
  WRITENETWORK(c);
}

void NODELIST(Compiler& c) {
  if (!c.drv.TRACE) return;
  const Model& m = c.model;
  for (int i = 1; i <= m.NodeCount; ++i) {
    const NodeRecord& x = m.NodeTable[i];
    TRACEWAIT(c);
    TRACELN(c, i, ' ', x.NOM, ' ', x.TIPO, ' ', x.MULT, " EL ", x.EL, " IL ", x.IL,
            "  SUBEL ", x.SUBEL, " L ", x.L, " C ", x.C);
    TRACELN(c, "SUCESORES");
    for (const NodeLink& l : x.SUCC) TRACELN(c, l.NOM, "  SUB ", l.SUB, " ELSUC ", l.ELSUC);
    TRACELN(c);
    TRACELN(c, "ANTECESORES");
    for (const NodeLink& l : x.PRED) TRACELN(c, l.NOM, " EL ", l.ELSUC);
  }
}
