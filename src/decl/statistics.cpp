// Statistics generation: what the final report reads. PRU.PAS (channel 1)
// receives the node statistics table _ou with the arrays its counters need,
// the variable statistics table _ov with its arrays; MODPRO (channel 3)
// receives _aesva, the bodies of _prsta and _prstp and, for a model without
// a STATISTICS class, the empty stat. An assignment to a measured variable
// is wrapped in _prsta/_prstp calls, and so is every change of a resource's
// use (U_). Reads the STAT flags of the nodes and the FLAG1/COUNT1 marks of
// the name tree left by the STATISTICS class and DeclareResource; gives out
// the nodes' STATNAME and the variables' statistics indexes (Gen::STATIX).
// Called by the network organisation, the statement dispatcher, the R node
// skeleton and the INIT pass.
#include <algorithm>
#include <map>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// Templates; the placeholders are named where they are filled.
constexpr const char* OUHEAD =
    "const _ou:array[1..*] of record nom:_st80;ind,el,il:integer end=(";
constexpr const char* OUENTRY = "(nom:'*';ind:/;el:&;il:.)";
constexpr const char* OUNONE = "(nom:'H';ind:1;el:1;il:1));";
constexpr const char* NES = "_n_es:integer=*;";
constexpr const char* NULLE = "var _nulle:array[1..*] of integer;";
constexpr const char* TMPS[] = {
    "var _tmps:array[1..*] of real;_t2ps:array[1..*] of real;",
    "_txps:array[1..*] of real;_tips:array[1..*] of real;"};
constexpr const char* NLISTCONST = "const _n_list:integer=*;";
constexpr const char* OVHEAD =
    "const _ov:array[1..*] of record nom:_st80;ind:integer end=(";
constexpr const char* OVENTRY = "(nom:'*';ind:&)";
constexpr const char* OVNONE = "(nom:'H';ind:1));";
constexpr const char* NVES = "_n_ves:integer=*; _n_vest:integer=/;";
constexpr const char* VARRAYS[] = {
    "var _sv,_s2v,_hv,_lv,_hcv,_svv,_s2vv,_sva:array[1..*] of real;",
    "_nvv:array[1..*] of integer;", "var _vas,_t2:array[1..*] of real;"};
// The capacity of the resource each measured element is the use of (nil
// for other variables): the report gives use over capacity as utilisation.
constexpr const char* OVCAP = "const _ovcap:array[1..*] of ^real=(";
constexpr const char* AESVAHEAD = "procedure _aesva; var _ki:integer;  begin ";
constexpr const char* AESVALOOP = "for _ki:=1 to * do begin ";
constexpr const char* AESVAONE = "_vas[/]:=*;";
constexpr const char* EMPTYSTAT = "procedure stat; begin end;";
constexpr const char* PRSTA = "_prsta(/,*); ";
constexpr const char* PRSTP = "_prstp(/,*);";
constexpr const char* PRSTARES = "_prsta(/,*);";
// A measured continuous variable after its group's integration: '#' the
// equation, '/' the index.
constexpr const char* YSTAT = "_ystat(#,_sv[/],_s2v[/],_lv[/],_hv[/],_hcv[/]);";
constexpr const char* BODIES[] = {
    "procedure _prsta(I:INTEGER;V:REAL);begin _sv[I]:=_sv[I]+V*(time-_hcv[I]);",
    "_s2v[I]:=_s2v[I]+V*V*(time-_hcv[I]);end;",
    "procedure _prstp(I:INTEGER;V:REAL); begin if V > _hv[I] then _hv[I]:=V;",
    "if V < _lv[I] then _lv[I]:=V; _hcv[I]:=time; _svv[I]:=_svv[I]+V;_sva[I]:=V;",
    "_s2vv[I]:=_s2vv[I]+V*V;_nvv[I]:=_nvv[I]+1;end;",
    " "};

std::string NUM(int n) { return std::to_string(n); }

// A bound of a statistics array: at least 1.
std::string BOUND(int n) { return NUM(std::max(1, n)); }

bool ISARRAY(const NameNode& e) { return e.TIPO == "ARRAY"sv || e.TYPTYP == "ARRAY"sv; }

// The elements measured of a variable: the last dimension of an array.
int ELEMENTS(const NameNode& e) { return std::max(1, e.COUNT1); }

// The first subscript of that dimension: element lo is measured first.
int FIRSTSUB(const NameNode& e) { return e.BOUNDS.empty() ? 1 : e.BOUNDS.back().MIN; }

// n added to a subscript's text, as Pascal takes it.
std::string PLUS(int n) { return n < 0 ? std::to_string(n) : "+" + std::to_string(n); }

// The measured variables in key order. The count is the walk's, not the
// declarations': a name listed twice is measured once.
std::vector<const NameNode*> MEASURED(const Compiler& c) {
  std::vector<const NameNode*> v;
  WALKTREE(static_cast<const NameNode*>(c.names.ROOT), [&](const NameNode* e) {
    if (e->FLAG1) v.push_back(e);
  });
  return v;
}

// _ou: one entry per measured node, a D node followed by its predecessors.
// I and E nodes get their counters' first indexes here.
void NODETABLE(Compiler& c) {
  Model& m = c.model;
  Gen& g = c.gen;
  std::vector<std::string> entries;
  auto entry = [&](const std::string& nom, int mult, const std::string& el,
                   const std::string& il) {
    entries.push_back(FILLIN(OUENTRY, {{'*', nom}, {'/', NUM(mult)}, {'&', el}, {'.', il}}));
  };
  for (int n = 1; n <= m.NodeCount; ++n) {
    NodeRecord& x = m.NodeTable[n];
    if (!x.STAT) continue;
    switch (x.TIPO) {
      case 'D':
        entry(x.NOM, x.MULT, "-2", NUM(static_cast<int>(x.PRED.size())));
        for (const NodeLink& p : x.PRED) {
          const NodeRecord& y = m.NodeTable[p.NODE];
          if (y.TIPO == 'L')
            entry(y.NOM, y.MULT, "-1", NUM(y.IL));
          else
            entry(y.NOM, y.MULT, "0", NUM(p.ELSUC));
        }
        break;
      case 'E':
        x.STATNAME = NUM(g.TMPS);
        entry(x.NOM, x.MULT, NUM(x.EL), "-" + x.STATNAME);
        g.TMPS += x.MULT;
        break;
      case 'I':
        x.STATNAME = NUM(g.NULLE);
        entry(x.NOM, x.MULT, "-1", x.STATNAME);
        g.NULLE += x.MULT;
        break;
      default:
        entry(x.NOM, x.MULT, NUM(x.EL), NUM(x.IL));
    }
  }
  int nstat = static_cast<int>(entries.size());
  SENDPIECE(c, CH_PRU, FILLIN(OUHEAD, {{'*', BOUND(nstat)}}), true);
  if (entries.empty()) SENDPIECE(c, CH_PRU, OUNONE, true);
  for (size_t i = 0; i < entries.size(); ++i)
    ADDPIECE(c, CH_PRU, entries[i] + (i + 1 < entries.size() ? "," : ");"));
  SENDPIECE(c, CH_PRU, FILLIN(NES, {{'*', NUM(nstat)}}), true);
  std::string nulle = FILLIN(NULLE, {{'*', BOUND(g.NULLE - 1)}});
  if (nstat > 0) {
    FLUSHOUT(c, CH_PRU);
    ADDPIECE(c, CH_PRU, nulle);
  } else {
    SENDPIECE(c, CH_PRU, nulle, true);
  }
  for (const char* t : TMPS) {
    std::string d = FILLIN(t, {{'*', BOUND(g.TMPS - 1)}});
    if (nstat > 0)
      ADDPIECE(c, CH_PRU, d);
    else
      SENDPIECE(c, CH_PRU, d, true);
  }
}

// _ovcap: per measured element, @m_X of the resource X whose U_X it is.
void CAPACITYTABLE(Compiler& c, const std::vector<const NameNode*>& vars) {
  std::map<std::string, const NodeRecord*> resources;
  for (int n = 1; n <= c.model.NodeCount; ++n) {
    const NodeRecord& x = c.model.NodeTable[n];
    if (x.TIPO == 'R') resources[CUT("U_" + x.NOM, NAMEMAX)] = &x;
  }
  std::vector<std::string> cells;
  for (const NameNode* e : vars) {
    auto r = resources.find(e->NOM);
    for (int i = 1; i <= ELEMENTS(*e); ++i) {
      if (r == resources.end())
        cells.push_back("nil");
      else
        cells.push_back("@m_" + r->second->NOM + (r->second->MULT > 1 ? "[" + NUM(i) + "]" : ""));
    }
  }
  if (cells.empty()) cells.push_back("nil");
  SENDPIECE(c, CH_PRU, FILLIN(OVCAP, {{'*', NUM(static_cast<int>(cells.size()))}}), true);
  for (size_t i = 0; i < cells.size(); ++i)
    ADDPIECE(c, CH_PRU, cells[i] + (i + 1 < cells.size() ? "," : ");"));
}

// _ov and the arrays of the variable statistics; the variables' indexes
// are given out here, in key order.
void VARIABLETABLE(Compiler& c, const std::vector<const NameNode*>& vars) {
  Gen& g = c.gen;
  g.NVSTAT = static_cast<int>(vars.size());
  g.NVELEM = 0;
  g.STATIX.clear();
  g.STATLO.clear();
  if (vars.empty()) {
    SENDPIECE(c, CH_PRU, FILLIN(OVHEAD, {{'*', "1"}}), true);
    SENDPIECE(c, CH_PRU, OVNONE, true);
    ADDPIECE(c, CH_PRU, FILLIN(NVES, {{'*', "0"}, {'/', "0"}}));
  } else {
    TRACELN(c, "ESTAD. DE VARIABLES");
    SENDPIECE(c, CH_PRU, FILLIN(OVHEAD, {{'*', NUM(g.NVSTAT)}}), true);
    for (size_t i = 0; i < vars.size(); ++i) {
      const NameNode& e = *vars[i];
      g.STATIX[e.NOM] = g.NVELEM + 1;
      g.STATLO[e.NOM] = ISARRAY(e) ? FIRSTSUB(e) : 1;
      g.NVELEM += ELEMENTS(e);
      ADDPIECE(c, CH_PRU, FILLIN(OVENTRY, {{'*', e.NOM}, {'&', NUM(ELEMENTS(e))}}) +
                         (i + 1 < vars.size() ? "," : ");"));
    }
    SENDPIECE(c, CH_PRU, FILLIN(NVES, {{'*', NUM(g.NVSTAT)}, {'/', NUM(g.NVELEM)}}), true);
    FLUSHOUT(c, CH_PRU);
  }
  for (const char* t : VARRAYS) SENDPIECE(c, CH_PRU, FILLIN(t, {{'*', BOUND(g.NVELEM)}}), true);
  CAPACITYTABLE(c, vars);
}

// _aesva copies every measured element into _vas for the report.
void AESVA(Compiler& c, const std::vector<const NameNode*>& vars) {
  SENDPIECE(c, CH_MODPRO, AESVAHEAD, true);
  for (const NameNode* e : vars) {
    std::string p = NUM(c.gen.STATIX[e->NOM]);
    if (!ISARRAY(*e)) {
      ADDPIECE(c, CH_MODPRO, FILLIN(AESVAONE, {{'/', p}, {'*', e->NOM}}));
      continue;
    }
    // An array from another first subscript than 1 counts its elements
    // from there.
    int lo = FIRSTSUB(*e);
    std::string loop = FILLIN(AESVALOOP, {{'*', NUM(lo + ELEMENTS(*e) - 1)}});
    if (lo != 1) loop.replace(loop.find(":=1 "), 4, ":=" + NUM(lo) + " ");
    SENDPIECE(c, CH_MODPRO, loop, true);
    ADDPIECE(c, CH_MODPRO, FILLIN(AESVAONE, {{'/', p + "+_ki-" + NUM(lo)}, {'*', e->NOM + "[_ki]"}}));
    SENDPIECE(c, CH_MODPRO, "end;", true);
  }
  SENDPIECE(c, CH_MODPRO, "end;", true);
}

// The index text and target of the U_ variable of R node n, instance inst.
void RESOURCETARGET(Compiler& c, int n, std::string_view inst, std::string& stix,
                    std::string& target) {
  const NodeRecord& x = c.model.NodeTable[n];
  std::string u = "U_" + x.NOM;
  auto f = c.gen.STATIX.find(CUT(u, NAMEMAX));
  int ix = f == c.gen.STATIX.end() ? 1 : f->second;
  if (x.MULT > 1) {
    target = u + "[" + std::string(inst) + "]";
    stix = NUM(ix - 1) + "+" + std::string(inst);
  } else {
    target = u;
    stix = NUM(ix);
  }
}

bool ALLDIGITS(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char ch) {
    return ch >= '0' && ch <= '9';
  });
}

}  // namespace

bool HASSTATISTICS(const Compiler& c) { return c.decl.STATCLASS; }

void DeclareStatProcedure(Compiler& c) {
  if (!HASSTATISTICS(c)) SENDPIECE(c, CH_MODPRO, EMPTYSTAT, true);
}

void DeclareNodeAndVariableStatistics(Compiler& c) {
  c.gen.NULLE = 1;
  c.gen.TMPS = 1;
  NODETABLE(c);
  ADDPIECE(c, CH_PRU, FILLIN(NLISTCONST, {{'*', BOUND(c.model.NLIST - 1)}}));
  std::vector<const NameNode*> vars = MEASURED(c);
  VARIABLETABLE(c, vars);
  AESVA(c, vars);
  FLUSHOUT(c, CH_PRU);
  FLUSHOUT(c, CH_MODINI);
}

void WriteStatisticsProcedures(Compiler& c) {
  for (const char* t : BODIES) SENDPIECE(c, CH_MODPRO, t, true);
}

// name ["[" subscript "]"] at the start of an assignment: the text before
// it is sent, then "begin", _prsta (not in INIT) and the target itself.
void StatisticsBefore(Compiler& c) {
  Source& s = c.src;
  Gen& g = c.gen;
  TRACELN(c, "PROC. EST.ANTERIOR A VARIABLE");
  const NameNode* e = c.stmt.ASGENTRY;
  auto f = e ? g.STATIX.find(e->NOM) : g.STATIX.end();
  g.STACTIVE = f != g.STATIX.end();
  if (!g.STACTIVE) return;  // measured after the tables were written
  int ix = f->second;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  g.STTARGET = s.IDENT;
  g.STIX = NUM(ix);
  int pl = s.PL, k = s.K;  // just past the name
  RECID(c);
  if (!s.IDREAD && s.CH == '[') {
    s.K++;
    RECID(c);
    std::string sub = s.IDENT;
    RECID(c);
    if (s.IDREAD || s.CH != ']' || sub.empty())
      ERROR(c, "error in subscripted variable with statistics");
    s.K++;
    g.STTARGET += "[" + sub + "]";
    int lo = e ? FIRSTSUB(*e) : 1;
    bool number = ALLDIGITS(sub) && sub.size() <= 9;  // an int, whatever it is
    g.STIX = number ? "+" + NUM(ix + std::stoi(sub) - lo) : sub + PLUS(ix - lo);
    c.out.TRSTART = s.K;
  } else {
    c.out.TRSTART = s.PL == pl ? k : s.KSTART;
  }
  SEND(c, "begin ", true);
  if (!c.stmt.INITMODE) SEND(c, FILLIN(PRSTA, {{'/', g.STIX}, {'*', g.STTARGET}}), true);
  SEND(c, g.STTARGET, true);
  c.out.TRANSMIT = true;
}

// After the right side: _prstp and the "end" of the block.
void StatisticsAfter(Compiler& c) {
  Source& s = c.src;
  Gen& g = c.gen;
  TRACELN(c, "PROC. EST.POSTERIOR A VARIABLE");
  if (!g.STACTIVE) return;
  g.STACTIVE = false;
  bool beforeword = s.IDREAD && (s.IDENT == "END"sv || s.IDENT == "ELSE"sv);
  if (beforeword) {
    SENDSRC(c, s.KSTART, c.out.CURCH);
    c.out.TRSTART = s.KSTART;
    SEND(c, ";", false);
  } else {
    SENDSRC(c, s.K, c.out.CURCH);
    c.out.TRSTART = s.K;
  }
  SEND(c, FILLIN(PRSTP, {{'/', g.STIX}, {'*', g.STTARGET}}), true);
  SEND(c, beforeword ? " end " : "end;", true);
  FLUSHOUT(c, c.out.CURCH);
}

// A continuous variable changes without assignments: after each
// integration the integrals of it and its square over the interval, its
// extremes there (_ystat) and its new value (_prstp) are recorded.
std::vector<std::string> ContinuousStatistics(const Compiler& c, int first, int last) {
  const Cont& k = c.cont;
  const Gen& g = c.gen;
  std::vector<std::string> calls;
  for (int e = first; e <= last; ++e) {
    const ContVar& v = k.VARS[k.ORDER[e - 1] - 1];
    auto f = g.STATIX.find(v.NOM);
    if (f == g.STATIX.end()) continue;  // a RET stage is never measured
    int ix = f->second;
    std::string target = v.NOM;
    if (v.SUBNO != 0) {
      auto lo = g.STATLO.find(v.NOM);
      ix += v.SUBNO - (lo == g.STATLO.end() ? 1 : lo->second);
      target += "[" + v.SUBTXT + "]";
    }
    calls.push_back(FILLIN(YSTAT, {{'#', NUM(e)}, {'/', NUM(ix)}}));
    calls.push_back(FILLIN(PRSTP, {{'/', NUM(ix)}, {'*', target}}));
  }
  return calls;
}

void ResourceStatisticsBefore(Compiler& c, int node, std::string_view inst) {
  std::string stix, target;
  RESOURCETARGET(c, node, inst, stix, target);
  SEND(c, FILLIN(PRSTARES, {{'/', stix}, {'*', target}}), true);
}

void ResourceStatisticsAfter(Compiler& c, int node, std::string_view inst) {
  std::string stix, target;
  RESOURCETARGET(c, node, inst, stix, target);
  SEND(c, FILLIN(PRSTP, {{'/', stix}, {'*', target}}), true);
}
