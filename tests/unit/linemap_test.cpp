// Where generated text came from: the origin kept for every piece written,
// read back at a generated file, line and column, through the temporaries
// copied into PRU.PAS and the procedure text cut back after a FORWARD
// heading. Also the reading of fpc's messages and the build directory's
// name.
#include <gtest/gtest.h>
#include <memory>
#include "support/support.h"

namespace {

// A model translated in process in a directory of its own; the compiler
// is kept to ask where its text came from.
struct Translated {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  std::unique_ptr<Compiler> c = std::make_unique<Compiler>();

  explicit Translated(const std::string& model) {
    dir.write("m.tlv", MODELTEXT(model));
    c->drv.SRCPATH = "m.tlv";
    c->drv.root = dir.str();
    c->drv.out = &out;
    c->drv.err = &err;
    c->drv.in = &in;
    TRANSLATE(*c);
  }
  // Line and column (1-based) of the nth line holding text in a generated
  // file; line 0 when there is none.
  Place find(const std::string& file, const std::string& text, int nth = 1) {
    std::istringstream f(WRITTEN(*c, dir, file));
    std::string line;
    for (int n = 1; std::getline(f, line); ++n) {
      size_t p = line.find(text);
      if (p != std::string::npos && --nth == 0) return {n, static_cast<int>(p) + 1};
    }
    return {};
  }
  // Where the model has the text that stands at text's place in file.
  Place origin(const std::string& file, const std::string& text, int nth = 1) {
    Place g = find(file, text, nth);
    EXPECT_GT(g.line, 0) << text << " not in " << file;
    return ORIGINOF(*c, file, g.line, g.col);
  }
};

void EXPECTPLACE(const Place& p, int line, int col, bool copied) {
  EXPECT_EQ(p.line, line);
  EXPECT_EQ(p.col, col);
  EXPECT_EQ(p.copied, copied);
}

// Node code copied into the unit: the generated column goes back to the
// model's own, character for character.
TEST(LineMap, NodeCodeKeepsItsColumns) {
  Translated t("build_real_to_integer.tlv");
  EXPECTPLACE(t.origin("unid1.pas", "SERVED := STAY"), 7, 6, true);
  EXPECTPLACE(t.origin("unid1.pas", "* 2;"), 7, 21, true);
}

// A '#' line loses its mark in the output, one column to the left.
TEST(LineMap, PascalLineIsFoundPastItsMark) {
  Translated t("build_undeclared_in_hash.tlv");
  EXPECTPLACE(t.origin("unid1.pas", "NOTIFYCLERK"), 7, 6, true);
}

// INIT goes through two temporaries (MODIN1, then MODPRO) into PRU.PAS.
TEST(LineMap, InitSurvivesTheTemporaries) {
  Translated t("build_bad_init_expression.tlv");
  EXPECTPLACE(t.origin("PRU.PAS", "'ten' * 2"), 10, 12, true);
  EXPECTPLACE(t.origin("PRU.PAS", "LIMIT := "), 10, 3, true);
}

// The FORWARD heading's text is cut from MODPRP again; the origins of the
// lines after it must not slip.
TEST(LineMap, ProcedureTextAfterATakenBackHeading) {
  Translated t("build_procedure_forward.tlv");
  EXPECTPLACE(t.origin("PRU.PAS", "SERVED + X"), 19, 17, true);
  EXPECTPLACE(t.origin("PRU.PAS", "PROCEDURE COUNTUP;"), 17, 5, true);
}

// The translator's own text points at the start of the line being read: a
// node's heading at its header, the unit's forward headings at the header
// of the node that opened the unit.
TEST(LineMap, OwnTextPointsAtItsLine) {
  Translated t("build_real_to_integer.tlv");
  EXPECTPLACE(t.origin("unid1.pas", "procedure TELLER(ino:integer);", 1), 3, 3, false);
  EXPECTPLACE(t.origin("unid1.pas", "procedure TELLER(ino:integer);", 2), 5, 3, false);
}

// Files are found by their name alone, in any case; a file the run did not
// write, or a line past its end, has no origin.
TEST(LineMap, UnknownPlacesHaveNone) {
  Translated t("build_real_to_integer.tlv");
  Place g = t.find("unid1.pas", "SERVED := STAY");
  EXPECTPLACE(ORIGINOF(*t.c, "/somewhere/UNID1.PAS", g.line, g.col), 7, 6, true);
  EXPECT_NE(MAPOF(*t.c, "./pru.pas"), nullptr);
  EXPECT_NE(MAPOF(*t.c, "m.DPR"), nullptr);
  EXPECT_EQ(MAPOF(*t.c, "rtkern.pas"), nullptr);
  EXPECT_EQ(MAPOF(*t.c, "MODPRO"), nullptr);  // erased with the temporaries
  EXPECT_EQ(ORIGINOF(*t.c, "rtkern.pas", 3, 1).line, 0);
  EXPECT_EQ(ORIGINOF(*t.c, "unid1.pas", 100000, 1).line, 0);
  EXPECT_EQ(ORIGINOF(*t.c, "unid1.pas", 0, 1).line, 0);
}

// Every line of every generated file has an origin within the model.
TEST(LineMap, EveryLineHasAnOrigin) {
  Translated t("gen_shop.tlv");
  int lines = static_cast<int>(t.c->src.lines.size()) - 1;
  for (const char* file : {"PRU.PAS", "unid1.pas", "m.DPR"}) {
    std::istringstream f(WRITTEN(*t.c, t.dir, file));
    std::string line;
    int n = 0;
    while (std::getline(f, line)) {
      Place p = ORIGINOF(*t.c, file, ++n, 1);
      ASSERT_GE(p.line, 1) << file << ':' << n;
      ASSERT_LE(p.line, lines) << file << ':' << n;
    }
    EXPECT_EQ(static_cast<size_t>(n), MAPOF(*t.c, file)->first.size()) << file;
  }
}

// Pieces that place their columns as the piece or line before them does
// are not kept: the map of a generated file holds far fewer pieces than
// lines, and the places above come out as before.
TEST(LineMap, KeepsFewPieces) {
  Translated t("gen_shop.tlv");
  for (const char* file : {"PRU.PAS", "unid1.pas"}) {
    const LineMap* m = MAPOF(*t.c, file);
    ASSERT_NE(m, nullptr) << file;
    EXPECT_GT(m->first.size(), 20u) << file;
    EXPECT_LT(2 * m->pieces.size(), m->first.size()) << file;
  }
}

TEST(FpcLog, ErrorsWithTheirPlacesAndNothingElse) {
  const char* log =
      "Free Pascal Compiler version 3.2.2 [2023/03/30] for x86_64\n"
      "Compiling bank.DPR\n"
      "Compiling ./PRU.PAS\n"
      "PRU.PAS(12,3) Note: Local variable \"X\" not used\n"
      "PRU.PAS(138,18) Error: Operator is not overloaded: \"Constant String\" * \"ShortInt\"\r\n"
      "unid1.pas(48,8) Fatal: Syntax error, \";\" expected but \"identifier X\" found\n"
      "PRU.PAS(151) Fatal: There were 1 errors compiling module, stopping\n"
      "my dir (2)/bank.DPR(8) Error: Duplicate identifier \"BANK\"\n"
      "Fatal: Compilation aborted\n"
      "Error: /usr/bin/ppcx64 returned an error exitcode\n";
  std::vector<FpcError> e = FPCERRORS(log);
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].file, "PRU.PAS");
  EXPECT_EQ(e[0].line, 138);
  EXPECT_EQ(e[0].col, 18);
  EXPECT_EQ(e[0].text, "Operator is not overloaded: \"Constant String\" * \"ShortInt\"");
  EXPECT_EQ(e[1].file, "unid1.pas");
  EXPECT_EQ(e[1].text, "Syntax error, \";\" expected but \"identifier X\" found");
  EXPECT_EQ(e[2].file, "my dir (2)/bank.DPR");
  EXPECT_EQ(e[2].line, 8);
  EXPECT_EQ(e[2].col, 0);
}

TEST(BuildDir, BesideTheModelWithoutItsLastExtension) {
  EXPECT_EQ(BUILDDIROF("bank.tlv"), "bank-build");
  EXPECT_EQ(BUILDDIROF("examples/bank.tlv"), "examples/bank-build");
  EXPECT_EQ(BUILDDIROF("my models.v2\\bank.v3.tlv"), "my models.v2/bank.v3-build");
  EXPECT_EQ(BUILDDIROF("/tmp/Modèles/bank"), "/tmp/Modèles/bank-build");
}

}  // namespace
