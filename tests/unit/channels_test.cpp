// Output channels: packing into 74-character lines, forced and flushed
// lines, template replacement and where replaced templates go, and the
// guards that put transmission back.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

struct ChannelTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  void SetUp() override {
    r.c.drv.root = dir.str();
    BINDCH(r.c, CH_MODPRO, "chan3");
    CREATECH(r.c, CH_MODPRO);
    BINDCH(r.c, CH_PRU, "PRU.PAS");
    CREATECH(r.c, CH_PRU);
  }
  std::string written(ChannelNo ch, const std::string& name) {
    CLOSECH(r.c, ch);
    return WRITTEN(r.c, dir, name);
  }
  void send(const std::string& piece, bool force = false) {
    SENDPIECE(r.c, CH_MODPRO, piece, force);
  }
};

TEST_F(ChannelTest, PiecesJoinUpTo74Characters) {
  send(std::string(70, 'a'));
  send("bbbb");
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, std::string(70, 'a') + "bbbb");
  FLUSHOUT(r.c, CH_MODPRO);
  EXPECT_EQ(written(CH_MODPRO, "chan3"), std::string(70, 'a') + "bbbb\n");
}

TEST_F(ChannelTest, PieceThatOverflowsStartsTheNextLine) {
  send(std::string(70, 'a'));
  send("bbbbb");
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, "bbbbb");
  FLUSHOUT(r.c, CH_MODPRO);
  EXPECT_EQ(written(CH_MODPRO, "chan3"), std::string(70, 'a') + "\nbbbbb\n");
}

TEST_F(ChannelTest, LongPieceGetsALineOfItsOwnUnsplit) {
  send("x");
  send(std::string(80, 'p'));
  send("y");
  FLUSHOUT(r.c, CH_MODPRO);
  EXPECT_EQ(written(CH_MODPRO, "chan3"), "x\n" + std::string(80, 'p') + "\ny\n");
}

TEST_F(ChannelTest, ForcedSendWithEmptyBufferWritesAnEmptyLine) {
  send("abc", true);
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, "abc");
  EXPECT_EQ(written(CH_MODPRO, "chan3"), "\n");
}

TEST_F(ChannelTest, FlushTwiceWritesLineThenEmptyLine) {
  send("abc");
  FLUSHOUT(r.c, CH_MODPRO);
  FLUSHOUT(r.c, CH_MODPRO);
  EXPECT_EQ(written(CH_MODPRO, "chan3"), "abc\n\n");
}

TEST_F(ChannelTest, PieceIsCutTo81) {
  SENDPIECE(r.c, CH_MODPRO, std::string(100, 'z'), false);
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, std::string(81, 'z'));
  NEWPIECE(r.c, CH_MODPRO, std::string(90, 'y'));
  FLUSHOUT(r.c, CH_MODPRO);
  // Past 74 characters even the empty line before it is written.
  EXPECT_EQ(written(CH_MODPRO, "chan3"),
            "\n" + std::string(81, 'z') + "\n" + std::string(81, 'y') + "\n");
}

TEST_F(ChannelTest, ReplaceEveryOccurrence) {
  std::string d = REPL("_afel(*,*,evp,*);", '*', "12");
  EXPECT_EQ(d, "_afel(12,12,evp,12);");
  d = REPL("no placeholder", '*', "12");
  EXPECT_EQ(d, "no placeholder");
  EXPECT_EQ(written(CH_MODPRO, "chan3"), "");
  EXPECT_EQ(written(CH_PRU, "PRU.PAS"), "");
}

TEST_F(ChannelTest, ReplaceModesWriteWhereTheyShould) {
  WRITELINE(r.c, CH_PRU, REPL("const n=#;", '#', "5"));
  SENDPIECE(r.c, CH_MODPRO, REPL("x:=#;", '#', "7"), false);
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, "x:=7;");
  EXPECT_EQ(written(CH_PRU, "PRU.PAS"), "const n=5;\n");
}

TEST_F(ChannelTest, ReplacementIsCutTo81) {
  std::string d = REPL("**", '*', std::string(50, 'q'));
  EXPECT_EQ(d, std::string(81, 'q'));
}

TEST_F(ChannelTest, ReplacementHoldingThePlaceholderTerminates) {
  std::string d = REPL("a*b*", '*', "(*)");
  EXPECT_EQ(d, "a(*)b(*)");
}

TEST_F(ChannelTest, ReplacementLongerThanTheRestIsCutWhereItLands) {
  std::string d = REPL(std::string(70, 'a') + "*b*", '*', "0123456789");
  EXPECT_EQ(d, std::string(70, 'a') + "0123456789b");
  d = REPL(std::string(90, '*'), '*', "");  // the template is cut first
  EXPECT_EQ(d, "");
}

TEST(Fillin, EachPlaceholderOnceValuesNeverSearchedAgain) {
  EXPECT_EQ(FILLIN("new(_p*);_p*^.r:=/;", {{'*', "12"}, {'/', "*3"}}), "new(_p12);_p12^.r:=*3;");
  EXPECT_EQ(FILLIN("**", {{'*', "a"}, {'*', "b"}}), "bb");  // the last slot counts
  EXPECT_EQ(FILLIN("plain text", {{'*', "x"}}), "plain text");
  EXPECT_EQ(FILLIN("", {{'*', "x"}}), "");
  EXPECT_EQ(FILLIN("*", {}), "*");
  EXPECT_EQ(FILLIN("(*)", {{'*', ""}}), "()");
  std::string many, filled;  // more placeholders than are noted at once
  for (int i = 0; i < 40; ++i) many += i % 2 ? "*-" : "/-", filled += i % 2 ? "ab-" : "-";
  EXPECT_EQ(FILLIN(many, {{'*', "ab"}, {'/', ""}}), filled);
  EXPECT_EQ(FILLIN(many, {{'*', "ab"}}), FILLIN(many, {{'*', "ab"}, {'-', "-"}}));
}

TEST_F(ChannelTest, SendSourceFromTrstartToColumn) {
  r.load("first\n  x := y + 1;\nEND.\n");
  r.c.src.PL = 1;
  r.c.out.TRSTART = 3;
  SENDSRC(r.c, 9, CH_MODPRO);
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, "x := y");
  EXPECT_EQ(r.c.out.TRSTART, 3);
}

// Source text past TRSTART's line end takes the cells there (blanks, then
// the end marker), as the scanner sees them.
TEST_F(ChannelTest, SendSourcePastTheLineEnd) {
  r.load("first\n  x := y + 1;\nEND.\n");
  r.c.src.PL = 1;
  r.c.out.TRSTART = 12;
  SENDSRC(r.c, 16, CH_MODPRO);
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF,
            std::string("1;") + r.c.src.at(14) + r.c.src.at(15));
}

// A piece is the line's own text when it stands at TRSTART (also running
// into the cells past the text), or, three characters or more, anywhere
// on the line; else it is the translator's. Its column is where it starts
// in the generated line.
TEST_F(ChannelTest, PieceOriginsFindTheirSourceColumns) {
  r.load("first\n  x := y + 1;\nEND.\n");
  r.c.src.PL = 1;
  r.c.src.LB = 2;
  r.c.out.TRSTART = 3;
  auto srccol = [&](std::string_view piece) { return PIECEORIGIN(r.c, piece, 1).srccol; };
  EXPECT_EQ(srccol("x := y"), 3);
  EXPECT_EQ(srccol("y + 1;   "), 8);  // blanks after it are not looked for
  EXPECT_EQ(srccol("y:="), 0);
  EXPECT_EQ(srccol("y"), 0);  // too short to be told from a word of ours
  r.c.out.TRSTART = 12;
  EXPECT_EQ(srccol(std::string("1;") + r.c.src.at(14)), 12);
  EXPECT_EQ(srccol("1;Q"), 0);
  r.c.out.TRSTART = 3;
  SENDSRC(r.c, 9, CH_MODPRO);
  ADDPIECE(r.c, CH_MODPRO, "+2");
  const std::vector<Origin>& pend = r.c.out.ch[CH_MODPRO].PEND;
  ASSERT_EQ(pend.size(), 2u);
  EXPECT_EQ(pend[0].line, 2);
  EXPECT_EQ(pend[0].col, 1);
  EXPECT_EQ(pend[0].srccol, 3);
  EXPECT_EQ(pend[1].col, 7);
  EXPECT_EQ(pend[1].srccol, 0);
}

// A piece taken from the very line it joins is read before that line
// changes, whether it joins it or ends it.
TEST_F(ChannelTest, PieceFromItsOwnPendingLine) {
  send("abc");
  send(r.c.out.ch[CH_MODPRO].BUF);
  EXPECT_EQ(r.c.out.ch[CH_MODPRO].BUF, "abcabc");
  send(r.c.out.ch[CH_MODPRO].BUF, true);
  NEWPIECE(r.c, CH_MODPRO, r.c.out.ch[CH_MODPRO].BUF);
  FLUSHOUT(r.c, CH_MODPRO);
  EXPECT_EQ(written(CH_MODPRO, "chan3"), "abcabc\nabcabc\nabcabc\n");
}

// Lines of the translator's own text from one source line keep no piece
// after the first one's, however many there are; each is still placed at
// its source line, and a copied piece keeps its own column.
TEST_F(ChannelTest, LinesOfOneSourceLineKeepOnePiece) {
  r.load("first\n  x := y + 1;\nEND.\n");
  r.c.src.PL = 1;
  r.c.out.TRSTART = 3;
  r.c.src.LB = 2;
  for (int i = 0; i < 100; ++i) NEWPIECE(r.c, CH_MODPRO, "_q;");
  r.c.src.LB = 3;
  NEWPIECE(r.c, CH_MODPRO, "_r;");
  NEWPIECE(r.c, CH_MODPRO, "_s;");
  r.c.src.LB = 2;
  NEWPIECE(r.c, CH_MODPRO, "x :=");
  FLUSHOUT(r.c, CH_MODPRO);
  const LineMap* m = MAPOF(r.c, "chan3");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->first.size(), 103u);
  EXPECT_EQ(m->pieces.size(), 3u);
  EXPECT_EQ(ORIGINOF(r.c, "chan3", 1, 1).line, 2);
  EXPECT_EQ(ORIGINOF(r.c, "chan3", 100, 2).line, 2);
  EXPECT_EQ(ORIGINOF(r.c, "chan3", 102, 1).line, 3);
  Place p = ORIGINOF(r.c, "chan3", 103, 3);
  EXPECT_EQ(p.line, 2);
  EXPECT_EQ(p.col, 5);
  EXPECT_TRUE(p.copied);
}

TEST_F(ChannelTest, WritingToAClosedChannelIsAnIoError) {
  EXPECT_THROW(SENDPIECE(r.c, CH_NODE, "x", true), IoError);
}

// A stretch sent to another channel, or read with the switch changed by
// the readers it calls, leaves both as they were, also when a model error
// ends it half way.
TEST_F(ChannelTest, TransmissionGuardsPutChannelAndSwitchBack) {
  r.c.out.CURCH = CH_NODE;
  r.c.out.TRANSMIT = true;
  {
    CHANNELFOR pru(r.c.out, CH_PRU);
    KEEPTRANSMIT keep(r.c.out);
    EXPECT_EQ(r.c.out.CURCH, CH_PRU);
    r.c.out.TRANSMIT = false;
  }
  EXPECT_EQ(r.c.out.CURCH, CH_NODE);
  EXPECT_TRUE(r.c.out.TRANSMIT);
  EXPECT_THROW(
      {
        CHANNELFOR edi(r.c.out, CH_MODEDI);
        KEEPTRANSMIT keep(r.c.out);
        r.c.out.TRANSMIT = false;
        throw ModelError{};
      },
      ModelError);
  EXPECT_EQ(r.c.out.CURCH, CH_NODE);
  EXPECT_TRUE(r.c.out.TRANSMIT);
}

}  // namespace
