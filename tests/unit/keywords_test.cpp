// Vocabulary lookups: numbers found, miss numbers, NOTFOUND handling,
// the padding entries, and the valued-function list walk.
#include <gtest/gtest.h>

#include "support/support.h"

namespace {

// Looks word up with f, NOTFOUND set to notfound first; returns NOTFOUND.
template <class F>
bool LOOK(TestRun& r, const std::string& word, F f, bool notfound = true) {
  r.c.src.IDENT = word;
  r.c.src.NOTFOUND = notfound;
  f(r.c);
  return r.c.src.NOTFOUND;
}

TEST(Keywords, FoundWordsGiveTheirNumbersAndClearNotFound) {
  TestRun r;
  EXPECT_FALSE(LOOK(r, "WHEREX", FUNCLOOK));
  EXPECT_EQ(r.c.kw.KWNO, 51);
  LOOK(r, "WHEREY", FUNCLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 52);
  LOOK(r, "BIN", FUNCLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 1);
  EXPECT_FALSE(LOOK(r, "IN", RESWORD));
  EXPECT_EQ(r.c.kw.IDX, 14);
  EXPECT_FALSE(LOOK(r, "DOEVENT", STMTWORD));
  EXPECT_EQ(r.c.kw.STMTNO, 10);
  EXPECT_FALSE(LOOK(r, "ACT", INSTLOOK));
  EXPECT_EQ(r.c.kw.KWNO, 1);
  LOOK(r, "__STOPALL", INSTLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 26);
  LOOK(r, "DBUPDATE", INSTLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 57);
  EXPECT_FALSE(LOOK(r, "OUTTEXTXY", PPROCLOOK));
  EXPECT_EQ(r.c.kw.KWNO, 25);
}

TEST(Keywords, FileSizeAndLengthAreFunctionsAndProcedures) {
  TestRun r;
  LOOK(r, "FILESIZE", FUNCLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 54);
  LOOK(r, "LENGTH", FUNCLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 53);
  LOOK(r, "FILESIZE", PPROCLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 6);
  LOOK(r, "LENGTH", PPROCLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 27);
  EXPECT_EQ(FUNCARGS(54), 1);
  EXPECT_EQ(PPROCARGS(27), 1);
}

TEST(Keywords, MissesLeaveNotFoundAndTheMissNumber) {
  TestRun r;
  for (bool before : {true, false}) {
    EXPECT_EQ(LOOK(r, "FROBNICATE", INSTLOOK, before), before);
    EXPECT_EQ(r.c.kw.KWNO, 60);
    EXPECT_EQ(LOOK(r, "FROBNICATE", PPROCLOOK, before), before);
    EXPECT_EQ(r.c.kw.KWNO, 28);
    EXPECT_EQ(LOOK(r, "FROBNICATE", FUNCLOOK, before), before);
    EXPECT_EQ(r.c.kw.KWNO, 57);
    EXPECT_EQ(LOOK(r, "ELSE", STMTWORD, before), before);
    EXPECT_EQ(r.c.kw.STMTNO, 11);
    EXPECT_EQ(LOOK(r, "BEGIN", RESWORD, before), before);
    EXPECT_EQ(r.c.kw.IDX, 15);
  }
  EXPECT_EQ(DECLCLASSNO("END"), 15);
  EXPECT_EQ(DECLCLASSNO("END."), 14);
  EXPECT_EQ(DECLCLASSNO("GFUNCTIONS"), 4);
  EXPECT_EQ(FUNVCLASSNO("LINEAR"), 6);
  EXPECT_EQ(FUNVCLASSNO("FREQ"), 5);
}

TEST(Keywords, OnlyWholeWordsMatch) {
  TestRun r;
  LOOK(r, "SENDTO", INSTLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 20);
  LOOK(r, "SENDTOF", INSTLOOK);
  EXPECT_EQ(r.c.kw.KWNO, 21);
  EXPECT_TRUE(LOOK(r, "SENDT", INSTLOOK));
  EXPECT_TRUE(LOOK(r, "SENDTOFF", INSTLOOK));
  EXPECT_TRUE(LOOK(r, "act", INSTLOOK));  // the scanner upper-cases first
  EXPECT_TRUE(LOOK(r, "STOP", INSTLOOK));
  EXPECT_TRUE(LOOK(r, "IN ", RESWORD));
}

// The padding entries keep the numbers in place but must never match,
// not even an empty IDENT (a string constant) or a blank.
TEST(Keywords, PaddingEntriesNeverMatch) {
  TestRun r;
  for (std::string w : {"", " "}) {
    EXPECT_TRUE(LOOK(r, w, RESWORD));
    EXPECT_EQ(r.c.kw.IDX, 15);
    EXPECT_TRUE(LOOK(r, w, STMTWORD));
    EXPECT_EQ(r.c.kw.STMTNO, 11);
    EXPECT_TRUE(LOOK(r, w, INSTLOOK));
    EXPECT_EQ(r.c.kw.KWNO, 60);
    EXPECT_TRUE(LOOK(r, w, FUNCLOOK));
    EXPECT_EQ(r.c.kw.KWNO, 57);
    EXPECT_TRUE(LOOK(r, w, PPROCLOOK));
    EXPECT_EQ(r.c.kw.KWNO, 28);
    EXPECT_EQ(DECLCLASSNO(w), 15);
    EXPECT_EQ(FUNVCLASSNO(w), 6);
    r.c.src.IDENT = w;
    EXPECT_EQ(r.error([&] { COLORNO(r.c); }), "erroneous color name");
  }
  EXPECT_EQ(INSTENTRY(58), " ");
  EXPECT_EQ(INSTENTRY(59), " ");
  EXPECT_EQ(FUNCENTRY(56), "");
  EXPECT_EQ(DECLCLASSENTRY(15), " ");
  EXPECT_EQ(INSTENTRY(60), "");  // past the table
}

TEST(Keywords, ColoursAreNumberedOrRejected) {
  TestRun r;
  r.c.src.IDENT = "LIGHTMAGENTA";
  r.c.src.NOTFOUND = true;
  COLORNO(r.c);
  EXPECT_EQ(r.c.kw.KWNO, 14);
  EXPECT_TRUE(r.c.src.NOTFOUND);  // colours never touch it
  r.c.src.IDENT = "WHITE";
  COLORNO(r.c);
  EXPECT_EQ(r.c.kw.KWNO, 16);
  r.c.src.IDENT = "PINK";
  EXPECT_EQ(r.error([&] { COLORNO(r.c); }), "erroneous color name");
}

// Words as the scanner delivers them: upper-cased, cut at delimiters.
TEST(Keywords, WordsFromSource) {
  TestRun r;
  r.load("doevent(*c*) lightMagenta;sendtof pink\nEND.\n");
  RECID(r.c);
  STMTWORD(r.c);
  EXPECT_EQ(r.c.kw.STMTNO, 10);
  RECID(r.c);
  COLORNO(r.c);
  EXPECT_EQ(r.c.kw.KWNO, 14);
  r.c.src.K++;  // past ';'
  RECID(r.c);
  INSTLOOK(r.c);
  EXPECT_EQ(r.c.kw.KWNO, 21);
  RECID(r.c);
  EXPECT_EQ(r.error([&] { COLORNO(r.c); }), "erroneous color name");
  EXPECT_EQ(r.lastError.column, 39);  // just after the word
}

// Eleven functions work on network lists; outside a table the count is 0.
TEST(Keywords, ArgumentCounts) {
  int lists = 0;
  for (int i = 1; i <= NFUNCWORD; ++i) lists += FUNCARGS(i) == -1;
  EXPECT_EQ(lists, 11);
  EXPECT_EQ(FUNCARGS(FUNCNONE), 0);
  EXPECT_EQ(PPROCARGS(0), 0);
}

TEST(Keywords, ValuedFunctionWalk) {
  TestRun r;
  LOOK(r, "F", FUNVLOOK);
  EXPECT_EQ(r.c.kw.FUNVFOUND, NOFUNV);
  EXPECT_EQ(r.c.kw.FUNVLAST, NOFUNV);
  FUNVADD(r.c, "F").CLASS = FC_POLYG;
  FUNVADD(r.c, "G").CLASS = FC_FREQ;
  FUNVADD(r.c, "H");
  EXPECT_FALSE(LOOK(r, "G", FUNVLOOK));
  EXPECT_EQ(r.c.kw.FUNVFOUND, 1);
  EXPECT_EQ(r.c.kw.FUNVLAST, 1);
  EXPECT_EQ(FUNVCLASSENTRY(FOUNDFUNV(r.c).CLASS), "FREQ");
  EXPECT_TRUE(LOOK(r, "Z", FUNVLOOK));
  EXPECT_EQ(r.c.kw.FUNVFOUND, NOFUNV);
  EXPECT_EQ(r.c.kw.FUNVLAST, 2);  // the tail, where a new record goes
  EXPECT_FALSE(LOOK(r, "Z", FUNVLOOK, false));
  EXPECT_EQ(FUNVADD(r.c, std::string(30, 'A')).NOM, std::string(23, 'A'));
}

TEST(Keywords, Traces) {
  TestRun r(true);
  LOOK(r, "WHEREX", FUNCLOOK);
  EXPECT_EQ(r.out.str(), "BUSCAR FUNCION G o P WHEREX\nWHEREXen 51\n");
  r.out.str("");
  LOOK(r, "AGRE", INSTLOOK);
  EXPECT_EQ(r.out.str(), "BUSCA AGRE EN TABLA INST.Y PROC.TALVEN\n1 ACT\n2 AGRE\n");
  r.out.str("");
  LOOK(r, "SEEK", PPROCLOOK);
  LOOK(r, "X", FUNVLOOK);
  EXPECT_EQ(r.out.str(), "BUSCA SEEK EN TABLA PROC.PASCAL\nBUSCA FUNCION VALUADA\n");
  r.out.str("");
  LOOK(r, "IN", RESWORD);
  EXPECT_EQ(r.out.str(), "");
}

// Every instruction is found at its own number, with the trace (which
// walks the table entry by entry) and without it alike; a word of the
// same length and first letter as an entry is no match.
TEST(Keywords, EveryInstructionIsFoundAtItsNumberTracedOrNot) {
  TestRun plain, traced(true);
  for (int i = 1; i <= NINSTWORD; ++i) {
    std::string w(INSTENTRY(i));
    if (w.empty() || w == " ") continue;
    EXPECT_FALSE(LOOK(plain, w, INSTLOOK)) << w;
    EXPECT_EQ(plain.c.kw.KWNO, i) << w;
    EXPECT_FALSE(LOOK(traced, w, INSTLOOK)) << w;
    EXPECT_EQ(traced.c.kw.KWNO, i) << w;
    std::string near = w;
    near.back() = near.back() == 'Q' ? 'R' : 'Q';
    EXPECT_TRUE(LOOK(plain, near, INSTLOOK)) << near;
    EXPECT_EQ(plain.c.kw.KWNO, INSTNONE) << near;
  }
  EXPECT_TRUE(LOOK(plain, " ", INSTLOOK));
  EXPECT_EQ(DECLCLASSNO(" "), DECLCLASSNONE);
  EXPECT_EQ(DECLCLASSNO(""), DECLCLASSNONE);
}

}  // namespace
