// Constant declarations: the type an untyped constant takes from its
// literal, typed constants by kind, array values in nested lists, and the
// errors with their positions.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

TEST(DeclConstants, UntypedTakeTheTypeOfTheirLiteral) {
  DeclRun d(DECLMODEL("CONST N = 10;\n  E = 2.5;\n  M = -3;\n  S = 'abc';\n  X = 1E3;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.entry("N")->TIPO, "INTEGER");
  EXPECT_EQ(d.entry("E")->TIPO, "REAL");
  EXPECT_EQ(d.entry("M")->TIPO, "INTEGER");
  EXPECT_EQ(d.entry("S")->TIPO, "STRING");
  EXPECT_EQ(d.entry("X")->TIPO, "REAL");
  EXPECT_EQ(d.body(), "CONST N = 10;\n  E = 2.5;\n  M = -3;\n  S = 'abc';\n  X = 1E3;\n");
}

TEST(DeclConstants, TypedByKind) {
  DeclRun d(DECLMODEL(
      "CONST V : ARRAY[1..3] OF INTEGER = (1, -2, +3);\n"
      "  T : ARRAY[1..2, 1..2] OF REAL = ((1, 2.5), (3, 4));\n"
      "  I : INTEGER = -5;\n  C : CHAR = 'x';\n  S : STRING[5] = 'ab';\n"
      "  B : BOOLEAN = TRUE;\n  W : ARRAY[1..2] OF STRING[4] = ('ab', 'cd');\n"
      "  H : ARRAY[1..2] OF CHAR = ('a', 'b');\n  G : 1..9 = 3;"));
  ASSERT_EQ(d.run(), "");
  NameNode* v = d.entry("V");
  EXPECT_EQ(v->TIPO, "ARRAY");
  EXPECT_EQ(v->TYPTYP, "ARRAY");
  EXPECT_EQ(v->NSUB, 1);
  EXPECT_EQ(v->TYPEL, "INTEGER");
  EXPECT_EQ(d.entry("T")->NSUB, 2);
  EXPECT_EQ(d.entry("I")->TIPO, "INTEGER");
  EXPECT_EQ(d.entry("C")->TIPO, "CHAR");
  EXPECT_EQ(d.entry("S")->TIPO, "STRING");
  EXPECT_EQ(d.entry("B")->TIPO, "BOOLEAN");
  EXPECT_EQ(d.entry("G")->TYPTYP, "SUBRA");
}

TEST(DeclConstants, MessagesWithTheirPosition) {
  struct Case {
    const char* decl;
    const char* message;
    int line, column;
  } cases[] = {
      {"CONST Q = ABC;", "error in constant", 10, 14},
      {"CONST Q ! 3;", "error after constant name", 10, 11},
      {"CONST ;", "constant name expected", 10, 7},
      {"CONST V : ARRAY[1..3] OF INTEGER = (1, 'a', 3);", "number expected", 10, 43},
      {"CONST V : ARRAY[1..3] OF INTEGER = 1;", "( expected", 10, 37},
      {"CONST V : ARRAY[1..2] OF BOOLEAN = (TRUE, FALSE);",
       "type REAL or INTEGER or CHAR or STRING expected", 10, 41},
      {"CONST V : ARRAY[1..2] OF STRING[3] = ('a', 2);", "string  expected", 10, 45},
      {"CONST V : ARRAY[1..2] OF CHAR = ('a', 2);", "character expected", 10, 40},
      {"CONST V : ARRAY[1..2] OF INTEGER = (, 2);", "constant expected", 10, 37},
      {"CONST I : INTEGER = X;", "number expected", 10, 22},
      {"CONST C : CHAR = 5;", "constant CHAR expected", 10, 19},
      {"TYPE R = RECORD A : REAL END;\nCONST Z : R = (A : 1);",
       "const. RECORD and SET not implemented", 11, 13},
      {"CONST Z : SET OF 1..3 = [1];", "const. RECORD and SET not implemented", 10, 23},
      {"CONST N = 1;\n  N = 2;", "duplicated name N", 12, 5},
  };
  for (const Case& k : cases) {
    int line, col;
    EXPECT_EQ(DECLERROR(k.decl, &line, &col), k.message) << k.decl;
    EXPECT_EQ(line, k.line) << k.decl;
    EXPECT_EQ(col, k.column) << k.decl;
  }
}

}  // namespace
