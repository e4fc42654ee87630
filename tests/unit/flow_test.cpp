// Scheduling and the flow through a node, in the code of the sample
// network (tests/models/flow_net.tlv): ENT (I) 1 -> COLA (L) 2 -> N (G) 3
// -> M (G) [1..3] 4 -> R1 (R) [1..2] 5, C1 (C) 6, DEC (D) 7, SAL (E) 8.
// Lists: COLA's IL 1 is N's EL; R1's IL 2, 3; COLA's EL 4; M 5..7; R1
// 8, 9; DEC 10 (from N) and 11..13 (from M); SAL 14.
#include <gtest/gtest.h>
#include "flow_testrun.h"

namespace {

TEST_F(Flow, ActSchedulesTheNode) {
  EXPECT_EQ(run("N", "  ACT(N, 2.5);\n  ACT(M[2], T, 7);\n"
                     "  ACT(N, 1, B); ACT(SAL, T * 2, 255);"), "");
  EXPECT_EQ(text(),
            "  _afel(3,1,evp,blck[3],time+ 2.5);\n \n"
            "  _afel(4,2,evp,blck[4],time+ T, 7);\n \n"
            "  _afel(3,1,evp,blck[3],time+ 1, B); _afel(8,1,evp,blck[8],time+\n"
            " T * 2, 255);\n \n");
  EXPECT_FALSE(c.stmt.ACTSEEN);
}

TEST_F(Flow, ActInInit) {
  EXPECT_EQ(run("INIT", "  ACT(N, 0); DEACT(N);"), "");
  EXPECT_EQ(text(CH_MODIN1).substr(0, 52),
            "  _afel(3,1,evp,blck[3],time+ 0); \nextfel(3,-1,0,0);");
  EXPECT_TRUE(c.stmt.ACTSEEN);
}

// A continuous node is stopped through its flag; the statement's ";" is
// the one of the source, so an ELSE may follow.
TEST_F(Flow, Deact) {
  EXPECT_EQ(run("N", "  DEACT(SAL); IF T > 1 THEN DEACT(C1) ELSE DEACT(M[K]);"), "");
  EXPECT_EQ(text(),
            "  \nextfel(8,-1,0,0); IF T > 1 THEN \n_ac_C1:=false ELSE \n"
            "extfel(4,-1,0,0);\n \n");
}

// C1 is continuous: its activation time and flag are set, and its event
// comes at that time.
TEST_F(Flow, ActOfAContinuousNode) {
  EXPECT_EQ(run("N", "  ACT(C1, T + 1); IF T > 1 THEN ACT(C1, 2) ELSE DEACT(C1);"), "");
  EXPECT_EQ(text(),
            "  \nbegin \n_ac_C1:=true; _tc_C1:=time+ T + 1;_afel(6,1,evp,blck[6],_tc_C1); \n"
            "_bi_C1:=false;  end ; IF T > 1 THEN \nbegin \n"
            "_ac_C1:=true; _tc_C1:=time+ 2;_afel(6,1,evp,blck[6],_tc_C1); \n"
            "_bi_C1:=false;  end  ELSE \n_ac_C1:=false;\n \n");
}

TEST_F(Flow, ActErrors) {
  EXPECT_EQ(run("N", "  ACT(R1[1], 5);"), "ACT forbidden in node type R");
  EXPECT_EQ(where(), "7:12");
  EXPECT_EQ(run("N", "  ACT(N, 5, 300);"), "parameter>255");
  EXPECT_EQ(where(), "7:16");
  EXPECT_EQ(run("N", "  ACT(N, 5, 2.5);"), "espera numero entero");
  EXPECT_EQ(run("N", "  ACT(N, 5, T);"), "type BYTE or INTEGER expected");
  EXPECT_EQ(where(), "7:14");
  EXPECT_EQ(run("N", "  ACT(N, 5, X);"), "type BYTE or INTEGER expected");
  EXPECT_EQ(run("N", "  ACT(N, 5;"), "ACTIVATE illegaly ended");
  EXPECT_EQ(where(), "7:12");
  EXPECT_EQ(run("N", "  ACT(X, 5);"), "node expected");
  EXPECT_EQ(run("N", "  ACT(N 5);"), ", expected");
}

TEST_F(Flow, FlowSwitches) {
  EXPECT_EQ(run("N", "  __STOP; __STOPALL;\n  IF T>1 THEN __GO ELSE __GOALL;"), "");
  EXPECT_EQ(text(),
            "  _acc:=false ; begin _bs:=false;_acc:=false end ;\n \n"
            "  IF T>1 THEN begin _bs:=false; _acc:=true end ELSE _acc:=true ;\n \n");
  EXPECT_EQ(run("R1", "  NOTFREE; __STOP;"), "");
  EXPECT_EQ(text(), "  _fre:=false; _acc:=false ;\n \n");
  EXPECT_EQ(run("COLA", "  __STOP;"), "STOP illegal in this node");
  EXPECT_EQ(run("COLA", "  __STOPALL;"), "STOPALL illegal in this node");
  EXPECT_EQ(run("ENT", "  __GO;"), "GO illegal in this node");
  EXPECT_EQ(run("SAL", "  __GOALL;"), "GOALL illegal in this node");
  EXPECT_EQ(run("N", "  NOTFREE;"), "NOTFREE illegal in this node");
  EXPECT_EQ(where(), "7:10");
  EXPECT_EQ(run("INIT", "  __STOP;"), "STOP illegal in this node");
}

// The release (with the statistics of the resource's use) is a block:
// an IF keeps all of it.
TEST_F(Flow, Free) {
  EXPECT_EQ(run("N", "  IF T > 1 THEN FREE(R1[2]) ELSE FREE(R1[K]);"), "");
  EXPECT_EQ(text(),
            "  IF T > 1 THEN \nbegin if f_R1[2]<>MAXREAL then f_R1[2]:=f_R1[2]+use;\n"
            "_prsta(0+2,U_R1[2]);if m_R1[2]<>MAXREAL then u_R1[2]:=u_R1[2]-use;\n"
            "_prstp(0+2,U_R1[2]);_swt:=false end ELSE \n"
            "begin if f_R1[K]<>MAXREAL then f_R1[K]:=f_R1[K]+use;\n"
            "_prsta(0+K,U_R1[K]);if m_R1[K]<>MAXREAL then u_R1[K]:=u_R1[K]-use;\n"
            "_prstp(0+K,U_R1[K]);_swt:=false end;\n \n");
  EXPECT_FALSE(c.stmt.INFREE);
  EXPECT_EQ(run("ENT", "  FREE(R1[1]);"), "FREE illegal in this node");
  EXPECT_EQ(where(), "5:7");
  EXPECT_EQ(run("N", "  FREE(SAL);"), "FREE illegal in this node");
  EXPECT_EQ(where(), "7:11");
}

TEST_F(Flow, FifoAndLifo) {
  EXPECT_EQ(run("COLA", "  FIFO;\n  IF T > 1 THEN LIFO\n  ELSE FIFO;"), "");
  EXPECT_EQ(text(),
            "  _agr(1,_px,'l') \n; \n"
            "  IF T > 1 THEN _agr(1,_px,'f')  ELSE _agr(1,_px,'l') \n; \n");
  EXPECT_FALSE(c.stmt.ACCPENDING);
}

// After a send the message joins the list only if the send left it; the
// test stays in a block of its own, so the ELSE is still the user's.
TEST_F(Flow, FifoAfterASend) {
  EXPECT_EQ(run("COLA", "  SENDTO(SAL); IF T > 1 THEN LIFO ELSE FIFO;"), "");
  EXPECT_EQ(text(),
            "  \nbegin SENT:=true; if _px<> nil then _pxs:=_px^.p;\n"
            "_tran(true,4,14,'A',_px,_ll[14]);_acc:=false; _upvr(_px^.r,_px^.b); end ;\n"
            " IF T > 1 THEN \nbegin if _acc then _agr(1,_px,'f') \n end  ELSE \n"
            "begin if _acc then _agr(1,_px,'l') \n end \n; \n");
}

TEST_F(Flow, FifoErrors) {
  EXPECT_EQ(run("N", "  FIFO;"), "LIFO or FIFO illegal in this node");
  EXPECT_EQ(where(), "7:7");
  EXPECT_EQ(run("COLA", "  LIFO T := 1;"), "LIFO or FIFO illegaly ended");
  EXPECT_EQ(where(), "6:9");
}

// A field of a number type: the kernel finds the place (_order).
TEST_F(Flow, Order) {
  EXPECT_EQ(run("COLA", "  ORDER(PRIO); IF T > 1 THEN ORDER(REMA, D) ELSE ORDER(PRIO, A);"),
            "");
  EXPECT_EQ(text(),
            "  \nbegin _order(1,_px,PRIO,O_PRIO,'A'); \n_acc:=false  end ; IF T > 1 THEN \n"
            "begin _order(1,_px,REMA,O_REMA,'D'); \n_acc:=false  end  ELSE \n"
            "begin _order(1,_px,PRIO,O_PRIO,'A'); \n_acc:=false  end ;\n \n");
}

// A field of another type: the walk over the list is written out.
TEST_F(Flow, OrderWalksByOtherFields) {
  EXPECT_EQ(run("COLA", "  ORDER(MARK); IF T > 1 THEN ORDER(MARK, D);"), "");
  const std::string loop =
      "begin \n_pu:=_fl[1];_bs:=true; _pa:=nil; while (_pu<>nil) and _bs do \n"
      "begin _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu;\n";
  const std::string put =
      " then begin _pa:=_pu;_pu:=_pu^.p end else _bs:=false\n"
      "end;if _pu=nil then _agr(1,_px,'l') else _inter(1,_px,_pa,_pu); \n"
      "_acc:=false  end ";
  EXPECT_EQ(text(), "  \n" + loop + "if MARK>=O_MARK" + put + "; IF T > 1 THEN \n" + loop +
                        "if MARK<=O_MARK" + put + ";\n \n");
}

TEST_F(Flow, OrderErrors) {
  EXPECT_EQ(run("N", "  ORDER(PRIO);"), "ORDER illegal in this node");
  EXPECT_EQ(where(), "7:8");
  EXPECT_EQ(run("COLA", "  ORDER(T);"), "variable expected T");
  EXPECT_EQ(where(), "6:10");
  EXPECT_EQ(run("COLA", "  ORDER(O_PRIO);"), "variable expected O_PRIO");
  EXPECT_EQ(run("COLA", "  ORDER(PRIO, B);"), "A or D expected");
  EXPECT_EQ(where(), "6:16");
}

TEST_F(Flow, BlockKeepsTheKeyword) {
  EXPECT_EQ(run("N", "  BLOCK(N); DEBLOCK(M[K]);"), "");
  EXPECT_EQ(text(), "  BLOCK(3,blck[3]); DEBLOCK(4,blck[4]);\n \n");
}

// IT and NT schedule the node whose code holds them; USE only marks it.
TEST_F(Flow, PredefinedVariables) {
  EXPECT_EQ(run("ENT", "  IT := 5 * T; NT := TIME + 3;\n"
                       "  IF T > 1 THEN USE := 2 ELSE IT := 1;"), "");
  EXPECT_EQ(text(),
            "  \nbegin IT := 5 * T;_afel(1,ino,evp,blck[1],it+time);end; \n"
            "begin NT := TIME + 3;_afel(1,ino,evp,blck[1],nt);end;\n \n"
            "  IF T > 1 THEN \nbegin USE := 2; end  ELSE \n"
            "begin IT := 1;_afel(1,ino,evp,blck[1],it+time);end;\n \n");
  EXPECT_EQ(c.stmt.USENODE, 1);
}

TEST_F(Flow, Stay) {
  EXPECT_EQ(run("R1", "  STAY := T * 2;"), "");
  EXPECT_EQ(text(), "  \nbegin STAY := T * 2;_sta:=true; end;\n \n");
  EXPECT_EQ(run("N", "  STAY := 3;"), "STAY in not R type node");
  EXPECT_EQ(where(), "7:13");
  EXPECT_EQ(net("I1 (I) R2 ::\nR2 (R) NOSUC ::\n  STAY := 1;"), "");
  EXPECT_EQ(node("R2"), "STAY in node without succesor");
  EXPECT_EQ(run("N", "  IT := 5);"), "; or END or ELSE expected");
  EXPECT_EQ(where(), "7:11");
}

// Whole models through every pass: the instructions inside the real node
// skeletons. (Compiled with the runtime and run, both reach TSIM: the shop
// with 51 arrivals, 17 of them paired at PACK; the laboratory with all 183
// messages that reach its decision node selected and sent out.)
struct FlowModel : ::testing::Test {
  TempDir dir;
  TestRun r;
  Compiler& c = r.c;
  std::string translate(const std::string& name) {
    c.drv.root = dir.str();
    c.drv.SRCPATH = name;
    r.load(MODELTEXT(name));
    return r.error([&] {
      TRANSLATEUPTO(c, Pass::ASSEMBLY);
    });
  }
};

TEST_F(FlowModel, ShopTranslates) {
  ASSERT_EQ(translate("flow_shop.tlv"), "");
  std::string unit = WRITTEN(c, dir, "unid1.pas");
  for (const char* piece :
       {"begin IT := 2;_afel(1,ino,evp,blck[1],it+time);end;",
        "begin _order(1,_px,PRIO,O_PRIO,'D'); ",
        "_tran(true,1,4+_imi,'A',_px,_ll[4+_imi]);",
        "_i:=1;while (F_CASH[_i]<=0) and (_i<=2) do _i:=_i+1; if _i>2 then _i:=1;",
        "begin STAY := 1.5;_sta:=true; end;",
        "_sinc(2,1); _sf:=true;"})
    EXPECT_NE(unit.find(piece), std::string::npos) << piece;
  std::string pru = WRITTEN(c, dir, "PRU.PAS");
  EXPECT_NE(pru.find("function _cl; begin \ncase _nsy of  \n1:begin _cl:=(O_PRIO=PRIO) end;\n"
                     "end end;"),
            std::string::npos);
  EXPECT_NE(pru.find("_afel(1,1,evp,blck[1],time+ 0);"), std::string::npos);
  EXPECT_TRUE(c.stmt.ACTSEEN);
}

// The local procedure of SELECT stands in DEC's procedure, before the
// body that calls it.
TEST_F(FlowModel, LaboratoryTranslates) {
  ASSERT_EQ(translate("flow_lab.tlv"), "");
  std::string unit = WRITTEN(c, dir, "unid1.pas");
  size_t dec = unit.find("procedure DEC(ino:integer);\nvar icopy: integer;\n"
                         "procedure _prs1(_el,MAXSEL,_i1,_i2:integer);");
  ASSERT_NE(dec, std::string::npos);
  EXPECT_NE(unit.find("begin \nbegin _prs1(7,5,1,1);_prs1(8,5,1,1);_prs1(9,5,1,1);"
                      "_prs1(10,2,1,1);\n end ", dec),
            std::string::npos);
  for (const char* piece :
       {"IF PRIO = 0 THEN _agr(1,_px,'l')  ELSE _agr(1,_px,'f') ",
        "begin _ac1:=_acc; _r:=_px^.r;_newr(_r,_b);",
        "begin if _px^.pas<>nil then begin _pu:=_px^.pas; _px^.pas:=nil;",
        " O_REMA:=o_xt-time;_acc:=true;extfel(_N1,O_XT,INO,0); ",
        "_nume8:=_nume8+1; _pu^.number:=_nume8; _pu^.nor:=_nno[7]; ",
        "_sort(7,REMA,O_REMA,'D')"})
    EXPECT_NE(unit.find(piece), std::string::npos) << piece;
  EXPECT_NE(WRITTEN(c, dir, "PRU.PAS").find("var _NUME1,_NUME7,_NUME8:integer;"), std::string::npos);
}

}  // namespace
