// The files of a run: the user's own files are never touched, a model is
// never overwritten by its outputs, a failed run leaves the outputs of the
// last good one as they were, an output named by a symlink replaces the
// link, and a source that is no regular file is refused before anything
// is written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <set>
#include "support/support.h"
#include "../../bench/genmodel.h"

namespace fs = std::filesystem;

namespace {

// Everything under a directory: each file's text, "<dir>" for a
// directory, "-> target" for a symlink and "<special>" for anything
// else, by relative path.
std::map<std::string, std::string> SNAPSHOT(const TempDir& dir) {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::recursive_directory_iterator(dir.path)) {
    std::string rel = fs::relative(e.path(), dir.path).string();
    if (e.is_symlink())
      m[rel] = "-> " + fs::read_symlink(e.path()).string();
    else if (e.is_directory())
      m[rel] = "<dir>";
    else if (!e.is_regular_file())
      m[rel] = "<special>";  // a FIFO: reading it would wait for a writer
    else
      m[rel] = dir.read(rel);
  }
  return m;
}

struct Result {
  int code;
  std::string err;
};

Result RUN(const TempDir& dir, const std::string& model) {
  std::ostringstream out, err;
  std::istringstream in;
  int code = RUNTALVEN({model}, out, err, in, dir.str());
  return {code, err.str()};
}

const char* const OLDTEMPORARIES[] = {"MODINI", "MODIN1", "MODPRO", "MODPRP",
                                      "MODAUX", "MODLOG", "MODEDI"};

TEST(Files, UserFilesNamedLikeTemporariesAreKept) {
  TempDir dir;
  for (int i = 0; i < 7; ++i) {
    if (i % 2)
      fs::create_directory(dir.path / OLDTEMPORARIES[i]);  // an empty directory
    else
      dir.write(OLDTEMPORARIES[i], std::string("the user's ") + OLDTEMPORARIES[i] + "\n");
  }
  dir.write("good.tlv", MODELTEXT("msg_bank.tlv"));
  dir.write("bad.tlv", MODELTEXT("no_end.tlv"));
  auto before = SNAPSHOT(dir);
  EXPECT_EQ(RUN(dir, "good.tlv").code, 0);
  EXPECT_EQ(RUN(dir, "bad.tlv").code, 3);
  auto after = SNAPSHOT(dir);
  for (const char* t : OLDTEMPORARIES) EXPECT_EQ(after[t], before[t]) << t;
}

TEST(Files, AModelNamedLikeATemporaryIsTranslatedAndKept) {
  for (const char* name : {"MODAUX", "MODINI"}) {
    TempDir dir;
    dir.write(name, MODELTEXT("msg_bank.tlv"));
    Result r = RUN(dir, name);
    EXPECT_EQ(r.code, 0) << name << ": " << r.err;
    EXPECT_EQ(dir.read(name), MODELTEXT("msg_bank.tlv")) << name;
    EXPECT_TRUE(dir.has(std::string(name) + ".DPR")) << name;
  }
}

// A model that one of the outputs would replace: nothing is written, not
// even the witness, and the message names the output. PRU.PAS and unid1
// are names the program uses, refused as the model's name before that.
TEST(Files, AModelTheOutputsWouldReplaceIsRefused) {
  for (const char* name : {"Testigo.TLQ", "bank.DPR"}) {
    TempDir dir;
    dir.write(name, MODELTEXT("minimal.tlv"));
    auto before = SNAPSHOT(dir);
    Result r = RUN(dir, name);
    EXPECT_EQ(r.code, 2) << name;
    EXPECT_EQ(r.err, std::string("talven: ") + name +
                         ": would replace the model's own source; nothing written\n");
    EXPECT_EQ(SNAPSHOT(dir), before) << name;
  }
  for (const char* name : {"PRU.PAS", "unid1.pas"}) {
    TempDir dir;
    dir.write(name, MODELTEXT("minimal.tlv"));
    Result r = RUN(dir, name);
    EXPECT_EQ(r.code, 3) << name;
    EXPECT_NE(r.err.find("error: rename the model file"), std::string::npos) << r.err;
    EXPECT_EQ(dir.read(name), MODELTEXT("minimal.tlv")) << name;
    EXPECT_FALSE(dir.has(std::string(name) == "PRU.PAS" ? "unid1.pas" : "PRU.PAS")) << name;
  }
  // The same through a symlink: the model is the file PRU.PAS.
  TempDir dir;
  dir.write("PRU.PAS", MODELTEXT("minimal.tlv"));
  fs::create_symlink("PRU.PAS", dir.path / "m.tlv");
  auto before = SNAPSHOT(dir);
  EXPECT_EQ(RUN(dir, "m.tlv").code, 2);
  EXPECT_EQ(SNAPSHOT(dir), before);
}

// A run stopped by a model error, even one found at the very end, keeps
// every output of the good run before it: no file truncated, no old unit
// left beside new ones.
TEST(Files, AFailedRunLeavesThePreviousOutputsAsTheyWere) {
  TempDir dir;
  dir.write("bank.tlv", MODELTEXT("gen_modules.tlv"));
  ASSERT_EQ(RUN(dir, "bank.tlv").code, 0);
  for (const char* f : {"PRU.PAS", "unid1.pas", "unid2.pas", "bank.DPR"}) ASSERT_TRUE(dir.has(f));
  auto good = SNAPSHOT(dir);
  std::string late = MODELTEXT("gen_modules.tlv");
  late.replace(late.find("TSIM := 1000;"), 13, "");
  late.replace(late.find("IF NDONE > 100 THEN ENDSIMUL;"), 29, "");
  dir.write("bank.tlv", late);  // no terminating condition: found at assembly
  Result r = RUN(dir, "bank.tlv");
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("missing terminating condition"), std::string::npos) << r.err;
  auto after = SNAPSHOT(dir);
  for (const char* f : {"PRU.PAS", "unid1.pas", "unid2.pas", "bank.DPR"})
    EXPECT_EQ(after[f], good[f]) << f;
  // The units already written to their new files went with the run.
  after.erase("bank.tlv");
  good.erase("bank.tlv");
  EXPECT_EQ(after, good);
}

// Names of the files of a directory (not below it).
std::set<std::string> NAMES(const TempDir& dir) {
  std::set<std::string> n;
  for (const auto& e : fs::directory_iterator(dir.path)) n.insert(e.path().filename().string());
  return n;
}

// A large model's outputs go to disk as they are made, PRU.PAS in many
// pieces and each unit when it ends: what lands is byte for byte the text
// a run holding everything in memory makes, and nothing else is left.
TEST(Files, OutputsWrittenAsTheyAreMadeAreTheRunsTexts) {
  TempDir dir;
  dir.write("big.tlv", genmodel::MODEL(12000, false, 3));
  TestRun held;
  held.c.drv.SRCPATH = "big.tlv";
  held.c.drv.root = dir.str();
  TRANSLATE(held.c);
  ASSERT_GT(FILETEXT(held.c, "PRU.PAS").size(), 600000u);  // several pieces of it
  ASSERT_EQ(RUN(dir, "big.tlv").code, 0);
  std::set<std::string> expected{"big.tlv", "Testigo.TLQ"};
  for (const auto& [name, text] : held.c.out.files) {
    expected.insert(name);
    EXPECT_EQ(dir.read(name), text) << name;
  }
  EXPECT_GT(expected.size(), 10u);  // a program of many units
  EXPECT_EQ(NAMES(dir), expected);
}

// A run that writes as it goes and is dropped, or started again, before
// its outputs are committed takes its new files with it.
TEST(Files, AnUncommittedRunLeavesNoFileBehind) {
  TempDir dir;
  dir.write("big.tlv", genmodel::MODEL(3000, true, 4));
  {
    TestRun r;
    r.c.drv.SRCPATH = "big.tlv";
    r.c.drv.root = dir.str();
    r.c.drv.STREAMOUT = true;
    TRANSLATE(r.c);
    EXPECT_GT(NAMES(dir).size(), 5u);  // written beside their places, not renamed
    TRANSLATE(r.c);                    // again, from the start
    EXPECT_FALSE(r.c.out.streams.by.empty());
  }
  EXPECT_EQ(NAMES(dir), std::set<std::string>{"big.tlv"});
}

TEST(Files, AnOutputThatIsASymlinkIsReplacedNotFollowed) {
  TempDir dir;
  dir.write("elsewhere/victim.txt", "keep me\n");
  dir.write("work/bank.tlv", MODELTEXT("minimal.tlv"));
  for (const char* f : {"PRU.PAS", "unid1.pas", "bank.DPR", "Testigo.TLQ"})
    fs::create_symlink("../elsewhere/victim.txt", dir.path / "work" / f);
  std::ostringstream out, err;
  std::istringstream in;
  ASSERT_EQ(RUNTALVEN({"bank.tlv"}, out, err, in, dir.file("work")), 0) << err.str();
  EXPECT_EQ(dir.read("elsewhere/victim.txt"), "keep me\n");
  for (const char* f : {"PRU.PAS", "unid1.pas", "bank.DPR", "Testigo.TLQ"}) {
    EXPECT_FALSE(fs::is_symlink(dir.path / "work" / f)) << f;
    EXPECT_TRUE(fs::is_regular_file(dir.path / "work" / f)) << f;
  }
  EXPECT_EQ(dir.read("work/PRU.PAS").substr(0, 9), "unit pru;");
}

TEST(Files, ADirectoryAsTheModelIsRefused) {
  TempDir dir;
  fs::create_directory(dir.path / "model.tlv");
  auto before = SNAPSHOT(dir);
  Result r = RUN(dir, "model.tlv");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "talven: model.tlv: not a regular file\n");
  EXPECT_EQ(SNAPSHOT(dir), before);
}

// A FIFO nobody writes to would block the reading for ever: it is refused
// at once. Should the run hang all the same, the test opens the FIFO's
// other end to free it, and fails.
TEST(Files, AFifoAsTheModelIsRefusedAtOnce) {
  TempDir dir;
  std::string fifo = dir.file("model.tlv");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto before = SNAPSHOT(dir);
  auto run = std::async(std::launch::async, [&] { return RUN(dir, "model.tlv"); });
  if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    int fd = open(fifo.c_str(), O_WRONLY);  // meets the waiting reader
    if (fd >= 0) close(fd);
    ADD_FAILURE() << "the translation waited on the FIFO";
  }
  Result r = run.get();
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "talven: model.tlv: not a regular file\n");
  EXPECT_EQ(SNAPSHOT(dir), before);
}


// A dBase table the model names that is a FIFO is refused the same way.
TEST(Files, AFifoAsADbaseTableIsRefusedAtOnce) {
  TempDir dir;
  dir.write("m.tlv",
            "A table that is a FIFO.\nNETWORK\n  WORK (A) ::\n     ENDSIMUL;\nINIT\n"
            "  TSIM := 10;\n  LOAD(STOCK, QTY);\n  ACT(WORK, 0);\nDECL\n"
            "DBTABLES (STOCK);\nEND.\n");
  std::string fifo = dir.file("STOCK.dbf");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto before = SNAPSHOT(dir);
  auto run = std::async(std::launch::async, [&] { return RUN(dir, "m.tlv"); });
  if (run.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    int fd = open(fifo.c_str(), O_WRONLY);
    if (fd >= 0) close(fd);
    ADD_FAILURE() << "the translation waited on the FIFO";
  }
  Result r = run.get();
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "talven: STOCK.dbf: not a regular file\n");
  EXPECT_EQ(SNAPSHOT(dir), before);
}

}  // namespace
