// Output assembly: unit files per module, the completion of PRU.PAS and the
// main program text.
#include <gtest/gtest.h>
#include "support/support.h"

namespace {

std::string flat(const std::string& s) {
  std::string t;
  for (char ch : s)
    if (ch != '\n') t += ch;
  return t;
}

struct AssemblyTest : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  void SetUp() override {
    c.drv.root = dir.str();
    c.drv.SRCPATH = "bank.tlv";
    OPENTEMPORARIES(c);
    BINDCH(c, CH_PRU, "PRU.PAS");
    CREATECH(c, CH_PRU);
    WRITELINE(c, CH_PRU, "unit pru;interface");
    c.prog.TSIMSET = true;
  }
  // Nodes with their module numbers (0: same unit as the node before).
  void nodes(std::vector<std::pair<std::string, int>> list) {
    c.model.NodeTable.resize(list.size() + 1);
    for (size_t i = 0; i < list.size(); ++i) {
      c.model.NodeTable[i + 1].NOM = list[i].first;
      c.model.NodeTable[i + 1].MODULE = list[i].second;
      if (list[i].second > 0) c.model.ModuleCount = list[i].second;
    }
    c.model.NodeCount = static_cast<int>(list.size());
  }
  void generate() {
    for (int i = 1; i <= c.model.NodeCount; ++i) {
      StartUnitIfNeeded(c, i);
      SENDPIECE(c, CH_NODE, "procedure " + c.model.NodeTable[i].NOM + "(ino:integer); begin end;", true);
    }
  }
};

TEST(MainFileName, FromTheSourceName) {
  EXPECT_EQ(MAINFILEOF("C:\\m\\bank.mod"), "C:\\m\\bank.DPR");
  EXPECT_EQ(PROGNAMEOF("C:\\m\\bank.mod"), "bank");
  EXPECT_EQ(MAINFILEOF("models/bank.tlv"), "models/bank.DPR");
  EXPECT_EQ(MAINFILEOF("../my.models/bank.tlv"), "../my.models/bank.DPR");
  EXPECT_EQ(PROGNAMEOF("../my.models/bank.tlv"), "bank");
  EXPECT_EQ(MAINFILEOF("bank"), "bank.DPR");
}

TEST_F(AssemblyTest, OneModuleGivesOneUnit) {
  nodes({{"ARRIVE", 1}, {"SERVE", 0}});
  generate();
  AssembleProgram(c);
  EXPECT_EQ(WRITTEN(c, dir, "unid1.pas"),
            "unit unid1;\ninterface \n"
            "uses rtdefs,PRU,RTKERN,RTMATH,rtshell,RTDLG,RTDIST,rtplot,rtchart,graphics,\n"
            "rtnote,Dialogs\n;\nvar _i,_j: integer;\n"
            "procedure ARRIVE(ino:integer);\nprocedure SERVE(ino:integer);\n"
            "implementation\n"
            "procedure ARRIVE(ino:integer); begin end;\n"
            "procedure SERVE(ino:integer); begin end;\nend.\n");
  std::string main = WRITTEN(c, dir, "bank.DPR");
  EXPECT_EQ(main.substr(0, 14), "program bank;\n");
  EXPECT_NE(main.find("forms,\nunid1 \n;\nvar _jk, _kk:integer; label 1,2,3,4;\n"
                      "const _prnod:array[1..2] of _nodo=(ARRIVE,SERVE);"),
            std::string::npos);
  EXPECT_NE(main.find("\nwhile  (time<tsim)   do begin \nif _bt then disfel;\n_exfel;\n"
                      "if time>tsim then begin"),
            std::string::npos);
  EXPECT_NE(main.find("_hknod:=@_prnod;\n"
                      "_scaninit(2,@_tipnod,@_numel,@_mulno,@_meld,length(_meld),high(_meld[1]));"),
            std::string::npos);
  EXPECT_NE(main.find("repeat\n_jk:=0; while _nxinst(_n1,_jk) do _revred(_n1);\n"),
            std::string::npos);
  EXPECT_NE(main.find("_nxnode(_n1,_k);\nuntil (_k>2) or _es;"), std::string::npos);
  EXPECT_EQ(main.substr(main.size() - 25), "\n1: CerrarGraficos;\nend.\n");
}

TEST_F(AssemblyTest, SecondModuleClosesTheFirstUnit) {
  nodes({{"A1", 1}, {"A2", 0}, {"B1", 2}});
  generate();
  AssembleProgram(c);
  std::string u1 = WRITTEN(c, dir, "unid1.pas"), u2 = WRITTEN(c, dir, "unid2.pas");
  EXPECT_EQ(u1.find("procedure B1"), std::string::npos);
  EXPECT_EQ(u1.substr(u1.size() - 5), "end.\n");
  EXPECT_NE(u2.find("procedure B1(ino:integer);\nimplementation\n"), std::string::npos);
  EXPECT_NE(WRITTEN(c, dir, "bank.DPR").find("forms,\nunid1,\nunid2 \n;\n"), std::string::npos);
}

TEST_F(AssemblyTest, PruWithoutContinuousOrSynchronisation) {
  nodes({{"A", 1}});
  generate();
  SENDPIECE(c, CH_MODPRO, "procedure _com; begin end;", false);
  AssembleProgram(c);
  EXPECT_EQ(WRITTEN(c, dir, "PRU.PAS"),
            "unit pru;interface\n\nimplementation\nuses rtkern;\n"
            "function _fec(time:real;_m:integer):real; \nbegin \nend;\n \n"
            "procedure _com; begin end;\n \nfunction _cl; begin end;\nend.\n");
}

TEST_F(AssemblyTest, ContinuousBodyProceduresAndConditionAreCopied) {
  nodes({{"A", 1}});
  c.prog.HASCONT = c.prog.HASPROCS = true;
  c.prog.NSYNC = 1;
  CREATECH(c, CH_MODLOG);  // made by the first SYNCHRONIZE
  for (auto [ch, text] : {std::pair{CH_MODEDI, "case _m of 1:_fec:=1; end;"},
                          std::pair{CH_MODPRP, "procedure P; begin end;"},
                          std::pair{CH_MODLOG, "function _cl; begin case _NSY of 1: _cl:=true;"}}) {
    SENDPIECE(c, ch, text, false);
  }
  generate();
  AssembleProgram(c);
  EXPECT_EQ(flat(WRITTEN(c, dir, "PRU.PAS")),
            flat("unit pru;interface\n\nimplementation\nuses rtkern;\n"
                 "function _fec(time:real;_m:integer):real; \nbegin \n"
                 "case _m of 1:_fec:=1; end;\nend end;\n \n"
                 "procedure P; begin end;\n\n \n"
                 "function _cl; begin case _NSY of 1: _cl:=true;\nend end;\nend.\n"));
}

TEST_F(AssemblyTest, TerminatingConditions) {
  nodes({{"A", 1}});
  generate();
  c.prog.TSIMSET = false;
  c.prog.ENDSIMUL = true;
  AssembleProgram(c);
  EXPECT_NE(WRITTEN(c, dir, "bank.DPR").find("\nwhile  not _es   do begin \n"), std::string::npos);
  EXPECT_EQ(WRITTEN(c, dir, "bank.DPR").find("if time>tsim"), std::string::npos);
}

// The condition fills "while *  do begin ": its own blanks and two more.
TEST_F(AssemblyTest, TsimAndEndsimulTogether) {
  nodes({{"A", 1}});
  generate();
  c.prog.TSIMSET = true;
  c.prog.ENDSIMUL = true;
  AssembleProgram(c);
  EXPECT_NE(WRITTEN(c, dir, "bank.DPR").find("\nwhile  (time<tsim)  and not _es   do begin \n"),
            std::string::npos);
}

TEST_F(AssemblyTest, NoTerminatingConditionIsAnError) {
  nodes({{"A", 1}});
  generate();
  c.prog.TSIMSET = false;
  EXPECT_EQ(r.error([&] { AssembleProgram(c); }),
            "missing terminating condition: TSIM or ENDSIMUL");
}

TEST_F(AssemblyTest, FactorsWriteTheResponses) {
  nodes({{"A", 1}});
  generate();
  c.prog.FACTORS = true;
  c.prog.RESPONSES = {"WAIT", "LEN"};
  AssembleProgram(c);
  EXPECT_NE(flat(WRITTEN(c, dir, "bank.DPR"))
                .find("do case _disr[_i] of 1:_a4.res[_i]:=WAIT;2:_a4.res[_i]:=LEN;end;"
                      "reset(_arf);"),
            std::string::npos);
}

TEST_F(AssemblyTest, UserUnitsFollowTheFixedOnes) {
  nodes({{"A", 1}});
  c.decl.USESFIRST = true;
  c.decl.USESLIST = {"CRT", "MYLIB"};
  generate();
  AssembleProgram(c);
  EXPECT_NE(WRITTEN(c, dir, "unid1.pas").find("rtnote,Dialogs,\nCRT,\nMYLIB;\n \nvar _i"),
            std::string::npos);
  EXPECT_NE(WRITTEN(c, dir, "bank.DPR").find("unid1 ,\nCRT,\nMYLIB;\n \nvar _jk"), std::string::npos);
}

TEST_F(AssemblyTest, SourceInADirectoryPutsTheMainProgramThere) {
  c.drv.SRCPATH = "models/bank.tlv";
  std::filesystem::create_directories(dir.path / "models");
  nodes({{"A", 1}});
  generate();
  AssembleProgram(c);
  EXPECT_TRUE(HASWRITTEN(c, "models/bank.DPR"));
  EXPECT_TRUE(HASWRITTEN(c, "unid1.pas"));
  EXPECT_EQ(c.drv.DIRPREF, "models/");
}

}  // namespace
