// talven build as a modeller uses it: the model's directory gets one build
// directory and nothing else, fpc's complaints come back at the model's
// lines, an unchanged model is not built again, and paths may hold blanks,
// dots and letters beyond ASCII.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include "support/support.h"

namespace fs = std::filesystem;

namespace {

struct Build {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  int code = -1;

  // talven build PATH, PATH relative to the temporary directory.
  int operator()(const std::string& path) {
    out.str("");
    err.str("");
    code = RUNTALVEN({"build", path}, out, err, in, dir.str());
    return code;
  }
  std::string model(const std::string& path, const std::string& testmodel) {
    dir.write(path, MODELTEXT(testmodel));
    return path;
  }
};

// Modification time of a file, to the nanosecond; 0 when it is missing.
long long MTIME(const std::string& f) {
  struct stat st;
  if (stat(f.c_str(), &st) != 0) return 0;
  return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

std::vector<std::string> ENTRIES(const std::string& d) {
  std::vector<std::string> e;
  for (const auto& x : fs::directory_iterator(d)) e.push_back(x.path().filename().string());
  std::sort(e.begin(), e.end());
  return e;
}

// The program's path on standard output, and beside the model only the
// model and its build directory.
TEST(Build, ProgramInTheBuildDirectoryBesideTheModel) {
  Build b;
  b.model("models/bank.tlv", "minimal.tlv");
  ASSERT_EQ(b("models/bank.tlv"), 0) << b.err.str();
  std::string program = b.dir.file("models/bank-build/bank");
  EXPECT_EQ(b.out.str(), program + "\n");
  EXPECT_EQ(b.err.str(), "");
  EXPECT_EQ(access(program.c_str(), X_OK), 0);
  EXPECT_EQ(ENTRIES(b.dir.file("models")), (std::vector<std::string>{"bank-build", "bank.tlv"}));
  EXPECT_EQ(ENTRIES(b.dir.str()), (std::vector<std::string>{"models"}));
  for (const char* f : {"PRU.PAS", "unid1.pas", "bank.DPR", "fpc.log", "build.stamp"})
    EXPECT_TRUE(b.dir.has(std::string("models/bank-build/") + f)) << f;
}

// Built once; a second build of the same text leaves the program alone;
// a changed model is built again.
// The same model named with the other separator is the same build.
TEST(Build, UnchangedModelIsNotBuiltAgain) {
  Build b;
  b.model("m/bank.tlv", "minimal.tlv");
  ASSERT_EQ(b("m/bank.tlv"), 0) << b.err.str();
  std::string program = b.dir.file("m/bank-build/bank");
  long long first = MTIME(program);
  ASSERT_NE(first, 0);
  ASSERT_EQ(b("m\\bank.tlv"), 0) << b.err.str();
  EXPECT_EQ(b.out.str(), program + "\n");
  EXPECT_EQ(MTIME(program), first);
  b.dir.write("m/bank.tlv", MODELTEXT("minimal.tlv") + "\n");
  ASSERT_EQ(b("m/bank.tlv"), 0) << b.err.str();
  EXPECT_NE(MTIME(program), first);
}

// Each error fpc finds in the generated text, at the model's line and
// column, the generated place in brackets; exit 3 and no program.
TEST(Build, FpcErrorsAtTheModelsLines) {
  struct Case {
    const char* model;
    const char* at;       // model:line:col: error: and fpc's message
    const char* place;    // the generated file in brackets
  } cases[] = {
      {"build_real_to_integer.tlv", "m.tlv:7:21: error: Incompatible types: got \"Real\"",
       " [unid1.pas:"},
      {"build_undeclared_in_hash.tlv", "m.tlv:7:6: error: Identifier not found \"NOTIFYCLERK\"",
       " [unid1.pas:"},
      {"build_bad_init_expression.tlv", "m.tlv:10:18: error: Operator is not overloaded",
       " [PRU.PAS:"},
      {"build_procedure_forward.tlv", "m.tlv:19:24: error: Incompatible types: got \"Real\"",
       " [PRU.PAS:"},
  };
  for (const Case& k : cases) {
    Build b;
    b.model("m.tlv", k.model);
    EXPECT_EQ(b("m.tlv"), 3) << k.model;
    std::string e = b.err.str();
    EXPECT_EQ(e.rfind(k.at, 0), 0u) << k.model << ": " << e;
    EXPECT_NE(e.find(k.place), std::string::npos) << k.model << ": " << e;
    EXPECT_EQ(std::count(e.begin(), e.end(), '\n'), 1) << e;
    EXPECT_EQ(b.out.str(), "");
    EXPECT_FALSE(b.dir.has("m-build/m"));
    EXPECT_FALSE(b.dir.has("m-build/build.stamp"));
  }
}

// A model error is one editor line, the witness and no temporaries in the
// build directory; the same model fixed then builds.
TEST(Build, ModelErrorsInEditorForm) {
  Build b;
  b.model("m.tlv", "no_end.tlv");
  EXPECT_EQ(b("m.tlv"), 3);
  EXPECT_EQ(b.err.str(), "m.tlv:12:1: error: END. missing or misplaced\n");
  EXPECT_EQ(b.out.str(), "");
  EXPECT_TRUE(b.dir.has("m-build/Testigo.TLQ"));
  EXPECT_FALSE(b.dir.has("m-build/MODINI"));
  b.model("m.tlv", "minimal.tlv");
  EXPECT_EQ(b("m.tlv"), 0) << b.err.str();
}

// Warnings of the translator, as editors read them, and the build goes on.
TEST(Build, WarningsInEditorForm) {
  Build b;
  b.dir.write("w.tlv",
              "A bank with a stray line before its first node.\n"
              "NETWORK\n"
              "  X := 1\n"
              "  ENTRY (I) TELLER ::\n"
              "     IT := EXPO(5);\n"
              "  TELLER (R) EXIT ::\n"
              "     STAY := EXPO(4);\n"
              "  EXIT (E) ::\n"
              "INIT\n"
              "  TSIM := 100;\n"
              "  ACT(ENTRY, 0);\n"
              "DECL\n"
              "END.\n");
  EXPECT_EQ(b("w.tlv"), 0);
  EXPECT_EQ(b.err.str(), "w.tlv:3:5: warning: Not a Node\n");
}

// Blanks, dots and letters beyond ASCII in the directories; the model's
// dBase tables are read beside it, wherever the build is started. The
// program reads them again when it runs, from its working directory.
TEST(Build, PathsWithBlanksDotsAndAccents) {
  Build b;
  std::string d = "Mes modèles v2.1/año 2024";
  b.model(d + "/db_store.tlv", "db_store.tlv");
  fs::copy(SOURCEDIR + "/tests/dbf/db_store", b.dir.file(d), fs::copy_options::recursive);
  ASSERT_EQ(b(d + "/db_store.tlv"), 0) << b.err.str();
  EXPECT_EQ(b.out.str(), b.dir.file(d + "/db_store-build/db_store") + "\n");
  std::string run = b.dir.file(d + "/db_store-build/db_store");
  EXPECT_EQ(std::system(("cd '" + b.dir.file(d) + "' && timeout 60 '" + run +
                         "' </dev/null >run.log 2>&1").c_str()),
            0)
      << b.dir.read(d + "/run.log");
}

TEST(Build, CommandLineMistakes) {
  Build b;
  EXPECT_EQ(b("missing.tlv"), 2);
  EXPECT_EQ(b.err.str(), "talven: missing.tlv: no such model file\n");
  std::ostringstream out, err;
  std::istringstream in;
  EXPECT_EQ(RUNTALVEN({"build"}, out, err, in, b.dir.str()), 2);
  EXPECT_EQ(err.str().rfind("usage: talven build MODEL\n", 0), 0u);
  EXPECT_EQ(RUNTALVEN({"build", "a.tlv", "b.tlv"}, out, err, in, b.dir.str()), 2);
  EXPECT_EQ(RUNTALVEN({"run", "--help"}, out, err, in, b.dir.str()), 0);
  EXPECT_EQ(out.str().rfind("usage: talven run MODEL [--] [ARGS]\n", 0), 0u);
  EXPECT_EQ(RUNTALVEN({"run"}, out, err, in, b.dir.str()), 2);
}

}  // namespace
