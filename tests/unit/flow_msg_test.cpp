// Instructions that hand another message to a statement (CREATE, EXTR,
// REL, SCAN, COPYMESS, DISASSEMBLE, PREEMPTION) and SORT, in the sample
// network of flow_test.cpp. The statement sees the message in _pu; a send
// there takes _pu, and the instruction's block is closed before the ";"
// that ends both.
#include <gtest/gtest.h>
#include <algorithm>
#include "flow_testrun.h"

namespace {

const std::string SENT = "begin SENT:=true; if _px<> nil then _pxs:=_px^.p;\n";

// CLIENT is message type 9 (after the 8 nodes); ENT, an I node, has a
// record of its own. All CREATEs of a node share a counter, numbered after
// the I nodes' _NUME1.
TEST_F(Flow, CreateOfAMessageTypeAndANode) {
  EXPECT_EQ(run("N", "  CREATE(CLIENT) SENDTO(SAL);\n"
                     "  IF T > 1 THEN CREATE(ENT) BEGIN T := 1; SENDTO(SAL) END ELSE T := 2;"),
            "");
  const std::string send = SENT + "_tran(false,0,14,'A',_pu,_ll[14]);_upvr(_pu^.r,_pu^.b); end ";
  EXPECT_EQ(text(),
            "  \nbegin \nnew(_p9);gt:=time;et:=time;use:=1;new(_pu);_pu^.r:=9;\n"
            "_nume2:=_nume2+1; _pu^.number:=_nume2; _pu^.nor:=_nno[3]; _pu^.b:=_p9; \n"
            "_pu^.pas:=nil; begin  \n" + send + ";\n;_upvr(_pu^.r,_pu^.b);end;\n end \n \n; \n"
            "  IF T > 1 THEN \nbegin \nnew(_p1);gt:=time;et:=time;use:=1;new(_pu);_pu^.r:=1;\n"
            "_nume2:=_nume2+1; _pu^.number:=_nume2; _pu^.nor:=_nno[3]; _pu^.b:=_p1; \n"
            "_pu^.pas:=nil; begin  BEGIN T := 1; \n" + send + " END \n"
            ";_upvr(_pu^.r,_pu^.b);end;\n end \n \n ELSE T := 2; \n");
  EXPECT_EQ(c.stmt.CREATECOUNT, 1);
  EXPECT_EQ(c.stmt.NUMEOFFSET, 1);
  EXPECT_FALSE(c.stmt.INCREATE);
  EXPECT_EQ(c.stmt.MSGVAR, "_px");
}

TEST_F(Flow, CreateCountersPerNode) {
  std::string t = PUT(MODELTEXT("flow_net.tlv"), "N", "  CREATE(CLIENT) SENDTO(SAL);");
  t = PUT(t, "M", "  CREATE(CLIENT) SENDTO(SAL); CREATE(ENT) SENDTO(SAL);");
  ASSERT_EQ(model(t), "");
  EXPECT_EQ(node("N"), "");
  EXPECT_NE(out().find("_nume2:=_nume2+1; _pu^.number:=_nume2; _pu^.nor:=_nno[3];"),
            std::string::npos);
  EXPECT_EQ(node("M"), "");
  std::string m = out();
  const std::string counter = "_nume3:=_nume3+1; _pu^.number:=_nume3; _pu^.nor:=_nno[4];";
  ASSERT_NE(m.find(counter), std::string::npos);
  EXPECT_NE(m.find(counter, m.find(counter) + 1), std::string::npos);
  EXPECT_EQ(c.stmt.CREATECOUNT, 2);
  // in INIT the creator is named as such
  EXPECT_EQ(run("INIT", "  CREATE(CLIENT) SENDTO(SAL);"), "");
  EXPECT_NE(out(CH_MODIN1).find("_nume2:=_nume2+1; _pu^.number:=_nume2; _pu^.nor:='INIT'; "),
            std::string::npos);
}

TEST_F(Flow, CreateErrors) {
  EXPECT_EQ(run("N", "  CREATE(N) SENDTO(SAL);"), " CREATE with node without message");
  EXPECT_EQ(where(), "7:11");
  EXPECT_EQ(run("N", "  CREATE(T) SENDTO(SAL);"), "node or message name expected");
  EXPECT_EQ(where(), "7:11");
  EXPECT_EQ(run("N", "  CREATE(CLIENT SENDTO(SAL);"), ") expected");
}

// The extracted message's fields are in the O_ twins; a send takes it
// from no list (it left EXTR's already).
TEST_F(Flow, ExtrFirstAndAtAPointer) {
  EXPECT_EQ(run("N", "  EXTR(EL_SAL, FIRST) SENDTO(M[1]);\n"
                     "  EXTR(IL_R1[2], P) IF T>1 THEN SENDTO(SAL) ELSE DESTROY;"),
            "");
  const std::string load = "if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu);\n";
  EXPECT_EQ(text(),
            "  \nbegin _pu:=_fl[14];_extr(_pu,14);\n" + load + "if _pu<>nil then begin  \n" +
                SENT + "_tran(false,14,5,'A',_pu,_ll[5]);_upvro(_pu^.r,_pu^.b); end ;end;\n"
                " end \n \n; \n"
                "  \nbegin _pu:=P;_extr(_pu,1+2);\n" + load +
                "if _pu<>nil then begin  IF T>1 THEN \n" + SENT +
                "_tran(false,1+2,14,'A',_pu,_ll[14]);_upvro(_pu^.r,_pu^.b); end  ELSE \n"
                "begin _extr(_pu,1+2);_elim(_pu^.r,_pu^.b,_pu); end ;end;\n end \n \n; \n");
  EXPECT_FALSE(c.stmt.INEXTR);
  EXPECT_EQ(run("N", "  EXTR(EL_SAL, T) SENDTO(SAL);"), "GPOINTER variable expected T");
  EXPECT_EQ(where(), "7:17");
  EXPECT_EQ(run("N", "  EXTR(EL_SAL FIRST) SENDTO(SAL);"), ", expected");
  EXPECT_EQ(run("N", "  EXTR(SAL, FIRST) SENDTO(SAL);"), "EL_ or IL_ expected");
}

// The first message that meets the condition loses its pending event;
// the statement runs only when there is one.
TEST_F(Flow, Rel) {
  EXPECT_EQ(run("N", "  REL(R1[1], O_PRIO > 2) SENDTO(SAL);"), "");
  EXPECT_EQ(text(),
            "  \nbegin _pu:=_fl[2]; ext:=false; _pa:=_pu; while (_pu<>nil) and not ext do \n"
            "begin _exalo(_pu); _uprvo(_or,_ob); O_PMESS:=_pu; if  O_PRIO > 2\n"
            " then ext:=true else begin _pa:=_pu; _pu:=_pu^.p end;\n"
            "end; if ext then begin \nif o_xt>=0.0 then extfel(5,O_XT,INO,0);begin  \n" +
                SENT + "_tran(false,2,14,'A',_pu,_ll[14]);_upvro(_pu^.r,_pu^.b); end ;end; end;\n"
                " end \n \n; \n");
  EXPECT_EQ(run("N", "  REL(IL_R1[2], O_PRIO > 2 SENDTO(SAL);"),
            "invalid character following factor or missing separator");
  EXPECT_EQ(run("N", "  REL(IL_R1[2], O_PRIO > 2, 3) SENDTO(SAL);"), ") expected");
}

// The next message is kept before the statement, which may move this one.
TEST_F(Flow, Scan) {
  EXPECT_EQ(run("N", "  SCAN(EL_SAL) IF O_PRIO > 2 THEN SENDTO(SAL);"), "");
  EXPECT_EQ(text(),
            "  \nbegin _bsc:=true; _pu:=_fl[14];\n"
            "while _bsc and (_pu<>nil) do begin SENT:=false; _besc:=false;\n"
            "if _pu <>nil then _uprvo(_pu^.r,_pu^.b); O_PMESS:=_pu; _exalo(_pu);\n"
            "_psn:=_pu^.p; begin  IF O_PRIO > 2 THEN \n" + SENT +
                "_tran(false,14,14,'A',_pu,_ll[14]);_upvro(_pu^.r,_pu^.b); end ;\n"
                "end; if _besc then _pu:=_fl[14] else _pu:=_psn; end;_bsc:=false;\n"
                " end \n \n; \n");
  EXPECT_FALSE(c.stmt.INSCAN);
}

TEST_F(Flow, Sort) {
  EXPECT_EQ(run("N", "  SORT(EL_SAL, PRIO, D); IF T > 1 THEN SORT(COLA, REMA, A) ELSE T := 1;"),
            "");
  EXPECT_EQ(text(),
            "  _sort(14,PRIO,O_PRIO,'D'); IF T > 1 THEN _sort(1,REMA,O_REMA,'A')\n"
            " ELSE T := 1; \n");
  EXPECT_EQ(run("N", "  SORT(EL_SAL, T, D);"), "message field expected T");
  EXPECT_EQ(where(), "7:17");
  EXPECT_EQ(run("N", "  SORT(EL_SAL, PRIO, X);"), "A or D expected");
  EXPECT_EQ(where(), "7:23");
}

// The copy must be sent; the check is made before _acc gets its value back.
TEST_F(Flow, Copymess) {
  EXPECT_EQ(run("COLA", "  COPYMESS SENDTO(SAL);"), "");
  EXPECT_EQ(text(),
            "  \nbegin _ac1:=_acc; _r:=_px^.r;_newr(_r,_b); new(_pu);_acc:=true;_pu^.r:=_r;\n"
            "_pu^.b:=_b;_pu^.number:=_px^.number;_pu^.nor:=_px^.nor;\n"
            "_pu^.pas:=nil; begin  \n" + SENT +
                "_tran(true,0,14,'A',_pu,_ll[14]);_acc:=false; _upvr(_pu^.r,_pu^.b); end ;\n"
                "end;\nif _acc then _error('copied message not sent');_acc:=_ac1;\n"
                " end \n \n; \n");
}

TEST_F(Flow, Disassemble) {
  EXPECT_EQ(run("N", "  DISASSEMBLE SENDTO(SAL);"), "");
  EXPECT_EQ(text(),
            "  \nbegin if _px^.pas<>nil then begin _pu:=_px^.pas; _px^.pas:=nil;\n"
            "while _pu<>nil do begin _exal(_pu); _pas:=_pu^.p;\n"
            "_uprv(_pu^.r,_pu^.b); begin  \n" + SENT +
                "_tran(false,0,14,'A',_pu,_ll[14]);_upvr(_pu^.r,_pu^.b); end ;\n"
                "end; _exal(_px); _uprv(_px^.r,_px^.b);_pu:=_pas; end end;\n"
                " end \n \n; \n");
  EXPECT_EQ(run("COLA", "  DISASSEMBLE SENDTO(SAL);"), "DEASSEMBLE illegal in this node");
  EXPECT_EQ(where(), "6:14");
  EXPECT_EQ(run("R1", "  DISASSEMBLE SENDTO(SAL);"), "DEASSEMBLE illegal in this node");
  EXPECT_EQ(sample("R1", "  DISASSEMBLE SENDTO(SAL);"), "");
  enter("R1");
  c.stmt.REQUESTPART = false;
  c.stmt.RELEASEPART = true;
  EXPECT_EQ(code(), "");
}

// The message served last is put out of service and gives back what it
// held (its O_USE) as a release does; with REMA its remaining time is
// kept, and a STAY after it takes it up.
TEST_F(Flow, PreemptionWithRema) {
  EXPECT_EQ(run("R1", "  PREEMPTION(O_PRIO < PRIO, REMA) SENDTO(COLA);\n  STAY := 2;"), "");
  EXPECT_EQ(text(),
            "  \nbegin \nif f_R1[ino]=0.0 then begin \n"
            "_pu:=_ll[1+ino]; _exalo(_pu); _uprvo(_or,_ob);O_PMESS:=_pu;\n"
            " if ( O_PRIO < PRIO) then begin _extr(_pu,1+ino);\n"
            "if f_R1[ino]<>MAXREAL then f_R1[ino]:=f_R1[ino]+O_USE;\n"
            "_prsta(0+ino,U_R1[ino]);\n"
            "if m_R1[ino]<>MAXREAL then u_R1[ino]:=u_R1[ino]-O_USE;\n"
            "_prstp(0+ino,U_R1[ino]); O_REMA:=o_xt-time;\n"
            "_acc:=true;extfel(_N1,O_XT,INO,0); begin  \n" + SENT +
                "_tran(false,0,4,'A',_pu,_ll[4]);_upvro(_pu^.r,_pu^.b); end ;end;end end;\n"
                " end \n \n; \n"
                "  \nbegin STAY := 2;_sta:=true; \nif rema<>0 then stay:=rema;end;\n \n");
  EXPECT_TRUE(c.stmt.ADVANCE);
  EXPECT_EQ(c.stmt.REMANODE, 5);
}

// A statement that ends in a word right before its ";" (END, a name, a
// number) is kept apart from the text that closes the instruction.
TEST_F(Flow, StatementEndingInAWordBeforeItsSemicolon) {
  // the text as one line: line breaks would keep words apart by chance
  auto joined = [&] {
    std::string t = text();
    t.erase(std::remove(t.begin(), t.end(), '\n'), t.end());
    return t;
  };
  EXPECT_EQ(run("R1", "  PREEMPTION(O_PRIO < PRIO) BEGIN T := 1 END;\n"
                      "  PREEMPTION(O_PRIO < PRIO) K := K;"),
            "");
  std::string t = joined();
  EXPECT_NE(t.find("begin  BEGIN T := 1 END end;end end;"), std::string::npos) << t;
  EXPECT_NE(t.find("begin  K := K end;end end;"), std::string::npos) << t;
  EXPECT_EQ(run("N", "  EXTR(EL_N, FIRST) T := 2;\n  COPYMESS BEGIN SENDTO(SAL) END;"), "");
  t = joined();
  EXPECT_NE(t.find(" T := 2 end;"), std::string::npos) << t;
  EXPECT_NE(t.find(" END end;"), std::string::npos) << t;
}

TEST_F(Flow, PreemptionErrors) {
  EXPECT_EQ(run("N", "  PREEMPTION(T > 1) SENDTO(SAL);"), "PREEMPTION illegal in this node");
  EXPECT_EQ(where(), "7:13");
  EXPECT_EQ(run("R1", "  PREEMPTION(T > 1, X) SENDTO(SAL);"), "REMA expected");
  EXPECT_EQ(where(), "9:22");
  EXPECT_EQ(net("I1 (I) R2 ::\nR2 (R) E1 ::\n  PREEMPTION(T > 1, REMA) SENDTO(E1);\nE1 (E) ::",
                "VAR T : REAL;"),
            "");
  EXPECT_EQ(node("R2"), "not message with REMA");
  EXPECT_EQ(where(), "5:25");
}

}  // namespace
