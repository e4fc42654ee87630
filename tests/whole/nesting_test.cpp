// Deep nesting: every recursive construct stops with "nesting too deep" at
// the place reached, the same place however much deeper the model goes,
// with no temporaries or outputs left; ordinary depths translate.
#include <gtest/gtest.h>
#include <filesystem>
#include <set>
#include "support/support.h"

namespace {

// A one-node model whose node code (or DECL) is given; X is a REAL.
std::string MODEL(const std::string& code, const std::string& decl = "VAR X: REAL;\n") {
  return "A deep model.\nNETWORK\n  ENTRY (I) EXIT ::\n     IT := EXPO(5);\n" + code +
         "\n  EXIT (E) ::\nINIT\n  TSIM := 100;\n  ACT(ENTRY, 0);\nDECL\n" + decl + "END.\n";
}

// n copies of unit, `per` to a line, each line indented by five blanks.
std::string LINES(const std::string& unit, int n, int per) {
  std::string t;
  for (int i = 0; i < n; i += per) {
    t += "     ";
    for (int j = i; j < n && j < i + per; ++j) t += unit;
    t += '\n';
  }
  return t;
}

struct Outcome {
  int code;
  std::string err;
  std::set<std::string> files;  // what the directory holds afterwards
  bool untouched;               // the model file is as it was written
};

Outcome TRANSLATEIN(const std::string& text) {
  TempDir dir;
  dir.write("deep.tlv", text);
  std::ostringstream out, err;
  std::istringstream in;
  Outcome o;
  o.code = RUNTALVEN({"deep.tlv"}, out, err, in, dir.str());
  o.err = err.str();
  for (const auto& e : std::filesystem::directory_iterator(dir.path))
    o.files.insert(e.path().filename().string());
  o.untouched = dir.read("deep.tlv") == text;
  return o;
}

// The model error's editor line, "deep.tlv:LINE:COL: error: nesting too deep".
std::string PLACE(const Outcome& o) {
  size_t p = o.err.find("deep.tlv:");
  return p == std::string::npos ? o.err : o.err.substr(p, o.err.find('\n', p) - p);
}

void EXPECTSTOPPED(const Outcome& o) {
  EXPECT_EQ(o.code, 3) << o.err;
  EXPECT_NE(o.err.find(": error: nesting too deep"), std::string::npos) << o.err;
  for (const char* t : {"MODINI", "MODIN1", "MODPRO", "MODPRP", "MODAUX", "MODLOG", "MODEDI"})
    EXPECT_EQ(o.files.count(t), 0u) << t;
  EXPECT_EQ(o.files.count("Testigo.TLQ"), 1u);
  EXPECT_TRUE(o.untouched);
}

std::string PARENS(int n) { return "     X := \n" + LINES("(", n, 10) + "1" + LINES(")", n, 10) + ";"; }

TEST(Nesting, SixtyThousandParenthesesStopAtTheLimit) {
  Outcome o = TRANSLATEIN(MODEL(PARENS(60000)));
  EXPECTSTOPPED(o);
  // The statement and its expression are two levels: the parenthesis that
  // opens level MAXNESTING + 1 is the 1999th, line 6 + 199, column 6 + 8,
  // and the scanner stands just after it.
  static_assert(MAXNESTING == 2000, "the place below is counted for 2000 levels");
  EXPECT_EQ(PLACE(o), "deep.tlv:205:15: error: nesting too deep");
  EXPECT_EQ(PLACE(TRANSLATEIN(MODEL(PARENS(3000)))), PLACE(o));
}

TEST(Nesting, TwentyThousandNestedCallsStop) {
  std::string code = "     X := \n" + LINES("ABS(", 20000, 10) + "1" + LINES(")", 20000, 10) + ";";
  Outcome o = TRANSLATEIN(MODEL(code));
  EXPECTSTOPPED(o);
  std::string shallower = "     X := \n" + LINES("ABS(", 2500, 10) + "1" + LINES(")", 2500, 10) + ";";
  EXPECT_EQ(PLACE(TRANSLATEIN(MODEL(shallower))), PLACE(o));
}

TEST(Nesting, SeventyThousandIfStatementsStop) {
  Outcome o = TRANSLATEIN(MODEL(LINES("IF X > 0 THEN ", 70000, 4) + "     X := 1;"));
  EXPECTSTOPPED(o);
  EXPECT_EQ(PLACE(TRANSLATEIN(MODEL(LINES("IF X > 0 THEN ", 2100, 4) + "     X := 1;"))),
            PLACE(o));
}

TEST(Nesting, AHundredThousandBeginBlocksStop) {
  EXPECTSTOPPED(TRANSLATEIN(
      MODEL(LINES("BEGIN ", 100000, 10) + "     X := 1\n" + LINES(" END", 100000, 10) + ";")));
}

TEST(Nesting, AHundredThousandWhileLoopsStop) {
  EXPECTSTOPPED(TRANSLATEIN(MODEL(LINES("WHILE X > 0 DO ", 100000, 4) + "     X := 1;")));
}

TEST(Nesting, NestedTypesAndConstantListsStop) {
  std::string records = "TYPE T = \n" + LINES("RECORD A: ", 50000, 5) + "     REAL;\n" +
                        LINES(" END;", 50000, 10) + "VAR X: REAL;\n";
  EXPECTSTOPPED(TRANSLATEIN(MODEL("     X := 1;", records)));
  std::string fields = "VAR V: \n" + LINES("RECORD A: ", 50000, 5) + "     REAL;\n" +
                       LINES(" END;", 50000, 10) + "VAR X: REAL;\n";
  EXPECTSTOPPED(TRANSLATEIN(MODEL("     X := 1;", fields)));
  std::string arrays = "TYPE T = \n" + LINES("ARRAY[1..2] OF ", 50000, 4) + "     REAL;\n" +
                       "VAR X: REAL;\n";
  EXPECTSTOPPED(TRANSLATEIN(MODEL("     X := 1;", arrays)));
  std::string lists = "CONST C: ARRAY[1..1] OF REAL = \n" + LINES("(", 50000, 10) + "     1\n" +
                      LINES(")", 50000, 10) + "     ;\nVAR X: REAL;\n";
  EXPECTSTOPPED(TRANSLATEIN(MODEL("     X := 1;", lists)));
}

// Far deeper than any model written by hand, well within the limit.
TEST(Nesting, FiveHundredLevelsTranslate) {
  Outcome o = TRANSLATEIN(MODEL(PARENS(500)));
  EXPECT_EQ(o.code, 0) << o.err;
  o = TRANSLATEIN(MODEL(LINES("IF X > 0 THEN ", 500, 4) + "     X := 1;"));
  EXPECT_EQ(o.code, 0) << o.err;
  o = TRANSLATEIN(MODEL(LINES("BEGIN ", 500, 10) + "     X := 1\n" + LINES(" END", 500, 10) + ";"));
  EXPECT_EQ(o.code, 0) << o.err;
}

}  // namespace
