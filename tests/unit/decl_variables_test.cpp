// Variable declarations: groups, the checks of new names, GPOINTER, the
// continuous types written as REAL, records below their variable, the
// types given to the names, and the modes of the other callers.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

TEST(DeclVariables, GroupSharesItsType) {
  DeclRun d(DECLMODEL("VAR A, B,\n    C : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  for (const char* name : {"A", "B", "C"}) {
    NameNode* e = d.entry(name);
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(e->TIPO, "INTEGER");
    EXPECT_EQ(e->TYPTYP, "INTEGER");
    EXPECT_EQ(e->CODE, 1);  // TYPECODE of INTEGER
    EXPECT_EQ(d.c.names.UNITOF(e), "MAIN");
  }
  EXPECT_EQ(d.body(), "\nVAR A, B, \n\n    C : INTEGER; \n");
}

// The errors of variable names with their positions are the cases of
// tests/variable_errors.

TEST(DeclVariables, GpointerIsWrittenAsThePointerTypeWithCompanions) {
  DeclRun d(DECLMODEL("VAR P, Q : GPOINTER;\n  N : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.body(), "VAR P, Q : _pl;B_P,B_Q:_pl;\n \n\n  N : INTEGER; \n");
  for (const char* name : {"P", "Q", "B_P", "B_Q"}) {
    NameNode* e = d.entry(name);
    ASSERT_NE(e, nullptr) << name;
    EXPECT_EQ(e->TIPO, "GPOINTER") << name;
    EXPECT_EQ(e->TYPTYP, "GPOINTER") << name;
  }
  EXPECT_EQ(DECLERROR("VAR P : GPOINTER X;"), "; expected");
}

TEST(DeclVariables, AbsoluteIsCopied) {
  DeclRun d(DECLMODEL("VAR X : INTEGER ABSOLUTE Y;\n  Z : WORD;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.body(), "\nVAR X : INTEGER ABSOLUTE Y; \n\n  Z : WORD; \n");
  EXPECT_EQ(DECLERROR("VAR X : INTEGER ABSOLUTE ;"), "invalid expression after absolute");
}

TEST(DeclVariables, ContinuousTypesAreWrittenAsReal) {
  DeclRun d(DECLMODEL("VAR C : CONT;\n  D : RET : 5;\n  A : ARRAY[1..2] OF CONT;\n  F : FREQ;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.body(),
            "VAR C : REAL;\n \n  D : REAL;\n \n  \n_D_DEL:array[1..4] of real; "
            "A : ARRAY[1..2] OF REAL;\n \n  F : REAL;\n \n");
  EXPECT_EQ(d.entry("C")->TYPTYP, "REAL");
  EXPECT_EQ(d.entry("F")->TYPEL, "REAL");
  EXPECT_EQ(d.entry("A")->TYPEL, "REAL");
  EXPECT_TRUE(d.c.decl.CONTSEEN);
}

TEST(DeclVariables, ContinuousVariablesFollowOneAnother) {
  int line;
  EXPECT_EQ(DECLERROR("VAR C : CONT;\n  N : INTEGER;\n  D : CONT;", &line),
            "continuous variables already declared");
  EXPECT_EQ(line, 12);
  EXPECT_EQ(DECLERROR("VAR C : CONT;\n  D, E : CONT;\n  N : INTEGER;"), "");
  EXPECT_EQ(DECLERROR("VAR D : RET : A;"), "integer constant expected");
  EXPECT_EQ(DECLERROR("VAR C : CONT X;"), "; expected");
  EXPECT_EQ(DECLERROR("VAR D : RET X: 2;"), ": expected");
  // A FREQ variable is no continuous one.
  EXPECT_EQ(DECLERROR("VAR C : CONT;\n  F : FREQ;\n  D : CONT;"),
            "continuous variables already declared");
}

TEST(DeclVariables, RecordFieldsHangBelowTheirVariable) {
  DeclRun d(DECLMODEL("VAR R : RECORD X, Y : REAL END;\n  Z : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  NameNode* r = d.entry("R");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->TYPTYP, "RECORD");
  ASSERT_NE(d.entry("X", r->FIELDS), nullptr);
  EXPECT_EQ(d.entry("Y", r->FIELDS)->TIPO, "REAL");
  EXPECT_EQ(d.entry("X"), nullptr);  // not a global name
  EXPECT_NE(d.entry("Z"), nullptr);
  // Reached through the lookup with fields.
  Source& s = d.c.src;
  s.IDENT = "R";
  s.CH = ' ';
  BUSIDAR(d.c);
  EXPECT_TRUE(d.c.names.FOUND);
}

TEST(DeclVariables, NestedRecordsAndFieldEnds) {
  DeclRun d(DECLMODEL("VAR R : RECORD\n    A : RECORD B : INTEGER END;\n"
                      "    C : STRING[10];\n    D : 1..5;\n  END;\n  Z : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  NameNode* r = d.entry("R");
  NameNode* a = d.entry("A", r->FIELDS);
  ASSERT_NE(a, nullptr);
  EXPECT_NE(d.entry("B", a->FIELDS), nullptr);
  EXPECT_EQ(d.entry("C", r->FIELDS)->CODE, 10);
  EXPECT_NE(d.entry("D", r->FIELDS), nullptr);
  EXPECT_NE(d.entry("Z"), nullptr);
  EXPECT_EQ(DECLERROR("VAR R : RECORD X : REAL Y : REAL END;"), "END expected");
  EXPECT_EQ(DECLERROR("VAR R : RECORD ; END;"), "error in field name");
  EXPECT_EQ(DECLERROR("VAR R : RECORD X : REAL; END; END;"),
            "reserved word used as identifier");
}

TEST(DeclVariables, ArraysKeepTheirDimensions) {
  DeclRun d(DECLMODEL("VAR M : ARRAY[1..3, 2..5] OF REAL;\n  L : ARRAY[0..1] OF ARRAY[1..4] OF INTEGER;"));
  ASSERT_EQ(d.run(), "");
  NameNode* m = d.entry("M");
  EXPECT_EQ(m->TIPO, "ARRAY");
  EXPECT_EQ(m->TYPTYP, "ARRAY");
  EXPECT_EQ(m->TYPEL, "REAL");
  EXPECT_EQ(m->NSUB, 2);
  ASSERT_EQ(m->BOUNDS.size(), 2u);
  EXPECT_EQ(m->BOUNDS[1].MIN, 2);
  EXPECT_EQ(m->BOUNDS[1].MAX, 5);
  EXPECT_EQ(m->COUNT1, 4);  // last dimension
  NameNode* l = d.entry("L");
  EXPECT_EQ(l->NSUB, 2);
  EXPECT_EQ(l->TYPEL, "INTEGER");
  EXPECT_EQ(d.c.decl.W.CONARR, 8);
}

TEST(DeclVariables, DeclaredTypesGiveDimensionsFieldsAndParameters) {
  DeclRun d(DECLMODEL(
      "TYPE VEC = ARRAY[1..10] OF REAL;\n  R = RECORD A : INTEGER END;\n"
      "  PN = ^NR;\n  NR = RECORD V : REAL END;\n  PR = PROCEDURE(A, B : INTEGER);\n"
      "VAR V : VEC;\n  X : R;\n  Q : PN;\n  F : PR;\n  A : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  NameNode* v = d.entry("V");
  EXPECT_EQ(v->TIPO, "VEC");
  EXPECT_EQ(v->TYPTYP, "ARRAY");
  EXPECT_EQ(v->NSUB, 1);
  EXPECT_EQ(v->COUNT1, 10);
  EXPECT_EQ(v->TYPEL, "REAL");
  EXPECT_EQ(d.entry("X")->TYPTYP, "RECORD");
  EXPECT_NE(d.entry("A", d.entry("X")->FIELDS), nullptr);
  EXPECT_EQ(d.entry("Q")->TYPTYP, "POINTER");
  EXPECT_NE(d.entry("V", d.entry("Q")->FIELDS), nullptr);
  NameNode* f = d.entry("F");
  EXPECT_EQ(f->TYPTYP, "PROCEDURE");
  EXPECT_EQ(f->COUNT, 2);
  EXPECT_TRUE(f->FLAG4);
}

// PROVAR called directly, as the procedure and node passes call it.
struct DirectProvar {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  explicit DirectProvar(const std::string& text) {
    c.drv.root = dir.str();
    BINDCH(c, CH_PRU, "PRU.PAS");
    CREATECH(c, CH_PRU);
    r.load("model\n" + text + "\nEND.\n");
    c.src.PL = 1;
    c.src.LB = 2;
    c.src.K = 1;
  }
  NameNode* entry(const std::string& name) {
    NameNode* x = c.names.ROOT;
    while (x && x->NOM != name) x = name < x->NOM ? x->LEFT : x->RIGHT;
    return x;
  }
};

TEST(DeclVariables, FormalParametersOfAFunction) {
  DirectProvar p("A, B : INTEGER; VAR C : REAL) : REAL; NEXT");
  p.c.decl.MODE.FORMAL = true;
  p.c.decl.FUNCRESULT = true;
  ASSERT_EQ(p.r.error([&] { PROVAR(p.c); }), "");
  EXPECT_EQ(p.c.decl.PARAMCOUNT, 3);
  EXPECT_EQ(p.c.decl.RESULTTYPE, "REAL");
  EXPECT_EQ(p.entry("C")->TIPO, "REAL");
  EXPECT_EQ(p.entry("A")->TIPO, "INTEGER");
  EXPECT_FALSE(p.c.out.TRANSMIT);
  EXPECT_FALSE(p.c.decl.MODE.FORMAL);  // the mode is used up
  RECID(p.c);
  EXPECT_EQ(p.c.src.IDENT, "NEXT");
}

TEST(DeclVariables, FormalParameterErrors) {
  DirectProvar p("VAR A : INTEGER; ) ;");
  p.c.decl.MODE.FORMAL = true;
  EXPECT_EQ(p.r.error([&] { PROVAR(p.c); }), "variable or VAR expected");
  DirectProvar q("A : INTEGER) REAL;");
  q.c.decl.MODE.FORMAL = true;
  q.c.decl.FUNCRESULT = true;
  EXPECT_EQ(q.r.error([&] { PROVAR(q.c); }), ": expected");
}

TEST(DeclVariables, LocalListsEndAtBeginOrDoubleColon) {
  DirectProvar p("X : INTEGER; Y : REAL;\nBEGIN");
  p.c.decl.MODE.LOCAL = true;
  ASSERT_EQ(p.r.error([&] { PROVAR(p.c); }), "");
  EXPECT_EQ(p.c.src.IDENT, "BEGIN");
  EXPECT_NE(p.entry("Y"), nullptr);
  DirectProvar q("X : INTEGER; :: rest");
  q.c.decl.MODE.COLONS = true;
  ASSERT_EQ(q.r.error([&] { PROVAR(q.c); }), "");
  EXPECT_EQ(q.c.src.CH, ':');
}

}  // namespace
