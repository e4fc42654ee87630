// Message record transfer support. Every message record type gets one case
// element in each of _upvr (variables to record), _uprv (record to
// variables), _upvro (O_ variables to record), _uprvo (record to O_
// variables), _elim and _newr. _upvr is open on MODPRO from the start of
// DECL, so its elements go there at once; the others are kept in
// c.gen until the organisation calls WriteTransferProcedures. Called by
// the MESSAGES/NODES declarations (ADDCASE, ENDREC), by the type
// translator for every field (AddFieldTransfer) and by the network
// organisation (DefaultRecord, WriteTransferProcedures, DeclareResource).
// Also names a resource in generated code and gives back what a message
// holds of it (the R node skeleton and the instructions that release).
#include <algorithm>
#include <initializer_list>
#include "ground/compiler.h"
#include "symbols/names.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// Templates. '*' is the record number (or a resource name), '/' a field
// or a procedure name, '@' a variable, '$' and '&' array bounds.
constexpr const char* UPVR1 = "  *:begin _p*:=_s; _p*^.gt:=gt; _p*^.use:=use;";
constexpr const char* UPVR2 = "_p*^.et:=et; _p*^.xt:=xt;";
constexpr const char* UPRV1 = "  *:begin _p*:=_s; gt:=_p*^.gt; use:=_p*^.use;";
constexpr const char* UPRV2 = "et:=_p*^.et; xt:=_p*^.xt;";
constexpr const char* UPVRO1 = "*:begin _p*:=_s; _p*^.gt:=o_gt; _p*^.use:=o_use;";
constexpr const char* UPVRO2 = "_p*^.et:=o_et; _p*^.xt:=o_xt;";
constexpr const char* UPRVO1 = "*:begin _p*:=_s; o_gt:=_p*^.gt; o_use:=_p*^.use;";
constexpr const char* UPRVO2 = "o_et:=_p*^.et; o_xt:=_p*^.xt;";
constexpr const char* TOREC = "_p*^./:=@;";
constexpr const char* TOVAR = "@:=_p*^./;";
constexpr const char* FORJ = "for _j:=$ to & do ";
constexpr const char* TORECJ = "_p*^./[_j]:=@[_j];";
constexpr const char* TOVARJ = "@[_j]:=_p*^./[_j];";
constexpr const char* NOCASE = " 1:;";
constexpr const char* ENDPROC = "end end;";
constexpr const char* PROCHEAD =
    "procedure /(_ni:word;_s:pointer);var _j:integer;begin case _ni of";
constexpr const char* ELIMHEAD[] = {
    "procedure _elim(r:word;b:pointer;_pe:_pl); begin ",
    "if _bt then begin writeln(_ftra,'DELETED MESS# ',_PX^.NUMBER:5,",
    "'  GENERATED IN ',_PX^.NOR:12,' AT ',GT:9:3); if _bftr ",
    " then writeln(_ftra,'DELETED MESS# ',_PX^.NUMBER:5,",
    "'  GENERATED IN ',_PX^.NOR:12,' AT ',GT:9:3) end;",
    "case r of "};
constexpr const char* ELIMCASE =
    "*:begin _p*:=b; _gt:=_p*^.gt; dispose(_p*); dispose(_pe) end;";
constexpr const char* NEWRHEAD =
    "procedure _newr(r:integer; var b:pointer); begin case r of ";
constexpr const char* NEWRCASE = "*:begin new(_p*); b:=_p*;  end;";
constexpr const char* NEWREND = "end; _upvr(r,b) end;";
constexpr const char* RECHEAD = "type _pfr*=^_f*;_f*=record gt,use,et,xt:real;";
constexpr const char* RECEND = " end; var _p*,_po*:_pfr*;";
constexpr const char* RESVAR[] = {"var m_*,", "f_*,", "u_*:real;"};
constexpr const char* RESARR = "u_*:array[1../] of real;";
constexpr const char* RESLOOP = "for ino:=1 to * do begin ";
constexpr const char* RESSTART = "m_*:=1;";
constexpr const char* RESSTART2[] = {"f_*:=m_*;", " u_*:=0.0;"};

// A piece made of parts: sent whole when it fits an output piece, else part
// by part, so long names never cut generated text short.
void PIECES(Compiler& c, ChannelNo ch, bool force, std::initializer_list<std::string_view> parts) {
  std::string whole;
  for (std::string_view p : parts) whole += p;
  if (whole.size() <= LINEMAX) {
    SENDPIECE(c, ch, whole, force);
    return;
  }
  for (std::string_view p : parts) {
    SENDPIECE(c, ch, p, force);
    force = false;
  }
}

// The same for an element kept in a list.
void CELLS(std::vector<std::string>& list, std::initializer_list<std::string_view> parts) {
  std::string whole;
  for (std::string_view p : parts) whole += p;
  if (whole.size() <= LINEMAX) {
    list.push_back(std::move(whole));
    return;
  }
  for (std::string_view p : parts) list.emplace_back(p);
}

// One transfer procedure kept in a list: head, elements, end. The list is
// let go once written: a model with many messages holds millions of cells.
void UPLIPRO(Compiler& c, std::string_view name, std::vector<std::string>& list) {
  TRACELN(c, "ENTRA A UPLIPRO (LIST.UPA A MODPRO)");
  SENDPIECE(c, CH_MODPRO, FILLIN(PROCHEAD, {{'/', name}}), true);
  for (const std::string& cell : list) ADDPIECE(c, CH_MODPRO, cell);
  if (list.empty()) ADDPIECE(c, CH_MODPRO, NOCASE);
  ADDPIECE(c, CH_MODPRO, ENDPROC);
  std::vector<std::string>().swap(list);
}
// What a message gives back to a resource: its free part first, then, with
// the statistics of u_ around it, its use.
constexpr const char* GIVEBACK[] = {"if f_*<>MAXREAL then f_*:=f_*+/;",
                                    "if m_*<>MAXREAL then u_*:=u_*-/;"};

}  // namespace

void OWNLINE(Compiler& c, ChannelNo ch, std::string_view text) {
  if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
  SENDPIECE(c, ch, text, false);
  FLUSHOUT(c, ch);
}

void RECTYPE(Compiler& c, std::string_view num) { OWNLINE(c, CH_PRU, FILLIN(RECHEAD, {{'*', num}})); }
void RECVARS(Compiler& c, std::string_view num) { OWNLINE(c, CH_PRU, FILLIN(RECEND, {{'*', num}})); }

void ADDCASE(Compiler& c, int n, bool whole) {
  Gen& g = c.gen;
  g.ETEXT = whole ? "end;" : " ";
  g.NUMTXT = std::to_string(n);
  g.RECNUMS.push_back(n);
  g.RECSET.insert(n);
  std::string_view num = g.NUMTXT;
  ADDPIECE(c, CH_MODPRO, FILLIN(UPVR1, {{'*', num}}));
  SENDPIECE(c, CH_MODPRO, FILLIN(UPVR2, {{'*', num}}) + g.ETEXT, true);
  g.UPRV.push_back(FILLIN(UPRV1, {{'*', num}}));
  g.UPRV.push_back(FILLIN(UPRV2, {{'*', num}}) + g.ETEXT);
  g.UPVRO.push_back(FILLIN(UPVRO1, {{'*', num}}));
  g.UPVRO.push_back(FILLIN(UPVRO2, {{'*', num}}) + g.ETEXT);
  g.UPRVO.push_back(FILLIN(UPRVO1, {{'*', num}}));
  g.UPRVO.push_back(FILLIN(UPRVO2, {{'*', num}}) + g.ETEXT);
  TRACELN(c, "PONER EN LISTAS ELEM.DE CASE UP");
}

void AddFieldTransfer(Compiler& c, int kind, std::string_view name,
                      std::string_view lo, std::string_view hi) {
  Gen& g = c.gen;
  TRACELN(c, "PONER TRANSF V <-> R ", name);
  bool twin = name.substr(0, 2) == "O_"sv;
  std::string_view f = twin ? name.substr(2) : name;
  std::initializer_list<Slot> fills = {{'*', g.NUMTXT}, {'/', f}, {'@', name}};
  std::string head = kind == 1 ? FILLIN(FORJ, {{'$', lo}, {'&', hi}}) : "";
  std::string torec = FILLIN(kind == 1 ? TORECJ : TOREC, fills);
  std::string tovar = FILLIN(kind == 1 ? TOVARJ : TOVAR, fills);
  if (twin) {
    CELLS(g.UPVRO, {head, torec});
    CELLS(g.UPRVO, {head, tovar});
  } else {
    PIECES(c, CH_MODPRO, false, {head, torec});
    CELLS(g.UPRV, {head, tovar});
  }
}

void ENDCASE(Compiler& c) {
  Gen& g = c.gen;
  OWNLINE(c, CH_MODPRO, "end;");
  for (auto* list : {&g.UPRV, &g.UPVRO, &g.UPRVO}) list->push_back("end;");
}

// Kind 1 loops over the bounds; a subscript without numeric bounds (a
// constant's name, say) is walked from low to high of the field itself.
void FIELDTRANSFER(Compiler& c, const NameNode* e) {
  const std::string& f = e->NOM;
  if (f.compare(0, 2, "O_") == 0) return;
  int kind = e->NSUB == 1 ? 1 : 0;
  std::string lo = "low(" + f + ")", hi = "high(" + f + ")";
  if (kind == 1 && !e->BOUNDS.empty()) {
    lo = std::to_string(e->BOUNDS.front().MIN);
    hi = std::to_string(e->BOUNDS.front().MAX);
  }
  AddFieldTransfer(c, kind, f, lo, hi);
  AddFieldTransfer(c, kind, "O_" + f, lo, hi);
}

void DefaultRecord(Compiler& c, int n) {
  std::string num = std::to_string(n);
  RECTYPE(c, num);
  RECVARS(c, num);
  ADDCASE(c, n, true);
  c.model.NodeTable[n].HASATTR = true;
}

void WriteTransferProcedures(Compiler& c) {
  Gen& g = c.gen;
  bool none = g.RECNUMS.empty();
  if (none) ADDPIECE(c, CH_MODPRO, NOCASE);
  ADDPIECE(c, CH_MODPRO, ENDPROC);
  UPLIPRO(c, "_uprv", g.UPRV);
  UPLIPRO(c, "_upvro", g.UPVRO);
  UPLIPRO(c, "_uprvo", g.UPRVO);

  // Nodes' records in node order, then the message types in declaration
  // order: message numbers follow the node numbers.
  std::vector<int> recs = g.RECNUMS;
  std::sort(recs.begin(), recs.end());
  for (const char* line : ELIMHEAD) SENDPIECE(c, CH_MODPRO, line, true);
  for (int n : recs) SENDPIECE(c, CH_MODPRO, FILLIN(ELIMCASE, {{'*', std::to_string(n)}}), true);
  if (none) ADDPIECE(c, CH_MODPRO, NOCASE);
  SENDPIECE(c, CH_MODPRO, "end;", true);
  SENDPIECE(c, CH_MODPRO, "end;", true);

  SENDPIECE(c, CH_MODPRO, NEWRHEAD, true);
  for (int n : recs) SENDPIECE(c, CH_MODPRO, FILLIN(NEWRCASE, {{'*', std::to_string(n)}}), true);
  if (none) ADDPIECE(c, CH_MODPRO, NOCASE);
  SENDPIECE(c, CH_MODPRO, NEWREND, true);
}

// The resource of R node n: m_ its capacity, f_ what is free, u_ what is in
// use; u_ is measured like a variable with statistics.
void DeclareResource(Compiler& c, int n) {
  const NodeRecord& x = c.model.NodeTable[n];
  const std::string& X = x.NOM;
  int mult = x.MULT;
  std::string ms = std::to_string(mult);
  PIECES(c, CH_PRU, true,
         {FILLIN(RESVAR[0], {{'*', X}}), FILLIN(RESVAR[1], {{'*', X}}),
          FILLIN(mult == 1 ? RESVAR[2] : RESARR, {{'*', X}, {'/', ms}})});
  std::string Xi = X;
  if (mult > 1) {
    ADDPIECE(c, CH_MODPRO, FILLIN(RESLOOP, {{'*', ms}}));
    Xi += "[ino]";
  }
  SENDPIECE(c, CH_MODPRO, FILLIN(RESSTART, {{'*', Xi}}), true);
  PIECES(c, CH_MODPRO, false,
         {FILLIN(RESSTART2[0], {{'*', Xi}}), FILLIN(RESSTART2[1], {{'*', Xi}})});
  if (mult > 1) ADDPIECE(c, CH_MODPRO, "end;");

  Names& nm = c.names;
  for (const char* pre : {"M_", "F_", "U_"}) {
    STVNAME(c, true, pre + X);
    NameNode& e = *nm.NEWENTRY;
    e.TIPO = mult == 1 ? "REAL" : "ARRAY";
    e.NSUB = mult == 1 ? 0 : 1;
    if (mult > 1) {
      e.TYPTYP = "ARRAY";
      e.TYPEL = "REAL";
      e.BOUNDS = {Bound{1, mult}};
    }
  }
  NameNode& u = *nm.NEWENTRY;
  u.FLAG1 = true;
  u.COUNT1 = mult;
  c.gen.NVSTAT += 1;
  c.gen.NVELEM += mult;
}

std::string RESOURCETEXT(const Compiler& c, int node, std::string_view inst) {
  const NodeRecord& x = c.model.NodeTable[node];
  if (x.MULT > 1) return x.NOM + "[" + std::string(inst) + "]";
  return x.NOM;
}

void ReleaseResource(Compiler& c, int node, std::string_view inst, std::string_view amount) {
  std::string r = RESOURCETEXT(c, node, inst), a(amount);
  ADDPIECE(c, c.out.CURCH, FILLIN(GIVEBACK[0], {{'*', r}, {'/', a}}));
  ResourceStatisticsBefore(c, node, inst);
  ADDPIECE(c, c.out.CURCH, FILLIN(GIVEBACK[1], {{'*', r}, {'/', a}}));
  ResourceStatisticsAfter(c, node, inst);
}
