// Models the fuzzers found faults with, each reduced to what matters: the
// translation ends as it should (a program, or a model error) and what it
// writes holds together.
#include <gtest/gtest.h>
#include <sstream>
#include "support/support.h"

namespace {

struct Translated {
  TempDir dir;
  int code = -1;
  std::string err;
  explicit Translated(const std::string& model) {
    dir.write("m.tlv", model);
    std::ostringstream out, e;
    std::istringstream in;
    code = RUNTALVEN({"m.tlv"}, out, e, in, dir.str());
    err = e.str();
  }
};

// MODULE lines before the first node, twice in a row, and after the last
// node open no module: the units are numbered from 1 without a gap, the
// main program uses exactly those, and it builds.
TEST(Findings, ModuleLinesThatWouldOpenAnEmptyUnit) {
  Translated r(
      "Modules in odd places.\n"
      "NETWORK\n"
      "MODULE\n"
      "  ENTRY (I) DESK ::\n"
      "     IT := EXPO(5);\n"
      "MODULE\n"
      "MODULE\n"
      "  DESK (R) EXIT ::\n"
      "     STAY := EXPO(4);\n"
      "  EXIT (E) ::\n"
      "MODULE\n"
      "INIT\n"
      "  TSIM := 100;\n"
      "  ACT(ENTRY, 0);\n"
      "DECL\n"
      "END.\n");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(r.dir.has("unid1.pas"));
  EXPECT_TRUE(r.dir.has("unid2.pas"));
  EXPECT_FALSE(r.dir.has("unid3.pas"));
  std::string dpr = r.dir.read("m.DPR");
  EXPECT_NE(dpr.find("\nunid1,\nunid2 \n"), std::string::npos) << dpr;
  ASSERT_EQ(FPCBUILD(r.dir, "m"), 0) << r.dir.read("fpc.log");
}

}  // namespace
