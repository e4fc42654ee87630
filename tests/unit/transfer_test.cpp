// Transfer procedures between message records and field variables, the
// default record of I nodes and the resource variables of R nodes.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

// PRU.PAS and MODPRO in a temporary directory, with _upvr opened on MODPRO
// as the declaration driver opens it.
struct TransferTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;

  void SetUp() override {
    c.drv.root = dir.str();
    BINDCH(c, CH_PRU, "PRU.PAS");
    CREATECH(c, CH_PRU);
    BINDCH(c, CH_MODPRO, "MODPRO");
    CREATECH(c, CH_MODPRO);
    SENDPIECE(c, CH_MODPRO,
              REPL("procedure *(_ni:word;_s:pointer);var _j:integer;begin case _ni of", '*',
                   "_upvr"),
              false);
  }
  void nodes(std::initializer_list<std::pair<const char*, int>> list) {
    c.model.NodeTable.resize(list.size() + 1);
    int i = 0;
    for (auto& [name, mult] : list) {
      c.model.NodeTable[++i].NOM = name;
      c.model.NodeTable[i].MULT = mult;
    }
    c.model.NodeCount = i;
  }
  std::string file(ChannelNo ch, const std::string& name) {
    FLUSHOUT(c, ch);
    CLOSECH(c, ch);
    return WRITTEN(c, dir, name);
  }
};

TEST_F(TransferTest, NoRecordsGiveEmptyCasesEverywhere) {
  WriteTransferProcedures(c);
  EXPECT_EQ(file(CH_MODPRO, "MODPRO"),
            "procedure _upvr(_ni:word;_s:pointer);var _j:integer;begin case _ni of 1:;\n"
            "end end;\n"
            "procedure _uprv(_ni:word;_s:pointer);var _j:integer;begin case _ni of 1:;\n"
            "end end;\n"
            "procedure _upvro(_ni:word;_s:pointer);var _j:integer;begin case _ni of 1:;\n"
            "end end;\n"
            "procedure _uprvo(_ni:word;_s:pointer);var _j:integer;begin case _ni of 1:;\n"
            "end end;\n"
            "procedure _elim(r:word;b:pointer;_pe:_pl); begin \n"
            "if _bt then begin writeln(_ftra,'DELETED MESS# ',_PX^.NUMBER:5,\n"
            "'  GENERATED IN ',_PX^.NOR:12,' AT ',GT:9:3); if _bftr \n"
            " then writeln(_ftra,'DELETED MESS# ',_PX^.NUMBER:5,\n"
            "'  GENERATED IN ',_PX^.NOR:12,' AT ',GT:9:3) end;\n"
            "case r of  1:;\n"
            "end;\n"
            "end;\n"
            "procedure _newr(r:integer; var b:pointer); begin case r of  1:;\n"
            "end; _upvr(r,b) end;\n");
}

// I node 3 gets its default record; message 5, declared after it, has an
// array field V[1..5] and a simple field X, each with its O_ twin.
TEST_F(TransferTest, DefaultRecordAndMessageFields) {
  nodes({{"A", 1}, {"B", 1}, {"GEN", 1}, {"OUT", 1}});
  ADDCASE(c, 5, false);
  AddFieldTransfer(c, 1, "V", "1", "5");
  AddFieldTransfer(c, 1, "O_V", "1", "5");
  AddFieldTransfer(c, 0, "X");
  AddFieldTransfer(c, 0, "O_X");
  ENDCASE(c);
  DefaultRecord(c, 3);
  EXPECT_TRUE(c.model.NodeTable[3].HASATTR);
  WriteTransferProcedures(c);
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _pfr3=^_f3;_f3=record gt,use,et,xt:real;\n"
            " end; var _p3,_po3:_pfr3;\n\n");
  EXPECT_EQ(file(CH_MODPRO, "MODPRO"),
            "procedure _upvr(_ni:word;_s:pointer);var _j:integer;begin case _ni of\n"
            "  5:begin _p5:=_s; _p5^.gt:=gt; _p5^.use:=use;\n"
            "_p5^.et:=et; _p5^.xt:=xt; for _j:=1 to 5 do _p5^.V[_j]:=V[_j];_p5^.X:=X;\n"
            "end;\n"
            "  3:begin _p3:=_s; _p3^.gt:=gt; _p3^.use:=use;\n"
            "_p3^.et:=et; _p3^.xt:=xt;end;end end;\n"
            "procedure _uprv(_ni:word;_s:pointer);var _j:integer;begin case _ni of\n"
            "  5:begin _p5:=_s; gt:=_p5^.gt; use:=_p5^.use;et:=_p5^.et; xt:=_p5^.xt; \n"
            "for _j:=1 to 5 do V[_j]:=_p5^.V[_j];X:=_p5^.X;end;\n"
            "  3:begin _p3:=_s; gt:=_p3^.gt; use:=_p3^.use;\n"
            "et:=_p3^.et; xt:=_p3^.xt;end;end end;\n"
            "procedure _upvro(_ni:word;_s:pointer);var _j:integer;begin case _ni of\n"
            "5:begin _p5:=_s; _p5^.gt:=o_gt; _p5^.use:=o_use;\n"
            "_p5^.et:=o_et; _p5^.xt:=o_xt; for _j:=1 to 5 do _p5^.V[_j]:=O_V[_j];\n"
            "_p5^.X:=O_X;end;3:begin _p3:=_s; _p3^.gt:=o_gt; _p3^.use:=o_use;\n"
            "_p3^.et:=o_et; _p3^.xt:=o_xt;end;end end;\n"
            "procedure _uprvo(_ni:word;_s:pointer);var _j:integer;begin case _ni of\n"
            "5:begin _p5:=_s; o_gt:=_p5^.gt; o_use:=_p5^.use;\n"
            "o_et:=_p5^.et; o_xt:=_p5^.xt; for _j:=1 to 5 do O_V[_j]:=_p5^.V[_j];\n"
            "O_X:=_p5^.X;end;3:begin _p3:=_s; o_gt:=_p3^.gt; o_use:=_p3^.use;\n"
            "o_et:=_p3^.et; o_xt:=_p3^.xt;end;end end;\n"
            "procedure _elim(r:word;b:pointer;_pe:_pl); begin \n"
            "if _bt then begin writeln(_ftra,'DELETED MESS# ',_PX^.NUMBER:5,\n"
            "'  GENERATED IN ',_PX^.NOR:12,' AT ',GT:9:3); if _bftr \n"
            " then writeln(_ftra,'DELETED MESS# ',_PX^.NUMBER:5,\n"
            "'  GENERATED IN ',_PX^.NOR:12,' AT ',GT:9:3) end;\n"
            "case r of \n"
            "3:begin _p3:=b; _gt:=_p3^.gt; dispose(_p3); dispose(_pe) end;\n"
            "5:begin _p5:=b; _gt:=_p5^.gt; dispose(_p5); dispose(_pe) end;\n"
            "end;\n"
            "end;\n"
            "procedure _newr(r:integer; var b:pointer); begin case r of \n"
            "3:begin new(_p3); b:=_p3;  end;\n"
            "5:begin new(_p5); b:=_p5;  end;\n"
            "end; _upvr(r,b) end;\n");
}

// Pieces are cut at 81 characters: a transfer line that would pass that is
// sent in two pieces instead, so no name loses its end.
TEST_F(TransferTest, LongArrayFieldsAreNotCut) {
  const std::string f = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
  ADDCASE(c, 12, false);
  AddFieldTransfer(c, 1, f, "LOWESTINDEX", "HIGHESTINDEX");
  AddFieldTransfer(c, 1, "O_" + f, "LOWESTINDEX", "HIGHESTINDEX");
  EXPECT_EQ(c.gen.UPRVO.back(), "O_" + f + "[_j]:=_p12^." + f + "[_j];");
  WriteTransferProcedures(c);
  std::string pro = file(CH_MODPRO, "MODPRO");
  EXPECT_NE(pro.find("for _j:=LOWESTINDEX to HIGHESTINDEX do \n_p12^." + f + "[_j]:=" +
                     f + "[_j];"),
            std::string::npos)
      << pro;
  EXPECT_NE(pro.find("_p12^." + f + "[_j]:=O_" + f + "[_j];"), std::string::npos) << pro;
}

TEST_F(TransferTest, ResourcesOfSimpleAndMultipleNodes) {
  nodes({{"SERV", 3}, {"DESK", 1}});
  OWNLINE(c, CH_MODPRO, "procedure _com; var ino:integer;begin");
  DeclareResource(c, 1);
  DeclareResource(c, 2);
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "\n"
            "var m_SERV,f_SERV,u_SERV:array[1..3] of real;\n"
            "var m_DESK,f_DESK,u_DESK:real;\n");
  EXPECT_EQ(file(CH_MODPRO, "MODPRO"),
            "procedure _upvr(_ni:word;_s:pointer);var _j:integer;begin case _ni of\n"
            "procedure _com; var ino:integer;begin\n"
            "for ino:=1 to 3 do begin \n"
            "m_SERV[ino]:=1;f_SERV[ino]:=m_SERV[ino]; u_SERV[ino]:=0.0;end;\n"
            "m_DESK:=1;f_DESK:=m_DESK; u_DESK:=0.0;\n");
  for (const char* w : {"M_SERV", "F_SERV", "U_SERV", "U_DESK"}) {
    c.src.IDENT = w;
    BUSIDAR1(c);
    ASSERT_TRUE(c.names.FOUND) << w;
  }
  c.src.IDENT = "U_SERV";
  BUSIDAR1(c);
  EXPECT_EQ(c.names.CURENT->TIPO, "ARRAY");
  EXPECT_EQ(c.names.CURENT->NSUB, 1);
  EXPECT_TRUE(c.names.CURENT->FLAG1);
  EXPECT_EQ(c.names.CURENT->COUNT1, 3);
  c.src.IDENT = "F_DESK";
  BUSIDAR1(c);
  EXPECT_EQ(c.names.CURENT->TIPO, "REAL");
  EXPECT_FALSE(c.names.CURENT->FLAG1);
  EXPECT_EQ(c.gen.NVSTAT, 2);
  EXPECT_EQ(c.gen.NVELEM, 4);
}

TEST_F(TransferTest, ResourceNamesMustBeFree) {
  nodes({{"SERV", 1}});
  STVNAME(c, true, "U_SERV");
  EXPECT_EQ(r.error([&] { DeclareResource(c, 1); }), "duplicated name U_SERV");
}

}  // namespace
