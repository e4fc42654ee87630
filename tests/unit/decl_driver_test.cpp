// The declaration driver: the unit head, USES, the order of the classes,
// the classes not built yet, and the copy of the declarations into pru.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

const std::string& HEAD = PRUHEAD;
const std::string& INTERFACE = PRUINTERFACE;

TEST(DeclDriver, HeadWithoutUses) {
  DeclRun d(DECLMODEL("CONST N = 1;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_FALSE(d.c.decl.USESFIRST);
  EXPECT_EQ(d.c.decl.NOM5, "CONST");
  EXPECT_EQ(d.decls(), HEAD + ";\n" + INTERFACE + "CONST N = 1;\n");
}

TEST(DeclDriver, HeadWithUses) {
  DeclRun d(DECLMODEL("USES Graph, Extra;\nCONST N = 1;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_TRUE(d.c.decl.USESFIRST);
  EXPECT_EQ(d.c.decl.USESLIST, (std::vector<std::string>{"GRAPH", "EXTRA"}));
  EXPECT_EQ(d.c.decl.NOM5, "CONST");
  // The clause is not copied; the pending blank of the unit list ends up
  // as the line before the first copied one.
  EXPECT_EQ(d.decls(), HEAD + ",\nGRAPH,\nEXTRA;\n" + INTERFACE + " \nCONST N = 1; \n");
}

// The first declarations on the DECL line itself.
std::string ONDECLLINE(const std::string& decl) {
  std::string m = DECLMODEL(decl);
  m.replace(m.find("DECL\n"), 5, "DECL ");
  return m;
}

TEST(DeclDriver, DeclKeywordIsBlankedOnItsLine) {
  DeclRun d(ONDECLLINE("VAR X : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.body(), "\n     VAR X : INTEGER; \n");
}

TEST(DeclDriver, UsesClauseOnTheDeclLineIsNotCopied) {
  DeclRun d(ONDECLLINE("USES Graph; VAR X : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.decls(), HEAD + ",\nGRAPH;\n" + INTERFACE + " \nVAR X : INTEGER; \n");
}

TEST(DeclDriver, UsesErrors) {
  int line, col;
  EXPECT_EQ(DECLERROR("USES ;", &line, &col), "unit name expected");
  EXPECT_EQ(line, 10);
  EXPECT_EQ(DECLERROR("USES A B;", &line, &col), "; or , expected");
  EXPECT_EQ(col, 9);
  EXPECT_EQ(DECLERROR("VAR X : INTEGER;\nUSES A;", &line, &col), "misplaced uses");
  EXPECT_EQ(line, 11);
  EXPECT_EQ(col, 5);
}

TEST(DeclDriver, FirstWordMustBeAClass) {
  int line, col;
  EXPECT_EQ(DECLERROR("FOO X;", &line, &col), "missing class of declaration");
  EXPECT_EQ(line, 10);
  EXPECT_EQ(col, 4);
  EXPECT_EQ(DECLERROR("USES A;\nX : INTEGER;"), "missing class of declaration");
}

TEST(DeclDriver, ClassesRepeatInAnyOrder) {
  DeclRun d(DECLMODEL("VAR A : INTEGER;\nTYPE T = REAL;\nVAR B : T;\nCONST N = 2;\n"
                      "TYPE U = INTEGER;\nCONST M = 3;"));
  ASSERT_EQ(d.run(), "");
  for (const char* name : {"A", "B", "N", "M"}) EXPECT_NE(d.entry(name), nullptr) << name;
  EXPECT_EQ(d.entry("B")->TIPO, "T");
  EXPECT_NE(FINDTYPE(d.c, "U"), nullptr);
}

TEST(DeclDriver, SecondProceduresClass) {
  DeclRun d(DECLMODEL("VAR A : INTEGER;\nPROCEDURES"));
  d.c.decl.PROCSEEN = true;  // as after a first PROCEDURES class
  EXPECT_EQ(d.run(), "more than one PROCEDURES");
  EXPECT_EQ(d.line(), 11);
  EXPECT_EQ(d.column(), 11);
}

TEST(DeclDriver, WithoutDeclOnlyTheHeadIsWritten) {
  std::string m = DECLMODEL("");
  m.replace(m.find("DECL\n"), 5, "");
  DeclRun d(m);
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.decls(), HEAD + ";\n" + INTERFACE);
}

TEST(DeclDriver, TransferProcedureHeadOnModpro) {
  DeclRun d(DECLMODEL("CONST N = 1;"));
  ASSERT_EQ(d.run(), "");
  FLUSHOUT(d.c, CH_MODPRO);
  CLOSECH(d.c, CH_MODPRO);
  EXPECT_EQ(WRITTEN(d.c, d.dir, "MODPRO").rfind(
                "procedure _upvr(_ni:word;_s:pointer);var _j:integer;begin case _ni of", 0),
            0u);
}

TEST(DeclDriver, NameTreeStartsWithThePredefinedNames) {
  DeclRun d(DECLMODEL("VAR X : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.entry("PMESS")->TYPTYP, "POINTER");
  EXPECT_EQ(d.entry("X")->TIPO, "INTEGER");
  EXPECT_EQ(DECLERROR("VAR TIME : REAL;"), "duplicated name TIME");
}

TEST(DeclDriver, DeclarationsBeforeEndOnItsLineAreKept) {
  DeclRun d(DECLMODEL("VAR X : INTEGER; END."));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.body(), "VAR X : INTEGER; \n");
  DeclRun e(DECLMODEL("CONST N = 1; END."));
  ASSERT_EQ(e.run(), "");
  EXPECT_EQ(e.body(), "CONST N = 1; \n");
}

}  // namespace
