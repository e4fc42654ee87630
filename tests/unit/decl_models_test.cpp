// Whole models through the line store, the section finder and the
// declaration pass: PRU.PAS receives the declarations as the copy rules
// give them, and the names and types are recorded.
#include <gtest/gtest.h>
#include "decl_testrun.h"

namespace {

const std::string& INTERFACE = PRUINTERFACE;

// Until VAR the lines are copied whole, exactly as written; from VAR on
// they are transmitted, each after the pending (empty) output line.
TEST(DeclModels, LineCopyKeepsTheTextAsWritten) {
  DeclRun d(MODELTEXT("decl_plain.tlv"));
  ASSERT_EQ(d.sections, "");
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.decls(),
            "unit pru;interface uses rtdefs,rtmath,rtshell,rtdlg,rtdist,rtplot,Dialogs;\n" +
                INTERFACE +
                "type\n"
                "  shade = (light, dark);   { colours of a job }\n"
                "  table = array[1..4, 0..2] of real;\n"
                "const limit = 40; (* jobs at most *)\n"
                "  names : array[1..2] of string[8] = ('first',\n"
                "                                      'second');\n"
                "\nvar \n"
                "\n  t : table; \n");
  EXPECT_EQ(d.entry("LIGHT")->TIPO, "SHADE");
  EXPECT_EQ(d.entry("LIMIT")->TIPO, "INTEGER");
  EXPECT_EQ(d.entry("NAMES")->TIPO, "ARRAY");
  EXPECT_EQ(d.entry("T")->NSUB, 2);
}

TEST(DeclModels, MixedClassesWithUsesGpointerContAndAbsolute) {
  DeclRun d(MODELTEXT("decl_mixed.tlv"));
  ASSERT_EQ(d.sections, "");
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.decls(),
            "unit pru;interface uses rtdefs,rtmath,rtshell,rtdlg,rtdist,rtplot,Dialogs,\n"
            "GRAPH;\n" +
                INTERFACE +
                " \nCONST \n"
                "\n  NMAX = 10; \n"
                "\n  RATE = 2.5; \n"
                "\n  HEADING = 'Workshop'; \n"
                "\nTYPE \n"
                "\n  INDEX = 1..10; \n"
                "\n  VEC = ARRAY[1..10] OF REAL; \n"
                "\n  COLOR = (RED, GREEN, BLUE); \n"
                "\n  PJOB = ^JOB; \n"
                "\n  JOB = RECORD \n"
                "\n    ID : INTEGER; \n"
                "\n    NAME : STRING[20]; \n"
                "\n    SHADE : COLOR; \n"
                "\n  END; \n"
                "\nVAR \n"
                "  LEVEL, FLOW : REAL;\n \n"
                "\n  COUNTS : ARRAY[1..3, 1..2] OF INTEGER; \n"
                "\n  CURRENT : PJOB; \n"
                "  HOLD : _pl;B_HOLD:_pl;\n \n"
                "\n  LOWWORD : WORD ABSOLUTE COUNTS; \n"
                "\n  W : VEC; \n"
                "\nCONST \n"
                "\n  WEIGHTS : ARRAY[1..3] OF REAL = (0.5, -1, 2E1); \n"
                "\nTYPE \n"
                "\n  SMALL = SET OF 0..7; \n"
                "\nVAR \n"
                "\n  FLAGS : SMALL; \n"
                "\n  SPOT : RECORD X, Y : REAL END; \n");
  EXPECT_EQ(d.c.decl.USESLIST, std::vector<std::string>{"GRAPH"});
  NameNode* current = d.entry("CURRENT");
  EXPECT_EQ(current->TYPTYP, "POINTER");
  EXPECT_EQ(d.entry("SHADE", current->FIELDS)->TIPO, "COLOR");
  EXPECT_EQ(d.entry("B_HOLD")->TIPO, "GPOINTER");
  EXPECT_EQ(d.entry("LEVEL")->TYPTYP, "REAL");
  EXPECT_EQ(d.entry("W")->NSUB, 1);
  EXPECT_NE(d.entry("Y", d.entry("SPOT")->FIELDS), nullptr);
  EXPECT_EQ(FINDTYPE(d.c, "SMALL")->TIPO, "SET");
  EXPECT_EQ(FINDTYPE(d.c, "INDEX")->TIPO, "SUBRA");
  // The network was organised after END.: its tables follow.
  EXPECT_NE(d.pru().find("const _nno:array[1..3] of string[12]=('ARRIVE','DESK','LEAVE');"),
            std::string::npos);
}

}  // namespace
