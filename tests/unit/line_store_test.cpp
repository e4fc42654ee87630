// Line store: the end rule, cutting and cleaning, and the line advance with
// its transmission rules.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include "support/support.h"

namespace {

std::string text(const Compiler& c, int line) {
  return std::string(c.src.lines[line - 1].text());
}

TEST(LineStore, FileWhoseOnlyLineIsEndHasNoEnd) {
  TestRun r;
  EXPECT_EQ(r.error([&] { r.load("END.\n"); }), "END. missing or misplaced");
  EXPECT_EQ(r.lastError.text, "END.: END. missing or misplaced Lin: 1 Col: 0");
}

TEST(LineStore, MissingEndReportsTheLastLineRead) {
  TestRun r;
  EXPECT_EQ(r.error([&] { r.load("NETWORK\n  A (I) ::\n   x:=1;\nEND\n"); }),
            "END. missing or misplaced");
  EXPECT_EQ(r.lastError.text, "END: END. missing or misplaced Lin: 4 Col: 4");
}

TEST(LineStore, EndInAnyCaseAndIndentationIsTheLastLine) {
  TestRun r;
  r.load("a\nb\nc\nEND\nd\ne\n   end. and more\nnever read\n");
  ASSERT_EQ(r.c.src.lines.size(), 8u);  // 7 lines and the sentinel
  EXPECT_EQ(text(r.c, 7), "   end. and more");
  EXPECT_EQ(text(r.c, 8), "$");
  EXPECT_EQ(r.c.src.LB, 7);
  EXPECT_EQ(r.c.src.PL, 0);
}

TEST(LineStore, LongLinesAreCutTo80WithTheMarkerAfter) {
  TestRun r;
  r.load("x\n" + std::string(100, 'q') + "\nEND.\n");
  const SourceLine l = r.c.src.lines[1];
  EXPECT_EQ(l.len(), 80);
  EXPECT_EQ(l.at(81), '&');
  EXPECT_EQ(l.at(200), '&');  // reads past the cells see the marker
}

// Every line cut, '#' lines too, is reported once at its column 81; blanks
// past column 80 and the title line (never read) are not.
TEST(LineStore, EachCutLineIsReportedOnceAtColumn81) {
  TestRun r;
  std::string title(90, 't'), code = "  X := 1;" + std::string(75, ' ') + "Y := 2;";
  r.load(title + "\n" + code + "\n#" + std::string(85, 'h') + "\n" +
         std::string(120, ' ') + "\n" + code + "\nEND.\n");
  const auto& w = r.c.drv.warnings;
  ASSERT_EQ(w.size(), 3u);
  int lines[] = {2, 3, 5};
  for (size_t i = 0; i < w.size(); ++i) {
    EXPECT_EQ(w[i].message, "line longer than 80 characters: the rest is ignored");
    EXPECT_EQ(w[i].line, lines[i]);
    EXPECT_EQ(w[i].column, 81);
  }
  EXPECT_EQ(w[0].text, code.substr(0, 80) +
                           ": line longer than 80 characters: the rest is ignored Lin: 2 Col: 81");
}

TEST(LineStore, ControlCharactersBecomeBlanksExceptOnLineOne) {
  TestRun r;
  r.load("a\tb\nc\td\xC8" "e\nEND.\n");
  EXPECT_EQ(text(r.c, 1), "a\tb");
  EXPECT_EQ(text(r.c, 2), "c d e");
}

// Long lines are checked eight characters at a time: a code out of range
// anywhere in a run, or in the short tail, is still found; codes 127 and
// 172 stay.
TEST(LineStore, ControlCharactersAnywhereInALongLineBecomeBlanks) {
  TestRun r;
  std::string plain = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string dirty = plain;
  dirty[3] = '\t';
  dirty[17] = '\x01';
  dirty[24] = '\xAD';  // 173
  dirty[26] = '\xAC';  // 172
  dirty[30] = '\x7F';
  dirty[34] = '\x1F';  // in the tail after the last whole run
  r.load("head\n" + plain + "\n" + dirty + "\nEND.\n");
  EXPECT_EQ(text(r.c, 2), plain);
  std::string want = plain;
  want[3] = want[17] = want[24] = want[34] = ' ';
  want[26] = '\xAC';
  want[30] = '\x7F';
  EXPECT_EQ(text(r.c, 3), want);
}

TEST(LineStore, CrLfIsReadLikeLf) {
  TestRun a, b;
  a.load("first\nA (I) ::\n\n  x := 1;\nEND.\n");
  b.load("first\r\nA (I) ::\r\n\r\n  x := 1;\r\nEND.\r\n");
  ASSERT_EQ(a.c.src.lines.size(), b.c.src.lines.size());
  for (size_t i = 0; i < a.c.src.lines.size(); ++i)
    EXPECT_EQ(a.c.src.lines[i].text(), b.c.src.lines[i].text());
}

// The peak resident memory of this process, in kilobytes.
long PEAKKB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// 10 MB of blank lines once took a record of about a hundred bytes each
// (1 GB). Now a line costs its eight-byte record, and the file is read in
// blocks, never whole. (ctest runs each test in a process of its own, so
// the peak measured is this test's.)
TEST(LineStore, TenMegabytesOfBlankLinesTakeLittleMemory) {
  TempDir dir;
  dir.write("blank.tlv", "A model.\n" + std::string(10000000, '\n') + "END.\n");
  TestRun r;
  r.c.drv.root = dir.str();
  r.c.drv.SRCPATH = "blank.tlv";
  long before = PEAKKB();
  CREALIN(r.c);
  long grown = PEAKKB() - before;
  EXPECT_EQ(r.c.src.lines.size(), 10000003u);
  EXPECT_EQ(text(r.c, 10000002), "END.");
  EXPECT_LT(grown, 10000000L * 16 / 1024) << grown << " KB";  // under 16 bytes a line
}

// Lines across the reader's blocks, one longer than a block, CR LF ends:
// the file gives the lines the same text in memory gives.
TEST(LineStore, AFileReadInBlocksGivesTheSameLines) {
  std::string model = "first line\r\n";
  for (int i = 0; i < 5000; ++i) model += std::string(i % 97, 'a' + i % 26) + (i % 3 ? "\n" : "\r\n");
  model += std::string(200000, 'L') + "\n" + "tail\nEND.\n";
  TempDir dir;
  dir.write("m.tlv", model);
  TestRun a, b;
  a.c.drv.root = dir.str();
  a.c.drv.SRCPATH = "m.tlv";
  CREALIN(a.c);
  b.load(model);
  ASSERT_EQ(a.c.src.lines.size(), b.c.src.lines.size());
  for (size_t i = 0; i < a.c.src.lines.size(); ++i)
    ASSERT_EQ(a.c.src.lines[i].text(), b.c.src.lines[i].text()) << "line " << i + 1;
  EXPECT_EQ(text(a.c, 5002), std::string(80, 'L'));
}

// Each walk over a line turns the marker after its text into a blank, one
// cell further on; other writes past the text keep every cell as written.
TEST(LineStore, CellsPastTheTextKeepWhatWasWritten) {
  TestRun r;
  r.load("head\nab\nEND.\n");
  SourceLine l = r.c.src.lines[1];
  l.put(3, ' ');
  EXPECT_EQ(l.at(3), ' ');
  EXPECT_EQ(l.at(4), '&');
  l.put(4, ' ');
  EXPECT_EQ(l.at(4), ' ');
  EXPECT_EQ(l.at(5), '&');
  l.put(90, 'x');
  EXPECT_EQ(l.at(89), '&');
  EXPECT_EQ(l.at(90), 'x');
  EXPECT_EQ(l.at(4), ' ');
  l.put(1, '&');
  EXPECT_EQ(l.text(), "&b");
  EXPECT_EQ(text(r.c, 3), "END.");
}

struct AdvanceTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  void SetUp() override {
    r.c.drv.root = dir.str();
    for (ChannelNo ch : {CH_PRU, CH_MODPRO, CH_MODAUX}) {
      BINDCH(r.c, ch, "ch" + std::to_string(CHNUM(ch)));
      CREATECH(r.c, ch);
    }
  }
  void at(int line, int k) {
    r.c.src.PL = line - 1;
    r.c.src.LB = line;
    r.c.src.K = k;
  }
  std::string written(ChannelNo ch) {
    CLOSECH(r.c, ch);
    return WRITTEN(r.c, dir, "ch" + std::to_string(CHNUM(ch)));
  }
};

TEST_F(AdvanceTest, EmptyLinesAreSkippedAndCounted) {
  r.load("head\nab\n\n\ncd\nEND.\n");
  at(2, 3);
  VERFLIN(r.c);
  EXPECT_EQ(r.c.src.LB, 5);
  EXPECT_EQ(r.c.src.K, 0);
  EXPECT_EQ(text(r.c, 5), "cd");
  EXPECT_EQ(r.c.src.PL, 4);
}

TEST_F(AdvanceTest, NothingHappensBeforeTheMarker) {
  r.load("head\nab\nEND.\n");
  at(2, 2);
  VERFLIN(r.c);
  EXPECT_EQ(r.c.src.LB, 2);
  EXPECT_EQ(r.c.src.K, 2);
}

TEST_F(AdvanceTest, TransmitsTheRestWithTheBlankThatReplacedTheMarker) {
  r.load("head\n  x := 1;\ny\nEND.\n");
  r.c.out.TRANSMIT = true;
  r.c.out.CURCH = CH_MODPRO;
  r.c.out.TRSTART = 3;
  SENDPIECE(r.c, CH_MODPRO, "pending", false);
  at(2, 10);
  VERFLIN(r.c);
  EXPECT_EQ(r.c.out.TRSTART, 1);
  EXPECT_EQ(written(CH_MODPRO), "pending\nx := 1; \n");
}

TEST_F(AdvanceTest, MessageFieldsAlsoGoToChannelFive) {
  r.load("head\nA:REAL;\ny\nEND.\n");
  r.c.out.TRANSMIT = true;
  r.c.out.CURCH = CH_MODPRO;
  r.c.src.MSGVAR = r.c.src.MSGAUX = true;
  at(2, 8);
  VERFLIN(r.c);
  EXPECT_EQ(written(CH_MODAUX), "A:REAL; \n");
}

TEST_F(AdvanceTest, DeclarationLinesAreCopiedWholeToPru) {
  r.load("head\nVAR X: REAL;\ny\nEND.\n");
  r.c.out.TRMODE = 1;
  r.c.src.DECLCOPY = true;
  at(2, 13);
  VERFLIN(r.c);
  EXPECT_EQ(r.c.src.PRULINES, 2);
  EXPECT_EQ(written(CH_PRU), "VAR X: REAL;\n");
}

TEST_F(AdvanceTest, ProcedureHeadingsAlsoGoToTheInterface) {
  r.load("head\nprocedure P;\ny\nEND.\n");
  r.c.out.TRMODE = 1;
  r.c.out.CURCH = CH_MODPRO;
  r.c.src.INPROC = r.c.src.HEADER = true;
  at(2, 13);
  VERFLIN(r.c);
  EXPECT_EQ(written(CH_MODPRO), "\nprocedure P; \n");
  EXPECT_EQ(r.c.out.ch[CH_PRU].BUF, "procedure P; ");
}

TEST_F(AdvanceTest, HashLinesPassThroughExceptToPru) {
  r.load("head\nx\n#{$R+}\nEND.\n");
  r.c.out.CURCH = CH_MODPRO;
  at(2, 2);
  VERFLIN(r.c);
  EXPECT_EQ(r.c.src.LB, 4);
  EXPECT_EQ(text(r.c, 4), "END.");
  EXPECT_EQ(written(CH_MODPRO), "{$R+}\n");

  TestRun q;
  q.load("head\nx\n#{$R+}\nEND.\n");
  q.c.src.PL = 1;
  q.c.src.K = 2;
  VERFLIN(q.c);  // CURCH 1: skipped silently, no file needed
  EXPECT_EQ(q.c.src.PL, 3);
}

TEST_F(AdvanceTest, MovingOntoTheSentinelIsAnError) {
  r.load("head\nEND.\n");
  at(2, 5);
  EXPECT_EQ(r.error([&] { VERFLIN(r.c); }), "unexpected end of program");
  EXPECT_EQ(r.lastError.text, "$: unexpected end of program Lin: 3 Col: 6");
}

}  // namespace
