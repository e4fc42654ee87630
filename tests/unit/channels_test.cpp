// Output channels: packing into 74-character lines, forced and flushed
// lines, template replacement and its modes.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

struct ChannelTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  void SetUp() override {
    r.c.drv.root = dir.str();
    BINDCH(r.c, 3, "chan3");
    CREATECH(r.c, 3);
    BINDCH(r.c, 1, "PRU.PAS");
    CREATECH(r.c, 1);
  }
  std::string written(int ch, const std::string& name) {
    CLOSECH(r.c, ch);
    return WRITTEN(r.c, dir, name);
  }
  void send(const std::string& piece, bool force = false) {
    SETOUT(r.c, piece);
    SENDOUT(r.c, 3, force);
  }
};

TEST_F(ChannelTest, PiecesJoinUpTo74Characters) {
  send(std::string(70, 'a'));
  send("bbbb");
  EXPECT_EQ(r.c.out.ch[3].BUF, std::string(70, 'a') + "bbbb");
  FLUSHOUT(r.c, 3);
  EXPECT_EQ(written(3, "chan3"), std::string(70, 'a') + "bbbb\n");
}

TEST_F(ChannelTest, PieceThatOverflowsStartsTheNextLine) {
  send(std::string(70, 'a'));
  send("bbbbb");
  EXPECT_EQ(r.c.out.ch[3].BUF, "bbbbb");
  FLUSHOUT(r.c, 3);
  EXPECT_EQ(written(3, "chan3"), std::string(70, 'a') + "\nbbbbb\n");
}

TEST_F(ChannelTest, LongPieceGetsALineOfItsOwnUnsplit) {
  send("x");
  send(std::string(80, 'p'));
  send("y");
  FLUSHOUT(r.c, 3);
  EXPECT_EQ(written(3, "chan3"), "x\n" + std::string(80, 'p') + "\ny\n");
}

TEST_F(ChannelTest, ForcedSendWithEmptyBufferWritesAnEmptyLine) {
  send("abc", true);
  EXPECT_EQ(r.c.out.ch[3].BUF, "abc");
  EXPECT_EQ(written(3, "chan3"), "\n");
}

TEST_F(ChannelTest, FlushTwiceWritesLineThenEmptyLine) {
  send("abc");
  FLUSHOUT(r.c, 3);
  FLUSHOUT(r.c, 3);
  EXPECT_EQ(written(3, "chan3"), "abc\n\n");
}

TEST_F(ChannelTest, OutlinIsCutTo81) {
  SETOUT(r.c, std::string(100, 'z'));
  EXPECT_EQ(r.c.out.OUTLIN.size(), 81u);
}

TEST_F(ChannelTest, ReplaceEveryOccurrence) {
  std::string d;
  SENDREPL(r.c, "_afel(*,*,evp,*);", '*', "12", d, 5);
  EXPECT_EQ(d, "_afel(12,12,evp,12);");
  SENDREPL(r.c, "no placeholder", '*', "12", d, 5);
  EXPECT_EQ(d, "no placeholder");
  EXPECT_EQ(written(3, "chan3"), "");
  EXPECT_EQ(written(1, "PRU.PAS"), "");
}

TEST_F(ChannelTest, ReplaceModesWriteWhereTheyShould) {
  std::string d;
  SENDREPL(r.c, "const n=#;", '#', "5", d, 1);
  SENDREPL(r.c, "x:=#;", '#', "7", r.c.out.OUTLIN, 3);
  EXPECT_EQ(r.c.out.ch[3].BUF, "x:=7;");
  EXPECT_EQ(written(1, "PRU.PAS"), "const n=5;\n");
}

TEST_F(ChannelTest, ReplacementIsCutTo81) {
  std::string d;
  SENDREPL(r.c, "**", '*', std::string(50, 'q'), d, 5);
  EXPECT_EQ(d, std::string(81, 'q'));
}

TEST_F(ChannelTest, ReplacementHoldingThePlaceholderTerminates) {
  std::string d;
  SENDREPL(r.c, "a*b*", '*', "(*)", d, 5);
  EXPECT_EQ(d, "a(*)b(*)");
}

TEST_F(ChannelTest, ReplacementLongerThanTheRestIsCutWhereItLands) {
  std::string d;
  SENDREPL(r.c, std::string(70, 'a') + "*b*", '*', "0123456789", d, 5);
  EXPECT_EQ(d, std::string(70, 'a') + "0123456789b");
  SENDREPL(r.c, std::string(90, '*'), '*', "", d, 5);  // the template is cut first
  EXPECT_EQ(d, "");
}

TEST(Fillin, EachPlaceholderOnceValuesNeverSearchedAgain) {
  EXPECT_EQ(FILLIN("new(_p*);_p*^.r:=/;", {{'*', "12"}, {'/', "*3"}}), "new(_p12);_p12^.r:=*3;");
  EXPECT_EQ(FILLIN("**", {{'*', "a"}, {'*', "b"}}), "bb");  // the last slot counts
  EXPECT_EQ(FILLIN("plain text", {{'*', "x"}}), "plain text");
  EXPECT_EQ(FILLIN("", {{'*', "x"}}), "");
  EXPECT_EQ(FILLIN("*", {}), "*");
}

TEST_F(ChannelTest, SendSourceFromTrstartToColumn) {
  r.load("first\n  x := y + 1;\nEND.\n");
  r.c.src.PL = 1;
  r.c.out.TRSTART = 3;
  SENDSRC(r.c, 9, 3);
  EXPECT_EQ(r.c.out.ch[3].BUF, "x := y");
  EXPECT_EQ(r.c.out.TRSTART, 3);
}

TEST_F(ChannelTest, WritingToAClosedChannelIsAnIoError) {
  SETOUT(r.c, "x");
  EXPECT_THROW(SENDOUT(r.c, 4, true), IoError);
}

}  // namespace
