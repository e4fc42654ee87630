// MESSAGES and NODES declarations: the records and globals written into
// PRU.PAS, the transfer elements started on MODPRO, the node attributes,
// and the errors of the class.
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include "decl_testrun.h"

namespace {

// A run with PRU.PAS, MODPRO and MODAUX in a temporary directory.
struct MsgRun {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  Source& s = c.src;

  MsgRun() {
    c.drv.root = dir.str();
    BINDCH(c, CH_PRU, "PRU.PAS");
    CREATECH(c, CH_PRU);
    BINDCH(c, CH_MODPRO, "MODPRO");
    CREATECH(c, CH_MODPRO);
    BINDCH(c, CH_MODAUX, "MODAUX");
    PREDEF(c);
  }
  // Nodes as pairs "name letter", numbered from 1.
  void nodes(const std::string& list) {
    std::istringstream in(list);
    c.model.NodeTable.clear();
    c.model.NodeCount = 0;
    c.model.NODENUM.clear();
    for (std::string n, t; in >> n >> t;) {
      NodeRecord x;
      x.NOM = n;
      x.TIPO = t[0];
      ADDNODE(c.model, x);
    }
  }
  // Runs the class handler on the declarations, the class word first, as
  // the class loop calls it; returns the error message ("" if none).
  std::string declare(const std::string& text) {
    r.load("model\n" + text + "\nEND.\n");
    s.PL = 1;
    s.LB = 2;
    s.K = 0;
    c.out.CURCH = CH_PRU;
    c.out.TRMODE = 1;
    c.decl.NodeCountAtDecl = c.model.NodeCount;
    RECID(c);
    return r.error([&] { PROMESS(c); });
  }
  std::string file(ChannelNo ch, const std::string& name) {
    FLUSHOUT(c, ch);
    CLOSECH(c, ch);
    return WRITTEN(c, dir, name);
  }
  NameNode* name(const std::string& n) {
    s.IDENT = n;
    BUSIDAR1(c);
    return c.names.FOUND ? c.names.CURENT : nullptr;
  }
};

struct MessagesTest : ::testing::Test, MsgRun {};

TEST_F(MessagesTest, MessageNumbersFollowTheNodes) {
  nodes("A G B G C E");
  ASSERT_EQ(declare("MESSAGES M1; M2 (X : REAL);"), "");
  EXPECT_EQ(c.decl.CLASSIDX, 14);
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _pfr4=^_f4;_f4=record gt,use,et,xt:real;\n"
            " end; var _p4,_po4:_pfr4;\n"
            "type _pfr5=^_f5;_f5=record gt,use,et,xt:real;\n"
            "X:REAL\n"
            " end; var _p5,_po5:_pfr5;\n"
            "X,O_X:REAL;\n"
            "\n");
  ASSERT_EQ(c.names.MSGNAMES.size(), 2u);
  EXPECT_EQ(c.names.MSGNAMES[0].NOM + c.names.MSGNAMES[0].NUMTXT, "M14");
  EXPECT_EQ(c.names.MSGNAMES[1].NOM + c.names.MSGNAMES[1].NUMTXT, "M25");
  for (const char* n : {"X", "O_X"}) {
    NameNode* e = name(n);
    ASSERT_TRUE(e) << n;
    EXPECT_EQ(e->TIPO, "REAL");
    EXPECT_TRUE(e->MSG);
  }
  EXPECT_EQ(c.gen.RECNUMS, (std::vector<int>{4, 5}));
  // The copy resumes with the class keyword; message mode is over.
  EXPECT_TRUE(c.out.TRANSMIT);
  EXPECT_EQ(c.out.TRSTART, s.KSTART);
  EXPECT_FALSE(s.MSGVAR);
  EXPECT_FALSE(c.decl.MSGFIELDS);
}

TEST_F(MessagesTest, FieldsGlobalsAndTransfersOfAMessage) {
  nodes("A G B G C G D E");
  ASSERT_EQ(declare("MESSAGES CLIENT (A, B : REAL; C : INTEGER);"), "");
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _pfr5=^_f5;_f5=record gt,use,et,xt:real;\n"
            "A,B:REAL;C:INTEGER\n"
            " end; var _p5,_po5:_pfr5;\n"
            "A,O_A,B,O_B:REAL;C,O_C:INTEGER;\n"
            "\n");
  WriteTransferProcedures(c);
  std::string pro = file(CH_MODPRO, "MODPRO");
  for (const char* t :
       {"  5:begin _p5:=_s; _p5^.gt:=gt; _p5^.use:=use;\n_p5^.et:=et; _p5^.xt:=xt; "
        "_p5^.A:=A;_p5^.B:=B;_p5^.C:=C;\nend;\n",
        "A:=_p5^.A;B:=_p5^.B;C:=_p5^.C;end;", "_p5^.A:=O_A;_p5^.B:=O_B;_p5^.C:=O_C;end;",
        "O_A:=_p5^.A;O_B:=_p5^.B;O_C:=_p5^.C;end;"})
    EXPECT_NE(pro.find(t), std::string::npos) << t << "\n" << pro;
}

// A field known from an earlier message is declared once as a global; the
// second record still transfers it. An array field loops over its bounds.
TEST_F(MessagesTest, SecondMessageSharesAField) {
  nodes("A G B E");
  ASSERT_EQ(declare("MESSAGES CLIENT (A, B : REAL; C : INTEGER);\n"
                    "  ORDER (A : REAL; D : ARRAY [1..5] OF REAL);"),
            "");
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _pfr3=^_f3;_f3=record gt,use,et,xt:real;\n"
            "A,B:REAL;C:INTEGER\n"
            " end; var _p3,_po3:_pfr3;\n"
            "A,O_A,B,O_B:REAL;C,O_C:INTEGER;\n"
            "type _pfr4=^_f4;_f4=record gt,use,et,xt:real;\n"
            "A:REAL;D:ARRAY [1..5] OF REAL\n"
            " end; var _p4,_po4:_pfr4;\n"
            "D,O_D:ARRAY [1..5] OF REAL;\n"
            "\n");
  EXPECT_EQ(c.gen.KNOWNFIELDS, (std::vector<std::string>{"A"}));
  std::string pro = file(CH_MODPRO, "MODPRO");
  EXPECT_NE(pro.find("_p4^.A:=A;for _j:=1 to 5 do _p4^.D[_j]:=D[_j];"), std::string::npos)
      << pro;
  EXPECT_EQ(c.gen.UPRVO[c.gen.UPRVO.size() - 2], "for _j:=1 to 5 do O_D[_j]:=_p4^.D[_j];");
}

// Mixed lists, a list whose names are all known, a type over two lines, and
// a record without fields after one with fields: every global is declared
// once and no stray ";" is left behind.
TEST_F(MessagesTest, GlobalsOfMixedListsAndLongTypes) {
  nodes("A G");
  ASSERT_EQ(declare("MESSAGES M1 (X : REAL);\n"
                    " M2 (Y, X, Z : INTEGER; X : REAL; V : ARRAY [1..3]\n"
                    "   OF STRING[10]);\n"
                    " M3;"),
            "");
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _pfr2=^_f2;_f2=record gt,use,et,xt:real;\n"
            "X:REAL\n"
            " end; var _p2,_po2:_pfr2;\n"
            "X,O_X:REAL;\n"
            "type _pfr3=^_f3;_f3=record gt,use,et,xt:real;\n"
            "Y,X,Z:INTEGER;X:REAL;V:ARRAY\n"
            " [1..3] \n"
            "   OF STRING[10]\n"
            " end; var _p3,_po3:_pfr3;\n"
            "Y,O_Y,Z,O_Z:INTEGER;V,O_V:ARRAY [1..3] \n"
            "   OF STRING[10];\n"
            "type _pfr4=^_f4;_f4=record gt,use,et,xt:real;\n"
            " end; var _p4,_po4:_pfr4;\n"
            "\n");
}

TEST_F(MessagesTest, NodeAttributes) {
  nodes("GEN I COLA G SERV O Q G");
  ASSERT_EQ(declare("NODES COLA (IL); GEN (P : INTEGER); SERV (EL; IL); Q;"), "");
  const auto& t = c.model.NodeTable;
  EXPECT_EQ(t[2].IL, -1);
  EXPECT_EQ(t[2].EL, 0);
  EXPECT_EQ(t[3].EL, -1);
  EXPECT_EQ(t[3].IL, -1);
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(t[i].DECLARED) << i;
  EXPECT_TRUE(t[1].HASATTR);
  EXPECT_FALSE(t[2].HASATTR);
  EXPECT_FALSE(t[4].HASATTR);
  // Only GEN and Q have records; EL and IL alone give none.
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _pfr1=^_f1;_f1=record gt,use,et,xt:real;\n"
            "P:INTEGER\n"
            " end; var _p1,_po1:_pfr1;\n"
            "P,O_P:INTEGER;\n"
            "type _pfr4=^_f4;_f4=record gt,use,et,xt:real;\n"
            " end; var _p4,_po4:_pfr4;\n"
            "\n");
  EXPECT_EQ(c.gen.RECNUMS, (std::vector<int>{1, 4}));
  // A message name equal to a node name declares the node's attributes.
  EXPECT_TRUE(c.names.MSGNAMES.empty());
}

struct ErrorCase {
  const char* nodes;
  const char* text;
  const char* message;
  int line, column;
};

TEST(MessagesErrors, MessageLineAndColumn) {
  const ErrorCase cases[] = {
      {"A G", "MESSAGES ;", "missing node or message name", 2, 10},
      {"A G", "MESSAGES M1;\nM1;", "repeated message name", 3, 3},
      {"COLA G", "NODES COLA;\n COLA;", "node already declared", 3, 6},
      {"A G", "MESSAGES M1 M2;", "( or ; expected", 2, 15},
      {"A G", "MESSAGES M1 : X;", "( or ; expected", 2, 13},
      {"GEN I", "NODES GEN (IL);", "IL in message or node type I or E", 2, 14},
      {"OUT E", "NODES OUT (IL);", "IL in message or node type I or E", 2, 14},
      {"GEN I", "NODES GEN (EL);", "EL in node type I or message", 2, 14},
      {"COLA G", "NODES COLA (IL EL);", "; is expected", 2, 18},
      {"A G", "MESSAGES M (X : REAL) X", "; expected", 2, 24},
      {"A G", "MESSAGES M ();", "field name expected", 2, 13},
      {"A G", "MESSAGES M (X, : REAL);", "field name expected", 2, 16},
      {"SERV R", "NODES SERV (P : INTEGER);", "message declaration illegal in this node", 2, 14},
      {"A G", "MESSAGES M (A, B REAL);", "incorrect field list", 2, 22},
      {"A G", "MESSAGES M (A : ARRAY[1..2,1..3] OF REAL);", "more than one subscript in field",
       2, 41},
      {"A G", "MESSAGES M (GT : REAL);", "duplicated name GT", 2, 15},
  };
  for (const ErrorCase& e : cases) {
    MsgRun m;
    m.nodes(e.nodes);
    EXPECT_EQ(m.declare(e.text), e.message) << e.text;
    EXPECT_EQ(m.r.lastError.line, e.line) << e.text;
    EXPECT_EQ(m.r.lastError.column, e.column) << e.text;
  }
}

TEST_F(MessagesTest, NotAfterProcedures) {
  nodes("A G");
  c.decl.PROCSEEN = true;
  EXPECT_EQ(declare("MESSAGES M1;"), "MESSAGES after PROCEDURES");
  EXPECT_EQ(r.lastError.line, 2);
  EXPECT_EQ(r.lastError.column, 9);
}

}  // namespace

// Through the declaration pass, between VAR classes: the copy of the
// source resumes with the next class keyword. The network organisation
// writes its part after the declarations.
TEST(MessagesInDecl, BankModel) {
  DeclRun d(MODELTEXT("msg_bank.tlv"));
  BINDCH(d.c, CH_MODAUX, "MODAUX");
  ASSERT_EQ(d.sections, "");
  ASSERT_EQ(d.run(), "");
  std::string pru = d.pru();
  const std::string decls =
            "\nVAR SERVED : INTEGER; \n"
            "type _pfr5=^_f5;_f5=record gt,use,et,xt:real;\n"
            "AMOUNT:REAL;KIND:INTEGER\n"
            " end; var _p5,_po5:_pfr5;\n"
            "AMOUNT,O_AMOUNT:REAL;KIND,O_KIND:INTEGER;\n"
            "type _pfr6=^_f6;_f6=record gt,use,et,xt:real;\n"
            "AMOUNT,FEE:REAL;HISTORY:ARRAY [1..5] OF REAL\n"
            " end; var _p6,_po6:_pfr6;\n"
            "FEE,O_FEE:REAL;HISTORY,O_HISTORY:ARRAY [1..5] OF REAL;\n"
            "type _pfr1=^_f1;_f1=record gt,use,et,xt:real;\n"
            "AMOUNT:REAL\n"
            " end; var _p1,_po1:_pfr1;\n"
            "\nVAR WAITING : INTEGER; \n";
  EXPECT_NE(pru.find(" \n" + decls), std::string::npos) << pru;
  EXPECT_TRUE(d.c.model.NodeTable[1].DECLARED);
  EXPECT_TRUE(d.c.model.NodeTable[1].HASATTR);
  EXPECT_TRUE(d.c.model.NodeTable[2].DECLARED);
  EXPECT_NE(d.entry("O_HISTORY"), nullptr);
  EXPECT_NE(d.entry("WAITING"), nullptr);
  EXPECT_EQ(d.c.gen.RECNUMS, (std::vector<int>{5, 6, 1}));
  // _uprv is written with the network, and its list let go: a case element
  // per record, a transfer per field, an end per record.
  EXPECT_TRUE(d.c.gen.UPRV.empty());
  std::string pro = FILETEXT(d.c, "MODPRO");
  pro.erase(std::remove(pro.begin(), pro.end(), '\n'), pro.end());
  EXPECT_NE(pro.find("procedure _uprv(_ni:word;_s:pointer);var _j:integer;begin case _ni of"
                     "  5:begin _p5:=_s; gt:=_p5^.gt; use:=_p5^.use;et:=_p5^.et; xt:=_p5^.xt; "
                     "AMOUNT:=_p5^.AMOUNT;KIND:=_p5^.KIND;end;"
                     "  6:begin _p6:=_s; gt:=_p6^.gt; use:=_p6^.use;et:=_p6^.et; xt:=_p6^.xt; "
                     "AMOUNT:=_p6^.AMOUNT;FEE:=_p6^.FEE;"
                     "for _j:=1 to 5 do HISTORY[_j]:=_p6^.HISTORY[_j];end;"
                     "  1:begin _p1:=_s; gt:=_p1^.gt; use:=_p1^.use;et:=_p1^.et; xt:=_p1^.xt; "
                     "AMOUNT:=_p1^.AMOUNT;end;end end;procedure _upvro"),
            std::string::npos)
      << pro;
  EXPECT_EQ(d.c.gen.KNOWNFIELDS, (std::vector<std::string>{"AMOUNT", "AMOUNT"}));
}
