// Type list: predefined numbers, model types, lookup misses, the class code
// table, the I/O words and the predefined names.
#include <gtest/gtest.h>

#include "support/support.h"

namespace {

struct Types : ::testing::Test {
  TestRun r;
  void SetUp() override { BUILDTYPES(r.c); }
  int LOOK(const std::string& name) {
    r.c.src.IDENT = name;
    TYPELOOK(r.c);
    return r.c.names.TYPENO;
  }
  // Looks name up from the main unit.
  NameNode* NAME(const std::string& name) {
    r.c.names.SCOPE = "MAIN";
    r.c.src.IDENT = name;
    BUSIDAR1(r.c);
    return r.c.names.FOUND ? r.c.names.CURENT : nullptr;
  }
};

TEST_F(Types, PredefinedTypesComeFirstAndModelTypesFollow) {
  ASSERT_EQ(r.c.names.TYPES.size(), 21u);
  EXPECT_EQ(LOOK("ARRAY"), 1);
  EXPECT_EQ(LOOK("GPOINTER"), 10);
  EXPECT_EQ(LOOK("BEGIN"), 21);
  EXPECT_FALSE(r.c.src.NOTFOUND);
  EXPECT_EQ(r.c.names.TYPEREC->TIPO, "BEGIN");
  r.c.src.IDENT = "BEGIN";
  EXPECT_EQ(TYPELOOK(r.c), &r.c.names.TYPES[20]);
  r.c.src.IDENT = "NOSUCHTYPE";
  EXPECT_EQ(TYPELOOK(r.c), nullptr);
  EXPECT_EQ(r.c.names.LASTTYPE->NOM, "BEGIN");

  Names& n = r.c.names;
  n.NSUB = 2;
  n.BOUNDS = {{1, 3}, {1, 4}};
  n.TYPEL = "REAL";
  TYPEADD(r.c, "MATRIX", "ARRAY");
  EXPECT_EQ(n.LASTTYPE->NOM, "MATRIX");
  EXPECT_EQ(LOOK("MATRIX"), 22);
  EXPECT_EQ(n.TYPEREC->TIPO, "ARRAY");
  EXPECT_EQ(n.TYPEREC->NSUB, 2);
  EXPECT_EQ(n.TYPEREC->BOUNDS[1].MAX, 4);
  EXPECT_EQ(n.TYPEREC->TYPEL, "REAL");

  TYPEADD(r.c, std::string(30, 'T'), "SET");
  EXPECT_EQ(LOOK(std::string(30, 'T')), 23);
}

TEST_F(Types, AMissLeavesNoRecordAndCountsPastTheEnd) {
  TYPEADD(r.c, "OWN", "RECORD");
  r.c.src.NOTFOUND = false;
  EXPECT_EQ(LOOK("UNDECLARED"), 23);
  EXPECT_TRUE(r.c.src.NOTFOUND);
  EXPECT_EQ(r.c.names.TYPEREC, nullptr);
}

TEST_F(Types, ClassCodesByTypeNumber) {
  const int expect[32] = {0, 0, 0, 0, 0, 6, 2, 1, 1, 4, 1, 6, 0, 0, 0, 0,
                          0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  for (int i = 1; i <= 31; ++i) {
    EXPECT_EQ(r.c.names.TYPECODE[i], expect[i]) << i;
    EXPECT_EQ(TYPECODEOF(r.c, i), expect[i]) << i;
  }
  EXPECT_EQ(TYPECODEOF(r.c, 40), 1);  // model types past the table
}

TEST_F(Types, InputOutputWords) {
  for (std::string w : {"WRITELN", "WRITE", "READLN", "READ", "FILE"}) {
    r.c.src.NOTFOUND = true;
    r.c.src.IDENT = w;
    IOWORD(r.c);
    EXPECT_FALSE(r.c.src.NOTFOUND) << w;
  }
  for (std::string w : {"WRITELNX", "REA"}) {
    r.c.src.NOTFOUND = true;
    r.c.src.IDENT = w;
    IOWORD(r.c);
    EXPECT_TRUE(r.c.src.NOTFOUND) << w;
  }
}

TEST_F(Types, PredefinedNamesCarryTypeCodeAndSubscripts) {
  PREDEF(r.c);
  Names& n = r.c.names;
  EXPECT_FALSE(n.DIRECTADD);
  EXPECT_TRUE(n.GROUP.empty());
  EXPECT_EQ(n.ROOT->NOM, "NIL");

  NameNode* pmess = NAME("PMESS");
  ASSERT_TRUE(pmess);
  EXPECT_EQ(r.c.src.TIPO, "GPOINTER");
  EXPECT_EQ(pmess->TYPTYP, "POINTER");
  EXPECT_EQ(NAME("O_PMESS")->TYPTYP, "POINTER");
  NameNode* nil = NAME("NIL");
  EXPECT_EQ(nil->TIPO, "POINTER");
  EXPECT_EQ(nil->TYPTYP, "");
  EXPECT_EQ(nil->CODE, 4);
  EXPECT_EQ(NAME("EREL")->CODE, 6);
  EXPECT_EQ(NAME("USE")->CODE, 2);

  EXPECT_EQ(NAME("SENT")->NSUB, 0);
  EXPECT_EQ(NAME("RN")->NSUB, 1);
  EXPECT_EQ(NAME("O_PMESS")->NSUB, 1);

  int count = 0;
  WALKTREE(n.ROOT, [&](NameNode* e) {
    ++count;
    EXPECT_EQ(n.UNITOF(e), "MAIN");
    EXPECT_FALSE(e->MSG);
  });
  EXPECT_EQ(count, 55);
}

TEST_F(Types, ModelNamesMayNotRepeatPredefinedOnesInTheMainUnit) {
  PREDEF(r.c);
  EXPECT_EQ(r.error([&] { STVNAME(r.c, true, "TIME"); }),
            "duplicated name TIME");
  r.c.names.SCOPE = "P";
  r.c.src.INPROC = true;
  STVNAME(r.c, true, "TIME");
  EXPECT_EQ(NAME("TIME")->SYN, r.c.names.NEWENTRY);
}

TEST_F(Types, PredefTraceDumpsTheTreeInOrder) {
  TestRun t(true);
  PREDEF(t.c);
  const std::string out = t.out.str();
  size_t first = out.find("DSEG WORD 2\nEABS REAL 6\n");
  EXPECT_NE(first, std::string::npos);
  EXPECT_NE(out.find("WINDOWWIDTH WORD 2\nXT REAL 6\n_FF POINTER 2\n"),
            std::string::npos);
}

}  // namespace
