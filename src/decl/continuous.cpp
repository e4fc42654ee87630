// Continuous variables: the list that gives every CONT variable, every
// element of an ARRAY OF CONT and every stage of a RET variable its place
// in the vector _y, the stage arrays of RET variables, the variables of C
// nodes, and the order constant _ore.
// Called by the variable declarations (TYPARB, PROVAR), the network
// organisation (_arrv, _y, _com) and the INIT pass (_ore). Reads SCOPE and
// the entry just typed; writes PRU.PAS (channel 1) and _com (channel 3).
#include <algorithm>
#include "ground/compiler.h"
#include "symbols/names.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; '*' a name, '/' a count, as said.
constexpr const char* STAGES = "_*_DEL";
constexpr const char* STAGEDECL = "*:array[1../] of real; ";
// A C node's variables (an array of '/' for a multiple node).
constexpr const char* NODEARRAY = "array[1../] of ";
constexpr const char* NODEVARS[] = {"var dt_*,", "_tc_*:/real;", "_ac_*,", "_bi_*:/boolean;"};
constexpr const char* EACHINSTANCE = "[ino]";
constexpr const char* NODERESET = "_ac_*:=false;_bi_*:=false;";  // '*' with its instance
constexpr const char* INSTANCELOOP[] = {"for ino:=1 to / do begin ", " end;"};
// The vector of the integrators, '/' its length.
constexpr const char* VECTORTYPES =
    "type _arrv=array[1../] of real; _arrm=array[1..6,1../] of real;";
constexpr const char* VECTOROVERIT = "var _y:_arrv absolute IT;";
constexpr const char* VECTOR = "var _y:_arrv;";
constexpr const char* POINTERS = "const _yp:array[1../] of ^real=(";
constexpr const char* POINTER = "@*";
constexpr const char* LISTSEP[] = {",", ");"};  // between elements, after the last
constexpr const char* INTARRAY = "const *:array[1../] of integer=(";
constexpr const char* ORDERNAME = "_ore";

// The text an equation names the variable by: the name, with "[i]" for an
// element or a stage.
std::string CONTKEY(const std::string& nom, const std::string& sub) {
  return sub.empty() ? nom : nom + "[" + sub + "]";
}

// A plain variable (sub false) or element subno of an array or a stage.
void ADDVAR(Compiler& c, const std::string& nom, bool sub, int subno, int stages = 0) {
  Cont& k = c.cont;
  ContVar v;
  v.NOM = nom;
  v.SUBNO = subno;
  if (sub) v.SUBTXT = std::to_string(subno);
  v.STAGES = stages;
  k.VARS.push_back(v);
  k.POS.emplace(CONTKEY(v.NOM, v.SUBTXT), static_cast<int>(k.VARS.size()));
  TRACELN(c, "ALMACENADA VARIABLE CONTINUA ", CONTKEY(v.NOM, v.SUBTXT));
}

// Continuous variables live in the vector _y of the main unit.
void GLOBALONLY(Compiler& c) {
  if (c.names.SCOPE != "MAIN"sv) ERROR(c, "variable CONT in procedure");
}

}  // namespace

// X : CONT;  X : RET : n;   (X's entry is typed REAL)
// The stages of a RET variable wait for the end of the group, so that the
// list follows the order of the declarations in PRU.PAS: "A, B : RET : 3"
// lays out A, B, then _A_DEL and _B_DEL.
void DeclareContinuous(Compiler& c, NameNode* e, int retorder) {
  GLOBALONLY(c);
  e->TIPO = "REAL";
  ADDVAR(c, e->NOM, false, 0, retorder);
  if (retorder > 1) {
    c.cont.PENDING.push_back(DelayDecl{e->NOM, retorder});
    c.cont.DELAY[e] = retorder;
  }
}

// X : ARRAY[lo..hi] OF CONT;   one variable per element.
void DeclareContinuousArray(Compiler& c, NameNode* e) {
  GLOBALONLY(c);
  if (e->NSUB > 1) ERROR(c, "more than one subscript");
  e->TYPEL = "REAL";
  if (e->BOUNDS.empty()) return;
  for (int i = e->BOUNDS.front().MIN; i <= e->BOUNDS.front().MAX; ++i) ADDVAR(c, e->NOM, true, i);
}

// After a group: the stage arrays of its RET variables, each on a line of
// its own after the group's text, and their entries in the same order.
void CONTPENDING(Compiler& c) {
  Cont& k = c.cont;
  if (k.PENDING.empty()) return;
  Source& s = c.src;
  Out& o = c.out;
  if (o.TRANSMIT && s.KSTART > o.TRSTART) {
    SENDSRC(c, s.KSTART, o.CURCH);
    o.TRSTART = s.KSTART;
  }
  for (const DelayDecl& d : k.PENDING) {
    std::string stage = FILLIN(STAGES, {{'*', d.NOM}});
    STARTPIECE(c, CH_PRU, FILLIN(STAGEDECL, {{'*', stage}, {'/', std::to_string(d.ORDER - 1)}}));
    for (int i = 1; i < d.ORDER; ++i) ADDVAR(c, stage, true, i);
  }
  k.PENDING.clear();
}

int DELAYLEN(Compiler& c, const NameNode& e) {
  auto it = c.cont.DELAY.find(&e);
  return it == c.cont.DELAY.end() ? 0 : it->second;
}

void DeclareFreq(Compiler& c, NameNode* e) { c.cont.FREQVARS.push_back(e->NOM); }

// C node X: var dt_X,_tc_X:real; _ac_X,_bi_X:boolean;  (arrays of MULT
// elements for a multiple node), DT_X in the name tree for the step size,
// and in _com the node inactive and not yet started.
void DeclareContinuousNode(Compiler& c, int n) {
  const NodeRecord& x = c.model.NodeTable[n];
  const std::string& nom = x.NOM;
  bool multiple = x.MULT > 1;
  std::string array = multiple ? FILLIN(NODEARRAY, {{'/', std::to_string(x.MULT)}}) : "";
  STARTPIECE(c, CH_PRU, FILLIN(NODEVARS[0], {{'*', nom}}));
  ADDPIECE(c, CH_PRU, FILLIN(NODEVARS[1], {{'*', nom}, {'/', array}}));
  STARTPIECE(c, CH_PRU, FILLIN(NODEVARS[2], {{'*', nom}}));
  ADDPIECE(c, CH_PRU, FILLIN(NODEVARS[3], {{'*', nom}, {'/', array}}));
  std::string ino = multiple ? EACHINSTANCE : "";
  std::string reset = FILLIN(NODERESET, {{'*', nom + ino}});
  if (multiple) {
    STARTPIECE(c, CH_MODPRO, FILLIN(INSTANCELOOP[0], {{'/', std::to_string(x.MULT)}}));
    ADDPIECE(c, CH_MODPRO, reset);
    ADDPIECE(c, CH_MODPRO, INSTANCELOOP[1]);
  } else {
    STARTPIECE(c, CH_MODPRO, reset);
  }
  Names& t = c.names;
  Source& s = c.src;
  std::string tipo = s.TIPO;
  int nsub = t.NSUB;
  t.DIRECTADD = true;
  t.DIRECTCODE = 2;
  t.NSUB = multiple ? 1 : 0;
  s.TIPO = multiple ? "ARRAY" : "REAL";
  STVNAME(c, true, "DT_" + nom);
  NameNode* e = t.LASTDIRECT;
  if (multiple) {
    e->TYPTYP = "ARRAY";
    e->TYPEL = "REAL";
    e->BOUNDS = {Bound{1, x.MULT}};
    e->COUNT1 = x.MULT;
  }
  t.DIRECTADD = false;
  t.NSUB = nsub;
  s.TIPO = tipo;
}

// type _arrv=array[1..n] of real; _arrm=array[1..6,1..n] of real;
// var _y:_arrv;   const _yp:array[1..n] of ^real=(@X,@_X_DEL[1],...);
// The integrators reach the variables through _yp. Without continuous
// variables _y lies over IT.
void WriteContinuousVector(Compiler& c) {
  const std::vector<ContVar>& v = c.cont.VARS;
  std::string n = std::to_string(std::max<size_t>(1, v.size()));
  TRACELN(c, "PRIVARC ", v.empty() ? "IT" : v.front().NOM);
  SENDPIECE(c, CH_PRU, FILLIN(VECTORTYPES, {{'/', n}}), true);
  if (v.empty()) {
    STARTPIECE(c, CH_PRU, VECTOROVERIT);
    return;
  }
  STARTPIECE(c, CH_PRU, VECTOR);
  STARTPIECE(c, CH_PRU, FILLIN(POINTERS, {{'/', n}}));
  for (size_t i = 0; i < v.size(); ++i)
    ADDPIECE(c, CH_PRU,
             FILLIN(POINTER, {{'*', CONTKEY(v[i].NOM, v[i].SUBTXT)}}) + LISTSEP[i + 1 == v.size()]);
}

namespace {

// const name:array[1..n] of integer=(v1,...,vn);
void INTCONST(Compiler& c, const char* name, const std::vector<int>& v) {
  STARTPIECE(c, CH_PRU, FILLIN(INTARRAY, {{'*', name}, {'/', std::to_string(v.size())}}));
  for (size_t i = 0; i < v.size(); ++i)
    ADDPIECE(c, CH_PRU, std::to_string(v[i]) + LISTSEP[i + 1 == v.size()]);
}

}  // namespace

// const _ore:array[1..n] of integer=(p1,p2,...,pn);  n = equations, at least 1.
void WriteOrderConstant(Compiler& c) {
  const Cont& k = c.cont;
  if (k.ORDER.empty()) {
    INTCONST(c, ORDERNAME, {1});
    return;
  }
  INTCONST(c, ORDERNAME, k.ORDER);
}
