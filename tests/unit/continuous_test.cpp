// Continuous simulation: the list of continuous variables laid out as in
// PRU.PAS, the C nodes' variables, equations as cases of _fec with their
// groups and integration calls, METHOD, RETARD stages, ACT of a C node and
// the order constant.
#include <gtest/gtest.h>
#include <algorithm>
#include <sstream>
#include "decl_testrun.h"
#include "stmt_testrun.h"

namespace {

std::string POSITIONS(const Cont& k) {
  std::string t;
  for (const ContVar& v : k.VARS)
    t += v.NOM + (v.SUBTXT.empty() ? "" : "[" + v.SUBTXT + "]") + " ";
  return t;
}

// ---- declarations

TEST(ContinuousDecl, VariablesStagesAndElementsInTheirOrderInPru) {
  DeclRun d(DECLMODEL("VAR X, Y : CONT;\n  D : RET : 3; A : ARRAY[1..3] OF CONT;\n"
                      "  E : RET : 1;\n  N : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  const Cont& k = d.c.cont;
  EXPECT_EQ(POSITIONS(k), "X Y D _D_DEL[1] _D_DEL[2] A[1] A[2] A[3] E ");
  EXPECT_EQ(d.body(),
            "VAR X, Y : REAL;\n \n  D : REAL; \n_D_DEL:array[1..2] of real; "
            "A : ARRAY[1..3] OF REAL;\n \n  E : REAL;\n \n\n  N : INTEGER; \n");
  EXPECT_EQ(d.entry("D")->TIPO, "REAL");
  EXPECT_EQ(d.entry("A")->TYPEL, "REAL");
  EXPECT_EQ(DELAYLEN(d.c, *d.entry("D")), 3);
  EXPECT_EQ(DELAYLEN(d.c, *d.entry("E")), 0);  // order 1 has no stages
  EXPECT_EQ(DELAYLEN(d.c, *d.entry("X")), 0);
  std::string pru = d.pru();
  EXPECT_NE(pru.find("type _arrv=array[1..9] of real; _arrm=array[1..6,1..9] of real;\n"
                     "var _y:_arrv;\n"
                     "const _yp:array[1..9] of ^real=(@X,@Y,@D,@_D_DEL[1],@_D_DEL[2],@A[1],\n"
                     "@A[2],@A[3],@E);\n"),
            std::string::npos)
      << pru;
  // The integrators work on the variables through _yp: no routine copies
  // them to or from _y.
  FLUSHOUT(d.c, CH_MODPRO);
  CLOSECH(d.c, CH_MODPRO);
  EXPECT_EQ(pru.find("procedure _y"), std::string::npos) << pru;
  EXPECT_EQ(WRITTEN(d.c, d.dir, "MODPRO").find("_y["), std::string::npos);
}

TEST(ContinuousDecl, StagesOfAGroupFollowTheGroup) {
  DeclRun d(DECLMODEL("VAR A, B : RET : 2;\nCONST K = 1;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_EQ(POSITIONS(d.c.cont), "A B _A_DEL[1] _B_DEL[1] ");
  EXPECT_EQ(d.body(),
            "VAR A, B : REAL;\n \n_A_DEL:array[1..1] of real; \n"
            "_B_DEL:array[1..1] of real; \nCONST K = 1; \n");
}

TEST(ContinuousDecl, WithoutVariablesTheVectorLiesOverIT) {
  DeclRun d(DECLMODEL("VAR N : INTEGER;"));
  ASSERT_EQ(d.run(), "");
  EXPECT_NE(d.pru().find("type _arrv=array[1..1] of real; _arrm=array[1..6,1..1] of real;\n"
                         "var _y:_arrv absolute IT;\n"),
            std::string::npos);
}

TEST(ContinuousDecl, Errors) {
  int line, column;
  // Both are found once the group has its type, on the word after it.
  EXPECT_EQ(DECLERROR("VAR A : ARRAY[1..2, 1..3] OF CONT;", &line), "more than one subscript");
  EXPECT_EQ(line, 11);
  EXPECT_EQ(DECLERROR("PROCEDURES\nPROCEDURE P;\nVAR Z : CONT;\nBEGIN END;", &line, &column),
            "variable CONT in procedure");
  EXPECT_EQ(line, 13);
  EXPECT_EQ(DECLERROR("PROCEDURES\nPROCEDURE P(Z : RET : 2);\nBEGIN END;"),
            "variable CONT in procedure");
}

// A model with C nodes TANK and MIX [1..2].
std::string CNODEMODEL() {
  return "tank\nNETWORK\n  TANK (C) ::\n  MIX (C) [1..2] ::\n  A1 (A) ::\n"
         "INIT\n  TSIM := 10;\nDECL\nVAR L : CONT;\nEND.\n";
}

TEST(ContinuousDecl, NodeVariablesAndStepSize) {
  DeclRun d(CNODEMODEL());
  ASSERT_EQ(d.run(), "");
  std::string pru = d.pru();
  EXPECT_NE(pru.find("\nvar dt_TANK,_tc_TANK:real;\n_ac_TANK,_bi_TANK:boolean;\n"
                     "var dt_MIX,_tc_MIX:array[1..2] of real;\n"
                     "_ac_MIX,_bi_MIX:array[1..2] of boolean;\n"),
            std::string::npos)
      << pru;
  NameNode* dt = d.entry("DT_TANK");
  ASSERT_NE(dt, nullptr);
  EXPECT_EQ(dt->TIPO, "REAL");
  NameNode* dm = d.entry("DT_MIX");
  ASSERT_NE(dm, nullptr);
  EXPECT_EQ(dm->TIPO, "ARRAY");
  EXPECT_EQ(dm->TYPEL, "REAL");
  EXPECT_EQ(dm->NSUB, 1);
  // _com starts every replication with the nodes inactive.
  FLUSHOUT(d.c, CH_MODPRO);
  CLOSECH(d.c, CH_MODPRO);
  std::string pro = WRITTEN(d.c, d.dir, "MODPRO");
  EXPECT_NE(pro.find("_ff:=nil;evp:=0;\n_ac_TANK:=false;_bi_TANK:=false;\n"
                     "for ino:=1 to 2 do begin _ac_MIX[ino]:=false;_bi_MIX[ino]:=false; end;\n"
                     "end;\n"),
            std::string::npos)
      << pro;
}

TEST(ContinuousDecl, LongNodeNamesAreNotCut) {
  const std::string x = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
  DeclRun d("m\nNETWORK\n  " + x + " (C) [1..12] ::\n  A1 (A) ::\nINIT\nDECL\nEND.\n");
  ASSERT_EQ(d.run(), "");
  std::string pru = d.pru();  // the pieces may fall on two lines
  pru.erase(std::remove(pru.begin(), pru.end(), '\n'), pru.end());
  EXPECT_NE(pru.find("var dt_" + x + ",_tc_" + x + ":array[1..12] of real;_ac_" + x + ",_bi_" +
                     x + ":array[1..12] of boolean;"),
            std::string::npos);
}

// ---- equations

// Node code of C node C1 translated with continuous variables declared.
struct Equations : Translate {
  void cmodel(const std::string& code, const std::string& node2 = "E1 (E) ::") {
    model("model\nNETWORK\nC1 (C) ::\n" + code + "\n" + node2 + "\nINIT\n\nDECL\nEND.\n");
    for (const char* v : {"X", "Y", "D"}) DeclareContinuous(c, var(v, "REAL"), v[0] == 'D' ? 3 : 0);
    CONTPENDING(c);
    c.out.ch[CH_PRU].BUF.clear();  // PRU.PAS is not open here
    var("A", "ARRAY", "", 1)->BOUNDS = {Bound{1, 2}};
    DeclareContinuousArray(c, c.names.LASTDIRECT);
    var("DELAY", "REAL");
    var("N", "INTEGER");
    c.stmt.CONTNODE = true;
  }
  std::string cnode(const std::string& name = "C1") {
    std::string e = node(name);
    if (e.empty() && EquationGroupOpen(c)) CloseEquationGroup(c);
    return e;
  }
  std::string fec() {
    FLUSHOUT(c, CH_MODEDI);
    return FILETEXT(c, "MODEDI");
  }
};

TEST_F(Equations, TwoEquationsMakeOneGroup) {
  cmodel("  X' = -0.5*X + Y;\n  Y'= X;\n  N := 1;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(fec(), "case _m of \n1:_fec:= -0.5*X + Y;\n2:_fec:= X;\n");
  EXPECT_EQ(out(), "\n \n  \n \n  \n \n_rkf(1,2);;\n  N := 1; \n");
  EXPECT_EQ(c.cont.ORDER, (std::vector<int>{1, 2}));
  EXPECT_EQ(c.cont.VARS[0].EQNO, 1);
  EXPECT_EQ(c.cont.VARS[1].EQNO, 2);
  EXPECT_TRUE(c.prog.HASCONT);
}

TEST_F(Equations, MethodPicksTheIntegrator) {
  cmodel("  METHOD(EUL);\n  X' = Y; Y' = -X;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(out(), "\n \n  ;\n \n   \n \n_eul(1,2);;\n");
  cmodel("  METHOD( RK4 );\n  X' = Y;");
  ASSERT_EQ(cnode(), "");
  EXPECT_NE(out().find("_rk4(1,1);;"), std::string::npos);
  // Every C node starts with RKF.
  cmodel("  METHOD(EUL);\n", "C2 (C) ::\n  X' = Y;\nE1 (E) ::");
  ASSERT_EQ(cnode(), "");
  StartContinuousNode(c, 2);
  ASSERT_EQ(cnode("C2"), "");
  EXPECT_NE(out().find("_rkf(1,1);;"), std::string::npos);
}

TEST_F(Equations, AnEquationBeforeEndAddsItsSemicolon) {
  cmodel("  IF N > 0 THEN BEGIN X' = Y END;\n  Y' = 1;\n  N := 2;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(fec(), "case _m of \n1:_fec:= Y ;\n2:_fec:= 1;\n");
  // The first group closes right after its equation, inside the block and
  // without the extra ";".
  EXPECT_EQ(out(), "\n \n  IF N > 0 THEN BEGIN \n_rkf(1,1);\nEND; \n  \n \n"
            "_rkf(2,2);;\n  N := 2; \n");
}

// The integration of a group is one statement: in a THEN branch it is
// integrated only on that branch, and before ELSE it takes no ";".
TEST_F(Equations, AGroupInABranchIsOneStatement) {
  cmodel("  IF N > 0 THEN X' = 0 ELSE X' = 1;\n  IF N > 1 THEN Y' = 2\n  ELSE N := 1;\n"
         "  IF N > 2 THEN Y' = 3;\n  N := 2;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(out(),
            "\n \n  IF N > 0 THEN \n_rkf(1,1) ELSE \n \n"
            "_rkf(2,2);;  IF N > 1 THEN \n"
            "_rkf(3,3) \nELSE N := 1; \n"
            "  IF N > 2 THEN \n \n_rkf(4,4);;\n  N := 2; \n");
}

TEST_F(Equations, ElementsAreNamedAfterTheMark) {
  cmodel("  A'[2] := A[1] - A[2];\n  A'[1] := 0;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(fec(), "case _m of \n1:_fec:= A[1] - A[2];\n2:_fec:= 0;\n");
  EXPECT_EQ(c.cont.ORDER, (std::vector<int>{7, 6}));
}

TEST_F(Equations, NumbersRunThroughTheModelAndTheOrderConstant) {
  cmodel("  X' = 1;", "C2 (C) ::\n  Y' = 2;\n  D' = 3;\nE1 (E) ::");
  ASSERT_EQ(cnode(), "");
  ASSERT_EQ(cnode("C2"), "");
  EXPECT_EQ(fec(), "case _m of \n1:_fec:= 1;\n2:_fec:= 2;\n3:_fec:= 3;\n");
  BINDCH(c, CH_PRU, "PRU.PAS");
  CREATECH(c, CH_PRU);
  WriteOrderConstant(c);
  FLUSHOUT(c, CH_PRU);
  CLOSECH(c, CH_PRU);
  EXPECT_EQ(WRITTEN(c, dir, "PRU.PAS"),
            "const _ore:array[1..3] of integer=(1,2,3);\n");
}

TEST_F(Equations, OrderConstantWithoutEquations) {
  cmodel("  N := 1;");
  ASSERT_EQ(cnode(), "");
  BINDCH(c, CH_PRU, "PRU.PAS");
  CREATECH(c, CH_PRU);
  WriteOrderConstant(c);
  FLUSHOUT(c, CH_PRU);
  CLOSECH(c, CH_PRU);
  EXPECT_EQ(WRITTEN(c, dir, "PRU.PAS"), "const _ore:array[1..1] of integer=(1);\n");
  EXPECT_FALSE(c.prog.HASCONT);  // _fec keeps its empty body
}

TEST_F(Equations, RetardOfOrderOne) {
  cmodel("  RETARD(1, X, DELAY, N * 2);\n  N := 1;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(fec(), "case _m of \n1:_fec:=( N * 2-X)*1/DELAY;\n");
  EXPECT_EQ(out(), "\n \n  \n \n_rkf(1,1);\n  N := 1; \n");
  EXPECT_EQ(c.cont.ORDER, (std::vector<int>{1}));
}

TEST_F(Equations, RetardOfOrderThreeFeedsItsStages) {
  cmodel("  X' = 1;\n  RETARD(3, D, 2.5, Y);\n  N := 1;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(fec(),
            "case _m of \n1:_fec:= 1;\n"
            "2:_fec:=( Y-_D_DEL[1])*3/2.5;\n"
            "3:_fec:=(_D_DEL[1]-_D_DEL[2])*3/2.5;\n"
            "4:_fec:=(_D_DEL[2]-D)*3/2.5;\n");
  // D at 3, its stages at 4 and 5.
  EXPECT_EQ(c.cont.ORDER, (std::vector<int>{1, 4, 5, 3}));
  EXPECT_EQ(out(),
            "\n \n  \n \n_rkf(1,1);;  \n \n"
            "_rkf(2,4);\n  N := 1; \n");
}

TEST_F(Equations, RetardOfOrderTwo) {
  cmodel("  BEGIN RETARD(2, D, DELAY, Y)\n END;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(fec(),
            "case _m of \n1:_fec:=( Y-_D_DEL[1])*2/DELAY\n \n;\n"
            "2:_fec:=(_D_DEL[1]-D)*2/DELAY;\n");
  EXPECT_EQ(c.cont.ORDER, (std::vector<int>{4, 3}));
  // Integrated inside the block, ahead of END.
  EXPECT_EQ(out(), "\n \n  BEGIN \n_rkf(1,2);\nEND; \n");
}

// A branch's group is integrated in that branch even when ELSE ends the line.
TEST_F(Equations, ElseAtTheEndOfALine) {
  cmodel("  IF N > 0 THEN X' = 1 ELSE\n    X' = 2;\n"
         "  IF N > 1 THEN RETARD(1, Y, DELAY, 3) ELSE\n    N := 1;");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(out(),
            "\n \n  IF N > 0 THEN \n_rkf(1,1) \nELSE \n    \n \n"
            "_rkf(2,2);;  IF N > 1 THEN \n"
            "_rkf(3,3) \nELSE \n\n    N := 1; \n");
}

TEST_F(Equations, Errors) {
  struct Case {
    const char* code;
    const char* message;
  } cases[] = {
      {"  Z' = 1;", " continuous variable not declared"},
      {"  A'[3] = 1;", " continuous variable not declared"},
      {"  A'[N] = 1;", "integer number expected"},
      {"  X' = 1 Y' = 2;", "invalid character following factor or missing separator"},
      {"  X' = 1)", "; or END or ELSE expected"},
      {"  METHOD(EULER);", "error in METHOD"},
      {"  METHOD EUL;", "( expected"},
      {"  METHOD(EUL;", ") expected"},
      {"  RETARD(2.5, D, DELAY, Y);", "integer expected"},
      {"  RETARD(2, D, N, Y);", " REAL variable or number expected"},
      {"  RETARD(2, D, Q, Y);", " REAL variable or number expected"},
      {"  RETARD(4, D, DELAY, Y);", " continuous variable not declared"},
      {"  RETARD(1, N, DELAY, Y);", " continuous variable not declared"},
      {"  RETARD(1, X DELAY, Y);", ", expected"},
  };
  for (const Case& k : cases) {
    cmodel(k.code);
    EXPECT_EQ(cnode(), k.message) << k.code;
  }
  cmodel("  X' = 1;");
  c.stmt.CONTNODE = false;
  EXPECT_EQ(node("C1"), "derivatives only in C node");
  cmodel("  RETARD(1, X, DELAY, Y);");
  c.stmt.CONTNODE = false;
  EXPECT_EQ(node("C1"), "RETARD in node not C");
}

// ACT(node, delay): what ACT reads before it hands over to the C node.
struct Activation : Equations {
  std::string act(const std::string& node) {
    return r.error([&] {
      RECID(c);
      EXPECT(c, '(');
      s.K++;
      PRNODO(c, true);
      RECID(c);
      EXPECT(c, ',');
      s.K++;
      TranslateContinuousAct(c, c.model.NODENUM.at(node));
      PRFININS(c, false);
      c.out.TRANSMIT = true;
    });
  }
  void at(const std::string& text) {
    cmodel("  " + text, "M (C) [1..3] ::\nE1 (E) ::");
    const NodeRecord& n = c.model.NodeTable[1];
    s.PL = n.CODEPL;
    s.LB = n.CODELINE;
    s.K = n.C;
    c.stmt.LBF = c.model.NodeTable[2].L;
    c.out.CURCH = CH_NODE;
    c.out.TRANSMIT = false;
    RECID(c);
    c.out.TRSTART = s.K;
  }
};

TEST_F(Activation, StartsTheClockOfACNode) {
  at("ACT(C1, DELAY * 2);");
  ASSERT_EQ(act("C1"), "");
  EXPECT_EQ(out(),
            "begin \n_ac_C1:=true; _tc_C1:=time+ DELAY * 2;"
            "_afel(1,1,evp,blck[1],_tc_C1); \n_bi_C1:=false;  end ;\n");
  at("ACT(M[2], 0);");
  ASSERT_EQ(act("M"), "");
  EXPECT_EQ(out(),
            "begin \n_ac_M[2]:=true; _tc_M[2]:=time+ 0;"
            "_afel(2,2,evp,blck[2],_tc_M[2]); \n_bi_M[2]:=false;  end ;\n");
  at("ACT(C1, 1;");
  EXPECT_EQ(act("C1"), ") expected");
}

TEST_F(Activation, ActAndDeactInNodeCode) {
  cmodel("  DEACT(C1);\n  ACT(M[3], DELAY);\n  DEACT(M[1]);", "M (C) [1..3] ::\nE1 (E) ::");
  ASSERT_EQ(cnode(), "");
  EXPECT_EQ(out(),
            "\n \n  \n_ac_C1:=false;\n \n  \nbegin \n_ac_M[3]:=true; _tc_M[3]:=time+ DELAY;"
            "_afel(2,3,evp,blck[2],_tc_M[3]); \n_bi_M[3]:=false;  end ;\n \n  \n"
            "_ac_M[1]:=false;\n \n");
}

// ---- whole models

// A model of tests/models translated by the whole command in a fresh directory.
struct WholeModel {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  int code;
  explicit WholeModel(const std::string& name) {
    dir.write(name, MODELTEXT(name));
    code = RUNTALVEN({name}, out, err, in, dir.str());
  }
  bool has(const std::string& file, const std::string& text) const {
    return dir.read(file).find(text) != std::string::npos;
  }
};

TEST(ContinuousModels, TwoTanksBehindADelayedValve) {
  WholeModel m("cont_level.tlv");
  ASSERT_EQ(m.code, 0) << m.err.str();
  // FLOW, its two stages, then H[1] and H[2].
  EXPECT_TRUE(m.has("PRU.PAS", "_FLOW_DEL:array[1..2] of real; H : ARRAY[1..2] OF REAL;\n"));
  EXPECT_TRUE(m.has("PRU.PAS",
                    "type _arrv=array[1..5] of real; _arrm=array[1..6,1..5] of real;\n"
                    "var _y:_arrv;\n"
                    "const _yp:array[1..5] of ^real=(@FLOW,@_FLOW_DEL[1],@_FLOW_DEL[2],@H[1],\n"
                    "@H[2]);\n"));
  EXPECT_TRUE(m.has("PRU.PAS",
                    "const _ore:array[1..5] of integer=(2,3,1,4,5);\n"));
  EXPECT_TRUE(m.has("PRU.PAS",
                    "begin \ncase _m of \n"
                    "1:_fec:=( OPEN-_FLOW_DEL[1])*3/DELAY;\n"
                    "2:_fec:=(_FLOW_DEL[1]-_FLOW_DEL[2])*3/DELAY;\n"
                    "3:_fec:=(_FLOW_DEL[2]-FLOW)*3/DELAY;\n"
                    "4:_fec:= (FLOW - K * H[1]) / AREA;\n"
                    "5:_fec:= (K * H[1] - K * H[2]) / AREA;\n"
                    "end end;\n"));
  // Assigning the delayed variable in INIT fills its stages; the tolerances.
  EXPECT_TRUE(m.has("PRU.PAS", "for _i:=1 to 2 do _FLOW_DEL[_i]:=FLOW;"));
  EXPECT_TRUE(m.has("PRU.PAS", "eabs:=0.00001; erel:=0.0001;"));
  // Each node integrates its own group with its own method; the group left
  // open at the end of TANKS is closed there.
  EXPECT_TRUE(m.has("unid1.pas", "_eul(1,3);\n_tc_VALVE:=_tc_VALVE+_dt;"));
  EXPECT_TRUE(m.has("unid1.pas", "_rk4(4,5);;\n_tc_TANKS:=_tc_TANKS+_dt;"));
}

// Each instance of a multiple C node keeps its own clock, step and
// activation, runs at its own events and schedules its own next one.
TEST(ContinuousModels, MultipleNodeKeepsOneClockPerInstance) {
  WholeModel m("cont_multi.tlv");
  ASSERT_EQ(m.code, 0) << m.err.str();
  EXPECT_TRUE(m.has("PRU.PAS", "var dt_COOL,_tc_COOL:array[1..2] of real;\n"
                               "_ac_COOL,_bi_COOL:array[1..2] of boolean;\n"));
  EXPECT_TRUE(m.has("PRU.PAS", "for ino:=1 to 2 do begin _ac_COOL[ino]:=false;"
                               "_bi_COOL[ino]:=false; end;\n"));
  EXPECT_TRUE(m.has("unid1.pas",
                    "procedure COOL(ino:integer);\nvar icopy: integer;\nvar _cu: boolean;\nbegin \n"
                    "if ((_n=1) and (ino=iev) or (ino<0)) and _ac_COOL[abs(ino)] then begin \n"
                    "_cu:=ino<0; if _cu then ino:=-ino;\n"
                    "_dt:=time-_tc_COOL[ino];\nrepeat _dta:=_dt;\n_dt:=time-_tc_COOL[ino];\n"
                    "if _dt<>0.0 then begin \n"));
  EXPECT_TRUE(m.has("unid1.pas",
                    "     END; \n_tc_COOL[ino]:=_tc_COOL[ino]+_dt;\n end \n"
                    "else _dta:=dt_COOL[ino];\nuntil _tc_COOL[ino]=time;\n"
                    "if _cu then _bi_COOL[ino]:=true else begin _k:=2;_swt:=true;\n"
                    "if _bi_COOL[ino] then begin _dta:=dt_COOL[ino];\n"
                    "_bi_COOL[ino]:=false end;\n"
                    "if _ac_COOL[ino] then _afel(1,ino,evp,blck[1],time+_dta);\n"
                    " end \nend end;\n"));
  // Each instance integrates the group inside its own IF.
  EXPECT_TRUE(m.has("unid1.pas", "_rkf(2,2);;\n"
                                 "        STEPS[2] := STEPS[2] + 1 \n"));
  // ACT and DEACT of one instance; DT_COOL is an array.
  EXPECT_TRUE(m.has("PRU.PAS", "_ac_COOL[2]:=true; _tc_COOL[2]:=time+ 1;"
                               "_afel(1,2,evp,blck[1],\n_tc_COOL[2]); _bi_COOL[2]:=false;"));
  EXPECT_TRUE(m.has("unid1.pas", "_ac_COOL[2]:=false;"));
  EXPECT_TRUE(m.has("PRU.PAS", "DT_COOL[2] := 0.2;"));
}

// A model of its own text translated by the whole command: the first line
// of the error report, or "" when it translates.
std::string WHOLEERROR(const std::string& text) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("m.tlv", text);
  if (RUNTALVEN({"m.tlv"}, out, err, in, dir.str()) == 0) return "";
  std::string e = err.str();
  size_t at = e.find("m.tlv:");
  return at == std::string::npos ? e : e.substr(at, e.find('\n', at) - at);
}

TEST(ContinuousModels, EquationsAndRetardOnlyInCNodes) {
  const std::string head = "m\nNETWORK\n  C1 (C) ::\n     X' = 1;\n  A1 (A) ::\n";
  const std::string tail =
      "INIT\n  TSIM := 1;\n  ACT(C1, 0);\nDECL\nVAR X, D : CONT; T : REAL;\nEND.\n";
  EXPECT_EQ(WHOLEERROR(head + "     T := 1; X' = 2;\n" + tail),
            "m.tlv:6:15: error: derivatives only in C node");
  EXPECT_EQ(WHOLEERROR(head + "     RETARD(1, D, T, 2);\n" + tail),
            "m.tlv:6:12: error: RETARD in node not C");
  EXPECT_EQ(WHOLEERROR(head + "     T := 1;\n" + tail), "");
  // Neither in INIT.
  EXPECT_EQ(WHOLEERROR("m\nNETWORK\n  A1 (A) ::\nINIT\n  X' = 2;\nDECL\nVAR X : CONT;\nEND.\n"),
            "m.tlv:5:4: error: derivatives only in C node");
}

// Each C node integrates the group its code ends with, before its clock
// moves on; the next C node starts a group of its own.
TEST(ContinuousModels, EachCNodeClosesItsLastGroup) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("m.tlv",
            "m\nNETWORK\n  C1 (C) ::\n     METHOD(RK4);\n     X' = -X;\n"
            "  C2 (C) ::\n     Y' = X;\nINIT\n  TSIM := 1;\n  ACT(C1, 0);\n  ACT(C2, 0);\n"
            "DECL\nVAR X, Y : CONT;\nEND.\n");
  ASSERT_EQ(RUNTALVEN({"m.tlv"}, out, err, in, dir.str()), 0) << err.str();
  std::string unit = dir.read("unid1.pas");
  size_t c2 = unit.find("procedure C2(ino:integer);\nvar");
  ASSERT_NE(c2, std::string::npos) << unit;
  size_t first = unit.find("_rk4(1,1);;\n_tc_C1:=_tc_C1+_dt;");
  size_t second = unit.find("_rkf(2,2);;\n_tc_C2:=_tc_C2+_dt;");
  EXPECT_LT(first, c2) << unit;
  EXPECT_NE(second, std::string::npos) << unit;
  EXPECT_GT(second, c2);
}

// A measured continuous variable has its statistics taken after each
// integration of its group, an array element at its own index: A, from
// 2 to 3, has indexes 1 and 2 (key order), B 3; D is not measured.
TEST(ContinuousModels, MeasuredVariableIsRecordedAfterItsIntegration) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("m.tlv",
            "m\nNETWORK\n  C1 (C) ::\n     B' = 1;\n     A'[3] = B;\n     D' = 2;\n"
            "     IF D > 1 THEN A'[2] = 1\n     ELSE A'[2] = 2;\n"
            "INIT\n  TSIM := 1;\n  ACT(C1, 0);\n"
            "DECL\nVAR A : ARRAY[2..3] OF CONT; B, D : CONT;\nSTATISTICS A, B;\nEND.\n");
  ASSERT_EQ(RUNTALVEN({"m.tlv"}, out, err, in, dir.str()), 0) << err.str();
  std::string unit = dir.read("unid1.pas");
  for (const char* t :
       {"begin _rkf(1,3);_ystat(1,_sv[3],_s2v[3],_lv[3],_hv[3],_hcv[3]);\n"
        "_prstp(3,B);_ystat(2,_sv[2],_s2v[2],_lv[2],_hv[2],_hcv[2]);_prstp(2,A[3]);\n end;;",
        "IF D > 1 THEN \nbegin _rkf(4,4);_ystat(4,_sv[1],_s2v[1],_lv[1],_hv[1],_hcv[1]);\n"
        "_prstp(1,A[2]); end ELSE \n",
        "begin _rkf(5,5);_ystat(5,_sv[1],_s2v[1],_lv[1],_hv[1],_hcv[1]);\n"
        "_prstp(1,A[2]); end;;\n"})
    EXPECT_NE(unit.find(t), std::string::npos) << t << "\n" << unit;
}

// The subscripted names of a multiple node with a long name are never cut.
TEST(ContinuousModels, MultipleNodeWithALongName) {
  const std::string x = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("m.tlv", "m\nNETWORK\n  " + x + " (C) [1..12] ::\n     Y' = -Y;\n"
                     "INIT\n  TSIM := 1;\n  ACT(" + x + "[12], 0);\n"
                     "DECL\nVAR Y : CONT;\nEND.\n");
  ASSERT_EQ(RUNTALVEN({"m.tlv"}, out, err, in, dir.str()), 0) << err.str();
  std::string unit = dir.read("unid1.pas");
  const std::string n = x + "[ino]";
  for (const std::string& t :
       {"_tc_" + n + ":=_tc_" + n + "+_dt;\n", "if _bi_" + n + " then begin \n_dta:=dt_" + n + ";\n",
        "if _ac_" + n + " then \n_afel(1,ino,evp,blck[1],time+_dta);\n"})
    EXPECT_NE(unit.find(t), std::string::npos) << t << "\n" << unit;
}

// Two equations of one variable, one per branch: each branch integrates
// its own.
TEST(ContinuousModels, ThermostatIntegratesEachBranch) {
  WholeModel m("cont_branch.tlv");
  ASSERT_EQ(m.code, 0) << m.err.str();
  EXPECT_TRUE(m.has("unid1.pas", "IF ON THEN \n_rkf(1,1) \nELSE \n"));
  EXPECT_TRUE(m.has("unid1.pas", "_rkf(2,2);;\n_tc_ROOM:="));
  EXPECT_TRUE(m.has("PRU.PAS", "const _ore:array[1..2] of integer=(1,1);\n"));
}

// Without equations _fec has no cases and _ore one element, 1.
TEST(ContinuousModels, OrderConstantOfAModelWithoutEquations) {
  WholeModel m("minimal.tlv");
  ASSERT_EQ(m.code, 0) << m.err.str();
  EXPECT_TRUE(m.has("PRU.PAS", "const _ore:array[1..1] of integer=(1);\n"));
  EXPECT_FALSE(m.has("PRU.PAS", "case _m of"));
  EXPECT_TRUE(m.has("PRU.PAS", "var _y:_arrv absolute IT;\n"));
}

TEST(ContinuousModels, PredatorsAndPrey) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  std::ifstream f(std::string(TALVEN_TEST_MODELS) + "/../../examples/prey.tlv");
  dir.write("prey.tlv", std::string(std::istreambuf_iterator<char>(f), {}));
  ASSERT_EQ(RUNTALVEN({"prey.tlv"}, out, err, in, dir.str()), 0) << err.str();
  EXPECT_NE(dir.read("unid1.pas").find("_rkf(1,2);;"), std::string::npos);
  EXPECT_NE(dir.read("PRU.PAS").find("var dt_POP,_tc_POP:real;\n_ac_POP,_bi_POP:boolean;\n"),
            std::string::npos);
}

}  // namespace
