// Type declarations: what each form adds to the type list, the names it
// enters, the text written, and the errors with their positions.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

struct DeclTypes : ::testing::Test {
  std::unique_ptr<DeclRun> d;
  // Runs TYPE declarations that must be accepted.
  void accept(const std::string& decl) {
    d = std::make_unique<DeclRun>(DECLMODEL(decl));
    ASSERT_EQ(d->run(), "") << decl;
  }
  TypeRecord& type(const std::string& name) {
    TypeRecord* t = FINDTYPE(d->c, name);
    EXPECT_NE(t, nullptr) << name;
    static TypeRecord none;
    return t ? *t : none;
  }
};

TEST_F(DeclTypes, ArrayTypeKeepsBoundsAndElement) {
  accept("TYPE T = ARRAY[1..3, 1..4] OF REAL;\n  U = ARRAY[-2..2] OF T;");
  TypeRecord& t = type("T");
  EXPECT_EQ(t.TIPO, "ARRAY");
  EXPECT_EQ(t.NSUB, 2);
  ASSERT_EQ(t.BOUNDS.size(), 2u);
  EXPECT_EQ(t.BOUNDS[0].MAX, 3);
  EXPECT_EQ(t.BOUNDS[1].MAX, 4);
  EXPECT_EQ(t.TYPEL, "REAL");
  EXPECT_EQ(type("U").BOUNDS[0].MIN, -2);
  EXPECT_EQ(type("U").TYPEL, "T");
  EXPECT_EQ(d->body(), "TYPE T = ARRAY[1..3, 1..4] OF REAL;\n  U = ARRAY[-2..2] OF T;\n");
  d->c.src.IDENT = "T";
  TYPELOOK(d->c);
  EXPECT_EQ(d->c.names.TYPENO, 22);  // the first model type
}

TEST_F(DeclTypes, EnumerationsAndSubranges) {
  accept("TYPE C = (RED, GREEN, BLUE);\n  S = 'A'..'Z';\n  N = 1..10;\n"
         "  M = -5..5;\n  A = ARRAY[C] OF INTEGER;\n  B = ARRAY[RED..BLUE, 'a'..'c'] OF C;");
  EXPECT_EQ(type("C").TIPO, "SCALAR");
  NameNode* red = d->entry("RED");
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->TIPO, "C");
  EXPECT_EQ(red->CODE, 1);
  for (const char* name : {"S", "N", "M"}) EXPECT_EQ(type(name).TIPO, "SUBRA") << name;
  EXPECT_EQ(type("A").NSUB, 1);
  EXPECT_TRUE(type("A").BOUNDS.empty());  // not a numeric subscript
  EXPECT_EQ(type("B").NSUB, 2);
}

TEST_F(DeclTypes, StringsSetsFilesPointers) {
  accept("TYPE S = STRING[255];\n  S1 = STRING;\n  E = SET OF 1..10;\n  C = (X1, X2);\n"
         "  F = SET OF C;\n  G = SET OF (Y1, Y2);\n  H = SET OF 'a'..'z';\n"
         "  U = FILE;\n  I = FILE OF INTEGER;\n  P = ^NODE2;\n  NODE2 = RECORD V : REAL END;");
  EXPECT_EQ(type("S").TIPO, "STRING");
  EXPECT_EQ(type("S1").TIPO, "STRING");
  for (const char* name : {"E", "F", "G", "H"}) EXPECT_EQ(type(name).TIPO, "SET") << name;
  EXPECT_NE(d->entry("Y1"), nullptr);
  EXPECT_EQ(type("U").TYPEL, "UNTYPED");
  EXPECT_EQ(type("I").TYPEL, "INTEGER");
  EXPECT_EQ(type("P").TIPO, "POINTER");
  EXPECT_EQ(type("P").TARGET, "NODE2");
}

TEST_F(DeclTypes, RecordTypesKeepTheirFieldTree) {
  accept("TYPE R = RECORD A, B : INTEGER;\n    S : STRING[20];\n    V : ARRAY[1..2] OF REAL;\n"
         "    Q : RECORD Z : REAL END;\n  END;\n  T = ARRAY[1..3] OF RECORD X : REAL END;\n"
         "VAR A : INTEGER;");
  TypeRecord& r = type("R");
  EXPECT_EQ(r.TIPO, "RECORD");
  EXPECT_EQ(d->entry("S", r.FIELDS)->CODE, 20);
  EXPECT_EQ(d->entry("V", r.FIELDS)->NSUB, 1);
  NameNode* q = d->entry("Q", r.FIELDS);
  ASSERT_NE(q, nullptr);
  EXPECT_NE(d->entry("Z", q->FIELDS), nullptr);
  TypeRecord& t = type("T");
  EXPECT_EQ(t.TIPO, "ARRAY");
  EXPECT_EQ(t.NSUB, 1);
  EXPECT_NE(d->entry("X", t.FIELDS), nullptr);
  EXPECT_EQ(d->entry("A")->TIPO, "INTEGER");  // a field name is no global name
}

TEST_F(DeclTypes, ProcedureTypesAndAliases) {
  accept("TYPE PR = PROCEDURE(A : INTEGER; VAR B, C : REAL);\n  P0 = PROCEDURE;\n"
         "  T = INTEGER;\n  VEC = ARRAY[1..4] OF REAL;\n  W = VEC;\n"
         "VAR A : T;\n  X : W;");
  EXPECT_EQ(type("PR").TIPO, "PROCEDURE");
  EXPECT_EQ(type("PR").NPARAM, 3);
  EXPECT_EQ(type("P0").NPARAM, 0);
  EXPECT_EQ(type("T").TIPO, "INTEGER");
  EXPECT_EQ(type("W").TIPO, "ARRAY");
  EXPECT_EQ(d->entry("X")->NSUB, 1);
  EXPECT_EQ(d->entry("A")->TYPTYP, "INTEGER");
}

TEST_F(DeclTypes, ContinuousTypeIsWrittenAsReal) {
  accept("TYPE C = CONT;\n  N = INTEGER;");
  // The line holding CONT is transmitted, and so are the lines after it.
  EXPECT_EQ(d->body(), "TYPE C = REAL;\n \n\n  N = INTEGER; \n");
  EXPECT_EQ(type("C").TIPO, "REAL");
}

// The errors of type declarations with their positions are the cases of
// tests/type_errors.

}  // namespace
