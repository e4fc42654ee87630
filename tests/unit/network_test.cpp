// Network organisation on whole models: successors, predecessors, list
// numbers, the type rules, the network tables written to PRU.PAS and
// MODPRO, list designators, and the generated text compiled by fpc.
#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include "support/support.h"
#include "unit/decl_testrun.h"

namespace {

constexpr const char* UPVRHEAD =
    "procedure _upvr(_ni:word;_s:pointer);var _j:integer;begin case _ni of";

// A model around a NETWORK section; its END. line is the last line.
std::string NET(const std::string& network) {
  return "Title line\nNETWORK\n" + network + "INIT\n  TSIM := 10;\nDECL\nEND.\n";
}

int LINECOUNT(const std::string& text) {
  int n = 0;
  for (char ch : text) n += ch == '\n';
  return n;
}

struct Network : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Model& m = c.model;
  Source& s = c.src;

  // Sections found, the scanner on the word after DECL and _upvr's head
  // open on MODPRO, as the declaration pass leaves them; then ORGRED.
  std::string organise(const std::string& text, std::function<void()> declare = {}) {
    c.drv.root = dir.str();
    r.load(text);
    return r.error([&] {
      TRANSLATEUPTO(c, Pass::SECTIONS);
      if (declare) declare();
      BINDCH(c, CH_MODINI, "MODINI");
      CREATECH(c, CH_MODINI);
      BINDCH(c, CH_MODPRO, "MODPRO");
      CREATECH(c, CH_MODPRO);
      RECID(c);
      SENDPIECE(c, CH_MODPRO, UPVRHEAD, false);
      ORGRED(c);
    });
  }
  std::string model(const std::string& name) { return organise(MODELTEXT(name)); }

  // What channel ch's file holds, its pending line included.
  std::string file(ChannelNo ch) {
    if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
    CLOSECH(c, ch);
    return WRITTEN(c, dir, c.out.ch[ch].name);
  }
  const NodeRecord& node(const std::string& name) { return m.NodeTable.at(m.NODENUM.at(name)); }
  static std::string links(const std::vector<NodeLink>& l) {
    std::string t;
    for (const NodeLink& x : l)
      t += x.NOM + "#" + std::to_string(x.NODE) + "[" + x.SUB + "]=" + std::to_string(x.ELSUC) + " ";
    return t;
  }
  std::string lists() {
    std::string t;
    for (const std::string& x : m.LISTTEXT) t += x;
    return t;
  }
  // LISTREF on the designator at the first occurrence of `at` in the source.
  std::string ref(const std::string& at) {
    for (size_t i = 0; i < s.lines.size(); ++i) {
      size_t p = s.lines[i].text().find(at);
      if (p == std::string_view::npos) continue;
      s.PL = static_cast<int>(i);
      s.LB = static_cast<int>(i) + 1;
      s.K = static_cast<int>(p) + 1;
      std::string out;
      std::string e = r.error([&] { out = LISTREF(c); });
      return e.empty() ? out : "error: " + e;
    }
    return "not in the source: " + at;
  }
  // Declares an integer (or real) variable J, K or R for subscripts.
  void variable(const std::string& name, const std::string& type) {
    STVNAME(c, true, name);
    c.names.NEWENTRY->TIPO = type;
    c.names.NEWENTRY->UNITNO = 0;  // MAIN
  }
};

TEST_F(Network, ChainWithSourceNumbersTheLists) {
  ASSERT_EQ(model("net_chain.tlv"), "");
  EXPECT_EQ(links(node("A1").SUCC), "Q#2[1]=3 ");
  EXPECT_EQ(links(node("Q").SUCC), "S#3[1]=1 ");
  EXPECT_EQ(links(node("S").SUCC), "X#4[1]=4 ");
  EXPECT_EQ(links(node("X").SUCC), "");
  EXPECT_EQ(links(node("Q").PRED), "A1#1[1]=3 ");
  EXPECT_EQ(links(node("S").PRED), "Q#2[1]=1 ");
  EXPECT_EQ(links(node("X").PRED), "S#3[1]=4 ");
  EXPECT_EQ(node("Q").IL, 1);
  EXPECT_EQ(node("S").IL, 2);
  EXPECT_EQ(node("Q").EL, 3);
  EXPECT_EQ(node("S").EL, 1);  // straight from the queue's internal list
  EXPECT_EQ(node("S").NEL, 1);
  EXPECT_EQ(node("X").EL, 4);
  EXPECT_EQ(m.NLIST, 5);
  EXPECT_EQ(lists(), "'IL_Q 1 ''IL_S 1 ''EL_Q 1 ''EL_X 1 '");
  EXPECT_TRUE(node("A1").HASATTR);
  // Each node's code ends where the next header starts; the last at INIT.
  EXPECT_EQ(node("A1").L, 4);
  EXPECT_EQ(node("S").L, 6);
  EXPECT_EQ(node("X").L, 7);

  EXPECT_EQ(file(CH_PRU),
            "type _pfr1=^_f1;_f1=record gt,use,et,xt:real;\n"
            " end; var _p1,_po1:_pfr1;\n"
            "\n"
            "type _pfrg=^_fg;_fg=record gt,use,et,xt:real;end;\n"
            "var _fl,_ll:array[1..4] of _pl; \n"
            "type _lsr=array[1..4] of real; _lsi=array[1..4] of longint;\n"
            "_plsr=^_lsr; _plsi=^_lsi; var _l,_lm,_en:_plsi;\n"
            "_la,_lp,_l2,_hc,_tl,_tp,_tw,_tp2,_tw2,_tpp,_mtp,_de,_dp:_plsr;\n"
            "const nlist:integer=4;\n"
            "\n"
            "type _arrv=array[1..1] of real; _arrm=array[1..6,1..1] of real;\n"
            "var _y:_arrv absolute IT;\n"
            "var m_S,f_S,u_S:real;\n"
            "const _ou:array[1..1] of record nom:_st80;ind,el,il:integer end=(\n"
            "(nom:'H';ind:1;el:1;il:1));\n"
            "_n_es:integer=0;\n"
            "var _nulle:array[1..1] of integer;\n"
            "var _tmps:array[1..1] of real;_t2ps:array[1..1] of real;\n"
            "_txps:array[1..1] of real;_tips:array[1..1] of real;\n"
            "const _n_list:integer=4;\n"
            "const _ov:array[1..1] of record nom:_st80;ind:integer end=(\n"
            "(nom:'U_S';ind:1));\n"
            "_n_ves:integer=1; _n_vest:integer=1;\n"
            "\n"
            "var _sv,_s2v,_hv,_lv,_hcv,_svv,_s2vv,_sva:array[1..1] of real;\n"
            "_nvv:array[1..1] of integer;\n"
            "var _vas,_t2:array[1..1] of real;\n"
            "const _ovcap:array[1..1] of ^real=(@m_S);\n"
            "\n"
            "var blck:array[1..4] of boolean;\n"
            "const _tnl: array[1..4] of string[15] =('IL_Q 1 ','IL_S 1 ','EL_Q 1 ',\n"
            "'EL_X 1 ');\n"
            "const _nno:array[1..4] of string[12]=('A1','Q','S','X');\n"
            "const _tipnod:array[1..4] of char=('I','L','R','E');\n"
            "const _numel:array[1..4] of integer=(0,3,1,4);\n"
            "const _mulno:array[1..4] of integer=(1,1,1,1);\n"
            "const _meld:array[1..1,1..1] of integer=((0));\n"
            "const _n_fv:array[1..1] of _st80=('_VFA');\n"
            "const _n_ft:array[1..1] of _st80=('_TFA');\n");
  std::string pro = file(CH_MODPRO);
  size_t at = pro.find("procedure _inieli");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(pro.substr(at),
            "procedure _inieli; begin  \n"
            "new(_l);new(_lm);new(_en);new(_la);new(_lp);new(_l2);new(_hc);\n"
            "new(_tl);new(_tp);new(_tw);new(_tp2);new(_tw2);new(_tpp);\n"
            "new(_mtp);new(_de);new(_dp);\n"
            "end;\n"
            "procedure _com; var ino:integer;begin time:=0;_es:=false;_ff:=nil;evp:=0;\n"
            "m_S:=1;f_S:=m_S; u_S:=0.0;\n"
            "end;\n"
            "procedure stat; begin end;\n"
            "procedure _aesva; var _ki:integer;  begin _vas[1]:=U_S;\n"
            "end;\n");
}

// Without a source the first node gets no predecessor; the error shows
// where the declaration pass stands (after END.).
TEST_F(Network, ChainWithoutSourceStops) {
  std::string t = MODELTEXT("net_chain.tlv");
  t.replace(t.find("A1 (I)"), 6, "A1 (G)");
  EXPECT_EQ(organise(t), "Node A1 without predecessor");
  EXPECT_EQ(r.lastError.line, 10);
  EXPECT_EQ(r.lastError.column, 5);
}

// NOSUC takes the default successor away: the exit is then unfed.
TEST_F(Network, NosucRemovesTheDefaultSuccessor) {
  std::string t = MODELTEXT("net_chain.tlv");
  t.replace(t.find("S (R) ::"), 8, "S (R) NOSUC ::");
  EXPECT_EQ(organise(t), "Node X without predecessor");
  EXPECT_TRUE(node("S").SUCC.empty());
}

TEST_F(Network, TypeRules) {
  struct Case {
    const char* network;
    const char* message;
  } cases[] = {
      {"S (I) B ::\nB (I) ::\n", "I type node succesor of S"},
      {"S (I) ::\nL1 (L) ::\nL2 (L) ::\nX (E) ::\n", "L type node succesor of L type node L1"},
      {"S (I) C1 ::\nC1 (C) ::\n", "C type node succesor of S"},
      {"S (I) A2 ::\nA2 (A) ::\n", "Node A2 with predecessor"},
      {"S (I) ::\nE1 (E) ::\nE2 (E) ::\n", "Node E2 without predecessor"},
      {"S (I) ::\nQ (L) [1..2] ::\nG1 (G) [1..3] ::\nX (E) ::\n", "mismatch dimension nodes G1 Q"},
      {"S (I) Z ::\n", "not defined succesor Z"},
      {"S (I) X ::\nD1 (D) X ::\nX (E) ::\n", "D type node without predecessor D1"},
      {"S (I) ::\nD1 (D) [1..2] ::\n", "subscripted node D "},
      {"Q (L) G1 ::\nG1 (G) ::\n", "L type node without predecessor Q"},
      {"S (I) ::\nQ (L) ::\nX (E) ::\n", "node E first succesor of Q"},
      {"S (I) ::\nO1 ::\n", "Node O1 without EL"},
  };
  for (const Case& k : cases) {
    TestRun run;
    Compiler& cc = run.c;
    TempDir d;
    cc.drv.root = d.str();
    std::string text = NET(k.network);
    run.load(text);
    std::string e = run.error([&] {
      TRANSLATEUPTO(cc, Pass::SECTIONS);
      BINDCH(cc, CH_MODPRO, "MODPRO");
      CREATECH(cc, CH_MODPRO);
      RECID(cc);
      ORGRED(cc);
    });
    EXPECT_EQ(e, k.message) << k.network;
    EXPECT_EQ(run.lastError.line, LINECOUNT(text)) << k.network;
    EXPECT_EQ(run.lastError.column, 5) << k.network;
  }
}

// A G node [1..2] fed by an L node [1..2] whose first successor it is takes
// the L node's internal lists; an O node declared with EL and IL gets both.
TEST_F(Network, ListsOfQueuesAndDeclaredNodes) {
  ASSERT_EQ(organise(NET("S (I) ::\nQ (L) [1..2] ::\nG1 (G) [1..2] ::\nO1 X ::\nX (E) ::\n"),
                     [&] {
                       m.NodeTable[4].EL = -1;  // as NODES O1 (EL; IL) leaves it
                       m.NodeTable[4].IL = -1;
                     }),
            "");
  EXPECT_EQ(node("Q").IL, 1);
  EXPECT_EQ(node("O1").IL, 3);
  EXPECT_EQ(node("Q").EL, 4);
  EXPECT_EQ(node("G1").EL, 1);
  EXPECT_EQ(node("G1").NEL, 2);
  EXPECT_EQ(node("O1").EL, 6);
  EXPECT_EQ(node("X").EL, 7);
  EXPECT_EQ(links(node("S").SUCC), "Q#2[2]=4 ");  // default subscript: the copies
  EXPECT_EQ(links(node("Q").SUCC), "G1#3[2]=1 ");
  EXPECT_EQ(links(node("G1").SUCC), "O1#4[1]=6 ");
  EXPECT_EQ(lists(), "'IL_Q 1 ''IL_Q 2 ''IL_O1 1 ''EL_Q 1 ''EL_Q 2 ''EL_O1 1 ''EL_X 1 '");
}

TEST_F(Network, ModelWithoutLists) {
  ASSERT_EQ(model("net_nolists.tlv"), "");
  EXPECT_EQ(m.NLIST, 1);
  std::string pru = file(CH_PRU);
  EXPECT_NE(pru.find("var _fl,_ll:array[1..1] of _pl; \n"), std::string::npos);
  EXPECT_NE(pru.find("const nlist:integer=1;\n"), std::string::npos);
  EXPECT_NE(pru.find("\nconst _tnl: array[1..1] of string[15] =('EL_V');\n"), std::string::npos);
  EXPECT_NE(pru.find("\nconst _numel:array[1..2] of integer=(0,0);\n"), std::string::npos);
  EXPECT_NE(pru.find("const _n_list:integer=1;"), std::string::npos);
}

// Two copies of a predecessor feed two lists of the D node: its row of
// _meld lists all three, so the scan sees a message in any of them.
TEST_F(Network, DecisionNodes) {
  ASSERT_EQ(model("net_decision.tlv"), "");
  const NodeRecord& dec = node("DEC");
  EXPECT_EQ(dec.NEL, 3);
  EXPECT_EQ(dec.EL, 0);
  EXPECT_EQ(links(dec.PRED), "P1#1[2]=2 P2#2[1]=4 ");
  EXPECT_EQ(links(node("P1").SUCC), "DEC#3[1]=2 ");
  EXPECT_EQ(links(node("P2").SUCC), "DEC#3[1]=4 ");
  EXPECT_EQ(links(node("D2").PRED), "LQ#5[1]=1 ");  // the queue's internal list
  EXPECT_EQ(links(node("LQ").SUCC), "D2#6[1]=1 ");
  EXPECT_EQ(node("D2").NEL, 1);
  EXPECT_EQ(node("X").EL, 6);
  EXPECT_EQ(links(node("X").PRED), "DEC#3[1]=6 D2#6[1]=6 ");
  EXPECT_EQ(lists(), "'IL_LQ 1 ''EL_DEC 1 ''EL_DEC 2 ''EL_DEC 3 ''EL_LQ 1 ''EL_X 1 '");

  std::string pru = file(CH_PRU);
  EXPECT_NE(pru.find("\nconst _numel:array[1..7] of integer=(0,0,1,0,5,2,6);\n"),
            std::string::npos);
  EXPECT_NE(pru.find("\nconst _mulno:array[1..7] of integer=(2,1,1,1,1,1,1);\n"),
            std::string::npos);
  EXPECT_NE(pru.find("\nconst _meld:array[1..2,1..4] of integer=\n"
                     "( (3, 2, 3, 4 ),(1, 1, 0, 0 ));\n"),
            std::string::npos)
      << pru;

  variable("J", "INTEGER");
  EXPECT_EQ(ref("EL_DEC(P1[2])"), "3");
  EXPECT_EQ(s.CH, ')');
  EXPECT_EQ(s.at(s.K), ')');  // past the designator's own ")"
  EXPECT_EQ(ref("EL_DEC(P1[J])"), "2+(J-1)");
  EXPECT_EQ(ref("EL_DEC(P2)"), "4");
  EXPECT_EQ(ref("EL_D2(LQ)"), "1");
  EXPECT_EQ(ref("EL_X(DEC)"), "6");
  EXPECT_EQ(ref("EL_X(P2)"), "error: predecessor or succesor node not defined");
}

TEST_F(Network, ListDesignators) {
  ASSERT_EQ(model("net_listref.tlv"), "");
  EXPECT_TRUE(node("W").SUCC.empty());
  EXPECT_EQ(node("S").EL, 7);
  EXPECT_EQ(node("Q").IL, 4);
  EXPECT_EQ(node("G2").EL, 4);
  variable("J", "INTEGER");
  variable("K", "WORD");
  variable("R", "REAL");
  EXPECT_EQ(ref("EL_T"), "6");
  EXPECT_EQ(ref("EL_S[J]"), "6+J");
  EXPECT_EQ(ref("EL_S[2]"), "6+2");
  EXPECT_EQ(ref("IL_Q[2]"), "3+2");
  EXPECT_EQ(ref("IL_Q[J]"), "3+J");
  EXPECT_EQ(ref("EL_G2[2](Q[2])"), "5");
  EXPECT_EQ(ref("EL_G2[K](Q[1])"), "3+K");
  EXPECT_EQ(ref("XL_T"), "error: EL_ or IL_ expected");
  EXPECT_EQ(ref("EL_S[4]"), "error: subscript value exceeded");
  EXPECT_EQ(ref("EL_S[R]"), "error: integer identifier expected");
  EXPECT_EQ(ref("EL_S 2"), "error: [ missing in node");
  EXPECT_EQ(ref("EL_T(I0 X"), "error: ) expected");
  EXPECT_EQ(ref("EL_ZZ"), "error: node expected");
  // During PROCEDURES the node's own list is taken.
  c.decl.PROCSEEN = true;
  EXPECT_EQ(ref("EL_G2[2](Q[2])"), "5");
}

// A long node name is cut inside the quotes: the constant stays closed.
TEST_F(Network, LongNamesStayQuoted) {
  ASSERT_EQ(organise(NET("S (I) ::\nQUEUEWITHAVERYLONGNAME1 (L) [1..2] ::\nG1 (G) [1..2] X ::\n"
                         "X (E) ::\n")),
            "");
  EXPECT_EQ(lists(),
            "'IL_QUEUEWITHAVERYLONG''IL_QUEUEWITHAVERYLONG''EL_QUEUEWITHAVERYLONG'"
            "'EL_QUEUEWITHAVERYLONG''EL_X 1 '");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m.LISTTEXT[i].size(), 23u);
}

// The declaration pass organises the network after END.: a source node
// with declared fields keeps its record, an O node declared with EL and
// IL gets both lists.
TEST(NetworkDeclared, ThroughTheDeclarationPass) {
  DeclRun d(
      "Title line\nNETWORK\nS (I) O1 ::\nO1 X ::\nX (E) ::\nINIT\n  TSIM := 10;\nDECL\n"
      "NODES S (A : REAL); O1 (EL; IL);\nEND.\n");
  ASSERT_EQ(d.sections, "");
  ASSERT_EQ(d.run(), "");
  const Model& m = d.c.model;
  EXPECT_EQ(m.NodeTable[2].IL, 1);
  EXPECT_EQ(m.NodeTable[2].EL, 2);
  EXPECT_EQ(m.NodeTable[3].EL, 3);
  EXPECT_TRUE(m.NodeTable[1].HASATTR);
  std::string pru = d.pru();
  EXPECT_EQ(pru.find("type _pfr1="), pru.rfind("type _pfr1="));  // no second record
  EXPECT_NE(pru.find("const _tnl: array[1..3] of string[15] =('IL_O1 1 ','EL_O1 1 ',"
                     "'EL_X 1 ');\n"),
            std::string::npos)
      << pru;
  EXPECT_NE(pru.find("const _numel:array[1..3] of integer=(0,2,3);\n"), std::string::npos);
}

TEST(NetworkTrace, NodeListing) {
  TempDir dir;
  TestRun r(true);
  Compiler& c = r.c;
  c.drv.root = dir.str();
  r.load(MODELTEXT("net_chain.tlv"));
  ASSERT_EQ(r.error([&] {
              TRANSLATEUPTO(c, Pass::SECTIONS);
              BINDCH(c, CH_MODINI, "MODINI");
              CREATECH(c, CH_MODINI);
              BINDCH(c, CH_MODPRO, "MODPRO");
              CREATECH(c, CH_MODPRO);
              RECID(c);
              ORGRED(c);
            }),
            "");
  std::string out = r.out.str();
  EXPECT_NE(out.find("ORGANIZAR RED\n"), std::string::npos);
  EXPECT_NE(out.find("SUC.DE DEFECTO Q   CON SUBINDICE 1\n"), std::string::npos);
  EXPECT_NE(out.find("PRIVARC IT\n"), std::string::npos);
  EXPECT_NE(out.find("3 S R 1 EL 1 IL 2  SUBEL 0 L 6 C 9\nSUCESORES\nX  SUB 1 ELSUC 4\n\n"
                     "ANTECESORES\nQ EL 1\n"),
            std::string::npos)
      << out;
}

// ---- the generated text compiles against the runtime

bool HAVEFPC() { return std::system("fpc -iV >/dev/null 2>&1") == 0; }

// PRU.PAS as the declaration pass and the assembly complete it around the
// organisation's text: the unit head before, the procedures after.
std::string UNIT(const std::string& tables, const std::string& procs) {
  return PRUHEAD + ";\n" + PRUINTERFACE + tables +
         "implementation\nuses rtkern;\n"
         "function _fec(time:real;_m:integer):real; begin _fec:=0 end;\n" +
         procs +
         "procedure _init; begin end; procedure clrstat; begin end;\n"
         "procedure _pexp; begin end; function _cl; begin _cl:=false end;\n"
         "procedure _prsta(I:INTEGER;V:REAL); begin end;\n"
         "procedure _prstp(I:INTEGER;V:REAL); begin end;\n"
         "end.\n";
}

TEST_F(Network, TablesCompileWithFpc) {
  if (!HAVEFPC()) GTEST_SKIP() << "fpc not installed";
  std::string runtime = std::string(TALVEN_TEST_MODELS) + "/../../runtime";
  std::vector<std::string> models;
  for (const char* name : {"net_chain.tlv", "net_decision.tlv", "net_listref.tlv",
                           "net_nolists.tlv"})
    models.push_back(MODELTEXT(name));
  models.push_back(NET("S (I) ::\nQUEUEWITHAVERYLONGNAME1 (L) [1..2] ::\nG1 (G) [1..2] X ::\n"
                       "X (E) ::\n"));
  for (const std::string& name : models) {
    TempDir d;
    TestRun run;
    Compiler& cc = run.c;
    cc.drv.root = d.str();
    run.load(name);
    ASSERT_EQ(run.error([&] {
                TRANSLATEUPTO(cc, Pass::SECTIONS);
                BINDCH(cc, CH_MODINI, "MODINI");
                CREATECH(cc, CH_MODINI);
                BINDCH(cc, CH_MODPRO, "MODPRO");
                CREATECH(cc, CH_MODPRO);
                RECID(cc);
                SENDPIECE(cc, CH_MODPRO, UPVRHEAD, false);
                ORGRED(cc);
                FLUSHOUT(cc, CH_MODPRO);
                CLOSECH(cc, CH_PRU);
                CLOSECH(cc, CH_MODPRO);
              }),
              "")
        << name;
    d.write("pru.pas", UNIT(WRITTEN(cc, d, "PRU.PAS"), WRITTEN(cc, d, "MODPRO")));
    // Only the tables exist: the runtime is compiled without a model.
    std::string cmd = "cd " + d.str() + " && fpc -Mdelphi -dRTCOMPILEONLY -Fu" + runtime + " -FU" + d.str() +
                      " pru.pas >fpc.log 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << name << "\n" << d.read("fpc.log");
  }
}

}  // namespace
