// The PROCEDURES class through the declaration pass: headings in the
// interface of pru, the routines' text in MODPRP, parameters and locals
// in the units of their routines, FORWARD, and the class's errors.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

struct ProcRun : DeclRun {
  explicit ProcRun(const std::string& decl) : DeclRun(DECLMODEL(decl)) {}
  // PRU.PAS after the network tables: what PROCEDURES adds to the interface.
  std::string interface() {
    std::string t = pru();
    size_t p = t.find('\n', t.find("const _n_ft:"));
    return p == std::string::npos ? "" : t.substr(p + 1);
  }
  std::string modprp() {
    CLOSECH(c, CH_MODPRP);
    return WRITTEN(c, dir, "MODPRP");
  }
  NameNode* seen(const std::string& name, const std::string& scope) {
    return SEENFROM(c, name, scope);
  }
};

// The PROCEDURES line itself leaves a blank line in the interface.
const std::string AFTERKEYWORD = "\n \n\n";

TEST(Procedures, ProcedureAndFunctionWithParameters) {
  ProcRun d(
      "VAR\n"
      "  TOTAL : REAL;\n"
      "PROCEDURES\n"
      "PROCEDURE ADD(A, B : REAL);\n"
      "VAR S : REAL;\n"
      "BEGIN\n"
      "  S := A + B;\n"
      "  TOTAL := TOTAL + S\n"
      "END;\n"
      "FUNCTION TWICE(X : REAL) : REAL;\n"
      "BEGIN\n"
      "  TWICE := 2 * X\n"
      "END;");
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.interface(), AFTERKEYWORD +
                               "PROCEDURE ADD(A, B : REAL); \n"
                               "FUNCTION TWICE(X : REAL) : REAL; \n");
  EXPECT_EQ(d.modprp(),
            "\nPROCEDURE ADD(A, B : REAL); \n"
            "\nVAR S : REAL; \n"
            "\nBEGIN \n"
            "\n  S := A + B; \n"
            "\n  TOTAL := TOTAL + S \n"
            "\nEND; \n"
            "\nFUNCTION TWICE(X : REAL) : REAL; \n"
            "\nBEGIN \n"
            "\n  TWICE := 2 * X \n"
            "\nEND; \n"
            "\n");
  NameNode* add = d.entry("ADD");
  ASSERT_TRUE(add);
  EXPECT_EQ(add->TIPO, "PROCP");
  EXPECT_EQ(add->COUNT, 2);
  EXPECT_EQ(d.c.names.UNITOF(add), "MAIN");
  NameNode* twice = d.entry("TWICE");
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->TIPO, "FUNP");
  EXPECT_EQ(twice->COUNT, 1);
  EXPECT_EQ(twice->TYPEL, "REAL");
  // Parameters and locals belong to their routine only.
  ASSERT_TRUE(d.seen("S", "ADD"));
  EXPECT_EQ(d.seen("S", "ADD")->TIPO, "REAL");
  EXPECT_FALSE(d.seen("S", "MAIN"));
  EXPECT_FALSE(d.seen("A", "TWICE"));
  EXPECT_TRUE(d.c.prog.HASPROCS);
  EXPECT_EQ(d.c.names.SCOPE, "MAIN");
  EXPECT_EQ(d.c.out.CURCH, CH_PRU);
  EXPECT_FALSE(d.c.src.INPROC);
  EXPECT_FALSE(d.c.src.PROCHEAD);
}

// FORWARD: the heading goes to the interface once, without FORWARD, and
// nowhere in the implementation; the definition's short heading only to
// MODPRP. A local X of REAL shadows the global INTEGER X; a heading with
// its body on one line still reaches the interface.
TEST(Procedures, ForwardLocalsAndOneLineRoutines) {
  ProcRun d(
      "VAR\n"
      "  X : INTEGER;\n"
      "PROCEDURES\n"
      "PROCEDURE LATER(N : INTEGER); FORWARD;\n"
      "PROCEDURE FIRST; VAR X : REAL; BEGIN X := 1.5; LATER(2) END;\n"
      "PROCEDURE LATER;\n"
      "BEGIN\n"
      "  X := N\n"
      "END;");
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.interface(), AFTERKEYWORD +
                               "PROCEDURE LATER(N : INTEGER); \n"
                               "PROCEDURE FIRST; \n");
  EXPECT_EQ(d.modprp(),
            "\n \n"
            "PROCEDURE FIRST; VAR X : REAL; BEGIN X := 1.5; LATER(2)\n"
            " END; \n"
            "\nPROCEDURE LATER; \n"
            "\nBEGIN \n"
            "\n  X := N \n"
            "\nEND; \n"
            "\n");
  NameNode* later = d.entry("LATER");
  ASSERT_TRUE(later);
  EXPECT_EQ(later->COUNT, 1);
  EXPECT_FALSE(later->FLAG2);  // defined now
  ASSERT_TRUE(d.seen("X", "FIRST"));
  EXPECT_EQ(d.seen("X", "FIRST")->TIPO, "REAL");
  EXPECT_EQ(d.c.names.UNITOF(d.seen("X", "FIRST")), "FIRST");
  EXPECT_EQ(d.seen("X", "MAIN")->TIPO, "INTEGER");
  // LATER's parameter is seen from its definition.
  ASSERT_TRUE(d.seen("N", "LATER"));
  EXPECT_EQ(d.seen("N", "LATER")->TIPO, "INTEGER");
}

// A procedure variable named in the class, then called in a body.
TEST(Procedures, ProcedureVariableCall) {
  ProcRun d(
      "TYPE\n"
      "  ACTION = PROCEDURE(N : INTEGER);\n"
      "VAR\n"
      "  DOIT : ACTION;\n"
      "PROCEDURES\n"
      "PROCEDURE DOIT;\n"
      "PROCEDURE RUN;\n"
      "BEGIN\n"
      "  DOIT(3);\n"
      "END;");
  ASSERT_EQ(d.run(), "");
  // The variable named again declares nothing.
  EXPECT_EQ(d.interface(), AFTERKEYWORD + "PROCEDURE RUN; \n");
  EXPECT_EQ(d.modprp(),
            "\nPROCEDURE RUN; \n"
            "\nBEGIN \n"
            "\n  DOIT(3); \n"
            "\nEND; \n"
            "\n");
}

// The errors of the procedure class with their positions are the cases of
// tests/procedure_errors.

// An empty class is accepted and leaves no routine to assemble.
TEST(Procedures, EmptyClass) {
  ProcRun d("PROCEDURES");
  ASSERT_EQ(d.run(), "");
  EXPECT_FALSE(d.c.prog.HASPROCS);
}

}  // namespace
