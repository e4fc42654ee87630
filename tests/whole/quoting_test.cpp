// Text copied into the generated program's string literals: the model's
// path (FACTORS), a graph's title and plotted expressions, report labels
// and file headings. Quotes are doubled, nothing is cut inside a literal,
// and the program still compiles.
#include <gtest/gtest.h>
#include <sstream>
#include "support/support.h"

namespace {

std::string TRANSLATED(const TempDir& dir, const std::string& path) {
  std::ostringstream out, err;
  std::istringstream in;
  int code = RUNTALVEN({path}, out, err, in, dir.str());
  return code == 0 ? "" : "exit " + std::to_string(code) + ": " + err.str();
}

// Every line of a generated file fits the output width.
void EXPECTLINESFIT(const std::string& text, const std::string& file) {
  std::istringstream in(text);
  int n = 0;
  for (std::string line; std::getline(in, line);)
    EXPECT_LE(line.size(), size_t(LINEMAX)) << file << ":" << ++n << ": " << line;
}

// The generated text with its lines joined and the joints of split
// literals ('+') taken out: a literal split anywhere reads whole again.
std::string JOINED(const std::string& text) {
  std::string t;
  for (char ch : text)
    if (ch != '\n') t += ch;
  for (size_t p; (p = t.find("'+'")) != std::string::npos;) t.erase(p, 3);
  return t;
}

TEST(Quoting, ADirectoryNamedLikeCodeStaysInsideItsLiteral) {
  TempDir dir;
  const std::string evil = "x');halt(7);assign(_arf,'";
  dir.write(evil + "/cls_workshop.tlv", MODELTEXT("cls_workshop.tlv"));
  ASSERT_EQ(TRANSLATED(dir, evil + "/cls_workshop.tlv"), "");
  std::string pru = dir.read("PRU.PAS");
  EXPECT_NE(JOINED(pru).find("assign(_arf,'x'');halt(7);assign(_arf,''/cls_workshop.D01');"),
            std::string::npos);
  EXPECT_EQ(pru.find("assign(_arf,'x');halt(7)"), std::string::npos);
}

// A path of some 200 characters: its literal is split in pieces joined by
// '+', each whole on its line, and the unit compiles.
TEST(Quoting, ALongPathIsSplitIntoWholeLiterals) {
  TempDir dir;
  std::string path;
  for (int i = 0; i < 8; ++i) path += "a directory with a long name " + std::to_string(i) + "/";
  path += "cls_workshop.tlv";
  dir.write(path, MODELTEXT("cls_workshop.tlv"));
  ASSERT_EQ(TRANSLATED(dir, path), "");
  std::string pru = dir.read("PRU.PAS");
  EXPECTLINESFIT(pru, "PRU.PAS");
  EXPECT_NE(JOINED(pru).find("assign(_arf,'" + path.substr(0, path.size() - 3) + "D01');"),
            std::string::npos);
  ASSERT_EQ(SHELLIN(dir, "mkdir units && fpc -Mdelphi -Fu'" + SOURCEDIR +
                             "/runtime' -FUunits PRU.PAS >fpc.log 2>&1"),
            0)
      << dir.read("fpc.log");
}

// A title with a quote and long enough to pass the output width, a long
// plotted expression, a report label with a quote and a long file heading:
// the whole program compiles and each text stays whole.
TEST(Quoting, TitlesLabelsAndHeadingsAreQuotedWhole) {
  std::string m = MODELTEXT("st_report.tlv");
  auto replace = [&](const std::string& a, const std::string& b) {
    size_t p = m.find(a);
    ASSERT_NE(p, std::string::npos) << a;
    m.replace(p, a.size(), b);
  };
  replace("SERVED : 0 : 100; TITLE 'Work done');",
          "SERVED + TOTAL * 2 +\n"
          "       SERVED * SERVED + TOTAL / 3 : 0 : 100;\n"
          "       TITLE 'It''s the work done at the desk, in units of work an hour');");
  replace("% TOTAL : 10 : 2 Work done;",
          "% TOTAL : 10 : 2 The desk's work, all of it, since the start of the run;");
  replace("FILE('served.txt', TIME, SIZE:6:2);",
          "FILE('served.txt', TIME, SIZE + TOTAL * 2 + SERVED * SERVED + TOTAL / 3 +\n"
          "       TOTAL * TOTAL:6:2);");
  TempDir dir;
  dir.write("m.tlv", m);
  ASSERT_EQ(TRANSLATED(dir, "m.tlv"), "");
  std::string unit = dir.read("unid1.pas");
  EXPECTLINESFIT(unit, "unid1.pas");
  EXPECTLINESFIT(dir.read("PRU.PAS"), "PRU.PAS");
  EXPECT_NE(JOINED(unit).find("'It''s the work done at the desk, in units of work an hour'"),
            std::string::npos);
  EXPECT_NE(JOINED(unit).find("'The desk''s work, all of it, since the start of the run'"),
            std::string::npos);
  ASSERT_EQ(FPCBUILD(dir, "m"), 0) << dir.read("fpc.log");
}

}  // namespace
