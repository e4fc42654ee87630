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

// The errors of constants with their positions are the cases of
// tests/constant_errors.

}  // namespace
