// Pascal control statements and procedure calls: accepted forms pass to
// the output unchanged, misplaced keywords are reported where they stand;
// DONODE and DOEVENT get their guard.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

// A model's sections found and channels 4 (node code) and 6 (INIT) open,
// as the node and INIT passes have them.
struct Control : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Source& s = c.src;

  // Each model gets a fresh compiler.
  void model(const std::string& text) {
    INITSTATE(c);
    for (size_t& n : seen) n = 0;
    c.drv.root = dir.str();
    r.load(text);
    BUNET(c);
    BUSECT(c);
    PREDEF(c);
    BINDCH(c, 4, "unit.pas");
    CREATECH(c, 4);
    BINDCH(c, 6, "MODIN1");
    CREATECH(c, 6);
  }
  // A model of one node G1 with the given code, then E1 and INIT.
  void code(const std::string& text, const std::string& init = "") {
    model("model\nNETWORK\nG1 (G) ::\n" + text + "\nE1 (E) ::\nINIT\n" + init +
          "\nDECL\nEND.\n");
  }
  NameNode* var(const std::string& name, const std::string& tipo,
                const std::string& typtyp = "", int nsub = 0) {
    c.names.DIRECTADD = true;
    s.TIPO = tipo;
    STVNAME(c, true, name);
    c.names.DIRECTADD = false;
    c.names.LASTDIRECT->TYPTYP = typtyp;
    c.names.LASTDIRECT->NSUB = nsub;
    return c.names.LASTDIRECT;
  }
  // Translates the whole code of a node; returns the model error or "".
  std::string node(const std::string& name = "G1") {
    Model& m = c.model;
    int i = m.NODENUM.at(name);
    const NodeRecord& n = m.NodeTable[i];
    s.PL = n.CODEPL;
    s.LB = n.CODELINE;
    s.K = n.C;
    c.stmt.LBF = i < m.NodeCount ? m.NodeTable[i + 1].L : m.SectionLine[2];
    c.stmt.CURNODE = i;
    c.stmt.CURNODENUM = std::to_string(i);
    c.stmt.HASLABELS = !n.LABELS.empty();
    c.stmt.INITMODE = false;
    return block(4);
  }
  // The INIT section, up to DECL.
  std::string init() {
    Model& m = c.model;
    s.PL = m.SectionLine[2] - 1;
    s.LB = m.SectionLine[2];
    s.K = 1;
    RECID(c);
    c.stmt.LBF = m.SectionLine[3];
    c.stmt.INITMODE = true;
    c.stmt.CURNODE = 0;
    return block(6);
  }
  std::string block(int ch) {
    c.out.CURCH = ch;
    c.out.TRANSMIT = true;
    c.out.TRSTART = s.K;
    return r.error([&] {
      while (s.LB < c.stmt.LBF) PRINS(c);
    });
  }
  // What the channel received since the last look.
  std::string out(int ch = 4) {
    if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
    std::fflush(c.out.ch[ch].f.get());
    std::string t = dir.read(ch == 4 ? "unit.pas" : "MODIN1");
    std::string fresh = t.substr(seen[ch]);
    seen[ch] = t.size();
    return fresh;
  }
  size_t seen[NCHANNELS + 1] = {};
  std::string where() const {
    return std::to_string(r.lastError.line) + ":" + std::to_string(r.lastError.column);
  }
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
    std::string t = out(), r;
    for (char ch : t)
      if (ch != '\n') r += ch;
    return r;
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
