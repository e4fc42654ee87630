// Procedures and functions of a whole model (tests/models/db_store.tlv,
// with its dBase tables from tests/dbf): called from node code with their
// parameters, a FORWARD procedure, a local that hides a global of the same
// name, a procedure variable assigned and called, FACTORS and RESPONSES.
#include <gtest/gtest.h>
#include "gen_testrun.h"

namespace {

struct StoreRun : GenRun {
  StoreRun() : GenRun(MODELTEXT("db_store.tlv"), false) {
    std::filesystem::copy(std::string(TALVEN_TEST_MODELS) + "/../dbf/db_store", dir.path,
                          std::filesystem::copy_options::recursive);
  }
  size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) n++;
    return n;
  }
  NameNode* seen(const std::string& name, const std::string& scope) {
    return SEENFROM(c, name, scope);
  }
};

TEST(ProceduresStore, RoutinesCalledFromNodeCode) {
  StoreRun g;
  ASSERT_EQ(g.all(), "");
  // A function with a parameter in an assignment, a procedure with two
  // as a statement, a procedure without any in an IF.
  std::string desk = g.proc("DESK");
  EXPECT_NE(desk.find("begin STAY := SERVICE(STOCK.PRICE^\n[ITEM]);_sta:=true; end;\n"
                      " \n     SELL(ITEM, 1);\n"),
            std::string::npos)
      << desk;
  std::string go = g.proc("GO");
  EXPECT_NE(go.find("     IF DONE = 50 THEN \n        FINISH;\n"), std::string::npos) << go;
  // Both names of a field reach the program as table.field^.
  EXPECT_NE(go.find("     IF STOCK.QTY^\n\n[ITEM] = 0 THEN \n        STOCK.ACTIVE^\n\n[ITEM] := FALSE; \n"),
            std::string::npos)
      << go;
  std::string pru = g.file("PRU.PAS");
  // Every heading once in the interface; NOTE with its parameters and
  // without FORWARD, its definition with the short heading.
  EXPECT_NE(pru.find("PROCEDURE NOTE(N : INTEGER); \n"
                     "PROCEDURE SELL(I, N : INTEGER); \n"
                     "FUNCTION SERVICE(P : REAL) : REAL; \n"
                     "PROCEDURE SAVE; \n"
                     "PROCEDURE FINISH; \n"),
            std::string::npos);
  EXPECT_EQ(g.count(pru, "FORWARD"), 0u);
  EXPECT_EQ(g.count(pru, "PROCEDURE NOTE("), 1u);
  EXPECT_EQ(g.count(pru, "PROCEDURE SELL("), 2u);  // interface and implementation
  EXPECT_NE(pru.find("\nPROCEDURE NOTE; \n\nBEGIN \n  IF NOT STOCK.ACTIVE^\n\n[N] THEN \n"),
            std::string::npos);
  // SELL's DONE is its own INTEGER, not the model's REAL.
  EXPECT_NE(pru.find("PROCEDURE SELL(I, N : INTEGER); \n\nVAR DONE : INTEGER; \n\nBEGIN \n\n"
                     "  DONE := N; \n"),
            std::string::npos);
  ASSERT_TRUE(g.seen("DONE", "SELL"));
  EXPECT_EQ(g.seen("DONE", "SELL")->TIPO, "INTEGER");
  EXPECT_EQ(g.seen("DONE", "MAIN")->TIPO, "REAL");
  EXPECT_EQ(g.seen("DONE", "SERVICE")->TIPO, "REAL");
  // The procedure variable: assigned at a statement's start, then called.
  EXPECT_NE(pru.find("PROCEDURE FINISH; \n\nBEGIN \n\n  AFTER := SAVE; \n\n  AFTER \n\nEND; \n"),
            std::string::npos);
  NameNode* s = g.seen("SERVICE", "MAIN");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->TIPO, "FUNP");
  EXPECT_EQ(s->COUNT, 1);
  EXPECT_EQ(g.seen("SELL", "MAIN")->COUNT, 2);
  EXPECT_EQ(g.seen("NOTE", "MAIN")->COUNT, 1);
  // The experiment's variables.
  EXPECT_TRUE(g.c.prog.FACTORS);
  EXPECT_EQ(g.c.decl.FACTORLIST, std::vector<std::string>{"MEANT"});
  EXPECT_EQ(g.c.prog.RESPONSES, (std::vector<std::string>{"DONE", "TAKEN"}));
}

}  // namespace
