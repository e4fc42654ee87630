// Statistics: the tables the report reads, written by the network
// organisation of whole models, and the calls around assignments to
// measured variables in node code and INIT.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

// The text without its lines of blanks (what the channels add between the
// pieces of a statement).
std::string SOLID(const std::string& t) {
  std::string d, line;
  for (char ch : t) {
    line += ch;
    if (ch != '\n') continue;
    if (line.find_first_not_of(" \n") != std::string::npos) d += line;
    line.clear();
  }
  return d + line;
}

// A model through the declarations (which organise the network and write
// the statistics), then node code or INIT translated as their passes do.
struct Stats : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Source& s = c.src;

  std::string declare(const std::string& nodes, const std::string& decl,
                      const std::string& init = "  TSIM := 1;\n") {
    c.drv.root = dir.str();
    r.load("statistics\nNETWORK\n" + nodes + "INIT\n" + init + "DECL\n" + decl + "\nEND.\n");
    return r.error([&] {
      TRANSLATEUPTO(c, Pass::DECLARATIONS);
    });
  }
  std::string file(ChannelNo ch) {
    FLUSHOUT(c, ch);
    CLOSECH(c, ch);
    return WRITTEN(c, dir, c.out.ch[ch].name);
  }
  // The lines of text from the one starting with `from` to the end of the
  // one holding `to`.
  static std::string part(const std::string& t, const std::string& from, const std::string& to) {
    size_t p = t.find("\n" + from);
    if (p == std::string::npos) return "";
    size_t q = t.find(to, p + 1);
    size_t e = q == std::string::npos ? q : t.find('\n', q + to.size());
    return t.substr(p + 1, e - p);
  }
  // Translates the code of a node (or INIT) into a channel of its own.
  std::string translate(const std::string& node) {
    Model& m = c.model;
    bool init = node.empty();
    int i = init ? 0 : m.NODENUM.at(node);
    const NodeRecord* n = init ? nullptr : &m.NodeTable[i];
    ChannelNo ch = init ? CH_MODIN1 : CH_NODE;
    BINDCH(c, ch, "code.txt");
    CREATECH(c, ch);
    s.PL = init ? m.SectionLine[2] - 1 : n->CODEPL;
    s.LB = init ? m.SectionLine[2] : n->CODELINE;
    s.K = init ? 1 : n->C;
    if (init) RECID(c);
    c.stmt.LBF = init ? m.SectionLine[3] : n->L;  // organised: the line after the code
    c.stmt.CURNODE = i;
    c.stmt.CURNODENUM = std::to_string(i);
    c.stmt.INITMODE = init;
    c.out.CURCH = ch;
    c.out.TRANSMIT = true;
    c.out.TRSTART = s.K;
    std::string e = r.error([&] {
      while (s.LB < c.stmt.LBF) PRINS(c);
    });
    return e.empty() ? file(ch) : e + " at " + std::to_string(r.lastError.line) + ":" +
                                     std::to_string(r.lastError.column);
  }
};

TEST_F(Stats, WithoutStatisticsThePlaceholdersAndAnEmptyStat) {
  ASSERT_EQ(declare("  IN1 (I) OUT ::\n  OUT (E) ::\n", "VAR X : REAL;"), "");
  EXPECT_EQ(part(file(CH_PRU), "const _ou", "var _vas"),
            "const _ou:array[1..1] of record nom:_st80;ind,el,il:integer end=(\n"
            "(nom:'H';ind:1;el:1;il:1));\n"
            "_n_es:integer=0;\n"
            "var _nulle:array[1..1] of integer;\n"
            "var _tmps:array[1..1] of real;_t2ps:array[1..1] of real;\n"
            "_txps:array[1..1] of real;_tips:array[1..1] of real;\n"
            "const _n_list:integer=1;\n"
            "const _ov:array[1..1] of record nom:_st80;ind:integer end=(\n"
            "(nom:'H';ind:1));_n_ves:integer=0; _n_vest:integer=0;\n"
            "var _sv,_s2v,_hv,_lv,_hcv,_svv,_s2vv,_sva:array[1..1] of real;\n"
            "_nvv:array[1..1] of integer;\n"
            "var _vas,_t2:array[1..1] of real;\n");
  EXPECT_EQ(part(file(CH_MODPRO), "procedure stat", "end;\nend;"),
            "procedure stat; begin end;\n"
            "procedure _aesva; var _ki:integer;  begin \n"
            "end;\n");
  EXPECT_EQ(c.gen.NULLE, 1);
  EXPECT_EQ(c.gen.TMPS, 1);
}

// Every kind of node: sources count into _nulle, exits time into _tmps, a
// decision lists its predecessors (a queue by its internal list, any
// other by the list of the link).
TEST_F(Stats, AllNodesGiveOneEntryEachAndTheDecisionsPredecessors) {
  ASSERT_EQ(declare("  SRC (I) [1..2] S ::\n  S (R) DEC ::\n  P2 (I) LQ ::\n"
                    "  LQ (L) DEC ::\n  DEC (D) X ::\n  X (E) ::\n",
                    "STATISTICS ALLNODES;"),
            "");
  std::string pru = file(CH_PRU);
  EXPECT_EQ(part(pru, "const _ou", "_tips"),
            "const _ou:array[1..8] of record nom:_st80;ind,el,il:integer end=(\n"
            "(nom:'SRC';ind:2;el:-1;il:1),(nom:'S';ind:1;el:3;il:1),\n"
            "(nom:'P2';ind:1;el:-1;il:3),(nom:'LQ';ind:1;el:4;il:2),\n"
            "(nom:'DEC';ind:1;el:-2;il:2),(nom:'S';ind:1;el:0;il:5),\n"
            "(nom:'LQ';ind:1;el:-1;il:2),(nom:'X';ind:1;el:6;il:-1));\n"
            "_n_es:integer=8;\n"
            "var _nulle:array[1..3] of integer;\n"
            "var _tmps:array[1..1] of real;_t2ps:array[1..1] of real;\n"
            "_txps:array[1..1] of real;_tips:array[1..1] of real;\n");
  EXPECT_NE(pru.find("const _n_list:integer=6;"), std::string::npos);
  // the resource's U_ is measured as well
  EXPECT_NE(pru.find("(nom:'U_S';ind:1));\n_n_ves:integer=1; _n_vest:integer=1;"),
            std::string::npos);
  const Model& m = c.model;
  EXPECT_EQ(m.NodeTable[m.NODENUM.at("SRC")].STATNAME, "1");
  EXPECT_EQ(m.NodeTable[m.NODENUM.at("P2")].STATNAME, "3");
  EXPECT_EQ(m.NodeTable[m.NODENUM.at("X")].STATNAME, "1");
  EXPECT_EQ(c.gen.NULLE, 4);  // three counters given out
  EXPECT_EQ(c.gen.TMPS, 2);
  EXPECT_EQ(file(CH_MODPRO).find("procedure stat;"), std::string::npos);
}

TEST_F(Stats, VariablesAreListedInKeyOrderWithTheirElements) {
  ASSERT_EQ(declare("  IN1 (I) OUT ::\n  OUT (E) ::\n",
                    "VAR B, A, C : REAL; V : ARRAY[1..3] OF REAL; K : INTEGER;\n"
                    "STATISTICS B, A, C, V, OUT;"),
            "");
  EXPECT_EQ(part(file(CH_PRU), "const _ov", "var _vas"),
            "const _ov:array[1..4] of record nom:_st80;ind:integer end=(\n"
            "(nom:'A';ind:1),(nom:'B';ind:1),(nom:'C';ind:1),(nom:'V';ind:3));\n"
            "_n_ves:integer=4; _n_vest:integer=6;\n"
            "\n"
            "var _sv,_s2v,_hv,_lv,_hcv,_svv,_s2vv,_sva:array[1..6] of real;\n"
            "_nvv:array[1..6] of integer;\n"
            "var _vas,_t2:array[1..6] of real;\n");
  EXPECT_EQ(part(file(CH_MODPRO), "procedure _aesva", "end;\nend;"),
            "procedure _aesva; var _ki:integer;  begin _vas[1]:=A;_vas[2]:=B;\n"
            "_vas[3]:=C;\n"
            "for _ki:=1 to 3 do begin _vas[4+_ki-1]:=V[_ki];\n"
            "end;\n"
            "end;\n");
  EXPECT_EQ(c.gen.NVSTAT, 4);
  EXPECT_EQ(c.gen.NVELEM, 6);
}

TEST_F(Stats, AssignmentsToMeasuredVariablesAreWrapped) {
  ASSERT_EQ(declare("  IN1 (I) G1 ::\n  G1 (G) X1 ::\n    A := A + 1;\n    K := 2;\n"
                    "    IF K > 1 THEN A := 2 ELSE A := 3;\n"
                    "    V[2] := 1; V[K] := A;\n  X1 (E) ::\n",
                    "VAR A : REAL; K : INTEGER; V : ARRAY[1..3] OF REAL;\nSTATISTICS V, A;",
                    "  A := 5;\n"),
            "");
  EXPECT_EQ(SOLID(translate("G1")),
            "begin \n"
            "_prsta(1,A); \n"
            "A := A + 1;\n"
            "_prstp(1,A);\n"
            "end;\n"
            "    K := 2; \n"
            "    IF K > 1 THEN \n"
            "begin \n"
            "_prsta(1,A); \n"
            "A := 2 ;\n"  // before ELSE: no ";" of its own
            "_prstp(1,A);\n"
            " end \n"
            "ELSE \n"
            "begin \n"
            "_prsta(1,A); \n"
            "A := 3;\n"
            "_prstp(1,A);\n"
            "end;\n"
            "begin \n"
            "_prsta(+3,V[2]); \n"  // V's elements from 2 on: V[2] is the third
            "V[2] := 1;\n"
            "_prstp(+3,V[2]);\n"
            "end;\n"
            "begin \n"
            "_prsta(K+1,V[K]); \n"
            "V[K] := A;\n"
            "_prstp(K+1,V[K]);\n"
            "end;\n");
  // INIT starts the measure: no time integral before the first value
  EXPECT_EQ(SOLID(translate("")), "begin \nA := 5;\n_prstp(1,A);\nend;\n");
}

// An array whose subscripts start at 0 is measured from its element 0:
// none of its elements falls outside the statistics arrays or the array.
TEST_F(Stats, MeasuredArrayFromAnotherFirstSubscript) {
  ASSERT_EQ(declare("  IN1 (I) G1 ::\n  G1 (G) X1 ::\n    Z[0] := 1; Z[K] := 2; A := 1;\n"
                    "  X1 (E) ::\n",
                    "VAR A : REAL; K : INTEGER; Z : ARRAY[0..2] OF REAL;\nSTATISTICS A, Z;"),
            "");
  EXPECT_NE(file(CH_PRU).find("(nom:'A';ind:1),(nom:'Z';ind:3));\n"
                              "_n_ves:integer=2; _n_vest:integer=4;"),
            std::string::npos);
  EXPECT_EQ(part(file(CH_MODPRO), "procedure _aesva", "end;\nend;"),
            "procedure _aesva; var _ki:integer;  begin _vas[1]:=A;\n"
            "for _ki:=0 to 2 do begin _vas[2+_ki-0]:=Z[_ki];\n"
            "end;\n"
            "end;\n");
  EXPECT_EQ(SOLID(translate("G1")),
            "begin \n_prsta(+2,Z[0]); \nZ[0] := 1;\n_prstp(+2,Z[0]);\nend;\n"
            "begin \n_prsta(K+2,Z[K]); \nZ[K] := 2;\n_prstp(K+2,Z[K]);\nend;\n"
            "begin \n_prsta(1,A); \nA := 1;\n_prstp(1,A);\nend;\n");
}

TEST_F(Stats, SubscriptOfAMeasuredVariableIsOneWord) {
  ASSERT_EQ(declare("  IN1 (I) G1 ::\n  G1 (G) X1 ::\n    V[K+1] := 1;\n  X1 (E) ::\n",
                    "VAR K : INTEGER; V : ARRAY[1..3] OF REAL;\nSTATISTICS V;"),
            "");
  EXPECT_EQ(translate("G1"), "error in subscripted variable with statistics at 5:8");
}

TEST_F(Stats, MultipleResourceMeasuresEachCopy) {
  ASSERT_EQ(declare("  IN1 (I) S ::\n  S (R) [1..2] OUT ::\n  OUT (E) ::\n", "VAR A : REAL;"),
            "");
  std::string pru = file(CH_PRU);
  EXPECT_NE(pru.find("var m_S,f_S,u_S:array[1..2] of real;"), std::string::npos);
  EXPECT_NE(pru.find("(nom:'U_S';ind:2));\n_n_ves:integer=1; _n_vest:integer=2;"),
            std::string::npos);
  EXPECT_NE(file(CH_MODPRO).find("procedure _aesva; var _ki:integer;  begin \n"
                                 "for _ki:=1 to 2 do begin _vas[1+_ki-1]:=U_S[_ki];\nend;\nend;"),
            std::string::npos);
  BINDCH(c, CH_NODE, "code.txt");
  CREATECH(c, CH_NODE);
  c.out.CURCH = CH_NODE;
  int n = c.model.NODENUM.at("S");
  ResourceStatisticsBefore(c, n);
  ResourceStatisticsAfter(c, n, "_i");
  EXPECT_EQ(file(CH_NODE), "\n_prsta(0+ino,U_S[ino]);\n_prstp(0+_i,U_S[_i]);\n");
}

}  // namespace
