// Differential equations of C nodes: every equation becomes a case of _fec
// on channel 8 (MODEDI), written as "n:_fec:=" followed by its right-hand
// side; consecutive equations form a group, integrated by one call of
// _rkf, _eul or _rk4 written into the node procedure when the group
// closes. RETARD writes the equations of an n-stage delay; METHOD picks
// the integrator; ACT of a C node starts its clock.
// Called by the statement dispatcher (equations, group close), the
// instruction dispatcher (METHOD, RETARD), ACT and the node pass. Reads the
// scanner, CONTNODE and the node table; sets the equation numbering and
// the order list of Cont, and Program::HASCONT once _fec has cases.
#include <cctype>
#include "ground/compiler.h"
#include "source/source.h"
#include "symbols/names.h"
#include "decl/decl.h"
#include "expr/expr.h"
#include "stmt/stmt.h"
#include "continuous/continuous.h"
#include "ground/text.h"

// Words compared as views: their length first, no strlen.
using namespace std::string_view_literals;

namespace {

// What this file writes; the placeholders filled in as said ('*' and '/'
// stay Pascal's where the text multiplies or divides).
constexpr const char* CASEHEAD = "case _m of ";
constexpr const char* SEMI = ";";
constexpr const char* EQUATION = "%:_fec:=";  // its number
constexpr const char* STAGEHEAD = "%:_fec:=(";
constexpr const char* STAGEFROM = "%-";
constexpr const char* STAGETO = "%)*";
constexpr const char* SUBSCRIPT = "%[#]";
// The integration of a group: '*' its first and last equations.
constexpr const char* RANGE = "*,/)";
constexpr const char* CALL[] = {"_rkf(", "_rkf(", "_eul(", "_rk4("};  // by method
constexpr const char* CALLEND[] = {";", " "};  // an ELSE follows
// With statistics: "begin" call ";" statistics "end".
constexpr const char* STATSHEAD = "begin ";
constexpr const char* STATSEND[] = {" end;", " end "};  // an ELSE follows
// RETARD: '%' the variable or the stages, '#' the delay.
constexpr const char* STAGES = "_%_DEL";
constexpr const char* RATE = ")*%/#";
constexpr const char* FEED = "-%";
// ACT of a C node: '*' the node, '/' its instance, '#' its number.
constexpr const char* ONECOPY = "1";
constexpr const char* INSTANCE = "[/]";
constexpr const char* ACTFLAGS[] = {"_ac_*", "_tc_*", "_bi_*"};
constexpr const char* ACT[] = {"begin ", "*:=true; ",  "*:=time+", ";", "_afel(#,/,evp,blck[#],",
                               "*); ",   "*:=false; ", " end "};

// MODEDI is open from the start of a run; a test may bind it here.
void OPENEDI(Compiler& c) {
  Channel& x = c.out.ch[CH_MODEDI];
  if (x.name.empty()) BINDCH(c, CH_MODEDI, c.drv.DIRPREF + "MODEDI");
  if (!x.text) APPENDCH(c, CH_MODEDI);
}

// The first equation after other statements opens a group; the model's
// first equation also opens the case statement of _fec.
void OPENGROUP(Compiler& c) {
  Cont& k = c.cont;
  if (k.GROUPOPEN) return;
  TRACELN(c, "PRIMERA VEZ");
  k.GROUPOPEN = true;
  k.GROUPCOUNT = 0;
  OPENEDI(c);
  if (k.CASEPENDING) {
    STARTPIECE(c, CH_MODEDI, CASEHEAD);
    k.CASEPENDING = false;
    c.prog.HASCONT = true;
  }
  k.GFIRST = k.NEQ + 1;
}

// The position of a continuous variable written as name or name[i].
int CONTPOS(Compiler& c, const std::string& key) {
  auto it = c.cont.POS.find(key);
  if (it == c.cont.POS.end()) ERROR(c, " continuous variable not declared");
  return it->second;
}

// The next equation number goes to the variable at position p.
void NUMBEREQUATION(Compiler& c, int p) {
  Cont& k = c.cont;
  k.NEQ++;
  k.VARS[p - 1].EQNO = k.NEQ;
  k.ORDER.push_back(p);
  k.GROUPCOUNT++;
}

// The end of an equation's statement, its text going to MODEDI:
//   ";" | before END or ELSE (then ";" is added and NOSEMI set)
void EQUATIONEND(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  if (!s.IDREAD && s.CH == ';') {
    SENDSRC(c, s.K, CH_MODEDI);
    o.TRSTART = s.K;
    return;
  }
  ONEWORD(c, {"END", "ELSE"}, "; or END or ELSE expected");
  SENDSRC(c, s.KSTART, CH_MODEDI);
  ADDPIECE(c, CH_MODEDI, SEMI);
  o.TRSTART = s.KSTART;  // the word goes on with the node's text
  c.cont.NOSEMI = true;
}

// An optional "=" or ":=" between the mark and the right-hand side.
void SKIPASSIGN(Source& s) {
  int j = s.K;
  while (s.at(j) == ' ') j++;
  if (s.at(j) == '=')
    s.K = j + 1;
  else if (s.at(j) == ':' && s.at(j + 1) == '=')
    s.K = j + 2;
}

int SMALLINT(const std::string& digits) {
  return digits.size() > 9 ? 999999999 : std::stoi(digits);
}

// n ":_fec:=(" a "-" b ")*" order "/" delay ";"  in pieces that fit a line.
void STAGE(Compiler& c, int eq, const std::string& a, const std::string& b,
           const std::string& tail) {
  STARTPIECE(c, CH_MODEDI, FILLIN(STAGEHEAD, {{'%', std::to_string(eq)}}));
  ADDPIECE(c, CH_MODEDI, FILLIN(STAGEFROM, {{'%', a}}));
  ADDPIECE(c, CH_MODEDI, FILLIN(STAGETO, {{'%', b}}));
  ADDPIECE(c, CH_MODEDI, tail);
}

}  // namespace

// equation -> name "'" ["[" integer "]"] ["=" | ":="] expression
//             (";" | before END or ELSE)
// Entered with IDENT the name and K on the mark.
void TranslateEquation(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Cont& k = c.cont;
  TRACELN(c, "PROCESAR ECUACION DIFERENCIAL");
  // RETARD ended by ";" leaves its group for the next statement to close.
  if (k.GROUPOPEN && k.NOSEMI) CloseEquationGroup(c);
  SENDSRC(c, s.KSTART, o.CURCH);
  o.TRANSMIT = false;
  std::string key = CUT(s.IDENT, NAMEMAX);
  if (s.at(s.K + 1) == '[') {
    s.K += 2;
    RECID(c);
    EXPECTINTEGER(c, "integer number expected");
    key += "[" + std::to_string(SMALLINT(s.IDENT)) + "]";
    RECID(c);
    EXPECT(c, ']');
  }
  s.K++;  // the mark, or "]"
  OPENGROUP(c);
  NUMBEREQUATION(c, CONTPOS(c, key));
  STARTPIECE(c, CH_MODEDI, FILLIN(EQUATION, {{'%', std::to_string(k.NEQ)}}));
  SKIPASSIGN(s);
  k.NOSEMI = false;
  {
    CHANNELFOR edi(o, CH_MODEDI);
    o.TRANSMIT = true;
    o.TRSTART = s.K;
    PREXP(c);
    EQUATIONEND(c);
  }
  // Before END or ELSE the equation is the last of its block or branch:
  // its group is integrated there, ahead of the word.
  if (k.NOSEMI) CloseEquationGroup(c);
}

namespace {

// The node text not sent yet begins with ELSE: what is written now stands
// before it, as the last statement of a THEN branch.
bool ELSEPENDING(Compiler& c) {
  const Source& s = c.src;
  int j = c.out.TRSTART;
  while (s.at(j) == ' ') j++;
  std::string w;
  while (std::isalnum(static_cast<unsigned char>(s.at(j))) || s.at(j) == '_')
    w += UPPER(s.at(j++));
  return w == "ELSE"sv;
}

}  // namespace

// The integration call of the open group on a new line of CURCH, as one
// statement (it may be the branch of an IF), ended by ";" unless an ELSE
// follows, and one more ";" unless the last equation ended before END or
// ELSE:
//   _rkf(i,j);
// The integrator works on the variables themselves: nothing is copied
// around the call. The method is the one METHOD chose in this node, else
// RKF. A measured variable of the group has its statistics taken after
// the call, the two in a block:
//   begin _rkf(i,j);_ystat(...);_prstp(...); end;
void CloseEquationGroup(Compiler& c) {
  Cont& k = c.cont;
  if (!k.GROUPOPEN) return;
  bool chosen = k.METHODNODE == c.stmt.CURNODE && k.METHOD >= M_RKF && k.METHOD <= M_RK4;
  std::string range =
      FILLIN(RANGE, {{'*', std::to_string(k.GFIRST)}, {'/', std::to_string(k.NEQ)}});
  ChannelNo ch = c.out.CURCH;
  bool before = ELSEPENDING(c);
  std::string more = k.NOSEMI ? "" : SEMI;
  std::string call = CALL[chosen ? k.METHOD : M_RKF] + range;
  std::vector<std::string> stats = ContinuousStatistics(c, k.GFIRST, k.NEQ);
  if (!stats.empty()) {
    STARTPIECE(c, ch, STATSHEAD + call + SEMI);
    for (const std::string& t : stats) ADDPIECE(c, ch, t);
    ADDPIECE(c, ch, STATSEND[before] + more);
  } else {
    STARTPIECE(c, ch, call + CALLEND[before] + more);
  }
  k.GROUPOPEN = false;
  k.NOSEMI = false;
}

bool EquationGroupOpen(Compiler& c) { return c.cont.GROUPOPEN; }

void StartContinuousNode(Compiler& c, int node) {
  c.cont.METHOD = M_RKF;
  c.cont.METHODNODE = node;
  c.cont.NODENAME = c.model.NodeTable[node].NOM;
}

// METHOD "(" (RKF | EUL | RK4) ")"    for the groups closed after it.
void TranslateMethod(Compiler& c) {
  Source& s = c.src;
  RECID(c);
  EXPECT(c, '(');
  s.K++;
  RECID(c);
  int m = !s.IDREAD ? 0 : s.IDENT == "RKF"sv ? M_RKF : s.IDENT == "EUL"sv ? M_EUL
                                      : s.IDENT == "RK4"sv ? M_RK4 : 0;
  if (m == 0) ERROR(c, "error in METHOD");
  RECID(c);
  EXPECT(c, ')');
  s.K++;
  c.cont.METHOD = m;
  c.cont.METHODNODE = c.stmt.CURNODE;
  PRFININS(c, false);
  c.out.TRANSMIT = true;
}

// RETARD "(" n "," X "," D "," U ")"
// X follows U through n stages of rate n/D: the first stage is fed by U,
// each stage feeds the next, the last feeds X. The n equations form a
// group of their own, over _X_DEL[1], ..., _X_DEL[n-1] and X in this order.
void TranslateRetard(Compiler& c) {
  Source& s = c.src;
  Out& o = c.out;
  Cont& k = c.cont;
  if (!c.stmt.CONTNODE) ERROR(c, "RETARD in node not C");
  RECID(c);
  EXPECT(c, '(');
  s.K++;
  RECID(c);
  EXPECTINTEGER(c, "integer expected");
  int n = SMALLINT(s.IDENT);
  if (n < 1) ERROR(c, "integer expected");
  RECID(c);
  EXPECT(c, ',');
  s.K++;
  RECID(c);
  if (!s.IDREAD) ERROR(c, " continuous variable not declared");
  std::string x = CUT(s.IDENT, NAMEMAX);
  RECID(c);
  EXPECT(c, ',');
  s.K++;
  RECID(c);
  if (!s.ISNUM) {
    const NameNode* e = s.IDREAD ? BUSIDAR1(c) : nullptr;
    if (!e || e->TIPO != "REAL"sv)
      ERROR(c, " REAL variable or number expected");
  }
  std::string d = s.IDENT;
  RECID(c);
  EXPECT(c, ',');
  s.K++;
  if (k.GROUPOPEN) CloseEquationGroup(c);
  OPENGROUP(c);
  int px = CONTPOS(c, x);
  std::string stage = FILLIN(STAGES, {{'%', x}});
  auto at = [&](int i) { return FILLIN(SUBSCRIPT, {{'%', stage}, {'#', std::to_string(i)}}); };
  for (int i = 1; i < n; ++i) NUMBEREQUATION(c, CONTPOS(c, at(i)));
  NUMBEREQUATION(c, px);
  std::string rate = FILLIN(RATE, {{'%', std::to_string(n)}, {'#', d}});
  std::string first = n < 2 ? x : at(1);
  bool before = false;  // END or ELSE follows
  STARTPIECE(c, CH_MODEDI, FILLIN(STAGEHEAD, {{'%', std::to_string(k.GFIRST)}}));
  {
    CHANNELFOR edi(o, CH_MODEDI);
    o.TRANSMIT = true;
    o.TRSTART = s.K;
    PREXP(c);
    MUSTBE(c, ')');
    SENDSRC(c, s.K - 1, CH_MODEDI);
    o.TRSTART = s.K;
    ADDPIECE(c, CH_MODEDI, FILLIN(FEED, {{'%', first}}));
    ADDPIECE(c, CH_MODEDI, rate);
    RECID(c);
    if (!s.IDREAD && s.CH == ';') {
      s.K++;
      SENDSRC(c, s.K, CH_MODEDI);
      o.TRSTART = s.K;
    } else if (s.IDREAD && (s.IDENT == "END"sv || s.IDENT == "ELSE"sv)) {
      ADDPIECE(c, CH_MODEDI, SEMI);
      o.TRSTART = s.KSTART;
      before = true;
    } else {
      ERROR(c, "; or END or ELSE expected");
    }
    std::string tail = rate.substr(2) + SEMI;
    for (int i = 1; i <= n - 2; ++i) STAGE(c, k.GFIRST + i, at(i), at(i + 1), tail);
    if (n > 1) STAGE(c, k.GFIRST + n - 1, at(n - 1), x, tail);
    k.NOSEMI = true;
    TRACELN(c, "NECDIFO ", k.GFIRST, "  NECDIF ", k.NEQ);
  }
  o.TRANSMIT = true;
  if (before) CloseEquationGroup(c);  // ahead of the word, as for an equation
}

// ACT of C node X, entered past the ",":
//   begin _ac_X:=true; _tc_X:=time+delay;_afel(i,1,evp,blck[i],_tc_X); _bi_X:=false;  end
// A multiple node takes the instance given with its name. Leaves K past
// ")", TRSTART there and transmission off for the end of the instruction.
void TranslateContinuousAct(Compiler& c, int node) {
  Source& s = c.src;
  Out& o = c.out;
  const NodeRecord& x = c.model.NodeTable[node];
  bool multiple = x.MULT > 1;
  std::string inst = multiple ? c.expr.NODSUB : ONECOPY;
  std::string ino = multiple ? FILLIN(INSTANCE, {{'/', inst}}) : "";
  std::string ac = FILLIN(ACTFLAGS[0], {{'*', x.NOM + ino}});
  std::string tc = FILLIN(ACTFLAGS[1], {{'*', x.NOM + ino}});
  std::string bi = FILLIN(ACTFLAGS[2], {{'*', x.NOM + ino}});
  std::string num = std::to_string(node);
  STARTPIECE(c, o.CURCH, ACT[0]);
  STARTPIECE(c, o.CURCH, FILLIN(ACT[1], {{'*', ac}}));
  ADDPIECE(c, o.CURCH, FILLIN(ACT[2], {{'*', tc}}));
  o.TRANSMIT = true;
  o.TRSTART = s.K;
  PREXP(c);
  MUSTBE(c, ')');
  SENDSRC(c, s.K - 1, o.CURCH);
  o.TRSTART = s.K;
  o.TRANSMIT = false;
  ADDPIECE(c, o.CURCH, ACT[3]);
  ADDPIECE(c, o.CURCH, FILLIN(ACT[4], {{'#', num}, {'/', inst}}));
  ADDPIECE(c, o.CURCH, FILLIN(ACT[5], {{'*', tc}}));
  ADDPIECE(c, o.CURCH, FILLIN(ACT[6], {{'*', bi}}));
  ADDPIECE(c, o.CURCH, ACT[7]);
}
