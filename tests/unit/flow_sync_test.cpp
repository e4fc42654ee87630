// SELECT in a decision node, SYNCHRONIZE and ASSEMBLE with the cases of
// _cl, in the sample network of flow_test.cpp. DEC (D) is fed by N (its
// list 10) and by the three copies of M (lists 11..13): its body goes to
// MODAUX, the local procedures of SELECT to the unit at once.
#include <gtest/gtest.h>
#include "flow_testrun.h"

namespace {

const std::string SENT = "begin SENT:=true; if _px<> nil then _pxs:=_px^.p;\n";

std::string PRS(const std::string& s, const std::string& code) {
  return "procedure _prs" + s + "(_el,MAXSEL,_i1,_i2:integer);var _k,INO,_el1:integer;\n"
         "begin _el1:=_el-1;for INO:=_i1 to _i2 do begin _el:=_el1+INO;\n"
         "_px:=_fl[_el];_k:=1; while (_px<>nil) and (_k<=MAXSEL) do begin \n"
         "_uprv(_px^.r,_px^.b);" + code + ";\n_k:=_k+1;_px:=_fl[_el] end; end end;\n";
}

// Each source is called with the list of its first copy and the copies
// asked for; the statement takes messages from the list _el.
TEST_F(Flow, SelectOverTwoSources) {
  EXPECT_EQ(run("DEC", "  SELECT(N : 2; M[1..2], M[3] : K) SENDTO(SAL);", CH_MODAUX), "");
  EXPECT_EQ(text(CH_MODAUX),
            "  \nbegin _prs1(10,2,1,1);_prs1(11,K,1,2);_prs1(11,K,3,3);\n end \n \n; \n");
  EXPECT_EQ(out(), "\n" + PRS("1", " \n" + SENT +
                                       "_tran(true,_el,14,'A',_px,_ll[14]);_acc:=false; "
                                       "_upvr(_px^.r,_px^.b);\n end ;"));
  EXPECT_TRUE(c.stmt.SELECTSEEN);
  EXPECT_EQ(c.out.CURCH, CH_MODAUX);
}

TEST_F(Flow, SelectsOfANodeAreNumbered) {
  EXPECT_EQ(run("DEC", "  SELECT(N : 1) SENDTO(SAL);\n  SELECT(M[2] : 1) DESTROY;", CH_MODAUX),
            "");
  EXPECT_EQ(text(CH_MODAUX),
            "  \nbegin _prs1(10,1,1,1);\n end \n \n; \n  \nbegin _prs2(11,1,2,2);\n end \n \n; \n");
  std::string procs = out();
  EXPECT_NE(procs.find("procedure _prs2("), std::string::npos);
  EXPECT_NE(procs.find("_extr(_px,_el);\n_elim(_px^.r,_px^.b,_px);_acc:=false;  end ;;"),
            std::string::npos);
}

TEST_F(Flow, SelectErrors) {
  auto err = [&](const std::string& code) { return run("DEC", code, CH_MODAUX); };
  EXPECT_EQ(run("N", "  SELECT(M[1] : 1) SENDTO(SAL);"), "SELECT in node not D");
  EXPECT_EQ(where(), "7:9");
  EXPECT_EQ(err("  SELECT(N ; 1) SENDTO(SAL);"), ": or , expected");
  EXPECT_EQ(where(), "11:12");
  EXPECT_EQ(err("  SELECT(N : 1, M[1] : 1) SENDTO(SAL);"), "; or ) expected");
  EXPECT_EQ(err("  SELECT(N : ) SENDTO(SAL);"), "; or ) expected");
  EXPECT_EQ(err("  SELECT(T : 1) SENDTO(SAL);"), "node name expected");
  EXPECT_EQ(err("  SELECT(M : 1) SENDTO(SAL);"), "[ expected");
  EXPECT_EQ(err("  SELECT(M[4] : 1) SENDTO(SAL);"), "wrong subscript");
  EXPECT_EQ(err("  SELECT(M[1..K] : 1) SENDTO(SAL);"), "wrong subscript");
  EXPECT_EQ(err("  SELECT(M[1, 2] : 1) SENDTO(SAL);"), "] expected");
  EXPECT_EQ(err("  SELECT(SAL : 1) SENDTO(SAL);"), "predecessor or succesor node not defined");
}

// The first SYNCHRONIZE or ASSEMBLE opens _cl on MODLOG; each adds its
// condition as a case. The statement runs for each message found, which
// it must send.
TEST_F(Flow, SynchronizeAndAssemble) {
  EXPECT_EQ(run("N", "  SYNCHRONIZE(2, EQUFIELD(PRIO)) SENDTO(SAL);\n"
                     "  ASSEMBLE(FIRST, ALL, (PRIO > 1) AND (O_PRIO = PRIO)) SENDTO(SAL);"),
            "");
  const std::string head = "  \nbegin _ac1:=_acc; sync:=false;_pu:=_fl[1];\n"
                           "while(_l^[1]>=2) and (_pu<>nil) do begin \n";
  const std::string send =
      SENT + "_tran(true,1,14,'A',_pu,_ll[14]);_acc:=false; _upvr(_pu^.r,_pu^.b); end ;\n";
  const std::string tail = "end end;if _sf then _pu:=_pu^.p else _pu:=_fl[1] end;\n"
                           "if not sync then _acc:=_ac1 else _px:=nil;\n end \n \n; \n";
  EXPECT_EQ(text(),
            head + "_sinc(2,1); _sf:=true;\n"
                   "if _ks =2 then begin _pc:=_fs; _sf:=false;_bs:=false;sync:=true;_fs:=nil;\n"
                   "while _pc<>nil do begin _pu:=_pc^.p1;_acc:=true;\n"
                   "_exal(_pu); _uprv(_pu^.r,_pu^.b);begin  \n" + send +
                "end;if _acc then _error('synchronized record not sent');\n"
                "_as:=_pc; _pc:=_pc^.p2; dispose(_as);\n" + tail +
                head + "_sinc(maxint,2); _sf:=true;\n"
                "if _ks >=2 then begin _pc:=_fs; _sf:=false;_bs:=false;sync:=true;_fs:=nil;\n"
                "_aas:=true; _plas:=_pc^.p1; _pla1:=nil;\n"
                "while _pc<>nil do begin _pu:=_pc^.p1;_acc:=true;\n"
                "if _aas then begin _aas:=false;\n"
                "_exal(_pu); _uprv(_pu^.r,_pu^.b);begin  \n" + send +
                "end;if _acc then _error('synchronized record not sent');end;\n"
                "_as:=_pc; _pc:=_pc^.p2; dispose(_as);\n"
                "if _acc then begin _extr(_pu,1); \n"
                "if _pla1=nil then _pla1:=_pu else _pas^.p:=_pu;_pas:=_pu;_pu^.p:=nil;\n"
                "if _pc=nil then \n"
                "begin _pu^.p:=nil; if _plas^.pas=nil then _plas^.pas:=_pla1 \n"
                "else begin _pla:=_plas^.pas; while _pla^.p<>nil do \n"
                " _pla:=_pla^.p; _pla^.p:=_pla1 end end end;\n" + tail);
  EXPECT_EQ(out(CH_MODLOG),
            "\nfunction _cl; begin \ncase _nsy of  \n1:begin _cl:=(O_PRIO=PRIO) end;\n"
            "2:begin _cl:=((PRIO > 1) AND (O_PRIO = PRIO)) end;\n");
  EXPECT_EQ(c.prog.NSYNC, 2);
  EXPECT_EQ(c.out.CURCH, CH_NODE);
}

// ELIM disposes of the messages joined to the first; the whole is one
// block, so an ELSE after it is the user's.
TEST_F(Flow, AssembleElimBeforeElse) {
  EXPECT_EQ(run("N", "  IF T > 1 THEN ASSEMBLE(ELIM, 3, PRIO=O_PRIO) SENDTO(SAL) ELSE T := 1;"),
            "");
  std::string t = text();
  const std::string head = "  IF T > 1 THEN \nbegin _ac1:=_acc; sync:=false;_pu:=_fl[1];\n";
  EXPECT_EQ(t.substr(0, head.size()), head);
  EXPECT_NE(t.find("_sinc(3,1); _sf:=true;\nif _ks =3 then"), std::string::npos);
  EXPECT_NE(t.find("_as:=_pc; _pc:=_pc^.p2; dispose(_as);\n"
                   "if _acc then begin _extr(_pu,1); _elim(_pu^.r,_pu^.b,_pu);end;\n"),
            std::string::npos);
  const std::string tail = "if not sync then _acc:=_ac1 else _px:=nil;\n end \n \n ELSE T := 1; \n";
  EXPECT_EQ(t.substr(t.size() - tail.size()), tail);
  EXPECT_EQ(out(CH_MODLOG), "\nfunction _cl; begin \ncase _nsy of  \n1:begin _cl:=(PRIO=O_PRIO) end;\n");
}

TEST_F(Flow, SynchronizeErrors) {
  EXPECT_EQ(run("COLA", "  SYNCHRONIZE(2, PRIO > 1) SENDTO(SAL);"),
            "SYNCHRONIZE o ASSEMBLE illegal in this node");
  EXPECT_EQ(where(), "6:14");
  EXPECT_EQ(run("SAL", "  ASSEMBLE(ELIM, 2, PRIO > 1) SENDTO(SAL);"),
            "SYNCHRONIZE o ASSEMBLE illegal in this node");
  EXPECT_EQ(sample("N", "  SYNCHRONIZE(2, PRIO > 1) SENDTO(SAL);"), "");
  enter("N");
  c.stmt.STATEPART = true;
  EXPECT_EQ(code(), "SYNCHRONIZE o ASSEMBLE illegal in this node");
  c.stmt.STATEPART = false;
  EXPECT_EQ(run("N", "  ASSEMBLE(ALL, 2, PRIO > 1) SENDTO(SAL);"), "ELIM, FIRST expected");
  EXPECT_EQ(where(), "7:15");
  EXPECT_EQ(run("N", "  SYNCHRONIZE(2, EQUFIELD PRIO) SENDTO(SAL);"), "( missing in EQUFIELD");
  EXPECT_EQ(run("N", "  SYNCHRONIZE(2, EQUFIELD(PRIO, REMA)) SENDTO(SAL);"),
            ") missing in EQUFIELD");
  EXPECT_EQ(run("N", "  SYNCHRONIZE(2, PRIO > 1 SENDTO(SAL);"),
            "invalid character following factor or missing separator");
  EXPECT_EQ(run("N", "  SYNCHRONIZE(2, PRIO > 1) SENDTO(SAL) T := 1;"),
            "; or END or ELSE expected");
  EXPECT_EQ(run("N", "  SYNCHRONIZE(2, PRIO > 1) T := 1);"),
            "SYNCHRONIZE or ASSEMBLE illegaly ended");
  EXPECT_EQ(where(), "7:35");
}

}  // namespace
