// Damaged models never crash the translator: every valid model, with a
// line dropped, a line cut short, or characters replaced, ends in a
// translation, a model error with its editor line, or an I/O failure.
#include <gtest/gtest.h>
#include <random>
#include <vector>
#include "support/support.h"

namespace {

std::vector<std::string> VALIDMODELS() {
  std::vector<std::string> names;
  std::istringstream list(MODELTEXT("valid.txt"));
  std::string line;
  while (std::getline(list, line)) {
    std::string name = line.substr(0, line.find_first_of(" \t\r"));
    if (!name.empty() && name[0] != '#') names.push_back(name);
  }
  return names;
}

std::vector<std::string> LINES(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::string JOIN(const std::vector<std::string>& lines) {
  std::string t;
  for (const std::string& l : lines) t += l + "\n";
  return t;
}

struct Damage {
  TempDir dir;
  int runs = 0, translated = 0;
  // Runs the whole command on the text; failures name the damage.
  void operator()(const std::string& text, const std::string& what) {
    dir.write("m.tlv", text);
    std::ostringstream out, err;
    std::istringstream in;
    int code = -1;
    try {
      code = RUNTALVEN({"m.tlv"}, out, err, in, dir.str());
    } catch (const std::exception& e) {
      ADD_FAILURE() << what << ": escaped " << e.what();
      return;
    }
    runs++;
    if (code == 0) translated++;
    ASSERT_TRUE(code == 0 || code == 2 || code == 3) << what << ": exit " << code;
    if (code == 3) {
      EXPECT_NE(err.str().find(": error: "), std::string::npos) << what << "\n" << err.str();
    }
  }
};

TEST(DamagedModels, DroppedAndCutLines) {
  Damage run;
  for (const std::string& name : VALIDMODELS()) {
    std::vector<std::string> lines = LINES(MODELTEXT(name));
    ASSERT_FALSE(lines.empty()) << name;
    for (size_t i = 0; i < lines.size(); i++) {
      std::vector<std::string> d = lines;
      d.erase(d.begin() + i);
      run(JOIN(d), name + " without line " + std::to_string(i + 1));
      d = lines;
      d[i] = d[i].substr(0, d[i].size() / 2);
      run(JOIN(d), name + " with line " + std::to_string(i + 1) + " cut");
    }
  }
  // Damage is mostly caught: most of these runs must stop on an error.
  EXPECT_LT(run.translated, run.runs);
}

TEST(DamagedModels, ReplacedCharacters) {
  Damage run;
  const std::string marks = ";:,.()[]'\"{}#%@/^ \tX9_=<>-";
  std::mt19937 rng(20261207);
  for (const std::string& name : VALIDMODELS()) {
    const std::string text = MODELTEXT(name);
    for (int k = 0; k < 25; k++) {
      std::string d = text;
      size_t at = rng() % d.size();
      d[at] = marks[rng() % marks.size()];
      run(d, name + " with '" + std::string(1, d[at]) + "' at " + std::to_string(at));
    }
  }
  EXPECT_GT(run.runs, 0);
}

TEST(DamagedModels, LongLinesAndStrayBytes) {
  Damage run;
  const std::string text = MODELTEXT("gen_shop.tlv");
  std::vector<std::string> lines = LINES(text);
  for (size_t i = 0; i < lines.size(); i++) {
    std::vector<std::string> d = lines;
    d[i] += std::string(300, 'A');
    run(JOIN(d), "gen_shop.tlv with line " + std::to_string(i + 1) + " made long");
    d = lines;
    d[i].insert(d[i].size() / 2, std::string("\0\xff\x80\x1a", 4));
    run(JOIN(d), "gen_shop.tlv with stray bytes in line " + std::to_string(i + 1));
  }
  run("", "an empty file");
  run(std::string(5000, '\n'), "only line ends");
  EXPECT_GT(run.runs, 0);
}

}  // namespace
