// Expression translator: operand and operator rules, context switches,
// subscripts, node references; each expression read from a line of a real
// model's node code.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

// One node G1 whose code lines are the expressions; N has three copies.
const char* const MODEL =
    "model\n"
    "NETWORK\n"
    "G1 (G) ::\n"
    "NOT a THEN\n"
    "a NOT b\n"
    "x MOD 3 = 0 THEN\n"
    "x DIV 3 * 2 THEN\n"
    "(a + b THEN\n"
    "a + * b\n"
    "a b\n"
    "a, b\n"
    "a <> b;\n"
    "a <= b;\n"
    "a >= b;\n"
    "a = b;\n"
    "a < b;\n"
    "a # b\n"
    "V + 1;\n"
    "W + 1;\n"
    "W, 1)\n"
    "V[1, 2] * V[V[1], 2];\n"
    "V[1; 2]\n"
    "s = t THEN\n"
    "s[2] = 'x' THEN\n"
    "-(a) * NOT(b) + -a;\n"
    "TSIM > 0 DO\n"
    "N + 1;\n"
    "a OR b AND c XOR x IN a DO\n"
    "N[4] N[J] N[MIN] N[2] S N[K] N[2 N 2] G1 N[I] N[FREE]\n"
    "S (G) ::\n"
    "N (G) [1..3] ::\n"
    "INIT\n"
    "DECL\n"
    "END.\n";

struct ExprTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Source& s = c.src;
  Expr& x = c.expr;

  ExprTest() {
    c.drv.root = dir.str();
    r.load(MODEL);
    TRANSLATEUPTO(c, Pass::SECTIONS);
    PREDEF(c);
    BINDCH(c, CH_NODE, "unit.pas");
    CREATECH(c, CH_NODE);
    c.out.CURCH = CH_NODE;
    c.stmt.LBF = c.model.NodeTable[2].L;
    var("A", "REAL");
    var("B", "REAL");
    var("C", "BOOLEAN");
    var("X", "INTEGER");
    var("I", "INTEGER");
    var("J", "REAL");
    var("S", "STRING");
    var("T", "STRING");
    var("V", "ARRAY", "ARRAY", 2);   // declared with ARRAY directly
    var("W", "VEC", "ARRAY", 1);     // of a named array type
  }
  void var(const std::string& name, const std::string& tipo,
           const std::string& typtyp = "", int nsub = 0) {
    c.names.DIRECTADD = true;
    s.TIPO = tipo;
    STVNAME(c, true, name);
    c.names.DIRECTADD = false;
    c.names.LASTDIRECT->TYPTYP = typtyp;
    c.names.LASTDIRECT->NSUB = nsub;
  }
  // Puts the scanner at the start of the line holding text.
  void at(const std::string& text) {
    for (size_t i = 0; i < s.lines.size(); ++i) {
      if (s.lines[i].text() == text) {
        s.PL = static_cast<int>(i);
        s.LB = static_cast<int>(i) + 1;
        s.K = 1;
        c.out.TRSTART = 1;
        x.INSUBS = x.INARGS = false;
        return;
      }
    }
    throw std::runtime_error("no line " + text);
  }
  std::string exp(const std::string& text) {
    at(text);
    return r.error([&] { PREXP(c); });
  }
  std::string where() const {
    return std::to_string(r.lastError.line) + ":" + std::to_string(r.lastError.column);
  }
  // Reads the next node reference of the current line.
  std::string node(bool required = true) {
    return r.error([&] { PRNODO(c, required); });
  }
};

TEST_F(ExprTest, NotIsASignOrEndsTheExpression) {
  EXPECT_EQ(exp("NOT a THEN"), "");
  EXPECT_EQ(s.IDENT, "THEN");
  EXPECT_EQ(exp("a NOT b"), "");
  EXPECT_EQ(s.IDENT, "NOT");
  EXPECT_EQ(s.K, 6);  // b is left unread
  // NOT directly before "(", and signs before operands and parentheses
  EXPECT_EQ(exp("-(a) * NOT(b) + -a;"), "");
  EXPECT_EQ(s.CH, ';');
}

TEST_F(ExprTest, WordOperators) {
  EXPECT_EQ(exp("x MOD 3 = 0 THEN"), "");
  EXPECT_EQ(s.IDENT, "THEN");
  EXPECT_EQ(exp("x DIV 3 * 2 THEN"), "");
  EXPECT_EQ(exp("a OR b AND c XOR x IN a DO"), "");
  EXPECT_EQ(s.IDENT, "DO");
}

TEST_F(ExprTest, Relations) {
  for (const char* e : {"a <> b;", "a <= b;", "a >= b;", "a = b;", "a < b;"}) {
    EXPECT_EQ(exp(e), "") << e;
    EXPECT_EQ(s.CH, ';') << e;
    EXPECT_EQ(s.K, 7 + (e[3] != ' ')) << e;  // just past the ";"
  }
}

TEST_F(ExprTest, SyntaxErrorsWithTheirPositions) {
  EXPECT_EQ(exp("(a + b THEN"), ") expected");
  EXPECT_EQ(where(), "8:12");
  EXPECT_EQ(exp("a + * b"), "illegal term");
  EXPECT_EQ(where(), "9:5");
  EXPECT_EQ(exp("a b"), "invalid character following factor or missing separator");
  EXPECT_EQ(where(), "10:4");
  EXPECT_EQ(exp("a # b"), "in expression");
  EXPECT_EQ(where(), "17:4");
  EXPECT_EQ(exp("N + 1;"), "variable, function or constant expected");
  EXPECT_EQ(where(), "27:2");
}

TEST_F(ExprTest, CommaNeedsAListContext) {
  EXPECT_EQ(exp("a, b"), "illegal  ,  after expression");
  EXPECT_EQ(where(), "11:3");
  for (bool* sw : {&x.INARGS, &x.INWRITE, &x.INACT}) {
    at("a, b");
    *sw = true;
    EXPECT_EQ(r.error([&] { PREXP(c); }), "");
    EXPECT_EQ(s.CH, ',');
    *sw = false;
  }
}

TEST_F(ExprTest, ArraysNeedSubscripts) {
  EXPECT_EQ(exp("V + 1;"), "[ expected");
  EXPECT_EQ(where(), "18:3");
  EXPECT_EQ(exp("W + 1;"), "[ expected");
  // a whole array of a named type may be an argument
  at("W, 1)");
  x.INARGS = true;
  EXPECT_EQ(r.error([&] { PREXP(c); }), "");
  EXPECT_EQ(s.CH, ',');
  EXPECT_EQ(s.K, 3);
}

TEST_F(ExprTest, SubscriptLists) {
  // the outer list's comma stays acceptable after an inner list
  EXPECT_EQ(exp("V[1, 2] * V[V[1], 2];"), "");
  EXPECT_EQ(s.CH, ';');
  EXPECT_FALSE(x.INSUBS);
  EXPECT_EQ(exp("V[1; 2]"), "] or , expected");
  EXPECT_EQ(where(), "22:5");
}

TEST_F(ExprTest, StringsComparedAndIndexed) {
  EXPECT_EQ(exp("s = t THEN"), "");
  EXPECT_EQ(s.IDENT, "THEN");
  EXPECT_EQ(exp("s[2] = 'x' THEN"), "");
  EXPECT_EQ(s.IDENT, "THEN");
}

TEST_F(ExprTest, TsimIsAVariableFromItsFirstUse) {
  EXPECT_EQ(exp("TSIM > 0 DO"), "");
  EXPECT_EQ(s.IDENT, "DO");
}

TEST_F(ExprTest, ClassifierDecisionSurvivesAnExpression) {
  at("a = b;");
  s.KC = ClassRule::Function;
  s.TIPO = "FUNPG";
  s.NOTFOUND = false;
  c.names.FOUND = false;
  PREXP(c);
  EXPECT_EQ(RULENO(s.KC), 16);
  EXPECT_EQ(s.TIPO, "FUNPG");
  EXPECT_FALSE(s.NOTFOUND);
  EXPECT_FALSE(c.names.FOUND);
}

TEST_F(ExprTest, PastTheBlockNothingIsRead) {
  at("N[4] N[J] N[MIN] N[2] S N[K] N[2 N 2] G1 N[I] N[FREE]");
  c.stmt.LBF = s.LB;
  EXPECT_EQ(r.error([&] { PREXP(c); }), "");
  EXPECT_EQ(r.out.str(), "PASADO DE LINEA****\n");
  EXPECT_EQ(s.K, 1);
}

TEST_F(ExprTest, PastTheBlockInTraceModeAtEndOfInput) {
  TestRun t(true);
  t.load("model\n  a;\nEND.\n");
  t.c.src.PL = 1;
  t.c.src.LB = 2;
  t.c.src.K = 1;
  t.c.stmt.LBF = 2;
  PREXP(t.c);
  EXPECT_NE(t.out.str().find("PASADO DE LINEA****\n"), std::string::npos);
  EXPECT_EQ(t.c.src.K, 1);
}

TEST_F(ExprTest, NodeReferences) {
  at("N[4] N[J] N[MIN] N[2] S N[K] N[2 N 2] G1 N[I] N[FREE]");
  EXPECT_EQ(node(), "subscript value exceeded");
  EXPECT_EQ(where(), "29:4");
  s.K = 6;
  EXPECT_EQ(node(), "integer identifier expected");
  EXPECT_EQ(where(), "29:9");
  s.K = 11;
  EXPECT_EQ(node(), "");
  EXPECT_EQ(x.NODNAME, "N");
  EXPECT_EQ(x.NODSUB, "MIN");
  EXPECT_EQ(node(), "");
  EXPECT_EQ(x.NODNAME, "N[2]");
  EXPECT_EQ(x.NODNUM, "3");
  EXPECT_EQ(x.NODTYPE, 'G');
  EXPECT_EQ(node(), "");  // one copy: no subscript
  EXPECT_EQ(x.NODNAME, "S");
  EXPECT_EQ(x.NODSUB, "1");
  EXPECT_EQ(node(), "unknown identifier K");
  s.K = 29;
  EXPECT_EQ(node(), "invalid subscript");
  EXPECT_EQ(where(), "29:35");
  s.K = 34;
  EXPECT_EQ(node(), "[ missing in node");
  s.K = 39;
  EXPECT_EQ(node(false), "");
  EXPECT_EQ(s.IDENT, "G1");
  EXPECT_FALSE(s.NOTFOUND);
  s.K = 41;
  x.NODVARSUB = false;
  EXPECT_EQ(node(), "");
  EXPECT_EQ(x.NODNAME, "N[I]");
  EXPECT_TRUE(x.NODVARSUB);
  EXPECT_EQ(node(), "");
  EXPECT_EQ(x.NODNAME, "N");
  EXPECT_EQ(x.NODSUB, "FREE");
}

TEST_F(ExprTest, MissingNode) {
  at("a b");
  EXPECT_EQ(node(false), "");
  EXPECT_TRUE(s.NOTFOUND);
  EXPECT_EQ(node(), "node expected");
  EXPECT_EQ(where(), "10:4");
}

}  // namespace
