// Node procedure pass: walks the node table once, opens the unit of each
// module as its first node comes, and writes every node's procedure on
// channel 4: the head (labels, local VAR declarations), then the skeleton
// of its type around the translated code (node_skeletons.cpp). Also the
// default routing to the successors, the release of a resource, the
// activation of feeding C nodes, the message counters (PRU.PAS) and
// clrstat (MODPRO). Sets the per-node state of Stmt that the instructions
// read (ELTEXT, SENDPENDING, ...); called by the INIT pass.
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "decl/decl.h"
#include "codegen/codegen.h"
#include "codegen/assembly.h"

namespace {

constexpr const char* HEAD = "procedure *(ino:integer);";
constexpr const char* LOCALS = "var icopy: integer;";
constexpr const char* CLOOPVAR = "var _jc: integer;";
constexpr const char* PACK = "_upvr(_px^.r,_px^.b);";
constexpr const char* TOFIRST = "_agr(.,_px,'l');";
constexpr const char* TOOTHER = "_copy(/,.,'*',$);";
constexpr const char* NOSUCC = "00";
// A C node called with 0 integrates up to now (its own events pass 1): a
// successor reads the continuous state of this instant, not of the last step.
constexpr const char* CCALL = "*(0);";
// An instance of a multiple C node called with minus its number catches up.
constexpr const char* CLOOP = "for _jc:=1 to / do *(-_jc);";
constexpr const char* CUPVAR = "var _cu: boolean;";
constexpr const char* CLRSTAT[] = {
    "procedure clrstat; var _i,_j,_ino: integer; begin _tces:=time;",
    "for _j:=1 to * do begin ",
    "_lm^[_j]:=0;_en^[_j]:=0;",
    "_la^[_j]:=0;_lp^[_j]:=0;_l2^[_j]:=0;_hc^[_j]:=_tces;_tl^[_j]:=0.0;",
    "_tp^[_j]:=0.0;_tpp^[_j]:=0.0;_tp2^[_j]:=0.0;_mtp^[_j]:=0.0;",
    "end;",
    "for _ino:=1 to * do blck[_ino]:=false; "};
constexpr const char* CLRNULLE = "for _ino:=1 to * do _nulle[_ino]:=0;";
constexpr const char* CLRTMPS[] = {
    "for _ino:=1 to * do begin _tmps[_ino]:=0.0;_t2ps[_ino]:=0.0;",
    "_tips[_ino]:=1.7e37;_txps[_ino]:=0.0;", "end;"};
constexpr const char* CLRVARS[] = {
    "for _ino:=1 to * do begin _sv[_ino]:=0.;_s2v[_ino]:=0;_nvv[_ino]:=0;",
    "_svv[_ino]:=0.0;_s2vv[_ino]:=0.0;_sva[_ino]:=0.0;",
    "_hv[_ino]:=-1.7e37;_lv[_ino]:=1.7e37;_hcv[_ino]:=_tces end;"};
constexpr const char* CLRTAIL[] = {
    "for _i:=1 to _n_tab do for _j:=1 to _itmx do _fr[_i,_j]:=0;",
    "_nuno:=*;", "end;"};

bool ALLDIGITS(std::string_view s) {
  if (s.empty() || s.size() > 9) return false;
  for (char ch : s)
    if (ch < '0' || ch > '9') return false;
  return true;
}

// A list number as the node's code sees it: the copy "ino" of a multiple
// node is added to the number before its first list.
std::string LISTTEXT(int list, int mult) {
  return mult >= 2 ? std::to_string(list - 1) + "+ino" : std::to_string(list);
}

// The C nodes that feed node n with several copies need a loop variable.
bool NEEDSCLOOP(const Compiler& c, const NodeRecord& x) {
  if (!x.FROMC || (x.TIPO != 'L' && x.TIPO != 'O')) return false;
  for (const NodeLink& p : x.PRED) {
    const NodeRecord& y = c.model.NodeTable[p.NODE];
    if (y.TIPO == 'C' && y.MULT >= 2) return true;
  }
  return false;
}

// The module whose unit holds each node.
void UNITS(Compiler& c) {
  const Model& m = c.model;
  std::vector<int>& u = c.stmt.NODEUNIT;
  u.assign(m.NodeCount + 1, 0);
  for (int i = 1, cur = 0; i <= m.NodeCount; ++i) {
    if (m.NodeTable[i].MODULE > 0) cur = m.NodeTable[i].MODULE;
    u[i] = cur;
  }
}

// A node procedure as the current node may call it: directly in its own
// unit, through the main program's table of node procedures elsewhere.
std::string CALLEE(const Compiler& c, int node) {
  const std::vector<int>& u = c.stmt.NODEUNIT;
  if (u[node] == u[c.stmt.CURNODE]) return c.model.NodeTable[node].NOM;
  return "_hknod^[" + std::to_string(node) + "]";
}

// Where the node's code starts and ends, and what its skeleton and the
// instructions read of it.
void ENTERNODE(Compiler& c, int i) {
  const NodeRecord& x = c.model.NodeTable[i];
  Stmt& t = c.stmt;
  Source& s = c.src;
  t.CURNODE = i;
  t.CURNODENUM = std::to_string(i);
  t.HASLABELS = !x.LABELS.empty();
  t.INITMODE = false;
  t.LBF = x.L;
  t.ELTEXT = LISTTEXT(x.EL, x.MULT);
  t.ILTEXT = LISTTEXT(x.IL, x.MULT);
  t.MULTTEXT = std::to_string(x.MULT);
  t.MULTTEXT1 = std::to_string(x.MULT - 1);
  s.PL = x.CODEPL;
  s.LB = x.CODELINE;
  s.K = x.C;
  c.out.CURCH = CH_NODE;
  c.out.TRANSMIT = false;
  c.names.SCOPE = x.NOM;
}

// Nothing of the node's text is sent once its procedure is written; its
// local names are out of sight.
void LEAVENODE(Compiler& c) {
  c.out.TRANSMIT = false;
  c.names.SCOPE = "MAIN";
  c.stmt.CURNODE = 0;
  c.stmt.HASLABELS = false;
  c.stmt.CONTNODE = false;
  c.stmt.SCANLOOP = false;
  c.stmt.REQUESTPART = false;
  c.out.CURCH = CH_NODE;
}

// VAR declarations "::" — the node's own variables, transmitted into the
// head's var section; the code starts behind "::".
void LOCALDECLS(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  // A label section ended the var section of the head.
  if (!c.model.NodeTable[c.stmt.CURNODE].LABELS.empty()) NEWPIECE(c, CH_NODE, "var ");
  o.TRSTART = s.K;
  s.LOCALDECL = true;
  c.decl.MODE = VarMode();
  c.decl.MODE.COLONS = true;
  PROVAR(c);
  s.LOCALDECL = false;
  MUSTBEPAIR(c, "::");
  SENDSRC(c, s.K, CH_NODE);
  s.K += 2;
  o.TRSTART = s.K;
  FLUSHOUT(c, CH_NODE);
}

}  // namespace

std::string SUCCLIST(const NodeLink& s) {
  if (s.SUB.empty()) return std::to_string(s.ELSUC);
  if (ALLDIGITS(s.SUB)) return std::to_string(s.ELSUC + std::stoi(s.SUB) - 1);
  return std::to_string(s.ELSUC - 1) + "+" + s.SUB;
}

void GenerateNodes(Compiler& c) {
  Model& m = c.model;
  TRACELN(c, "PROCESAR NODOS 1");
  TRACEWAIT(c);
  // Node code is transmitted, never copied whole.
  c.out.TRMODE = 2;
  c.gen.NODEPASS = true;
  UNITS(c);
  for (int i = 1; i <= m.NodeCount; ++i) {
    TRACELN(c, "PROCESAR NODOS 2");
    TRACEWAIT(c);
    ENTERNODE(c, i);
    TRACELN(c, "VA A VER SI HAY UNID");
    TRACEWAIT(c);
    StartUnitIfNeeded(c, i);
    TRACELN(c, "VIO SI HAY UNID");
    TRACEWAIT(c);
    TRACELN(c, "PROCESAR NODOS 3");
    TRACEWAIT(c);
    switch (m.NodeTable[i].TIPO) {
      case 'A': ANODE(c); break;
      case 'C': CNODE(c); break;
      case 'D': DNODE(c); break;
      case 'E': ENODE(c); break;
      case 'G': GNODE(c); break;
      case 'I': INODE(c); break;
      case 'L': LNODE(c); break;
      case 'R': RNODE(c); break;
      default: ONODE(c); break;
    }
    LEAVENODE(c);
  }
  c.gen.NODEPASS = false;
}

// head -> [VAR declarations "::"] code
void NodeHeader(Compiler& c, bool withbegin) {
  Source& s = c.src;
  Out& o = c.out;
  const NodeRecord& x = c.model.NodeTable[c.stmt.CURNODE];
  NEWPIECE(c, CH_NODE, FILLIN(HEAD, {{'*', x.NOM}}));
  NEWPIECE(c, CH_NODE, LOCALS);
  if (NEEDSCLOOP(c, x)) NEWPIECE(c, CH_NODE, CLOOPVAR);
  if (x.TIPO == 'C' && x.MULT > 1) NEWPIECE(c, CH_NODE, CUPVAR);
  if (!x.LABELS.empty()) {
    NEWPIECE(c, CH_NODE, "label ");
    for (size_t i = 0; i < x.LABELS.size(); ++i)
      ADDPIECE(c, CH_NODE, x.LABELS[i].NOM + (i + 1 < x.LABELS.size() ? "," : ";"));
  }
  // The rest of the header's line is not node code: nothing is sent
  // while the first word is looked for.
  s.HEADER = false;
  s.INPROC = true;
  PEEK(c);
  if (WORDIS(s, "VAR")) {
    STEPPAST(c);
    LOCALDECLS(c);
  }
  s.HEADER = true;
  s.INPROC = false;
  o.TRSTART = s.K;
  o.TRANSMIT = true;
  if (withbegin) NEWPIECE(c, CH_NODE, "begin ");
}

void SendToSuccessors(Compiler& c, bool packing) {
  const NodeRecord& x = c.model.NodeTable[c.stmt.CURNODE];
  ChannelNo ch = c.out.CURCH;
  if (packing) ADDPIECE(c, ch, PACK);
  std::string first = x.SUCC.empty() ? NOSUCC : SUCCLIST(x.SUCC.front());
  ADDPIECE(c, ch, FILLIN(TOFIRST, {{'.', first}}));
  for (size_t i = 1; i < x.SUCC.size(); ++i) {
    std::string t = SUCCLIST(x.SUCC[i]);
    ADDPIECE(c, ch, FILLIN(TOOTHER, {{'.', t}, {'/', "_px"}, {'*', "A"}, {'$', "_ll[" + t + "]"}}));
  }
}

// Each feeding C node's procedure is called with the instance -1 (each copy
// of a multiple one with its own number), before the message is taken.
void ActivateContinuousPredecessors(Compiler& c, int node) {
  const Model& m = c.model;
  for (const NodeLink& p : m.NodeTable[node].PRED) {
    const NodeRecord& y = m.NodeTable[p.NODE];
    if (y.TIPO != 'C') continue;
    std::string callee = CALLEE(c, p.NODE);
    if (y.MULT >= 2)
      ADDPIECE(c, c.out.CURCH, FILLIN(CLOOP, {{'/', std::to_string(y.MULT)}, {'*', callee}}));
    else
      ADDPIECE(c, c.out.CURCH, FILLIN(CCALL, {{'*', callee}}));
  }
}

// var _NUME<i>,...,_NUME<p+j>:integer; — I nodes by position, then the
// CREATE counters numbered after the last I node.
void DeclareMessageCounters(Compiler& c) {
  const Model& m = c.model;
  std::vector<std::string> names;
  for (int k = 1; k <= m.NodeCount; ++k)
    if (m.NodeTable[k].TIPO == 'I') names.push_back("_NUME" + std::to_string(k));
  for (int j = 1; j <= c.stmt.CREATECOUNT; ++j)
    names.push_back("_NUME" + std::to_string(c.stmt.NUMEOFFSET + j));
  if (names.empty()) return;
  NEWPIECE(c, CH_PRU, "var ");
  for (size_t i = 0; i < names.size(); ++i)
    ADDPIECE(c, CH_PRU, names[i] + (i + 1 < names.size() ? "," : ":"));
  ADDPIECE(c, CH_PRU, "integer;");
}

void GenerateClrstat(Compiler& c) {
  const Gen& g = c.gen;
  const std::string lists = std::to_string(std::max(1, c.model.NLIST - 1));
  const std::string nodes = std::to_string(c.model.NodeCount);
  FLUSHOUT(c, CH_MODPRO);
  NEWPIECE(c, CH_MODPRO, CLRSTAT[0]);
  NEWPIECE(c, CH_MODPRO, FILLIN(CLRSTAT[1], {{'*', lists}}));
  for (int i = 2; i <= 5; ++i) NEWPIECE(c, CH_MODPRO, CLRSTAT[i]);
  NEWPIECE(c, CH_MODPRO, FILLIN(CLRSTAT[6], {{'*', nodes}}));
  if (g.NULLE > 1) NEWPIECE(c, CH_MODPRO, FILLIN(CLRNULLE, {{'*', std::to_string(g.NULLE - 1)}}));
  if (g.TMPS > 1) {
    NEWPIECE(c, CH_MODPRO, FILLIN(CLRTMPS[0], {{'*', std::to_string(g.TMPS - 1)}}));
    ADDPIECE(c, CH_MODPRO, CLRTMPS[1]);
    NEWPIECE(c, CH_MODPRO, CLRTMPS[2]);
  }
  if (g.NVSTAT > 0)
    for (const char* t : CLRVARS) NEWPIECE(c, CH_MODPRO, FILLIN(t, {{'*', std::to_string(g.NVELEM)}}));
  for (const char* t : CLRTAIL) NEWPIECE(c, CH_MODPRO, FILLIN(t, {{'*', nodes}}));
}
