// Function calls in expressions: random distributions and their streams,
// functions over network lists, user functions and procedure variables;
// node code translated in process.
#include <gtest/gtest.h>
#include <sstream>
#include "stmt_testrun.h"

namespace {

struct Functions : Translate {
  void calls(const std::string& text) {
    model("model\nNETWORK\nG1 (G) ::\n" + text + "\nQ (L) [1..3] ::\nS (G) ::\nINIT\n\nDECL\nEND.\n");
    var("X", "REAL");
    var("N", "INTEGER");
    var("F", "FUNP")->COUNT = 2;
    var("G", "FUNP");
    NodeRecord& q = c.model.NodeTable[2];
    q.EL = 7;
    q.IL = 4;
    c.model.NodeTable[3].EL = 10;
  }
  // The translated statement, without the blanks that line ends leave.
  std::string text() {
    std::string t = out(), flat;
    for (char ch : t)
      if (ch != '\n') flat += ch;
    size_t b = flat.find_first_not_of(' ');
    size_t e = flat.find_last_not_of(' ');
    return b == std::string::npos ? "" : flat.substr(b, e - b + 1);
  }
};

TEST_F(Functions, DistributionsGetTheDefaultStream) {
  calls("  X := EXPO(5) + EXPO(5, 3) + UNIF(0, 1, 10) * TRIA(1, X, 3) - NORM(X,2);");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(),
            "X := EXPO(5,1) + EXPO(5, 3) + UNIF(0, 1, 10) * TRIA(1, X, 3,1) - NORM(X,2,1);");
  // Inside other calls and in arguments spread over lines.
  calls("  X := MAX(EXPO(2), SIN(X)) + ERLG(X,\n     3);");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := MAX(EXPO(2,1), SIN(X)) + ERLG(X,      3,1);");
  calls("  X := RANDOM + ABS(X) + COPY('ab', 1, 1);");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := RANDOM + ABS(X) + COPY('ab', 1, 1);");
}

TEST_F(Functions, ListFunctionsBecomeRuntimeArrays) {
  calls("  X := LL(IL_Q[2]) + ENTR(EL_S) + PFIRST( EL_Q[N] ) ;");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := _l^[3+2] + _en^[10] + _fl[6+N] ;");
  calls("  X := MAXL(IL_Q[1]) + MINL(EL_S) + MEDL(EL_S) + DMEDL(EL_S) + TFREE(EL_S);");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := _lm^[3+1] + _minl(10) + _lp^[10] + _de^[10] + _tl^[10];");
  calls("  X := MSTL(EL_S) + DMSTL(EL_S) + PLAST(EL_S);");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := _tpp^[10] + _dp^[10] + _ll[10];");
}

TEST_F(Functions, ListOfASimpleNode) {
  model("model\nNETWORK\nG1 (G) ::\n  X := LL(IL_W) + LL(EL_W);\nW (L) ::\nINIT\n\nDECL\nEND.\n");
  var("X", "REAL");
  c.model.NodeTable[2].EL = 5;
  c.model.NodeTable[2].IL = 6;
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := _l^[6] + _l^[5];");
}

TEST_F(Functions, TablesByEitherName) {
  calls("");
  c.expr.TABLES = {{"X", "TX"}, {"Y", "TY"}, {"X", "TZ"}};
  s.IDENT = "TY";
  EXPECT_TRUE(TABLOOK(c, true));
  EXPECT_EQ(c.expr.TABPOS, 1);
  EXPECT_FALSE(TABLOOK(c, false));  // not a first name
  EXPECT_EQ(c.expr.TABPOS, 3);
  s.IDENT = "X";
  EXPECT_TRUE(TABLOOK(c, false));  // the first entry wins
  EXPECT_EQ(c.expr.TABPOS, 0);
  s.IDENT = "TZ";
  EXPECT_TRUE(TABLOOK(c, true));
  EXPECT_EQ(c.expr.TABPOS, 2);
}

TEST_F(Functions, UserFunctions) {
  calls("  X := F(1, 2) + F(X) + F(F(1, 2), 3) + G;");
  ASSERT_EQ(node(), "");
  EXPECT_EQ(text(), "X := F(1, 2) + F(X) + F(F(1, 2), 3) + G;");
}

TEST_F(Functions, Errors) {
  struct Case {
    const char* code;
    const char* message;
  } cases[] = {
      {"  X := EXPO(5, 11);", "invalid seed number"},
      {"  X := UNIF(0, 1, 0);", "invalid seed number"},
      {"  X := UNIF(0, 1, X);", "integer or ) expected"},
      {"  X := UNIF(0, 1, 2.5);", "integer or ) expected"},
      {"  X := UNIF(0, 1, 2, 3);", "missing ) or erroneous number of parameters"},
      {"  X := SIN(X, N);", "missing ) or erroneous number of parameters"},
      {"  X := MAX(X);", "erroneous number of parameters"},
      {"  X := EXPO 5;", "( missing in function"},
      {"  X := RANDOM(1);", "in expression"},
      {"  X := ENTR IL_Q;", "( missing in function"},
      {"  X := LL(Q);", "EL_ or IL_ expected"},
      {"  X := LL(EL_S;", ") expected in function"},
      {"  X := F(1, 2, 3);", ") missing or erroneous number of parameters"},
      {"  X := F;", "( missing in function"},
  };
  for (const Case& k : cases) {
    calls(k.code);
    EXPECT_EQ(node(), k.message) << k.code;
  }
}

// All fifteen distributions: without a stream each gets stream 1, with one
// it keeps it; RANDOM takes none.
TEST(FunctionModels, EveryDistributionWithAndWithoutStream) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("fun_random.tlv", MODELTEXT("fun_random.tlv"));
  ASSERT_EQ(RUNTALVEN({"fun_random.tlv"}, out, err, in, dir.str()), 0) << err.str();
  std::string unit;
  for (char ch : dir.read("unid1.pas"))
    if (ch != '\n') unit += ch;
  for (const char* t :
       {"N := BIN(5, 0.5,1) + UNIFI(1, 6,1) + BER(0.5,1) + POISSON(3,1); ",
        "M := BIN(5, 0.5, 2) + UNIFI(1, 6, 3) + BER(0.5, 4) + POISSON(3, 5); ",
        "X := ERLG(2, 3,1) + EXPO(1,1) + GAUSS(0, 1,1) + NORM(0, 1,1) + RANDOM; ",
        "X := X + TRIA(1, 2, 3,1) + UNIF(0, 1,1) + BETA(2, 3,1) + GAMMA(2, 1,1); ",
        "X := X + LOGNORM(1, 1,1) + WEIBULL(1, 2,1) + EXPO(1, 10) + TRIA(1, 2, 3, 6); ",
        "Y := ERLG(2, 3, 7) + GAUSS(0, 1, 8) + LOGNORM(1, 1, 9) + WEIBULL(1, 2, 1); "})
    EXPECT_NE(unit.find(t), std::string::npos) << t << "\n" << unit;
}

}  // namespace
