// GFUNCTIONS, TABLES, STATISTICS, FACTORS and RESPONSES through the
// declaration pass: what each class records, that its text stays out of
// pru while the text around it is kept, and its errors.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

struct ClassError {
  const char* decl;
  const char* message;
  int line, column;
};

void EXPECTERRORS(const std::vector<ClassError>& cases) {
  for (const ClassError& e : cases) {
    int line = 0, column = 0;
    EXPECT_EQ(DECLERROR(e.decl, &line, &column), e.message) << e.decl;
    EXPECT_EQ(line, e.line) << e.decl;
    EXPECT_EQ(column, e.column) << e.decl;
  }
}

const char* VARS = "VAR X, Y : REAL; N : INTEGER; B : BOOLEAN; V : ARRAY[1..4] OF REAL;\n";

TEST(Classes, ValuedFunctionsAndTheirSignatures) {
  DeclRun d(DECLMODEL(std::string(VARS) +
                      "GFUNCTIONS F : POLYG (REAL) : REAL : 10;\n"
                      "  G : POLYG(REAL):REAL:20; S : SPLINE (REAL) : REAL : 5;\n"
                      "  D : DISC (INTEGER) : STRING : 3; T : SPLINE (REAL) : REAL : 4;"));
  ASSERT_EQ(d.run(), "");
  const std::vector<ValuedFunction>& f = d.c.kw.FUNV;
  ASSERT_EQ(f.size(), 5u);
  EXPECT_EQ(f[0].NOM + std::string(FUNVCLASSENTRY(f[0].CLASS)) + f[0].ARGTYPE + f[0].VALTYPE,
            "FPOLYGREALREAL");
  EXPECT_EQ(f[1].NPOINTS, 20);
  EXPECT_EQ(f[2].SPLINENO, 1);
  EXPECT_EQ(f[3].NOM + std::string(FUNVCLASSENTRY(f[3].CLASS)) + f[3].ARGTYPE + f[3].VALTYPE,
            "DDISCINTEGERSTRING");
  EXPECT_EQ(f[4].SPLINENO, 2);
  EXPECT_EQ(f[0].SPLINENO, 0);
  // One signature per class and types; the largest point count wins.
  const std::vector<FuncTable>& t = d.c.decl.FUNTABLES;
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].KEY, "POLYGREALREAL");
  EXPECT_EQ(t[0].NPOINTS, 20);
  EXPECT_EQ(t[0].CLASS, 1);
  EXPECT_EQ(t[1].KEY, "SPLINEREALREAL");
  EXPECT_EQ(t[1].NPOINTS, 5);
  EXPECT_EQ(t[1].SPLINENO, 2);
  EXPECT_EQ(t[2].KEY, "DISCINTEGERSTRING");
  // Nothing of the class is copied into the unit.
  EXPECT_EQ(d.body(), "\n" + std::string(VARS).insert(strlen(VARS) - 1, " "));
}

// Forms accepted; the errors with their positions are cases of
// tests/class_errors.
TEST(Classes, ValuedFunctionForms) {
  EXPECTERRORS({
      {"GFUNCTIONS F : STAIR (REAL) : INTEGER : 3; G : DISC (CHAR) : BOOLEAN : 2;", "", 0, 0},
      {"GFUNCTIONS F POLYG (REAL) : REAL : 5; G : DISC (INTEGER) : REAL : 2;", "", 0, 0},
  });
}

TEST(Classes, ValuedFunctionWithoutTheColonAfterItsName) {
  DeclRun d(DECLMODEL("GFUNCTIONS F POLYG (REAL) : REAL : 5;"));
  ASSERT_EQ(d.run(), "");
  ASSERT_EQ(d.c.kw.FUNV.size(), 1u);
  const ValuedFunction& f = d.c.kw.FUNV[0];
  EXPECT_EQ(f.NOM + " " + std::string(FUNVCLASSENTRY(f.CLASS)) + " " + f.ARGTYPE + " " + f.VALTYPE,
            "F POLYG REAL REAL");
  EXPECT_EQ(f.NPOINTS, 5);
}

TEST(Classes, TablesNameRealVariables) {
  DeclRun d(DECLMODEL(std::string(VARS) + "TABLES X : TX, Y : TY;"));
  ASSERT_EQ(d.run(), "");
  const std::vector<TableName>& t = d.c.expr.TABLES;
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].NOM + " " + t[0].NOM2 + " " + t[1].NOM + " " + t[1].NOM2, "X TX Y TY");
  std::string pru = d.pru();
  EXPECT_NE(pru.find("const _n_fv:array[1..2] of _st80=('X','Y');\n"
                     "const _n_ft:array[1..2] of _st80=('TX','TY');\n"),
            std::string::npos);
  // Its errors with their positions are cases of tests/class_errors.
}

TEST(Classes, StatisticsMarkNodesAndVariables) {
  DeclRun d(DECLMODEL(std::string(VARS) + "STATISTICS TELLER, V, X, X;"));
  ASSERT_EQ(d.run(), "");
  const Model& m = d.c.model;
  EXPECT_FALSE(m.NodeTable[1].STAT);
  EXPECT_TRUE(m.NodeTable[2].STAT);
  EXPECT_TRUE(d.c.decl.STATCLASS);
  EXPECT_TRUE(d.entry("V")->FLAG1);
  EXPECT_EQ(d.entry("V")->COUNT1, 4);
  EXPECT_TRUE(d.entry("X")->FLAG1);
  EXPECT_EQ(d.entry("X")->COUNT1, 1);  // a plain variable is one element
  EXPECT_FALSE(d.entry("Y")->FLAG1);

  DeclRun all(DECLMODEL("STATISTICS ALLNODES;"));
  ASSERT_EQ(all.run(), "");
  for (int n = 1; n <= all.c.model.NodeCount; ++n) EXPECT_TRUE(all.c.model.NodeTable[n].STAT);

  EXPECTERRORS({
      {"TYPE R = REAL; VR = ARRAY[1..4] OF R;\nVAR M : VR; N : ARRAY[0..3] OF R;\nSTATISTICS M, N;",
       "", 0, 0},
  });
}

TEST(Classes, FactorsAndResponses) {
  DeclRun d(DECLMODEL(std::string(VARS) + "FACTORS X, Y;\nRESPONSES Y;\nRESPONSES X;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_TRUE(d.c.prog.FACTORS);
  EXPECT_EQ(d.c.decl.FACTORLIST, (std::vector<std::string>{"X", "Y"}));
  EXPECT_EQ(d.c.prog.RESPONSES, (std::vector<std::string>{"Y", "X"}));
  // Its errors with their positions are cases of tests/class_errors.
}

// The classes read before the organisation are refused after PROCEDURES:
// their declarations would never reach the unit.
TEST(Classes, RefusedAfterProcedures) {
  for (const char* cls : {"GFUNCTIONS", "TABLES", "STATISTICS", "DBTABLES"}) {
    int line = 0;
    EXPECT_EQ(DECLERROR(std::string("PROCEDURES\n") + cls + " X;", &line),
              std::string(cls) + " after PROCEDURES");
    EXPECT_EQ(line, 11);
  }
  EXPECTERRORS({{"VAR X : REAL;\nPROCEDURES\nFACTORS X;\nRESPONSES X;", "", 0, 0}});
}

// What stands before a class keyword on its line is kept.
TEST(Classes, TextBeforeTheKeywordIsKept) {
  DeclRun d(DECLMODEL(
      "VAR X : REAL; N : INTEGER;\n"
      "GFUNCTIONS F : POLYG (REAL) : REAL : 10;\n"
      "VAR Y : REAL; TABLES X : TX, Y : TY;\n"
      "CONST K = 3; FACTORS X;\n"
      "TYPE T = INTEGER;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.body(),
            "\nVAR X : REAL; N : INTEGER; \n"
            "VAR Y : REAL; \n"
            "\n \n"
            "CONST K = 3; \n"
            "\n \n"
            "\nTYPE T = INTEGER; \n");
}

}  // namespace

namespace {

// A whole model with every class of this kind: what the declaration pass
// leaves for the passes after it.
TEST(Classes, WorkshopModel) {
  DeclRun d(MODELTEXT("cls_workshop.tlv"));
  ASSERT_EQ(d.sections, "");
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.c.kw.FUNV.size(), 1u);
  EXPECT_EQ(d.c.expr.TABLES.size(), 1u);
  EXPECT_TRUE(d.c.model.NodeTable[2].STAT);
  EXPECT_TRUE(d.entry("WAITS")->FLAG1);
  EXPECT_TRUE(d.entry("RATE")->FLAG1);
  EXPECT_EQ(d.c.decl.FACTORLIST, std::vector<std::string>{"RATE"});
  EXPECT_EQ(d.c.prog.RESPONSES, std::vector<std::string>{"BUSY"});
  EXPECT_TRUE(d.c.prog.HASPROCS);
  std::string pru = d.pru();
  EXPECT_EQ(pru.substr(pru.find("const _n_fv:")),
            "const _n_fv:array[1..1] of _st80=('BUSY');\n"
            "const _n_ft:array[1..1] of _st80=('TBUSY');\n"
            "\n \n\n"
            "FUNCTION SERVICE(R : REAL) : REAL; \n"
            "PROCEDURE CLEAR; \n");
  CLOSECH(d.c, CH_MODPRP);
  EXPECT_EQ(WRITTEN(d.c, d.dir, "MODPRP"),
            "\nFUNCTION SERVICE(R : REAL) : REAL; \n"
            "\nVAR X : REAL; \n"
            "\nBEGIN \n"
            "\n  X := R * 2; \n"
            "\n  SERVICE := X \n"
            "\nEND; \n"
            "\nPROCEDURE CLEAR; \n"
            "\nBEGIN \n"
            "\n  BUSY := 0 \n"
            "\nEND; \n"
            "\n");
}

}  // namespace
