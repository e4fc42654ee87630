// Scanner: words, numbers, ranges, "END.", strings and comments, read from
// a real line store.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

// The store's first line is never scanned here: scanning starts on line 2.
struct ScanTest : ::testing::Test {
  TestRun r;
  Source& s = r.c.src;
  void scan(const std::string& body) {
    r.load("model\n" + body + "\nEND.\n");
    s.PL = 1;
    s.LB = 2;
    s.K = 0;
  }
  void next() { RECID(r.c); }
};

TEST_F(ScanTest, PunctuationIsLeftToTheCaller) {
  scan("x:=1");
  next();
  EXPECT_EQ(s.IDENT, "X");
  EXPECT_EQ(s.CH, ':');
  EXPECT_EQ(s.KSTART, 1);
  next();
  EXPECT_FALSE(s.IDREAD);
  EXPECT_EQ(s.CH, ':');
  EXPECT_EQ(s.IDENT, "");
}

TEST_F(ScanTest, IntegerBeforeARange) {
  scan("1..10");
  next();
  EXPECT_EQ(s.IDENT, "1");
  EXPECT_TRUE(s.ISINT);
  EXPECT_FALSE(s.ISNUM);
  EXPECT_EQ(s.CH, '.');
  EXPECT_EQ(s.K, 2);
}

TEST_F(ScanTest, RealWithExponentKeepsItsText) {
  scan("3.14e-2;");
  next();
  EXPECT_EQ(s.IDENT, "3.14e-2");
  EXPECT_FALSE(s.ISINT);
  EXPECT_TRUE(s.ISNUM);
  EXPECT_EQ(s.CH, ';');
}

TEST_F(ScanTest, ExponentWithoutSignAndPlainInteger) {
  scan("25E3 42");
  next();
  EXPECT_EQ(s.IDENT, "25E3");
  EXPECT_FALSE(s.ISINT);
  next();
  EXPECT_EQ(s.IDENT, "42");
  EXPECT_TRUE(s.ISINT);
  EXPECT_TRUE(s.ISNUM);
}

TEST_F(ScanTest, NumberFollowedByLettersStopsAtTheLetters) {
  scan("12AB");
  next();
  EXPECT_EQ(s.IDENT, "12");
  EXPECT_EQ(s.CH, 'A');
  EXPECT_EQ(s.K, 3);
}

TEST_F(ScanTest, MalformedNumbers) {
  for (const char* bad : {"2.E5", "2.", "1e+", "7e;"}) {
    scan(bad);
    EXPECT_EQ(r.error([&] { next(); }), "error in number") << bad;
  }
}

TEST_F(ScanTest, EndWithPointIsOneWordOtherPointsStop) {
  scan("end. A.B");
  next();
  EXPECT_EQ(s.IDENT, "END.");
  next();
  EXPECT_EQ(s.IDENT, "A");
  EXPECT_EQ(s.CH, '.');
}

TEST_F(ScanTest, WordsAreUpperCasedAndStopAtDelimiters) {
  scan("ab_c1!x+y");
  next();
  EXPECT_EQ(s.IDENT, "AB_C1!X");
  EXPECT_EQ(s.CH, '+');
}

TEST_F(ScanTest, StringWithDoubledQuote) {
  scan("  'It''s' ;");
  next();
  EXPECT_TRUE(s.IDREAD);
  EXPECT_EQ(s.IDENT, "");
  EXPECT_EQ(s.TIPO, "STRING");
  EXPECT_EQ(s.KSTART, 3);
  EXPECT_EQ(s.K, 10);  // just past the closing apostrophe
  EXPECT_EQ(s.CH, '\'');
}

TEST_F(ScanTest, AmpersandInsideAStringEndsTheLine) {
  scan("'ab&cd'\nx");
  EXPECT_EQ(r.error([&] { next(); }), " constant string exceeds the line");
}

TEST_F(ScanTest, UnclosedStringExceedsTheLine) {
  scan("'abc\nx");
  EXPECT_EQ(r.error([&] { next(); }), " constant string exceeds the line");
  EXPECT_EQ(r.lastError.line, 3);
  EXPECT_EQ(r.lastError.column, 0);
}

TEST_F(ScanTest, BraceCommentAcrossThreeLines) {
  scan("{ one\ntwo\nthree } x");
  next();
  EXPECT_EQ(s.IDENT, "X");
  EXPECT_EQ(s.LB, 4);
  EXPECT_EQ(s.KSTART, 9);
}

TEST_F(ScanTest, ParenCommentsDoNotNest) {
  scan("(* a (* b *) y *)");
  next();
  EXPECT_EQ(s.IDENT, "Y");
}

TEST_F(ScanTest, UnclosedCommentRunsIntoTheEnd) {
  scan("(* never closed");
  EXPECT_EQ(r.error([&] { next(); }), "unexpected end of program");
  EXPECT_EQ(r.lastError.text.substr(0, 3), "$: ");
}

TEST_F(ScanTest, WordAtLineEndThenNextLine) {
  scan("ABC\n   DEF");
  next();
  EXPECT_EQ(s.IDENT, "ABC");
  EXPECT_EQ(s.CH, '&');
  next();
  EXPECT_EQ(s.IDENT, "DEF");
  EXPECT_EQ(s.LB, 3);
  EXPECT_EQ(s.KSTART, 4);
}

TEST_F(ScanTest, AmpersandEndsTheLineForTheScanner) {
  scan("A & hidden\nB");
  next();
  EXPECT_EQ(s.IDENT, "A");
  next();
  EXPECT_EQ(s.IDENT, "B");
  EXPECT_EQ(s.LB, 3);
}

TEST_F(ScanTest, LongestWordFillsTheLine) {
  scan(std::string(100, 'w') + "\nnext");
  next();
  EXPECT_EQ(s.IDENT, std::string(80, 'W'));
  next();
  EXPECT_EQ(s.IDENT, "NEXT");
}

TEST_F(ScanTest, ExpectChecksTheCurrentCharacter) {
  scan("x;");
  next();
  EXPECT_EQ(r.error([&] { EXPECT(r.c, ';'); }), "");
  scan("x,");
  next();
  EXPECT_EQ(r.error([&] { EXPECT(r.c, ';'); }), "; expected");
}

TEST_F(ScanTest, SecondPassOverAFullLineStaysInBounds) {
  std::string full(80, 'z');
  scan(full + "\nq");
  next();
  next();
  EXPECT_EQ(s.IDENT, "Q");
  s.PL = 1;  // a later pass walks the same line again
  s.LB = 2;
  s.K = 0;
  next();
  next();
  EXPECT_EQ(s.IDENT, "Q");
}

TEST_F(ScanTest, EachTokenKnowsItsKind) {
  scan("ab 12 1..3 'x' ;");
  std::vector<TokKind> kinds;
  for (int i = 0; i < 5; ++i) {
    next();
    kinds.push_back(s.KIND);
    if (!s.IDREAD && s.CH == '.') s.K += 2;  // the range's points
  }
  EXPECT_EQ(kinds, (std::vector<TokKind>{TokKind::Word, TokKind::Number, TokKind::Number,
                                         TokKind::Symbol, TokKind::Number}));
  next();
  EXPECT_EQ(s.KIND, TokKind::String);
  next();
  EXPECT_EQ(s.KIND, TokKind::Symbol);
  EXPECT_EQ(s.CH, ';');
}

TEST_F(ScanTest, TheTokenAsAValueKeepsItsColumns) {
  scan("  abc+1");
  next();
  Token t = CURTOKEN(s);
  EXPECT_EQ(t.kind, TokKind::Word);
  EXPECT_EQ(t.text, "ABC");
  EXPECT_EQ(t.ch, '+');
  EXPECT_EQ(t.line, 1);
  EXPECT_EQ(t.start, 3);
  EXPECT_EQ(t.end, 6);
}

TEST_F(ScanTest, PeekLeavesThePositionOnTheToken) {
  scan("x   'a''b' y");
  next();
  const Token& t = PEEK(r.c);
  EXPECT_EQ(t.kind, TokKind::String);
  EXPECT_EQ(t.start, 5);
  EXPECT_EQ(t.end, 11);
  EXPECT_EQ(s.K, 5);  // on the token, the blanks before it consumed
  EXPECT_EQ(s.KIND, TokKind::String);
  s.TIPO.clear();
  next();  // the same token again
  EXPECT_EQ(s.KIND, TokKind::String);
  EXPECT_EQ(s.KSTART, 5);
  EXPECT_EQ(s.K, 11);
  EXPECT_EQ(s.TIPO, "STRING");
  next();
  EXPECT_EQ(s.IDENT, "Y");
}

TEST_F(ScanTest, PeekAcrossALineEndThenRead) {
  scan("x\n  count;");
  next();
  PEEK(r.c);
  EXPECT_EQ(s.LB, 3);
  EXPECT_EQ(s.K, 3);
  next();
  EXPECT_EQ(s.IDENT, "COUNT");
  EXPECT_EQ(s.K, 8);
  EXPECT_EQ(s.CH, ';');
}

TEST_F(ScanTest, StepPastTakesThePeekedToken) {
  scan("until x");
  PEEK(r.c);
  EXPECT_EQ(s.K, 1);
  STEPPAST(r.c);
  EXPECT_EQ(s.K, 6);
  EXPECT_EQ(s.IDENT, "UNTIL");
  next();
  EXPECT_EQ(s.IDENT, "X");
}

TEST_F(ScanTest, MovedPositionScansAfresh) {
  scan("ab;cd");
  next();
  PEEK(r.c);  // the ';'
  s.K++;     // stepped over by hand: the peeked token no longer applies
  next();
  EXPECT_EQ(s.IDENT, "CD");
  EXPECT_EQ(s.KSTART, 4);
}

TEST_F(ScanTest, RewrittenTokenTakesItsKindFromTheFlags) {
  scan("'s'");
  next();
  s.IDENT = "NAME";
  RETOKEN(s);
  EXPECT_EQ(s.KIND, TokKind::Word);
  s.IDREAD = false;
  RETOKEN(s);
  EXPECT_EQ(s.KIND, TokKind::Symbol);
}

TEST_F(ScanTest, PeekedTokenIsScannedAgainWhileTracing) {
  TestRun t(true);
  t.load("m\nab\nEND.\n");
  t.c.src.PL = 1;
  t.c.src.LB = 2;
  PEEK(t.c);
  t.out.str("");
  RECID(t.c);
  EXPECT_EQ(t.out.str(), "RECID\nFIN RECID\nIDENT AB   CH &  PL^.CON[K] &\n");
}

TEST_F(ScanTest, TraceModePrintsTheScannerSteps) {
  TestRun t(true);
  t.load("m\nab 1\nEND.\n");
  t.c.src.PL = 1;
  t.c.src.LB = 2;
  t.out.str("");
  RECID(t.c);
  RECID(t.c);
  EXPECT_EQ(t.out.str(),
            "RECID\nFIN RECID\nIDENT AB   CH    PL^.CON[K]  \n"
            "RECID\nVA A ELIMINAR BLANCOS\nRECOGIDO NUMERO 1 CH &\n"
            "FIN RECID\nIDENT 1   CH &  PL^.CON[K] &\n");
}

// The scanner steps over runs of blanks, comment text and word characters
// within a line's text at once; a line end among them must still stop it
// where the cell-by-cell reading would.
TEST_F(ScanTest, BlanksUpToTheTextEndThenTheNextLine) {
  scan("x      \n\n     y");
  next();
  EXPECT_EQ(s.IDENT, "X");
  next();
  EXPECT_EQ(s.IDENT, "Y");
  EXPECT_EQ(s.LB, 4);
  EXPECT_EQ(s.KSTART, 6);
}

TEST_F(ScanTest, AmpersandInsideABraceCommentHidesTheRestOfTheLine) {
  scan("{ a & } hidden\n b } z");
  next();
  EXPECT_EQ(s.IDENT, "Z");
  EXPECT_EQ(s.LB, 3);
  EXPECT_EQ(s.KSTART, 6);
}

TEST_F(ScanTest, ParenCommentClosesOnlyOnStarParenOnOneLine) {
  scan("(* a * b ** c *\n) d *) v");
  next();
  EXPECT_EQ(s.IDENT, "V");
  EXPECT_EQ(s.LB, 3);
  EXPECT_EQ(s.KSTART, 8);
  scan("(* one & *) two\n*) w");
  next();
  EXPECT_EQ(s.IDENT, "W");
  EXPECT_EQ(s.LB, 3);
}

TEST_F(ScanTest, WordStopsAtAnAmpersandAndAtEveryDelimiter) {
  scan("abc&def\nghi");
  next();
  EXPECT_EQ(s.IDENT, "ABC");
  EXPECT_EQ(s.CH, '&');
  next();
  EXPECT_EQ(s.IDENT, "GHI");
  EXPECT_EQ(s.LB, 3);
  scan("abc\ndef");  // the next line's text lies right after this one's
  next();
  EXPECT_EQ(s.IDENT, "ABC");
  EXPECT_EQ(s.K, 4);
  std::string delims = " #%&'()*+,-/:;<=>@[\\]^{";
  for (int ch = 0; ch < 256; ++ch) {
    bool d = ch != 0 && delims.find(static_cast<char>(ch)) != std::string::npos;
    EXPECT_EQ(ISDELIM(static_cast<char>(ch)), d) << "code " << ch;
  }
}

// A row written past its text keeps markers among its cells: a blank run
// or a word reaching one ends the line there, whatever lies after it.
TEST_F(ScanTest, MarkerAmongTheCellsOfAWidenedRowEndsTheLine) {
  scan("ab\nc");
  SourceLine l = s.lines[1];
  l.put(3, ' ');
  l.put(6, 'q');  // cells: a b blank & & q & ...
  int n = 0;
  const char* cells = s.lines.cells(1, n);
  ASSERT_EQ(n, LINECELLS);
  EXPECT_EQ(std::string(cells, 7), "ab &&q&");
  next();
  EXPECT_EQ(s.IDENT, "AB");
  next();
  EXPECT_EQ(s.IDENT, "C");
  EXPECT_EQ(s.LB, 3);
}

}  // namespace
