// Network tables: what the organisation writes once the lists are numbered
// (WRITENETWORK, called by ORGRED). PRU.PAS (channel 1) receives the list
// arrays, the list names _tnl, the node tables _nno, _tipnod, _numel,
// _mulno and _meld, and the TABLES names; MODPRO (channel 3) receives
// _inieli and _com. The transfer procedures and the resources are written
// by the transfer generator; continuous nodes, valued functions, statistics
// and dBase tables are requested at their places below.
#include <algorithm>
#include "ground/compiler.h"
#include "model/model.h"
#include "decl/decl.h"
#include "expr/expr.h"

namespace {

// Templates; '*' is a count unless said otherwise.
constexpr const char* LISTDECL[] = {
    "type _pfrg=^_fg;_fg=record gt,use,et,xt:real;end;",
    "var _fl,_ll:array[1..*] of _pl; ",
    "type _lsr=array[1..*] of real; _lsi=array[1..*] of longint;",
    "_plsr=^_lsr; _plsi=^_lsi; var _l,_lm,_en:_plsi;",
    "_la,_lp,_l2,_hc,_tl,_tp,_tw,_tp2,_tw2,_tpp,_mtp,_de,_dp:_plsr;",
    "const nlist:integer=*;"};
constexpr const char* INIELI[] = {
    "procedure _inieli; begin  ",
    "new(_l);new(_lm);new(_en);new(_la);new(_lp);new(_l2);new(_hc);",
    "new(_tl);new(_tp);new(_tw);new(_tp2);new(_tw2);new(_tpp);",
    "new(_mtp);new(_de);new(_dp);",
    "end;",
    "procedure _com; var ino:integer;begin time:=0;_es:=false;_ff:=nil;evp:=0;"};
constexpr const char* BLCK = "var blck:array[1..*] of boolean;";
constexpr const char* TNL = "const _tnl: array[1..*] of string[15] =(";
constexpr const char* NOLISTS = "'EL_V');";
constexpr const char* NNO = "const _nno:array[1..*] of string[12]=(";
constexpr const char* TIPNOD = "const _tipnod:array[1..*] of char=";
constexpr const char* NUMEL = "const _numel:array[1..*] of integer=";
constexpr const char* MULNO = "const _mulno:array[1..*] of integer=";
constexpr const char* MELD = "const _meld:array[1..*,1..&] of integer=";  // '&': columns
constexpr const char* NOMELD = "((0));";
constexpr const char* NAMETABLE = "const _n_f/:array[1..*] of _st80=(";  // '/': v or t
constexpr const char* NOVAR = "'_VFA');";
constexpr const char* NOTABLE = "'_TFA');";

// The number of lists as array bound: "1" when there are none.
std::string LISTBOUND(const Compiler& c) {
  return std::to_string(std::max(1, c.model.NLIST - 1));
}

void LISTARRAYS(Compiler& c) {
  std::string n = LISTBOUND(c);
  for (const char* t : LISTDECL) SENDPIECE(c, CH_PRU, FILLIN(t, {{'*', n}}), true);
  FLUSHOUT(c, CH_PRU);
}

// The vector _y of the continuous variables.
void CONTINUOUSVECTOR(Compiler& c) { WriteContinuousVector(c); }

// A C node's step-size, clock and activation variables.
void CONTINUOUSNODE(Compiler& c, int n) { DeclareContinuousNode(c, n); }

// Declarations of the valued-function tables.
void VALUEDFUNCTIONS(Compiler& c) { PRFUNVDECL(c); }

// The empty report procedure of a model without a STATISTICS class.
void STATPROCEDURE(Compiler& c) { DeclareStatProcedure(c); }

// Statistics tables and _aesva.
void STATISTICSTABLES(Compiler& c) { DeclareNodeAndVariableStatistics(c); }

// dBase table declarations.
void DBTABLES(Compiler& c) { PRDBDECL(c); }

// _inieli, and _com with the resources' and continuous nodes' start values.
void STARTPROCEDURES(Compiler& c) {
  Model& m = c.model;
  for (const char* t : INIELI) SENDPIECE(c, CH_MODPRO, t, true);
  for (int n = 1; n <= m.NodeCount; ++n) {
    if (m.NodeTable[n].TIPO == 'R') DeclareResource(c, n);
    if (m.NodeTable[n].TIPO == 'C') CONTINUOUSNODE(c, n);
  }
  SENDPIECE(c, CH_MODPRO, "end;", true);
}

void LISTNAMETABLE(Compiler& c) {
  const std::vector<std::string>& t = c.model.LISTTEXT;
  SENDPIECE(c, CH_PRU, FILLIN(TNL, {{'*', LISTBOUND(c)}}), true);
  if (t.empty()) ADDPIECE(c, CH_PRU, NOLISTS);
  for (size_t i = 0; i < t.size(); ++i) ADDPIECE(c, CH_PRU, t[i] + (i + 1 < t.size() ? "," : ");"));
}

// head (v1,v2,...,vn); the values appended one piece each.
template <class F>
void NODEVALUES(Compiler& c, const char* head, F value) {
  int n = c.model.NodeCount;
  SENDPIECE(c, CH_PRU, FILLIN(head, {{'*', std::to_string(n)}}), true);
  for (int i = 1; i <= n; ++i) ADDPIECE(c, CH_PRU, (i == 1 ? "(" : ",") + value(i));
  ADDPIECE(c, CH_PRU, ");");
}

// The entry lists of D node x, one per predecessor copy, in predecessor
// order. The scan of the main program tests each of its first NEL
// columns, so every copy needs its own list here.
std::vector<int> DLISTS(Compiler& c, const NodeRecord& x) {
  std::vector<int> l;
  for (const NodeLink& p : x.PRED)
    for (int i = 0; i < c.model.NodeTable[p.NODE].MULT; ++i) l.push_back(p.ELSUC + i);
  return l;
}

// _meld: one row per D node: NEL, then its lists, padded with 0.
void DLISTTABLE(Compiler& c) {
  const Model& m = c.model;
  std::vector<int> dnodes;
  int cols = 1;
  for (int n = 1; n <= m.NodeCount; ++n) {
    if (m.NodeTable[n].TIPO != 'D') continue;
    dnodes.push_back(n);
    cols = std::max(cols, m.NodeTable[n].NEL);
  }
  std::string t = FILLIN(MELD, {{'&', std::to_string(dnodes.empty() ? 1 : cols + 1)}});
  SENDPIECE(c, CH_PRU, FILLIN(t, {{'*', std::to_string(std::max<size_t>(1, dnodes.size()))}}), true);
  if (dnodes.empty()) {
    ADDPIECE(c, CH_PRU, NOMELD);
    return;
  }
  SENDPIECE(c, CH_PRU, "( ", true);
  for (size_t r = 0; r < dnodes.size(); ++r) {
    const NodeRecord& x = m.NodeTable[dnodes[r]];
    std::vector<int> lists = DLISTS(c, x);
    lists.resize(cols, 0);
    ADDPIECE(c, CH_PRU, "(" + std::to_string(x.NEL) + ", ");
    for (int k = 0; k < cols; ++k) {
      const char* after = k + 1 < cols ? ", " : r + 1 < dnodes.size() ? " )," : " ));";
      ADDPIECE(c, CH_PRU, std::to_string(lists[k]) + after);
    }
  }
}

void NODETABLES(Compiler& c) {
  const Model& m = c.model;
  int n = m.NodeCount;
  SENDPIECE(c, CH_PRU, FILLIN(NNO, {{'*', std::to_string(n)}}), true);
  for (int i = 1; i <= n; ++i)
    ADDPIECE(c, CH_PRU, "'" + m.NodeTable[i].NOM + (i < n ? "'," : "');"));
  NODEVALUES(c, TIPNOD, [&](int i) { return "'" + std::string(1, m.NodeTable[i].TIPO) + "'"; });
  // A D node's entry is its row in _meld.
  std::vector<int> dno(n + 1, 0);
  for (int i = 1, d = 0; i <= n; ++i)
    if (m.NodeTable[i].TIPO == 'D') dno[i] = ++d;
  NODEVALUES(c, NUMEL, [&](int i) {
    return std::to_string(m.NodeTable[i].TIPO == 'D' ? dno[i] : m.NodeTable[i].EL);
  });
  NODEVALUES(c, MULNO, [&](int i) { return std::to_string(m.NodeTable[i].MULT); });
  DLISTTABLE(c);
}

// _n_fv and _n_ft: the variables and the names of the TABLES class.
void TABLENAMES(Compiler& c) {
  const std::vector<TableName>& t = c.expr.TABLES;
  std::string count = std::to_string(std::max<size_t>(1, t.size()));
  for (char kind : {'v', 't'}) {
    SENDPIECE(c, CH_PRU, FILLIN(NAMETABLE, {{'/', std::string(1, kind)}, {'*', count}}), true);
    if (t.empty()) ADDPIECE(c, CH_PRU, kind == 'v' ? NOVAR : NOTABLE);
    for (size_t i = 0; i < t.size(); ++i)
      ADDPIECE(c, CH_PRU, "'" + (kind == 'v' ? t[i].NOM : t[i].NOM2) +
                         (i + 1 < t.size() ? "'," : "');"));
  }
}

}  // namespace

void WRITENETWORK(Compiler& c) {
  LISTARRAYS(c);
  WriteTransferProcedures(c);
  FLUSHOUT(c, CH_MODPRO);
  CONTINUOUSVECTOR(c);
  STARTPROCEDURES(c);
  VALUEDFUNCTIONS(c);
  STATPROCEDURE(c);
  STATISTICSTABLES(c);
  SENDPIECE(c, CH_PRU, FILLIN(BLCK, {{'*', std::to_string(c.model.NodeCount)}}), true);
  LISTNAMETABLE(c);
  NODETABLES(c);
  TABLENAMES(c);
  DBTABLES(c);
  // Whole lines written straight to PRU.PAS later (declarations after
  // PROCEDURES) must not cut into a table still being packed.
  FLUSHOUT(c, CH_PRU);
  NODELIST(c);
}
