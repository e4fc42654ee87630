// Identifier classification: the rule order and the effects of the rules
// that act at once.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

struct ClassifyTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  Source& s = r.c.src;
  void source(const std::string& body) {
    r.load("model\n" + body + "\nEND.\n");
    s.PL = 1;
    s.LB = 2;
    s.K = 0;
  }
  // Reads the next token and classifies it.
  int next() {
    RECID(r.c);
    return RULENO(CLASIFY(r.c));
  }
  void declare(const std::string& name, const std::string& type) {
    r.c.names.DIRECTADD = true;
    s.TIPO = type;
    STVNAME(r.c, true, name);
    r.c.names.DIRECTADD = false;
  }
};

TEST_F(ClassifyTest, VariableComesBeforeFunction) {
  declare("EXPO", "REAL");
  source("EXPO");
  EXPECT_EQ(next(), 2);
  EXPECT_EQ(s.TIPO, "REAL");
}

TEST_F(ClassifyTest, TsimIsDeclaredOnFirstUse) {
  source("TSIM TSIM");
  EXPECT_EQ(next(), 8);
  EXPECT_EQ(s.TIPO, "TSIM");
  EXPECT_EQ(r.c.names.RECNAME, "TSIM");
  EXPECT_FALSE(r.c.names.DIRECTADD);
  EXPECT_EQ(next(), 2);
  EXPECT_EQ(s.TIPO, "REAL");
}

TEST_F(ClassifyTest, RandKeepsTheWordOfTheLastLookup) {
  source("RAND");
  EXPECT_EQ(next(), 23);
  EXPECT_EQ(s.TIPO, "PROPA");
}

TEST_F(ClassifyTest, SameSpecialCharacterTwiceIsIllegal) {
  source("; ;");
  EXPECT_EQ(next(), 1);
  EXPECT_EQ(s.TIPO, "CAR.");
  s.K++;  // consumed: the next one is at another column
  EXPECT_EQ(next(), 1);
  EXPECT_EQ(r.error([&] { next(); }), "illegal character");
  EXPECT_EQ(r.lastError.column, 3);
}

TEST_F(ClassifyTest, ValuedFunctionInInitTextIsOnlyClassified) {
  FUNVADD(r.c, "DEMAND");
  r.c.out.CURCH = CH_MODIN1;
  source("DEMAND(3)");
  EXPECT_EQ(next(), 28);
  EXPECT_EQ(s.TIPO, "FUNV");
}

TEST_F(ClassifyTest, TheRuleIsReturnedByName) {
  declare("QLEN", "INTEGER");
  source("QLEN 'x' 2.5 RAND ;");
  std::vector<ClassRule> rules;
  for (int i = 0; i < 5; ++i) {
    RECID(r.c);
    rules.push_back(CLASIFY(r.c));
    EXPECT_EQ(s.KC, rules.back());
  }
  EXPECT_EQ(rules, (std::vector<ClassRule>{ClassRule::Variable, ClassRule::String,
                                           ClassRule::Number, ClassRule::Rand,
                                           ClassRule::Character}));
}

TEST_F(ClassifyTest, FixedWordsAndLiterals) {
  source("123 'txt' TRUE UNTIL NT EXPER ENDEXP REPORT ENDREPORT END");
  EXPECT_EQ(next(), 11);
  EXPECT_EQ(s.TIPO, "NUMERO");
  EXPECT_EQ(next(), 7);
  EXPECT_EQ(s.TIPO, "");
  EXPECT_EQ(next(), 12);
  EXPECT_EQ(s.TIPO, "CONST.LOG");
  EXPECT_EQ(next(), 9);  // UNTIL is a statement word first
  EXPECT_EQ(next(), 14);
  EXPECT_EQ(s.TIPO, "NT");
  EXPECT_EQ(next(), 18);
  EXPECT_EQ(s.TIPO, "EXP.");
  EXPECT_EQ(next(), 19);
  EXPECT_EQ(next(), 26);
  EXPECT_EQ(next(), 27);
  EXPECT_EQ(next(), 3);  // END is an operator word first
  EXPECT_EQ(s.TIPO, "SEP");
}

TEST_F(ClassifyTest, VocabularyWords) {
  source("IN WHILE ACT WRITELN CLRSCR");
  EXPECT_EQ(next(), 3);
  EXPECT_EQ(s.TIPO, "SEP");
  EXPECT_EQ(next(), 9);
  EXPECT_EQ(s.TIPO, "INS.ESTR.");
  EXPECT_EQ(next(), 15);
  EXPECT_EQ(s.TIPO, "PROCG");
  EXPECT_EQ(next(), 17);
  EXPECT_EQ(s.TIPO, "PRWR");
  EXPECT_EQ(next(), 21);
  EXPECT_EQ(s.TIPO, "PROPA");
}

TEST_F(ClassifyTest, NodesAndTables) {
  NodeRecord queue;
  queue.NOM = "QUEUE";
  ADDNODE(r.c.model, queue);
  r.c.expr.TABLES.push_back({"T1", "WAITS"});
  source("QUEUE WAITS");
  EXPECT_EQ(next(), 4);
  EXPECT_EQ(s.TIPO, "NODO");
  EXPECT_EQ(r.c.model.NODEIDX, 1);
  EXPECT_EQ(next(), 6);
  EXPECT_EQ(s.TIPO, "TABLA");
}

TEST_F(ClassifyTest, UnknownIdentifierHasTwoBlanks) {
  source("NOSUCH");
  EXPECT_EQ(r.error([&] { next(); }), "unknown  identifier NOSUCH");
}

TEST_F(ClassifyTest, DbaseVariableIsWrittenInItsGeneratedForm) {
  r.c.drv.root = dir.str();
  BINDCH(r.c, CH_NODE, "unit");
  CREATECH(r.c, CH_NODE);
  declare("CLI_AGE", "REAL");
  r.c.names.LASTDIRECT->DB = true;
  r.c.out.CURCH = CH_NODE;
  r.c.out.TRSTART = 1;
  source("x := CLI_AGE + 1;");
  RECID(r.c);
  RECID(r.c);  // stands on ":="
  s.K += 2;
  EXPECT_EQ(next(), 2);
  EXPECT_EQ(r.c.out.TRSTART, s.K);
  EXPECT_TRUE(r.c.out.TRANSMIT);
  CLOSECH(r.c, CH_NODE);
  EXPECT_EQ(WRITTEN(r.c, dir, "unit"), "x := AGE.CLI^\n");
}

TEST_F(ClassifyTest, TraceNamesTheClass) {
  TestRun t(true);
  t.c.names.DIRECTADD = true;
  t.c.src.TIPO = "INTEGER";
  STVNAME(t.c, true, "N");
  t.load("m\nN\nEND.\n");
  t.c.src.PL = 1;
  RECID(t.c);
  t.out.str("");
  CLASIFY(t.c);
  const std::string out = t.out.str();
  EXPECT_NE(out.find("CLASIFICAR LA VARIABLE N (PROCESA MAIN )\n"), std::string::npos);
  EXPECT_NE(out.find("KC=2 N  ES DE TIPO INTEGER\n"), std::string::npos);
}

}  // namespace
