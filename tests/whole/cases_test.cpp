// Whole-model cases kept as data: every tests/<behaviour>/<case>.tlv that
// has an expectation beside it is translated in process, as the command
// translates it, and compared with it:
//   <case>.error      the model error, `line:col: message`;
//   <case>.<output>   the whole text of a generated file of that name
//                     (PRU.PAS, unid1.pas, <case>.DPR).
// A .tlv with no expectation beside it is left alone (grammar samples,
// models that other tests use).
#include <gtest/gtest.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include "support/support.h"

namespace {

namespace fs = std::filesystem;

struct Case {
  std::string behaviour;          // the folder under tests/
  std::string name;               // the model's stem
  fs::path folder;
  std::string error;              // expected `line:col: message` ("": none)
  bool haserror = false;
  std::vector<std::string> outputs;  // generated files compared whole
};

std::string READ(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Every case under tests/, in a fixed order.
std::vector<Case> CASES() {
  std::vector<Case> all;
  const fs::path tests = fs::path(TALVEN_TEST_MODELS).parent_path();
  std::error_code ec;
  for (const fs::directory_entry& d : fs::directory_iterator(tests, ec)) {
    if (!d.is_directory()) continue;
    for (const fs::directory_entry& f : fs::directory_iterator(d.path(), ec)) {
      if (f.path().extension() != ".tlv") continue;
      Case k;
      k.behaviour = d.path().filename().string();
      k.name = f.path().stem().string();
      k.folder = d.path();
      const std::string prefix = k.name + ".";
      for (const fs::directory_entry& e : fs::directory_iterator(d.path(), ec)) {
        std::string n = e.path().filename().string();
        if (n.compare(0, prefix.size(), prefix) != 0 || n == prefix + "tlv") continue;
        std::string rest = n.substr(prefix.size());
        if (rest == "error") {
          k.haserror = true;
          k.error = READ(e.path());
          if (!k.error.empty() && k.error.back() == '\n') k.error.pop_back();
        } else if (rest.find('.') != std::string::npos) {
          k.outputs.push_back(rest);
        }
      }
      std::sort(k.outputs.begin(), k.outputs.end());
      if (k.haserror || !k.outputs.empty()) all.push_back(k);
    }
  }
  std::sort(all.begin(), all.end(), [](const Case& a, const Case& b) {
    return a.behaviour + "/" + a.name < b.behaviour + "/" + b.name;
  });
  return all;
}

struct ModelCase : ::testing::TestWithParam<Case> {};

TEST_P(ModelCase, TranslatesAsExpected) {
  const Case& k = GetParam();
  TestRun r;
  TempDir dir;
  Compiler& c = r.c;
  c.drv.root = dir.str();
  c.drv.SRCPATH = k.name + ".tlv";
  c.drv.srcdir = k.folder.string();
  c.drv.STACKROOM = NESTINGROOM;
  const std::string text = READ(k.folder / (k.name + ".tlv"));
  std::string message;
  RUNONSTACK(TRANSLATORSTACK, [&] { message = r.error([&] { TRANSLATETEXT(c, text); }); });
  if (k.haserror) {
    ASSERT_NE(message, "") << "translated without error";
    EXPECT_EQ(std::to_string(r.lastError.line) + ":" + std::to_string(r.lastError.column) +
                  ": " + message,
              k.error);
  } else {
    ASSERT_EQ(message, "") << r.lastError.line << ":" << r.lastError.column;
  }
  for (const std::string& out : k.outputs) {
    ASSERT_TRUE(HASWRITTEN(c, out)) << out << " not written";
    EXPECT_EQ(FILETEXT(c, out), READ(k.folder / (k.name + "." + out))) << out;
  }
}

std::string CASENAME(const ::testing::TestParamInfo<Case>& i) {
  std::string n = i.param.behaviour + "_" + i.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Tests, ModelCase, ::testing::ValuesIn(CASES()), CASENAME);

}  // namespace
