// The dBase tables the tests read come from shapelib's dbfcreate and
// dbfadd (tests/dbf/make_fixtures.sh): the committed files must be what
// the tool writes, and the tests' own small writer must lay out a file as
// the tool does. Then the compiler reads the committed tables.
#include <gtest/gtest.h>
#include <cstdlib>
#include "dbase_writer.h"
#include "decl_testrun.h"

namespace {

const std::string FIXTURES = std::string(TALVEN_TEST_MODELS) + "/../dbf";

std::string READ(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs a shell command in dir; its exit status, its standard error in err.
int SHELL(const TempDir& dir, const std::string& command, std::string& err) {
  std::string full = "cd '" + dir.str() + "' && { " + command + " ; } 2>stderr.txt >/dev/null";
  int rc = std::system(full.c_str());
  err = dir.read("stderr.txt");
  return rc;
}

bool HASTOOL() { return std::system("command -v dbfcreate >/dev/null 2>&1") == 0; }

// The date of the last update (bytes 1..3) and the language driver byte
// (29) are the writer's own; the reader uses neither.
std::string WITHOUTSTAMPS(std::string b) {
  for (size_t i : {1, 2, 3, 29})
    if (i < b.size()) b[i] = '\0';
  return b;
}

const char* const TABLES[] = {"db_store/STOCK.dbf", "db_store/STOCKOUT.dbf",
                              "db_store/DATA/SHOPS.dbf", "db_store/DATA/SALES.dbf"};

TEST(DbaseFixtures, CommittedTablesAreTheToolsOutput) {
  ASSERT_TRUE(HASTOOL()) << "dbfcreate not found: install the shapelib package (.ci/run does)";
  TempDir dir;
  std::string err;
  ASSERT_EQ(SHELL(dir, "sh '" + FIXTURES + "/make_fixtures.sh' out", err), 0) << err;
  for (const char* t : TABLES) {
    std::string committed = READ(FIXTURES + "/" + t);
    ASSERT_FALSE(committed.empty()) << t;
    EXPECT_EQ(WITHOUTSTAMPS(dir.read(std::string("out/") + t)), WITHOUTSTAMPS(committed)) << t;
  }
}

TEST(DbaseFixtures, TestWriterLaysOutFilesAsTheToolDoes) {
  ASSERT_TRUE(HASTOOL()) << "dbfcreate not found: install the shapelib package (.ci/run does)";
  TempDir dir;
  std::string err;
  ASSERT_EQ(SHELL(dir,
                  "dbfcreate T -n AGE 3 0 -n BALANCE 8 2 -s NAME 10 -s VIP 1 && "
                  "dbfadd T 42 120.5 Ann T && dbfadd T 7 3 Bob F",
                  err),
            0)
      << err;
  std::string ours = DBF({{"AGE", 'N', 3, 0}, {"BALANCE", 'N', 8, 2}, {"NAME", 'C', 10, 0},
                          {"VIP", 'C', 1, 0}},
                         {" 42  120.50Ann       T", "  7    3.00Bob       F"});
  EXPECT_EQ(WITHOUTSTAMPS(ours), WITHOUTSTAMPS(dir.read("T.dbf")));
  // An empty table: header and descriptors only.
  ASSERT_EQ(SHELL(dir, "dbfcreate E -s CITY 6", err), 0) << err;
  EXPECT_EQ(WITHOUTSTAMPS(DBF({{"CITY", 'C', 6, 0}}, {})), WITHOUTSTAMPS(dir.read("E.dbf")));
}

// A table of the tool with numeric fields with and without decimals, a
// character field and a logical field: one array of the right type each.
TEST(DbaseFixtures, ToolTableDeclaresArraysOfItsFieldTypes) {
  DeclRun d(DECLMODEL("DBTABLES (STOCK);"));
  d.dir.write("STOCK.dbf", READ(FIXTURES + "/db_store/STOCK.dbf"));
  ASSERT_EQ(d.run(), "");
  ASSERT_EQ(d.c.decl.DBTABS.size(), 1u);
  const DbTable& t = d.c.decl.DBTABS[0];
  EXPECT_EQ(t.NREC, 3);
  EXPECT_EQ(t.RECLEN, 1 + 4 + 7 + 8 + 1);
  const struct {
    const char* name;
    const char* type;
    int size, width, dec;
  } want[] = {{"QTY", "INTEGER", 2, 4, 0},
              {"PRICE", "REAL", 6, 7, 2},
              {"NAME", "STRING", 8, 8, 0},
              {"ACTIVE", "BOOLEAN", 1, 1, 0}};
  ASSERT_EQ(t.FIELDS.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(t.FIELDS[i].NOM, want[i].name);
    EXPECT_EQ(t.FIELDS[i].TIPO, want[i].type) << want[i].name;
    EXPECT_EQ(t.FIELDS[i].SIZE, want[i].size) << want[i].name;
    EXPECT_EQ(t.FIELDS[i].WIDTH, want[i].width) << want[i].name;
    EXPECT_EQ(t.FIELDS[i].DEC, want[i].dec) << want[i].name;
    for (std::string name : {std::string(want[i].name) + "_STOCK", "STOCK." + std::string(want[i].name)}) {
      NameNode* e = d.entry(name);
      ASSERT_TRUE(e) << name;
      EXPECT_EQ(e->TIPO, "ARRAY");
      EXPECT_EQ(e->TYPEL, want[i].type);
      ASSERT_EQ(e->BOUNDS.size(), 1u);
      EXPECT_EQ(e->BOUNDS[0].MAX, 3);
      EXPECT_TRUE(e->DB);
    }
  }
  EXPECT_EQ(t.KEYVALS, (std::vector<std::string>{"12         ", "30         ", "5          "}));
  std::string pru = d.pru();
  for (const char* line : {"type _QTY_STOCK=array[1..3] of integer;\n",
                           "type _PRICE_STOCK=array[1..3] of real;\n",
                           "type _NAME_STOCK=array[1..3] of string[8];\n",
                           "type _ACTIVE_STOCK=array[1..3] of boolean;\n"})
    EXPECT_NE(pru.find(line), std::string::npos) << line;
}

}  // namespace
