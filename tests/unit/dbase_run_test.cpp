// dBase tables through a whole translation and a run of the generated
// program: LOAD reads the tables written by shapelib (tests/dbf), node
// code changes the field arrays, DBUPDATE writes them into another table
// file, which is then read back here byte for byte. Also the command's
// answer to a table file that cannot be opened.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

// Every price doubles, every stock grows by the units of its second shop
// (a table indexed by two others), the flags turn over and the second
// item is renamed; the result goes to STOCKOUT.
const char* UPDATEMODEL =
    "Prices and stock of a dBase table changed and written to a copy.\n"
    "NETWORK\n"
    "  WORK (A) ::\n"
    "     FOR K := 1 TO 3 DO\n"
    "     BEGIN\n"
    "        PRICE_STOCK[K] := PRICE_STOCK[K] * 2;\n"
    "        STOCK.QTY[K] := STOCK.QTY[K] + UNITS_SALES[K, 2];\n"
    "        ACTIVE_STOCK[K] := NOT ACTIVE_STOCK[K]\n"
    "     END;\n"
    "     NAME_STOCK[2] := 'NEW';\n"
    "     DBUPDATE(STOCK, STOCKOUT, QTY, PRICE, NAME, ACTIVE);\n"
    "     UNLOAD(STOCK, QTY, PRICE, NAME, ACTIVE);\n"
    "     ENDSIMUL;\n"
    "INIT\n"
    "  TSIM := 10;\n"
    "  LOAD(STOCK, QTY, PRICE, NAME, ACTIVE);\n"
    "  LOAD(SALES, UNITS);\n"
    "  ACT(WORK, 0);\n"
    "DECL\n"
    "VAR K : INTEGER;\n"
    "DBTABLES (STOCK, STOCKOUT), (DATA/ SHOPS, SALES:2);\n"
    "END.\n";

TEST(DbaseRun, LoadAndUpdateMoveTheValuesThroughTheFiles) {
  TempDir dir;
  std::filesystem::copy(SOURCEDIR + "/tests/dbf/db_store", dir.path,
                        std::filesystem::copy_options::recursive);
  dir.write("upd.tlv", UPDATEMODEL);
  std::ostringstream out, err;
  std::istringstream in;
  ASSERT_EQ(RUNTALVEN({"upd.tlv"}, out, err, in, dir.str()), 0) << err.str();
  ASSERT_EQ(FPCBUILD(dir, "upd"), 0) << dir.read("fpc.log");
  ASSERT_EQ(RUNBUILT(dir, "upd"), 0) << dir.read("run.log");
  std::string before = dir.read("STOCK.dbf");
  std::string after = dir.read("STOCKOUT.dbf");
  const size_t head = 32 + 4 * 32 + 1;
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(0, head), before.substr(0, head));  // the header is kept
  EXPECT_EQ(after.substr(head),
            "   24   7.00BOLT    F"
            "   52   0.50NEW     F"
            "   37  39.80HAMMER  T"
            "\x1a");
  // The table that was read is left as it was.
  EXPECT_EQ(before.substr(head),
            "   12   3.50BOLT    T"
            "   30   0.25NUT     T"
            "    5  19.90HAMMER  F"
            "\x1a");
}

// A table file that cannot be opened is an input/output failure that
// names the file; the model itself is not at fault.
TEST(DbaseRun, MissingTableFileIsAnIoFailureNamingIt) {
  TempDir dir;
  dir.write("m.tlv",
            "A model whose table is missing.\n"
            "NETWORK\n  A (I) ::\n     IT := 1;\n"
            "INIT\n  TSIM := 1;\n  ACT(A, 0);\n"
            "DECL\nDBTABLES (DATA/ CLIENTS);\nEND.\n");
  std::ostringstream out, err;
  std::istringstream in;
  EXPECT_EQ(RUNTALVEN({"m.tlv"}, out, err, in, dir.str()), 2);
  EXPECT_EQ(err.str(), "talven: DATA/CLIENTS.dbf: dBase table cannot be opened\n");
}

}  // namespace
