// Checks of newly declared names and of the end of a declaration.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

struct DeclCheckTest : ::testing::Test {
  TestRun r;
  Source& s = r.c.src;
  void source(const std::string& body) {
    r.load("model\n" + body + "\nEND.\n");
    s.PL = 1;
    s.LB = 2;
    s.K = 0;
  }
  std::string check(const std::string& word) {
    source(word);
    RECID(r.c);
    return r.error([&] { CHKNAME(r.c); });
  }
};

TEST_F(DeclCheckTest, ReservedWordsOfEveryKind) {
  for (const char* w : {"DIV", "WHILE", "SENDTO", "EXPO", "MESSAGES", "REAL",
                        "GPOINTER", "PROGRAM", "FUNCTION"})
    EXPECT_EQ(check(w), "reserved word used as identifier") << w;
  EXPECT_EQ(check("COUNTER"), "");
}

TEST_F(DeclCheckTest, NodeNamesAreRefusedFirst) {
  NodeRecord queue;
  queue.NOM = "QUEUE";
  ADDNODE(r.c.model, queue);
  EXPECT_EQ(check("QUEUE"), "node name used as identifier");
}

TEST_F(DeclCheckTest, ClassKeywords) {
  source("STATISTICS END. other");
  RECID(r.c);
  BUCLADE(r.c);
  EXPECT_TRUE(r.c.decl.CLASSFOUND);
  EXPECT_EQ(r.c.decl.CLASSIDX, 8);
  RECID(r.c);
  BUCLADE(r.c);
  EXPECT_EQ(r.c.decl.CLASSIDX, 14);
  RECID(r.c);
  BUCLADE(r.c);
  EXPECT_FALSE(r.c.decl.CLASSFOUND);
  EXPECT_EQ(r.c.decl.CLASSIDX, 15);
}

TEST_F(DeclCheckTest, EndOfDeclarationWithAbsolute) {
  source("X : WORD ABSOLUTE Y; NEXT");
  RECID(r.c);  // X
  RECID(r.c);  // ':'
  s.K++;
  RECID(r.c);  // WORD
  EXPECT_EQ(r.error([&] { BUSPOCO(r.c); }), "");
  EXPECT_EQ(s.IDENT, "NEXT");
}

TEST_F(DeclCheckTest, EndOfDeclarationErrors) {
  source("WORD ABSOLUTE ;");
  RECID(r.c);
  EXPECT_EQ(r.error([&] { BUSPOCO(r.c); }), "invalid expression after absolute");
  source("WORD , X");
  RECID(r.c);
  EXPECT_EQ(r.error([&] { BUSPOCO(r.c); }), "; or = expected after declaration");
}

}  // namespace
