// Pascal control statements and procedure calls: accepted forms pass to
// the output unchanged, misplaced keywords are reported where they stand;
// DONODE and DOEVENT get their guard.
#include <gtest/gtest.h>
#include "stmt_testrun.h"

namespace {

struct Control : Translate {
  // One node's code with the usual variables; returns the model error.
  std::string run(const std::string& text) {
    code(text);
    for (const char* v : {"A", "B"}) var(v, "BOOLEAN");
    for (const char* v : {"X", "I", "N"}) var(v, "INTEGER");
    for (const char* v : {"S", "T"}) var(v, "STRING");
    var("CH", "CHAR");
    var("F", "FILE");
    return node();
  }
  // The node's code as transmitted, line ends dropped.
  std::string text() {
    std::string t = out(), joined;
    for (char ch : t)
      if (ch != '\n') joined += ch;
    return joined;
  }
};

TEST_F(Control, IfWhileFor) {
  const char* ok[] = {
      "  IF a THEN x := 1 ELSE x := 2;",
      "  IF a THEN IF b THEN x := 1 ELSE x := 2 ELSE x := 3;",
      "  WHILE x < 3 DO x := x + 1;",
      "  FOR i := 1 TO 5 DO x := x + i;",
      "  FOR i := 5 DOWNTO 1 DO BEGIN x := i; x := x * 2 END;",
  };
  for (const char* t : ok) {
    EXPECT_EQ(run(t), "") << t;
    EXPECT_EQ(text(), std::string(" ") + t + " ") << t;
  }
}

TEST_F(Control, MisplacedKeywords) {
  EXPECT_EQ(run("  IF a := 1;"), "THEN missing or misplaced");
  EXPECT_EQ(where(), "4:9");
  EXPECT_EQ(run("  WHILE a THEN x := 1;"), "DO missing or misplaced");
  EXPECT_EQ(where(), "4:15");
  EXPECT_EQ(run("  FOR i := 1 DO x := 1;"), "TO or DOWNTO expected");
  EXPECT_EQ(where(), "4:16");
  EXPECT_EQ(run("  FOR i := 1 TO 5 THEN x := 1;"), "DO expected");
  EXPECT_EQ(where(), "4:23");
  // an unknown word after an operand is already refused by the expression
  for (const char* t : {"  IF a b := 1;", "  FOR i := 1 UPTO 5 DO x := 1;",
                        "  FOR i := 1 TO 5 x := 1;"})
    EXPECT_EQ(run(t), "invalid character following factor or missing separator") << t;
}

TEST_F(Control, CompoundAndRepeat) {
  EXPECT_EQ(run("  BEGIN x := 1 END y"), "incorrect compound statement");
  EXPECT_EQ(where(), "4:21");
  EXPECT_EQ(run("  IF a THEN BEGIN x := 1 END ELSE x := 2;"), "");
  EXPECT_EQ(run("  BEGIN BEGIN x := 1; END; x := 2 END;"), "");
  EXPECT_EQ(c.stmt.BEGINDEPTH, 0);
  EXPECT_EQ(run("  REPEAT x := x + 1; i := 2 UNTIL x > 3;"), "");
  EXPECT_EQ(run("  REPEAT x := x + 1; UNTIL x > 3;"), "");
  EXPECT_EQ(run("  x := 2 UNTIL x > 3;"), "invalid character following factor or missing separator");
  EXPECT_EQ(run("  BEGIN REPEAT x := 1 UNTIL x = 1 END;"), "");
  EXPECT_EQ(c.stmt.REPEATDEPTH, 0);
  EXPECT_EQ(text(), "   BEGIN REPEAT x := 1 UNTIL x = 1 END; ");
}

TEST_F(Control, Case) {
  const char* ok[] = {
      "  CASE n OF 1, 2: x := 1; END;",
      "  CASE n OF 1: x := 1; 2: x := 2 END;",
      "  CASE n OF 1: x := 1 ELSE x := 2 END;",
      "  CASE n OF 1: x := 1; ELSE x := 2; END;",
      "  CASE ch OF 'a', '''': x := 1; 'b': BEGIN x := 2 END; END;",
      "  BEGIN CASE n OF 1: x := 1; END END;",
      "  IF a THEN CASE n OF 1: x := 1 END ELSE x := 2;",
  };
  for (const char* t : ok) {
    EXPECT_EQ(run(t), "") << t;
    EXPECT_EQ(text(), std::string(" ") + t + " ") << t;
    EXPECT_EQ(c.stmt.CASEDEPTH, 0) << t;
  }
  EXPECT_EQ(run("  CASE ch OF 'ab': x := 1; END;"), "illegal CASE list");
  EXPECT_EQ(where(), "4:18");
  EXPECT_EQ(run("  CASE n OF 1..5: x := 1; END;"), "illegal CASE list");
  EXPECT_EQ(run("  CASE n OF 1 2: x := 1; END;"), "illegal CASE list");
  EXPECT_EQ(run("  CASE n OF -1: x := 1; END;"), "identifier expected");
  EXPECT_EQ(run("  CASE n DO 1: x := 1; END;"), "OF expected");
  EXPECT_EQ(run("  CASE n OF 1: x := 1; ELSE x := 2; x := 3;"), "END expected");
  EXPECT_EQ(run("  CASE n OF 1: x := 1; END x := 2;"), "; or END or ELSE expected");
  EXPECT_EQ(where(), "4:29");
}

TEST_F(Control, Goto) {
  model("model\nNETWORK\nG1 (G) LABEL 10; ::\n  10: GOTO 10; GOTO 99;\nINIT\nDECL\nEND.\n");
  EXPECT_EQ(node(), "label not declared");
  EXPECT_EQ(where(), "4:23");
}

TEST_F(Control, PascalProcedures) {
  EXPECT_EQ(run("  STR(x, s); RESET(f, 1); REWRITE(f); CLRSCR; GOTOXY(1, x) END"), "");
  EXPECT_EQ(text(), "   STR(x, s); RESET(f, 1); REWRITE(f); CLRSCR; GOTOXY(1, x) END ");
  EXPECT_EQ(c.names.NOMFUNPG, " ");
  EXPECT_FALSE(c.expr.INARGS);
  EXPECT_EQ(run("  STR(x, s, t);"), ") missing or number of parameters incorrect");
  EXPECT_EQ(where(), "4:12");
  EXPECT_EQ(run("  RESET(f, 1, 2);"), ") missing or number of parameters incorrect");
  EXPECT_EQ(run("  CLRSCR();"), "; expected");
  EXPECT_EQ(where(), "4:9");
  EXPECT_EQ(run("  STR x;"), "( expected");
  EXPECT_EQ(run("  STR(x, s) y"), "END o ELSE expected");
}

TEST_F(Control, GuardedStatements) {
  EXPECT_EQ(run("  DOEVENT x := 1; DONODE BEGIN x := 2 END;"), "");
  EXPECT_EQ(out(),
            "\n \n  \nif _ci1 then  x := 1;\n \n"
            "if (_n=1) and _ci1 or (ino<0) then  BEGIN x := 2 END;\n\n \n");
}

}  // namespace
