// dBase tables through the declaration pass: table files written here in
// a temporary directory, the arrays declared for their fields, the
// declarations in pru, LOAD, UNLOAD and DBUPDATE in a procedure's body,
// and the errors, malformed files included.
#include <gtest/gtest.h>
#include "dbase_writer.h"
#include "decl_testrun.h"

namespace {

const std::vector<DbfField> CLIENTFIELDS = {
    {"AGE", 'N', 3, 0}, {"BALANCE", 'N', 8, 2}, {"NAME", 'C', 10, 0}, {"VIP", 'L', 1, 0}};
const std::vector<std::string> CLIENTRECORDS = {" 42  120.50Ann       T",
                                                 "  7    3.00Bob       F"};

struct DbRun : DeclRun {
  explicit DbRun(const std::string& decl, const std::string& file = "CLIENTS.dbf",
                 const std::string& bytes = DBF(CLIENTFIELDS, CLIENTRECORDS))
      : DeclRun(DECLMODEL(decl)) {
    dir.write(file, bytes);
  }
  std::string modprp() {
    CLOSECH(c, CH_MODPRP);
    return WRITTEN(c, dir, "MODPRP");
  }
  // What the organisation writes for the tables after its own tables.
  std::string declarations() {
    std::string t = pru();
    return t.substr(t.find('\n', t.find("const _n_ft:")) + 1);
  }
};

TEST(Dbase, FieldsBecomeArraysOfTheirTypes) {
  DbRun d("DBTABLES (CLIENTS);");
  ASSERT_EQ(d.run(), "");
  ASSERT_EQ(d.c.decl.DBTABS.size(), 1u);
  const DbTable& t = d.c.decl.DBTABS[0];
  EXPECT_EQ(t.NOM, "CLIENTS");
  EXPECT_EQ(t.FILE, "CLIENTS");
  EXPECT_EQ(t.NREC, 2);
  EXPECT_EQ(t.RECLEN, 23);
  ASSERT_EQ(t.FIELDS.size(), 4u);
  const char* types[] = {"INTEGER", "REAL", "STRING", "BOOLEAN"};
  const int sizes[] = {2, 6, 10, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(t.FIELDS[i].TIPO, types[i]);
    EXPECT_EQ(t.FIELDS[i].SIZE, sizes[i]);
    for (std::string name : {t.FIELDS[i].NOM + "_CLIENTS", "CLIENTS." + t.FIELDS[i].NOM}) {
      NameNode* e = d.entry(name);
      ASSERT_TRUE(e) << name;
      EXPECT_EQ(e->TIPO, "ARRAY");
      EXPECT_EQ(e->TYPTYP, "ARRAY");
      EXPECT_EQ(e->TYPEL, types[i]);
      EXPECT_EQ(e->NSUB, 1);
      ASSERT_EQ(e->BOUNDS.size(), 1u);
      EXPECT_EQ(e->BOUNDS[0].MIN, 1);
      EXPECT_EQ(e->BOUNDS[0].MAX, 2);
      EXPECT_TRUE(e->DB);
    }
  }
  EXPECT_EQ(t.KEYVALS, (std::vector<std::string>{"42         ", "7          "}));
  EXPECT_EQ(d.declarations(),
            "const \n"
            "_nu1:integer=1;_nu2:integer=2;\n"
            "const N_CLIENTS:integer=2; _nv_CLIENTS:integer=4;\n"
            "type _AGE_CLIENTS=array[1..2] of integer;\n"
            "type _BALANCE_CLIENTS=array[1..2] of real;\n"
            "type _NAME_CLIENTS=array[1..2] of string[10];\n"
            "type _VIP_CLIENTS=array[1..2] of boolean;\n"
            "type _ty_CLIENTS=record \n"
            "AGE:^_AGE_CLIENTS; BALANCE:^_BALANCE_CLIENTS; NAME:^_NAME_CLIENTS; \n"
            "VIP:^_VIP_CLIENTS; end;\n"
            "_tle_CLIENTS=record _del:char; \n"
            "AGE:array[1..3] of char; BALANCE:array[1..8] of char; \n"
            "NAME:array[1..10] of char; VIP:array[1..1] of char; end;\n"
            "var _le_CLIENTS:_tle_CLIENTS;\n"
            "_cle_CLIENTS:array[1..180] of char;\n"
            "const NOM_CLIENTS:array[1..2] of string[11]=(\n"
            "'42         ', '7          ');\n"
            "var CLIENTS:_ty_CLIENTS;\n"
            "\n");  // the organisation ends its tables with a flushed line
  // The class's text stays out of the unit.
  EXPECT_EQ(d.body(), "\n \n");
}

// A table of two dimensions: its first fields name the tables whose
// records index it. The prefix is read from a subdirectory.
TEST(Dbase, KeyedTableWithPrefix) {
  DbRun d("DBTABLES (DATA\\ PRODS, STORES, STOCK:2);", "DATA/PRODS.dbf",
          DBF({{"CODE", 'C', 4, 0}}, {"P1  ", "P2  ", "P3  "}));
  d.dir.write("DATA/STORES.dbf", DBF({{"CITY", 'C', 6, 0}}, {"Lyon  ", "Turin "}));
  d.dir.write("DATA/STOCK.dbf",
              DBF({{"PRODS", 'C', 2, 0}, {"STORES", 'C', 2, 0}, {"QTY", 'N', 4, 0}},
                  {"1 1    5", "1 2    6", "2 1    7", "2 2    8", "3 1    9", "3 2   10"}));
  ASSERT_EQ(d.run(), "");
  const std::vector<DbTable>& t = d.c.decl.DBTABS;
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].FILE, "DATA\\PRODS");
  EXPECT_TRUE(t[0].FIRST);
  EXPECT_FALSE(t[1].FIRST);
  EXPECT_EQ(t[2].M, 2);
  EXPECT_EQ(t[2].KEYTABS, (std::vector<int>{0, 1}));
  EXPECT_FALSE(d.entry("PRODS_STOCK"));  // key fields are no arrays
  NameNode* q = d.entry("QTY_STOCK");
  ASSERT_TRUE(q);
  EXPECT_EQ(q->NSUB, 2);
  ASSERT_EQ(q->BOUNDS.size(), 2u);
  EXPECT_EQ(q->BOUNDS[0].MAX, 3);
  EXPECT_EQ(q->BOUNDS[1].MAX, 2);
  std::string decl = d.declarations();
  EXPECT_NE(decl.find("type _QTY_STOCK=array[1..3,1..2] of integer;\n"), std::string::npos);
  EXPECT_NE(decl.find("_tle_STOCK=record _del:char; \n"
                      "PRODS:array[1..2] of char; STORES:array[1..2] of char; \n"
                      "QTY:array[1..4] of char; end;\n"),
            std::string::npos);
}

// A drive and directories, written with either separator; the file name
// keeps them as written (the generated program opens it so) and is found
// on this system's paths.
TEST(Dbase, PrefixesWithDriveAndEitherSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"DBTABLES (C:\\DATA\\ CLIENTS);", "C:\\DATA\\CLIENTS"},
      {"DBTABLES (C:/DATA/ CLIENTS);", "C:/DATA/CLIENTS"},
      {"DBTABLES (DATA/ CLIENTS);", "DATA/CLIENTS"},
      {"DBTABLES (C:/DATA\\ CLIENTS);", "C:/DATA\\CLIENTS"},
  };
  for (const auto& [decl, file] : cases) {
    DbRun d(std::string(decl) +
                "\nPROCEDURES\nPROCEDURE P; BEGIN LOAD(CLIENTS, AGE) END;",
            std::string(file[0] == 'C' ? "C:/DATA/" : "DATA/") + "CLIENTS.dbf");
    ASSERT_EQ(d.run(), "") << decl;
    ASSERT_EQ(d.c.decl.DBTABS.size(), 1u);
    EXPECT_EQ(d.c.decl.DBTABS[0].NOM, "CLIENTS");
    EXPECT_EQ(d.c.decl.DBTABS[0].FILE, file);
    EXPECT_NE(d.modprp().find("assign(_ardbase,'" + std::string(file) + ".dbf');"),
              std::string::npos)
        << decl;
  }
}

// The three instructions in a procedure's body.
TEST(Dbase, LoadUnloadAndUpdateTexts) {
  DbRun d(
      "DBTABLES (CLIENTS, BACKUP);\n"
      "PROCEDURES\n"
      "PROCEDURE SHIFT;\n"
      "BEGIN\n"
      "  LOAD(CLIENTS, AGE, NAME, VIP);\n"
      "  DBUPDATE(CLIENTS, BACKUP, BALANCE, AGE, NAME, VIP);\n"
      "  UNLOAD(CLIENTS, AGE, NAME)\n"
      "END;");
  d.dir.write("BACKUP.dbf", DBF(CLIENTFIELDS, CLIENTRECORDS));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(d.modprp(),
            "\nPROCEDURE SHIFT; \n"
            "\nBEGIN \n"
            "  \n"
            "begin \n"
            "assign(_ardbase,'CLIENTS.dbf'); _leerenc(_ardbase);\n"
            "getmem(CLIENTS.AGE,sizeof(_AGE_CLIENTS));\n"
            "getmem(CLIENTS.NAME,sizeof(_NAME_CLIENTS));\n"
            "getmem(CLIENTS.VIP,sizeof(_VIP_CLIENTS));\n"
            "_lonreg:=23;\n"
            "for _i1:=1 to n_CLIENTS do  \n"
            "begin \n"
            "blockread(_ardbase,_le_CLIENTS,_lonreg,_resu);\n"
            "val(_le_CLIENTS.AGE,CLIENTS.AGE^[_i1],_k);\n"
            "CLIENTS.NAME^[_i1]:=_le_CLIENTS.NAME;\n"
            "CLIENTS.VIP^[_i1]:=\n"
            "_le_CLIENTS.VIP[1] in ['T','t','Y','y'];\n"
            "end;\n"
            "closeFile(_ardbase) \n"
            " end ;\n"
            " \n"
            "  \n"
            "begin \n"
            "assign(_ardbase,'CLIENTS.dbf'); reset(_ardbase,1);\n"
            "assign(_ardbaseu,'BACKUP.dbf'); reset(_ardbaseu,1);\n"
            "_copystdb;\n"
            "for _i1:=1 to n_CLIENTS do  \n"
            "begin \n"
            "blockread(_ardbase,_le_CLIENTS,23,_resu);\n"
            "str(CLIENTS.BALANCE^[_i1]:8:2,_stau);\n"
            "for _j:=1 to 8 do if _j<=length(_stau) then\n"
            " _le_CLIENTS.BALANCE[_j]:=_stau[_j] else _le_CLIENTS.BALANCE[_j]:=' ';\n"
            "str(CLIENTS.AGE^[_i1]:3,_stau);\n"
            "for _j:=1 to 3 do if _j<=length(_stau) then\n"
            " _le_CLIENTS.AGE[_j]:=_stau[_j] else _le_CLIENTS.AGE[_j]:=' ';\n"
            "_stau:=CLIENTS.NAME^[_i1];\n"
            "for _j:=1 to 10 do if _j<=length(_stau) then\n"
            " _le_CLIENTS.NAME[_j]:=_stau[_j] else _le_CLIENTS.NAME[_j]:=' ';\n"
            "if CLIENTS.VIP^[_i1] then _stau:='T' else _stau:='F';\n"
            "for _j:=1 to 1 do if _j<=length(_stau) then\n"
            " _le_CLIENTS.VIP[_j]:=_stau[_j] else _le_CLIENTS.VIP[_j]:=' ';\n"
            "blockwrite(_ardbaseu,_le_CLIENTS,23,_resu);\n"
            "end;\n"
            "closeFile(_ardbase); closeFile(_ardbaseu);\n"
            " end ;\n"
            " \n"
            "  \n"
            "begin \n"
            "freemem(CLIENTS.AGE,sizeof(_AGE_CLIENTS));\n"
            "freemem(CLIENTS.NAME,sizeof(_NAME_CLIENTS));\n"
            " end \n"
            "END; \n"
            "\n");
}

struct DbError {
  const char* decl;
  const char* message;
  int line, column;
};

TEST(Dbase, Errors) {
  const DbError cases[] = {
      {"DBTABLES (CLIENTS);\nPROCEDURES\nPROCEDURE P; BEGIN LOAD(CLIENTS, AGE, WEIGHT) END;",
       "invalid field name", 12, 46},
      {"DBTABLES (CLIENTS);\nPROCEDURES\nPROCEDURE P; BEGIN LOAD(OTHER, AGE) END;",
       "invalid database table", 12, 30},
      {"DBTABLES (CLIENTS);\nPROCEDURES\nPROCEDURE P; BEGIN UNLOAD(CLIENTS, AGE, X) END;",
       "invalid field name", 12, 42},
      {"DBTABLES (CLIENTS);\nPROCEDURES\nPROCEDURE P; BEGIN LOAD(CLIENTS, AGE; END;",
       ") or , expected", 12, 37},
      {"DBTABLES (1CLIENTS);", "error in table declaration", 10, 12},
      {"DBTABLES (CLIENTS:X);", "integer constant expected", 10, 20},
      {"DBTABLES (CLIENTS:10);", "at most 9 key tables", 10, 21},
      {"DBTABLES (CLIENTS;", " , or ) expected", 10, 18},
      {"DBTABLES (CLIENTS) X", ", or ;expected", 10, 21},
      {"DBTABLES (CLIENTS); X", "declaration or end. expected", 10, 22},
      {"DBTABLES (CLIENTS:5);", "error in table declaration", 10, 20},
      {"DBTABLES (CLIENTS:2);", "invalid database table", 10, 20},
      {"VAR CLIENTS : REAL;\nDBTABLES (CLIENTS);", "duplicated name CLIENTS", 11, 18},
      {"DBTABLES (CLIENTS, CLIENTS);", "duplicated name CLIENTS", 10, 27},
      {"DBTABLES (CLIENTS);\nPROCEDURES\nPROCEDURE CLIENTS; BEGIN END;",
       "name of procedure used elsewhere", 12, 18},
  };
  for (const DbError& e : cases) {
    DbRun d(e.decl);
    EXPECT_EQ(d.run(), e.message) << e.decl;
    EXPECT_EQ(d.line(), e.line) << e.decl;
    EXPECT_EQ(d.column(), e.column) << e.decl;
  }
}

// DBUPDATE writes the first table's records into the second file, so the
// two must share their layout; key fields hold no values of their own.
TEST(Dbase, UpdateNeedsTheSameLayoutAndKeysAreNoFields) {
  const std::pair<const char*, const char*> cases[] = {
      {"PROCEDURE P; BEGIN DBUPDATE(CLIENTS, BACKUP, AGE) END;", ""},
      {"PROCEDURE P; BEGIN DBUPDATE(CLIENTS, OTHER, AGE) END;", "invalid database table"},
      {"PROCEDURE P; BEGIN DBUPDATE(CLIENTS, BACKUP, WEIGHT) END;", "invalid field name"},
      {"PROCEDURE P; BEGIN LOAD(STOCK, QTY) END;", ""},
      {"PROCEDURE P; BEGIN LOAD(STOCK, CLIENTS) END;", "invalid field name"},
      {"PROCEDURE P; BEGIN UNLOAD(STOCK, OTHER) END;", "invalid field name"},
  };
  for (const auto& [body, message] : cases) {
    DbRun d(std::string("DBTABLES (CLIENTS, BACKUP, OTHER, STOCK:2);\nPROCEDURES\n") + body);
    d.dir.write("BACKUP.dbf", DBF(CLIENTFIELDS, CLIENTRECORDS));
    d.dir.write("OTHER.dbf", DBF({{"AGE", 'N', 4, 0}}, {"  42", "   7"}));
    d.dir.write("STOCK.dbf", DBF({{"CLIENTS", 'C', 1, 0}, {"OTHER", 'C', 1, 0}, {"QTY", 'N', 2, 0}},
                                 {"11 1", "12 2", "21 3", "22 4"}));
    EXPECT_EQ(d.run(), message) << body;
  }
}

// Files whose header lies about their contents stop the model cleanly.
TEST(Dbase, MalformedFilesAreModelErrors) {
  std::string good = DBF(CLIENTFIELDS, CLIENTRECORDS);
  std::string hugecount = good;
  hugecount[7] = '\x7f';  // two billion records
  std::string longheader = good;
  longheader[9] = '\x7f';  // a header longer than the file
  std::string badlength = good;
  badlength[10] = 30;  // records longer than their fields
  std::string date = DBF({{"BORN", 'D', 8, 0}}, {"20030101"});
  const std::pair<std::string, const char*> cases[] = {
      {"", "invalid dbf file CLIENTS.dbf"},
      {good.substr(0, 20), "invalid dbf file CLIENTS.dbf"},
      {good.substr(0, 100), "invalid dbf file CLIENTS.dbf"},
      {good.substr(0, good.size() - 12), "invalid dbf file CLIENTS.dbf"},
      {hugecount, "invalid dbf file CLIENTS.dbf"},
      {longheader, "invalid dbf file CLIENTS.dbf"},
      {badlength, "invalid dbf file CLIENTS.dbf"},
      {DBF({{"", 'C', 3, 0}}, {}), "invalid dbf file CLIENTS.dbf"},
      {DBF({{"A", 'C', 0, 0}}, {}), "invalid dbf file CLIENTS.dbf"},
      {DBF({{"CUST_ID", 'C', 3, 0}}, {}), "invalid field name CUST_ID"},
      {DBF({{"END", 'C', 3, 0}}, {}), "reserved word used as identifier"},
      {date, "field type not supported BORN"},
  };
  for (const auto& [bytes, message] : cases) {
    DbRun d("DBTABLES (CLIENTS);", "CLIENTS.dbf", bytes);
    EXPECT_EQ(d.run(), message) << bytes.size();
  }
  // A missing file stops the run as an unreadable input.
  DbRun missing("DBTABLES (OTHER);");
  EXPECT_THROW(TRANSLATEUPTO(missing.c, Pass::DECLARATIONS), IoError);
}

}  // namespace
