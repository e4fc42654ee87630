// Other instructions: simulation control, tracing and scanning switches,
// pauses, the pass-through runtime calls, TAB, UPDATE, TRANS, POINT,
// EXTFEL and PUTFEL, GRAPH, RAND with a stream, REPORT and ENDREPORT.
// Entered from PRINST (by its table of instructions, with transmission off
// and TRSTART on the keyword) or from PRINS (RAND, REPORT, ENDREPORT, transmission on); each
// writes its text to CURCH and leaves transmission on behind the statement.
// Reads the message context of the flow instructions (MSGVAR, INSCAN);
// sets Program::ENDSIMUL and NGRAPH, Stmt::INREPORT.
#include <algorithm>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "symbols/keywords.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "ground/text.h"
#include "ground/literals.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

constexpr int MAXGRAPHICS = 100;  // GRAPH instructions a model may hold

// What this file writes; the placeholders are filled in.
constexpr const char* ENDSIMUL = "_es:=true ";
constexpr const char* ENDSCAN = "_bsc:=false";
constexpr const char* STOPNODE = "begin _bs:=false;_acc:=false end ";
constexpr const char* CLOSE = ")";
// UPDATE: '/' the message.
constexpr const char* UPDVAR = "_uprv(/^.r,/^.b); O_PMESS:=/;";
constexpr const char* UPDOVAR = "_uprvo(/^.r,/^.b); O_PMESS:=/;";
constexpr const char* UPDMESS = "_upvr(/^.r,/^.b); _recw(/);";
constexpr const char* UPDOMESS = "_upvro(/^.r,/^.b); _recw(/);";
// TRANS: the message moved is _pu from then on.
constexpr const char* PU = "_pu";
constexpr const char* OWNMSG = "_px";
constexpr const char* TAKE = "_pu:=*;";
constexpr const char* TRAN = "_tran(true,*,.,'/',$,&);";
// POINT: '*' the pointer, '/' where it starts.
constexpr const char* BEGINBLOCK = "begin ";
constexpr const char* POINT[] = {"*:=/; B_*:=*;",
                                 "_bpt:=true; while (*<>nil) and _bpt do begin ",
                                 "if * <>nil then _uprvo(*^.r,*^.b); O_PMESS:=*; _exalo(*);",
                                 "if ",
                                 " then _bpt:=false else begin B_*:=*;",
                                 "*:=*^.p ",
                                 "end end;"};
constexpr const char* POINTEND[] = {"end;", "end "};  // after ";", before END or ELSE
// EXTFEL and PUTFEL: the letter quoted, the node's number.
constexpr const char* LETTER = "'*'";
constexpr const char* NODEARG = ",*";
// GRAPH: '#' its number, '*' a value's number; the values' names and the
// title go in as literals (LITERALPIECES).
constexpr const char* DEFAULTBACK = "16";
constexpr const char* GRAPH[] = {"with _Grafico[#] do", "_tmig:=*; _tmag:=/; ",
                                 "if (time>=_tmig) and (time<=_tmag) then begin "};
constexpr const char* GRAPHVALUE[] = {"_fgr1[#]:=*;_fgr2[#]:=time;", "_nomv[#]:='*'; ",
                                      "_minv[#]:=*; _maxv[#]:=/; ", "colv[#]:=*;"};
constexpr const char* GRAPHTIME[] = {"_fgr1[1]:=time;_nomv[1]:='TIME'; ",
                                     "_minv[1]:=0; _maxv[1]:=_tmag;"};
constexpr const char* GRAPHTITLE = "_tg:='*';nv:=#;col:=/;_titul:=TITLE; ";
constexpr const char* GRAPHEND[] = {"_graph;", " end end "};
// RAND: '*' the variable, '/' the stream, '#' the draws.
constexpr const char* FIRSTSTREAM = "1";
constexpr const char* RAND[] = {"_seledistriconj(_din_*,/,_i_*);", "for _i:=1 to # do RANDV_*[_i]",
                                ":=_d_*[_i_*^[_i]];"};
// REPORT and ENDREPORT.
constexpr const char* BLANK = " ";
constexpr const char* REPORT[] = {"rtdlg._WinMensaje('Report'); _bf:=true;",
                                  "assign(outf,_outf); rewrite(outf);"};
constexpr const char* ENDREPORT[] = {"rtdlg._WinMensaje('End Report');",
                                     "closeFile(outf); VerArchivoReporte(_outf);"};

// The next character must be ch; the scanner is left past it.
void NEEDCH(Compiler& c, char ch) {
  RECID(c);
  MUSTBE(c, ch);
  c.src.K++;
}

// The end of an instruction whose keyword was not transmitted.
void FINISH(Compiler& c) {
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

}  // namespace

void PRFIXED(Compiler& c, std::string_view text, bool force) {
  SEND(c, text, force);
  FINISH(c);
}

void PRENDSIMUL(Compiler& c) {
  c.prog.ENDSIMUL = true;
  PRFIXED(c, ENDSIMUL, false);
}

// Inside SCAN it ends the scan; elsewhere it stops the node.
void PRSTOPSCAN(Compiler& c) {
  if (c.stmt.INSCAN)
    PRFIXED(c, ENDSCAN, false);
  else
    PRFIXED(c, STOPNODE, true);
}

// STAT, MENU, CLRSTAT, REPLIC, DISFEL: calls of the runtime's routines of
// the same name.
void PRPASS(Compiler& c) {
  SENDSRC(c, c.src.K, c.out.CURCH);
  FINISH(c);
}

// TAB "(" variable "," table ")": the table's name becomes its position.
void PRTAB(Compiler& c) {
  Source& s = c.src;
  NEEDCH(c, '(');
  RECID(c);
  std::string name = WHAT(s);
  const NameNode* e = s.IDREAD ? BUSIDAR1(c) : nullptr;
  if (!e || e->TIPO != "REAL"sv) ERROR(c, "illegal variable " + name);
  NEEDCH(c, ',');
  SENDSRC(c, s.K, c.out.CURCH);
  RECID(c);
  if (!s.IDREAD || !TABLOOK(c, true)) ERROR(c, "illegal table name");
  SEND(c, std::to_string(c.expr.TABPOS + 1), false);
  NEEDCH(c, ')');
  SEND(c, CLOSE, false);
  c.out.TRSTART = s.K;
  FINISH(c);
}

// UPDATE "(" VAR | O_VAR | MESS | O_MESS ")": fields and variables of the
// message in hand, either way. O_PMESS takes the message's pointer, as
// every other template gives it.
void PRUPDATE(Compiler& c) {
  Source& s = c.src;
  NEEDCH(c, '(');
  RECID(c);
  const char* t = nullptr;
  if (WORDIS(s, "VAR")) t = UPDVAR;
  if (WORDIS(s, "O_VAR")) t = UPDOVAR;
  // A record written in place: the kernel's index of its list by a key
  // (ORDER) may no longer hold.
  if (WORDIS(s, "MESS")) t = UPDMESS;
  if (WORDIS(s, "O_MESS")) t = UPDOMESS;
  if (!t) ERROR(c, "VAR, O_VAR, MESS or O_MESS expected");
  SEND(c, FILLIN(t, {{'/', c.stmt.MSGVAR}}), true);
  NEEDCH(c, ')');
  c.out.TRSTART = s.K;
  FINISH(c);
}

// TRANS "(" listpos "," (A | B) "," listpos ")": the message moved is
// the one in hand after it, in _pu, up to the end of the block; it is not
// the node's own message.
void PRTRANS(Compiler& c) {
  Source& s = c.src;
  Stmt& t = c.stmt;
  NEEDCH(c, '(');
  std::string l1, p1, l2, p2;
  PRLISTPOS(c, l1, p1);
  NEEDCH(c, ',');
  RECID(c);
  ONEWORD(c, {"A", "B"}, "A or B expected");
  std::string letter = s.IDENT;
  NEEDCH(c, ',');
  PRLISTPOS(c, l2, p2);
  NEEDCH(c, ')');
  SEND(c, FILLIN(TAKE, {{'*', p1}}), true);
  SEND(c, FILLIN(TRAN, {{'*', l1}, {'.', l2}, {'/', letter}, {'$', p1}, {'&', p2}}), false);
  t.MSGVAR = PU;
  t.HELD = 0;
  t.TRANSBLOCK = BLOCKKEY(c);
  c.out.TRSTART = s.K;
  FINISH(c);
}

// POINT "(" listpos "," pointer ")" condition: the pointer walks the list
// from the position until the condition holds; B_ keeps the one before.
void PRPOINT(Compiler& c) {
  Source& s = c.src;
  NEEDCH(c, '(');
  std::string list, start;
  PRLISTPOS(c, list, start);
  NEEDCH(c, ',');
  RECID(c);
  std::string p = WHAT(s);
  const NameNode* e = s.IDREAD ? BUSIDAR1(c) : nullptr;
  if (!e || e->TIPO != "GPOINTER"sv)
    ERROR(c, "GPOINTER variable expected " + p);
  NEEDCH(c, ')');
  SEND(c, BEGINBLOCK, true);
  SEND(c, FILLIN(POINT[0], {{'*', p}, {'/', start}}), true);
  SEND(c, FILLIN(POINT[1], {{'*', p}}), true);
  SEND(c, FILLIN(POINT[2], {{'*', p}}), true);
  SEND(c, POINT[3], true);
  c.out.TRSTART = s.K;
  c.out.TRANSMIT = true;
  PREXP(c);
  c.out.TRANSMIT = false;
  bool word = s.IDREAD && (s.IDENT == "END"sv || s.IDENT == "ELSE"sv);
  if (!word && s.CH != ';') ERROR(c, "; or END or ELSE expected");
  SENDSRC(c, word ? s.KSTART : s.K - 1, c.out.CURCH);
  c.out.TRSTART = word ? s.KSTART : s.K;
  SEND(c, FILLIN(POINT[4], {{'*', p}}), false);
  SEND(c, FILLIN(POINT[5], {{'*', p}}), false);
  SEND(c, POINT[6], false);
  SEND(c, POINTEND[word], false);
  c.out.TRANSMIT = true;
}

// EXTFEL | PUTFEL "(" (A | B) "," node "," e1 "," e2 "," e3 ")": the
// letter goes quoted and the node as its number, as the runtime takes them.
void PRFEL(Compiler& c) {
  Source& s = c.src;
  NEEDCH(c, '(');
  RECID(c);
  ONEWORD(c, {"A", "B"}, "A or B expected");
  SENDSRC(c, s.KSTART, c.out.CURCH);
  SEND(c, FILLIN(LETTER, {{'*', s.IDENT}}), false);
  NEEDCH(c, ',');
  RECID(c);
  s.NOTFOUND = true;
  int node = s.IDREAD ? BUSNODE(c) : 0;
  if (!node) ERROR(c, "node name expected");
  SEND(c, FILLIN(NODEARG, {{'*', std::to_string(node)}}), false);
  c.out.TRSTART = s.K;
  NEEDCH(c, ',');
  c.out.TRANSMIT = true;
  bool args = c.expr.INARGS;
  c.expr.INARGS = true;
  for (char end : {',', ',', ')'}) {
    PREXP(c);
    MUSTBE(c, end);
  }
  c.expr.INARGS = args;
  RECID(c);
  if (!s.IDREAD && s.CH == ';') {
    s.K++;
    SENDSRC(c, s.K, c.out.CURCH);
    c.out.TRSTART = s.K;
  } else if (s.IDREAD && (s.IDENT == "END"sv || s.IDENT == "ELSE"sv)) {
    SENDSRC(c, s.KSTART, c.out.CURCH);
    c.out.TRSTART = s.KSTART;
  } else {
    ERROR(c, " ; END or ELSE expected");
  }
  c.out.TRANSMIT = true;
}

namespace {

std::string SIGNEDNUMBER(Compiler& c) {
  READSIGNED(c);
  EXPECTNUMBER(c, "number expected");
  return c.src.IDENT;
}

std::string WINDOWEND(Compiler& c) {
  RECID(c);
  EXPECTUNSIGNED(c, "positive integer expected");
  return c.src.IDENT;
}

// ";" between the parts of a GRAPH, ")" after the last; true at ")".
bool GRAPHSEP(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  MUSTBEONE(c, ";)", "; or ) expected");
  s.K++;
  return s.CH == ')';
}

// One plotted value: expression ":" min ":" max [":" colour].
struct GraphValue {
  std::string expr, min, max, colour;
};

}  // namespace

// GRAPH "(" tmin "," tmax {";" value} [";" TITLE text [":" colour]] ")"
// The graph's points are taken while the clock is inside [tmin, tmax];
// value 1 is the abscissa, the clock, and the values follow from 2.
void PRGRAPH(Compiler& c) {
  Source& s = c.src;
  if (++c.prog.NGRAPH > MAXGRAPHICS) ERROR(c, "Too many Graphics");
  std::string g = std::to_string(c.prog.NGRAPH);
  NEEDCH(c, '(');
  std::string tmin = WINDOWEND(c);
  NEEDCH(c, ',');
  std::string tmax = WINDOWEND(c);
  std::vector<GraphValue> values;
  std::string title, background = DEFAULTBACK;
  bool done = GRAPHSEP(c);
  bool args = c.expr.INARGS;
  c.expr.INARGS = true;
  while (!done) {
    PEEK(c);
    if (WORDIS(s, "TITLE")) {
      STEPPAST(c);
      RECID(c);
      if (!ISSTRING(s)) ERROR(c, "string expected");
      title = std::string(s.line().text().substr(s.KSTART, s.K - s.KSTART - 2));
      RECID(c);
      if (!s.IDREAD && s.CH == ':') {
        s.K++;
        RECID(c);
        COLORNO(c);
        background = std::to_string(c.kw.KWNO);
        RECID(c);
      }
      done = GRAPHSEP(c);
      if (!done) ERROR(c, "; or ) expected");
      break;
    }
    GraphValue v;
    int pl = s.PL, k = s.K;
    PREXP(c);
    MUSTBEONE(c, ":", ": of format expected");
    v.expr = TRIM(SOURCETEXT(c, pl, k, s.PL, s.K - 1));
    v.min = SIGNEDNUMBER(c);
    NEEDCH(c, ':');
    v.max = SIGNEDNUMBER(c);
    RECID(c);
    v.colour = std::to_string(std::min<size_t>(values.size() + 2, 16));
    if (!s.IDREAD && s.CH == ':') {
      s.K++;
      RECID(c);
      COLORNO(c);
      v.colour = std::to_string(c.kw.KWNO);
      RECID(c);
    }
    values.push_back(v);
    done = GRAPHSEP(c);
  }
  c.expr.INARGS = args;
  SEND(c, FILLIN(GRAPH[0], {{'#', g}}), true);
  SEND(c, BEGINBLOCK, true);
  SEND(c, FILLIN(GRAPH[1], {{'*', tmin}, {'/', tmax}}), true);
  SEND(c, GRAPH[2], true);
  for (size_t i = 0; i < values.size(); ++i) {
    const GraphValue& v = values[i];
    std::string n = std::to_string(i + 2);
    SEND(c, FILLIN(GRAPHVALUE[0], {{'#', n}, {'*', v.expr}}), true);
    SENDLITERAL(c, c.out.CURCH, Start::NEWLINE, FILLIN(GRAPHVALUE[1], {{'#', n}}), v.expr);
    SEND(c, FILLIN(GRAPHVALUE[2], {{'#', n}, {'*', v.min}, {'/', v.max}}), false);
    SEND(c, FILLIN(GRAPHVALUE[3], {{'#', n}, {'*', v.colour}}), false);
  }
  SEND(c, GRAPHTIME[0], true);
  SEND(c, GRAPHTIME[1], false);
  SENDLITERAL(c, c.out.CURCH, Start::NEWLINE,
              FILLIN(GRAPHTITLE, {{'#', std::to_string(values.size() + 1)}, {'/', background}}),
              UNQUOTED(title));
  SEND(c, GRAPHEND[0], false);
  SEND(c, GRAPHEND[1], false);
  c.out.TRSTART = s.K;
  FINISH(c);
}

namespace {

// The set of RAND's variable x: its elements are the weights of the
// values its last subscript runs over (1 for a plain variable).
RandSet RANDSETOF(const NameNode& x) {
  RandSet r;
  r.NOM = x.NOM;
  int lo = 1, hi = 1;
  if (!x.BOUNDS.empty()) {
    lo = x.BOUNDS.back().MIN;
    hi = x.BOUNDS.back().MAX;
  }
  for (int v = lo; v <= hi; ++v) r.VALUES.push_back(std::to_string(v));
  r.N = static_cast<int>(r.VALUES.size());
  return r;
}

// The first RAND of a set makes it known: RANDV_ may be read from then
// on. Before the INIT-time declarations are written the set joins their
// list; afterwards (node code) it declares itself, still inside _init.
void KNOWSET(Compiler& c, const NameNode& x) {
  Gen& g = c.gen;
  for (const RandSet& r : g.RANDSETS)
    if (r.NOM == x.NOM) return;
  g.RANDSETS.push_back(RANDSETOF(x));
  ENTERRANDV(c, g.RANDSETS.back());
  g.RANDSETS.back().NAMED = true;
  if (g.RANDSETSDONE) DeclareRandomSet(c, g.RANDSETS.back());
}

}  // namespace

// RAND "(" variable ["," stream] ")": a new draw of the variable's
// distribution set; RANDV_ takes the set's values at the positions drawn.
// The variable holds the weights, so it must be REAL.
void PRRAND(Compiler& c) {
  Source& s = c.src;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRANSMIT = false;
  NEEDCH(c, '(');
  RECID(c);
  std::string x = WHAT(s);
  const NameNode* found = s.IDREAD ? BUSIDAR1(c) : nullptr;
  if (!found) ERROR(c, "unknown identifier " + x);
  const NameNode& e = *found;
  bool array = e.TIPO == "ARRAY"sv || e.TYPTYP == "ARRAY"sv;
  if ((array ? e.TYPEL : e.TIPO) != "REAL"sv) ERROR(c, "illegal variable " + x);
  // One draw per dimension, never past RANDV_'s elements.
  int dims = std::max(1, std::min(array ? e.NSUB : 0, std::max(1, e.COUNT1)));
  std::string stream = FIRSTSTREAM;
  RECID(c);
  if (!s.IDREAD && s.CH == ',') {
    s.K++;
    RECID(c);
    if (!UNSIGNEDINT(s)) ERROR(c, "espera entero");
    stream = s.IDENT;
    RECID(c);
  }
  MUSTBE(c, ')');
  s.K++;
  c.out.TRSTART = s.K;
  KNOWSET(c, e);
  SEND(c, FILLIN(RAND[0], {{'*', x}, {'/', stream}}), true);
  SEND(c, FILLIN(RAND[1], {{'*', x}, {'#', std::to_string(dims)}}), true);
  SEND(c, FILLIN(RAND[2], {{'*', x}}), true);
  FINISH(c);
}

void ENTERRANDV(Compiler& c, const RandSet& r) {
  if (r.NAMED) return;
  Names& n = c.names;
  std::string tipo = c.src.TIPO, scope = n.SCOPE;
  n.DIRECTADD = true;
  n.SCOPE = "MAIN";
  c.src.TIPO = "ARRAY";
  STVNAME(c, true, "RANDV_" + r.NOM);
  NameNode& e = *n.NEWENTRY;
  e.TYPTYP = "ARRAY";
  e.TYPEL = "REAL";
  e.NSUB = 1;
  e.COUNT1 = r.N;
  e.BOUNDS = {Bound{1, r.N}};
  n.DIRECTADD = false;
  n.SCOPE = scope;
  c.src.TIPO = tipo;
}

// REPORT ... ENDREPORT: the I/O lists between them write the report file.
void PRREPORT(Compiler& c) {
  Source& s = c.src;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRSTART = s.K;
  SEND(c, BLANK, true);
  SEND(c, REPORT[0], true);
  SEND(c, REPORT[1], true);
  c.stmt.INREPORT = true;
}

void PRENDREPORT(Compiler& c) {
  Source& s = c.src;
  SENDSRC(c, s.KSTART, c.out.CURCH);
  c.out.TRSTART = s.K;
  SEND(c, ENDREPORT[0], true);
  SEND(c, ENDREPORT[1], true);
  c.stmt.INREPORT = false;
  RECID(c);
  MUSTBE(c, ';');
  s.K++;
}

std::string BLOCKKEY(const Compiler& c) {
  return c.names.SCOPE + "/" + std::to_string(c.stmt.LBF) + (c.stmt.INITMODE ? "/INIT" : "");
}

void ENDTRANSCONTEXT(Compiler& c) {
  Stmt& t = c.stmt;
  if (t.TRANSBLOCK.empty() || t.TRANSBLOCK == BLOCKKEY(c)) return;
  t.TRANSBLOCK.clear();
  t.MSGVAR = OWNMSG;
  t.HELD = -1;
}

namespace {

// A set's RANDV_ with its tables in PRU.PAS, and their start in _init.
constexpr const char* RANDDECL[] = {"var RANDV_*:array[1../] of real;",
                                    "const _d_*:array[1../] of integer=(",
                                    "var _din_*:_arreglo;_r_*,_i_*:_indice;"};
constexpr const char* RANDINIT[] = {"_r_*:=addr(_d_*);_hazindice(/,_i_*);",
                                    "_definir(_din_*,addr(*),/,_r_*);", "_districonj(_din_*);"};

}  // namespace

void DeclareRandomSet(Compiler& c, const RandSet& r) {
  TRACELN(c, "VA A GENERAR DECL PARA RANDV_<ARREGLO>");
  const std::string n = std::to_string(r.N);
  NEWPIECE(c, CH_PRU, FILLIN(RANDDECL[0], {{'*', r.NOM}, {'/', n}}));
  NEWPIECE(c, CH_PRU, FILLIN(RANDDECL[1], {{'*', r.NOM}, {'/', n}}));
  for (size_t i = 0; i < r.VALUES.size(); ++i)
    ADDPIECE(c, CH_PRU, r.VALUES[i] + (i + 1 < r.VALUES.size() ? "," : ");"));
  NEWPIECE(c, CH_PRU, FILLIN(RANDDECL[2], {{'*', r.NOM}}));
  for (const char* l : RANDINIT) NEWPIECE(c, CH_MODIN1, FILLIN(l, {{'*', r.NOM}, {'/', n}}));
  ENTERRANDV(c, r);
}
