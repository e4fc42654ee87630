// Section finder on whole models of tests/models: the NETWORK, INIT and DECL
// lines, node headers of every form, MODULE lines, warnings and errors.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

struct Sections : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Model& m = c.model;
  Source& s = c.src;

  // Runs the two steps on a model; returns its model error ("" if none).
  std::string find(const std::string& model) {
    c.drv.root = dir.str();
    c.drv.SRCPATH = model;
    r.load(MODELTEXT(model));
    return r.error([&] {
      TRANSLATEUPTO(c, Pass::SECTIONS);
    });
  }
  const NodeRecord& node(const std::string& name) {
    auto it = m.NODENUM.find(name);
    if (it == m.NODENUM.end()) throw std::runtime_error("no node " + name);
    return m.NodeTable.at(it->second);
  }
  std::string names() {
    std::string t;
    for (int i = 1; i <= m.NodeCount; ++i) t += m.NodeTable[i].NOM + " ";
    return t;
  }
  static std::string succ(const NodeRecord& n) {
    std::string t;
    for (const NodeLink& l : n.SUCC) t += l.NOM + "[" + l.SUB + "] ";
    return t;
  }
  std::string warnings() {
    std::string t;
    for (const ModelError& w : c.drv.warnings)
      t += w.message + " " + std::to_string(w.line) + ":" +
           std::to_string(w.column) + "\n";
    return t;
  }
};

TEST_F(Sections, HeaderForms) {
  ASSERT_EQ(find("sections_headers.tlv"), "");
  EXPECT_EQ(names(),
            "COLA SERV XCOLA GATE W B2 A C D ELONG NAMEABCDEFGHIJKLMNOPQRS ");
  ASSERT_EQ(m.NodeTable.size(), 12u);
  EXPECT_EQ(warnings(), "");
  EXPECT_EQ(m.SectionLine, (std::array<int, 4>{0, 3, 24, 28}));

  std::string types;
  for (int i = 1; i <= m.NodeCount; ++i) types += m.NodeTable[i].TIPO;
  EXPECT_EQ(types, "GOOGOGGCREO");  // W (X) and (g) follow the letter rule

  EXPECT_EQ(succ(node("COLA")), "SERV[1] ");
  EXPECT_EQ(succ(node("A")), "B2[1] C[2] D[J] ");
  EXPECT_EQ(succ(node("SERV")), "");
  EXPECT_EQ(succ(node("ELONG")), "CA[1] CB[3] CC[1] ");
  EXPECT_EQ(node("B2").MULT, 5);
  EXPECT_EQ(node("A").MULT, 1);
  ASSERT_EQ(node("C").LABELS.size(), 2u);
  EXPECT_EQ(node("C").LABELS[0].NOM, "10");
  EXPECT_EQ(node("C").LABELS[1].NOM, "20");

  // Where the code starts: after "::", or at VAR.
  const NodeRecord& x = node("XCOLA");
  EXPECT_EQ(x.CODELINE, 7);
  EXPECT_EQ(x.L, 7);
  EXPECT_EQ(x.C, 11);
  EXPECT_EQ(s.lines[x.CODEPL].text().substr(x.C - 1), " WRITE(1);");
  EXPECT_EQ(node("GATE").C, 9);
  EXPECT_EQ(node("D").C, 9);
  EXPECT_EQ(node("D").CODELINE, 17);
  const NodeRecord& e = node("ELONG");  // a header over two lines
  EXPECT_EQ(e.L, 20);
  EXPECT_EQ(e.CODELINE, 21);
  EXPECT_EQ(e.CODEPL, 20);
  EXPECT_EQ(e.C, 18);

  // Start values of what later passes fill.
  EXPECT_EQ(e.ASSIGN, 1);
  EXPECT_EQ(e.STATNAME, " ");
  EXPECT_EQ(e.EL + e.IL + e.SUBEL + e.NEL, 0);
  EXPECT_TRUE(e.PRED.empty());
  EXPECT_EQ(node("COLA").MODULE, 1);
  EXPECT_EQ(node("SERV").MODULE, 0);
  EXPECT_EQ(m.ModuleCount, 1);

  // The declaration pass starts on DECL with the word read.
  EXPECT_TRUE(m.DECLFOUND);
  EXPECT_EQ(s.LB, 28);
  EXPECT_EQ(s.line().text(), "DECL");
  EXPECT_EQ(s.IDENT, "DECL");
  EXPECT_TRUE(HASWRITTEN(c, "PRU.PAS"));
  EXPECT_EQ(WRITTEN(c, dir, "PRU.PAS"), "");
}

// A try whose scan runs into the next lines (4 and 6 end in a blank) must
// not hide a header or INIT there.
TEST_F(Sections, FailedTriesDoNotSwallowTheNextLine) {
  ASSERT_EQ(find("sections_tries.tlv"), "");
  EXPECT_EQ(names(), "A B ");
  EXPECT_EQ(node("B").TIPO, 'E');
  EXPECT_EQ(m.SectionLine, (std::array<int, 4>{0, 3, 7, 8}));
}

// "ELSE X' = -1;" is tried as a header (ELSE, successor X) and fails on
// the derivative's apostrophe, which is no string.
TEST_F(Sections, DerivativeMarkEndsAHeaderTry) {
  ASSERT_EQ(find("cont_else.tlv"), "");
  EXPECT_EQ(names(), "ROOM SW ");
}

// P[2] Q, R: the word after a subscript stays a successor.
TEST_F(Sections, WordAfterASubscriptIsNotLost) {
  ASSERT_EQ(find("sections_tries.tlv"), "");
  EXPECT_EQ(succ(node("B")), "P[2] Q[1] R[1] ");
}

TEST_F(Sections, ModuleLines) {
  ASSERT_EQ(find("sections_modules.tlv"), "");
  // The MODULE line before the first node opens no module: A1 begins
  // module 1. The code line "module 2" is a MODULE line too.
  EXPECT_EQ(m.ModuleCount, 3);
  std::string mods;
  for (int i = 1; i <= m.NodeCount; ++i)
    mods += m.NodeTable[i].NOM + "=" + std::to_string(m.NodeTable[i].MODULE) + " ";
  // B1 follows a code line that was tried as a header and keeps its module.
  EXPECT_EQ(mods, "A1=1 A2=0 B1=2 B2=0 C1=3 ");
  EXPECT_EQ(m.SectionLine, (std::array<int, 4>{0, 3, 13, 14}));

  // Later passes read over the MODULE lines as if they were empty.
  s.PL = 1;
  s.LB = 2;
  s.K = 8;
  RECID(c);
  EXPECT_EQ(s.IDENT, "A1");
  EXPECT_EQ(s.LB, 4);
  s.PL = 8;
  s.LB = 9;
  s.K = 12;
  RECID(c);
  EXPECT_EQ(s.IDENT, "C1");
  EXPECT_EQ(s.LB, 12);
}

TEST_F(Sections, MissingDeclOnlyWarns) {
  ASSERT_EQ(find("sections_no_decl.tlv"), "");
  EXPECT_EQ(m.SectionLine, (std::array<int, 4>{0, 4, 5, 7}));  // NetworkS on 3
  EXPECT_EQ(warnings(), "no se halla bloque DECL 7:5\n");
  EXPECT_EQ(r.err.str(),
            "END.: no se halla bloque DECL Lin: 7 Col: 5\n"
            "sections_no_decl.tlv:7:5: warning: no se halla bloque DECL\n");
  EXPECT_FALSE(m.DECLFOUND);
  // The declaration pass reads on from the END. line without running off
  // the end of the program.
  EXPECT_EQ(r.error([&] { RECID(c); }), "");
  EXPECT_EQ(s.IDENT, "END.");
  EXPECT_EQ(s.LB, 7);
}

TEST_F(Sections, WarningsBeforeTheFirstNodeOnly) {
  ASSERT_EQ(find("sections_warnings.tlv"), "");
  EXPECT_EQ(names(), "FIRST ");
  EXPECT_EQ(warnings(),
            "Not a Node 3:5\n"
            "possible error en node definition 4:12\n"
            "Not a Node 4:12\n"
            "possible error en node definition 6:12\n");
  EXPECT_EQ(node("FIRST").MODULE, 1);
}

// The messages and positions of these models are cases of
// tests/section_errors (NETWORK on the first word's line is never seen: the
// search ends on the sentinel with LB one behind). PRU.PAS is bound before
// any of them stops the run.
TEST(SectionErrors, PruIsBoundBeforeTheError) {
  for (const char* name :
       {"no_network", "no_nodes", "no_init", "labels", "reserved", "duplicate"}) {
    TestRun run;
    TempDir d;
    run.c.drv.root = d.str();
    run.load(CASETEXT("section_errors", name));
    EXPECT_NE(run.error([&] { TRANSLATEUPTO(run.c, Pass::SECTIONS); }), "") << name;
    EXPECT_TRUE(HASWRITTEN(run.c, "PRU.PAS")) << name;
  }
}

TEST_F(Sections, ErrorTextOnTheSentinel) {
  c.drv.root = dir.str();
  r.load(CASETEXT("section_errors", "no_init"));
  EXPECT_EQ(r.error([&] { TRANSLATEUPTO(c, Pass::SECTIONS); }), "INIT missing or misplaced");
  EXPECT_EQ(r.lastError.text, "$: INIT missing or misplaced Lin: 6 Col: 5");
}

TEST(SectionsTrace, HeadersAndSectionsAreTraced) {
  TestRun r(true);
  TempDir d;
  r.c.drv.root = d.str();
  r.load(MODELTEXT("sections_modules.tlv"));
  TRANSLATEUPTO(r.c, Pass::SECTIONS);
  std::string out = r.out.str();
  for (const char* line :
       {"\nBUSCA POSIBLE NODO A1\n", "\nHALLADO NODO A1 TIPO I LIN 4\n",
        "\nNO FUE NODO\n", "\nTERMINA BUNOD\n", "\nVA A VER LA LINEA LB 5   A2 (G) ::\n",
        "\nPASA A ARREGLO NODO C1\n", "\nBUSCANDO DECL *************LB 13\n",
        "\nINIT 13 DECL O END. 14\n"})
    EXPECT_NE(out.find(line), std::string::npos) << line;
}

}  // namespace
