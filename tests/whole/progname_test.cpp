// The model file's name becomes the main program's name: a name that
// would clash there is refused with a model error before the files that
// would fail to compile are written.
#include <gtest/gtest.h>
#include <fstream>
#include <regex>
#include <set>
#include "support/support.h"

namespace {

struct NameRun {
  TempDir dir;
  std::ostringstream out, err;
  // Translates minimal.tlv (nodes ENTRY, TELLER, EXIT) under the file
  // name given, its text changed by edit; the exit code.
  int operator()(const std::string& file, std::string text = MODELTEXT("minimal.tlv")) {
    dir.write(file, text);
    std::istringstream in;
    return RUNTALVEN({file}, out, err, in, dir.str());
  }
  bool wroteNothing(const std::string& stem) const {
    return !dir.has(stem + ".DPR") && !dir.has("unid1.pas") && !dir.has("MODPRO") &&
           (!dir.has("PRU.PAS") || dir.read("PRU.PAS").empty());
  }
};

std::string RENAMED(std::string text, const std::string& from, const std::string& to) {
  return std::regex_replace(text, std::regex("\\b" + from + "\\b"), to);
}

TEST(ProgramName, NamedLikeANode) {
  NameRun run;
  EXPECT_EQ(run("tank.tlv", RENAMED(MODELTEXT("minimal.tlv"), "TELLER", "TANK")), 3);
  EXPECT_EQ(run.err.str(),
            "  TANK (R) EXIT ::: rename the model file or the node: both are called TANK"
            " Lin: 5 Col: 7\n"
            "tank.tlv:5:7: error: rename the model file or the node: both are called TANK\n");
  EXPECT_TRUE(run.wroteNothing("tank"));
}

TEST(ProgramName, NotAName) {
  NameRun run;
  EXPECT_EQ(run("post-office.tlv"), 3);
  EXPECT_EQ(run.err.str(),
            "A bank with one teller.: rename the model file: post-office is no name (a letter, "
            "then letters, digits, _) Lin: 1 Col: 1\n"
            "post-office.tlv:1:1: error: rename the model file: post-office is no name (a "
            "letter, then letters, digits, _)\n");
  EXPECT_TRUE(run.wroteNothing("post-office"));
  for (std::string f : {"9lives.tlv", "_bank.tlv", "my bank.tlv", ".tlv"}) {
    NameRun other;
    EXPECT_EQ(other(f), 3) << f;
    EXPECT_NE(other.err.str().find("is no name (a letter, then letters, digits, _)"),
              std::string::npos)
        << f;
  }
}

TEST(ProgramName, APascalWord) {
  NameRun run;
  EXPECT_EQ(run("div.tlv"), 3);
  EXPECT_EQ(run.err.str(),
            "A bank with one teller.: rename the model file: div is a Pascal word Lin: 1 Col: 1\n"
            "div.tlv:1:1: error: rename the model file: div is a Pascal word\n");
  EXPECT_TRUE(run.wroteNothing("div"));
  NameRun upper;
  EXPECT_EQ(upper("Begin.tlv"), 3);
  EXPECT_NE(upper.err.str().find("Begin is a Pascal word"), std::string::npos);
}

TEST(ProgramName, ANameTheProgramUses) {
  for (std::string f : {"pru.tlv", "unid2.tlv", "Time.tlv", "sysutils.tlv", "stat.tlv"}) {
    NameRun run;
    EXPECT_EQ(run(f), 3) << f;
    std::string stem = f.substr(0, f.find('.'));
    EXPECT_NE(run.err.str().find(":1:1: error: rename the model file: the program uses the name " +
                                 stem + "\n"),
              std::string::npos)
        << run.err.str();
    EXPECT_TRUE(run.wroteNothing(stem)) << f;
  }
}

// A unit of the USES class is known only once DECL is read: refused before
// the main program is written.
TEST(ProgramName, AUserUnit) {
  NameRun run;
  std::string text = MODELTEXT("minimal.tlv");
  text.insert(text.find("END."), "USES tools;\n");
  EXPECT_EQ(run("tools.tlv", text), 3);
  EXPECT_NE(run.err.str().find("error: rename the model file: the program uses the name tools"),
            std::string::npos)
      << run.err.str();
  EXPECT_FALSE(run.dir.has("tools.DPR"));
}

// The identifiers of text, in order; a record's field after its '.' is
// none (it is looked up in the record).
std::vector<std::string> WORDS(const std::string& text) {
  std::vector<std::string> w;
  std::regex word("(^|[^.A-Za-z0-9_])([A-Za-z][A-Za-z0-9_]*)");
  for (std::sregex_iterator i(text.begin(), text.end(), word), e; i != e; ++i) w.push_back((*i)[2]);
  return w;
}

// Every name of a generated main program is refused as a program name,
// but for those the model chose (its nodes, its units, its responses) and
// those with '_', refused by their first character: the list of names the
// main program uses keeps up with its text.
TEST(ProgramName, EveryNameOfAMainProgramIsRefused) {
  std::set<std::string> names;
  std::ifstream list(std::string(TALVEN_TEST_MODELS) + "/valid.txt");
  std::string line;
  while (std::getline(list, line)) {
    std::string model = line.substr(0, line.find(' '));
    if (model.empty() || model[0] == '#') continue;
    NameRun run;
    if (run("m.tlv", MODELTEXT(model)) != 0) continue;  // some need tables beside them
    std::string main = std::regex_replace(run.dir.read("m.DPR"),
                                          std::regex("'[^']*'|\\{[^}]*\\}"), " ");
    // the program's name, and the parameter of _REVRED, local to it
    std::set<std::string> chosen = {"m", "N", "n"};
    auto from = [&](const std::string& after, const std::string& to) {
      size_t a = main.find(after);
      if (a == std::string::npos) return std::string();
      a += after.size();
      return main.substr(a, main.find(to, a) - a);
    };
    for (const std::string& w : WORDS(from("of _nodo=(", ");"))) chosen.insert(w);
    std::vector<std::string> uses = WORDS(from("uses ", ";"));
    for (size_t i = uses.size(); i-- > 0 && uses[i].compare(0, 4, "unid") != 0;)
      chosen.insert(uses[i]);
    std::regex response(":_a4\\.res\\[_i\\]:=([A-Za-z][A-Za-z0-9_]*)");
    for (std::sregex_iterator i(main.begin(), main.end(), response), e; i != e; ++i)
      chosen.insert((*i)[1]);
    for (const std::string& w : WORDS(main))
      if (!chosen.count(w)) names.insert(w);
  }
  ASSERT_GT(names.size(), 40u);
  for (const std::string& n : names) {
    TestRun r;
    r.c.drv.SRCPATH = n + ".tlv";
    r.load(MODELTEXT("minimal.tlv"));
    EXPECT_NE(r.error([&] { CheckProgramName(r.c); }), "") << n;
  }
}

}  // namespace
