// SENDTO with every form of destination, AGRE and DESTROY, in the sample
// network of flow_test.cpp (tests/models/flow_net.tlv).
#include <gtest/gtest.h>
#include <algorithm>
#include "flow_testrun.h"

namespace {

const std::string SENT = "begin SENT:=true; if _px<> nil then _pxs:=_px^.p;\n";

// From N (G, list 1) to SAL (list 14): the message leaves N's list, and
// the node's scan moves on to the one after it.
TEST_F(Flow, SendtoANode) {
  EXPECT_EQ(run("N", "  SENDTO(SAL);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_tran(true,1,14,'A',_px,_ll[14]);_acc:=false; _upvr(_px^.r,_px^.b); end ;\n"
                        " \n");
  EXPECT_FALSE(c.stmt.SENDPENDING);
}

// FREE: the first copy of M with an empty queue (the first when none is).
TEST_F(Flow, SendtoFreeCopy) {
  EXPECT_EQ(run("N", "  SENDTO(M[FREE]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_i:=1;while (_l^[4+_i]>0) and (_i<=3) do _i:=_i+1; if _i>3 then _i:=1;\n"
                        "_tran(true,1,4+_i,'A',_px,_ll[4+_i]);_acc:=false; _upvr(_px^.r,_px^.b);\n"
                        " end ;\n \n");
  // to a resource: the first copy with free capacity
  EXPECT_EQ(run("M", "  SENDTO(R1[FREE]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_i:=1;while (F_R1[_i]<=0) and (_i<=2) do _i:=_i+1; if _i>2 then _i:=1;\n"
                        "_tran(true,4+ino,7+_i,'A',_px,_ll[7+_i]);_acc:=false; \n"
                        "_upvr(_px^.r,_px^.b); end ;\n \n");
}

// MIN: the copy with the least waiting; for a resource the capacity in
// use counts too. On a tie the copy that has received fewer messages wins.
TEST_F(Flow, SendtoMinCopy) {
  EXPECT_EQ(run("N", "  SENDTO(M[MIN]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_imi:=1;_min:=_l^[5];_i:=1; while _i<3 do begin _i:=_i+1; if (_l^[4+_i]<_min) or \n"
                        "(_l^[4+_i]=_min) and (_en^[4+_i]<_en^[4+_imi]) then begin _min:=_l^[4+_i];\n"
                        "_imi:=_i; end end;_tran(true,1,4+_imi,'A',_px,_ll[4+_imi]);_acc:=false; \n"
                        "_upvr(_px^.r,_px^.b); end ;\n \n");
  EXPECT_EQ(run("M", "  SENDTO(R1[MIN]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_imi:=1;_min:=_l^[8]+round(U_R1[1]);_i:=1; while _i<2 do begin _i:=_i+1; if \n"
                        "(_l^[7+_i]+round(U_R1[_i])<_min) or (_l^[7+_i]+round(U_R1[_i])=_min) and \n"
                        "(_en^[7+_i]<_en^[7+_imi]) then begin _min:=_l^[7+_i]+round(U_R1[_i]);_imi:=_i; \n"
                        "end end;_tran(true,4+ino,7+_imi,'A',_px,_ll[7+_imi]);_acc:=false; \n"
                        "_upvr(_px^.r,_px^.b); end ;\n \n");
}

// A queue (L) that a scanned node empties at once: what waits there is in
// its internal list, and the messages its server holds count as well.
TEST_F(Flow, SendtoMinQueueInFrontOfAServer) {
  EXPECT_EQ(net("DOOR (I) Q ::\n  SENDTO(Q[MIN]);\nQ (L) [1..2] S ::\nS (R) [1..2] OUT ::\n"
                "OUT (E) ::"),
            "");
  EXPECT_EQ(node("DOOR"), "");
  const NodeRecord& q = c.model.NodeTable[num("Q")];
  std::string el = std::to_string(q.EL - 1), il = std::to_string(q.IL - 1);
  std::string t = text();
  t.erase(std::remove(t.begin(), t.end(), '\n'), t.end());
  EXPECT_NE(t.find("_min:=_l^[" + std::to_string(q.EL) + "]+_l^[" + std::to_string(q.IL) +
                   "]+round(U_S[1]);"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("if (_l^[" + el + "+_i]+_l^[" + il + "+_i]+round(U_S[_i])<_min)"),
            std::string::npos)
      << t;
}

// Every destination after the first gets a copy, in the list its index
// names (a FREE or MIN choice included).
TEST_F(Flow, SendtoSeveralDestinations) {
  EXPECT_EQ(run("N", "  SENDTO(SAL, FIRST, DEC, M[2]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_tran(true,1,14,'A',_px,_ll[14]);_copy(_px,10,'B',_fl[10]);\n"
                        "_copy(_px,6,'A',_ll[6]);_acc:=false; _upvr(_px^.r,_px^.b); end ;\n \n");
  EXPECT_EQ(run("N", "  SENDTO(M[FREE], M[MIN]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_i:=1;while (_l^[4+_i]>0) and (_i<=3) do _i:=_i+1; if _i>3 then _i:=1;\n"
                        "_tran(true,1,4+_i,'A',_px,_ll[4+_i]);\n"
                        "_imi:=1;_min:=_l^[5];_i:=1; while _i<3 do begin _i:=_i+1; if (_l^[4+_i]<_min) or \n"
                        "(_l^[4+_i]=_min) and (_en^[4+_i]<_en^[4+_imi]) then begin _min:=_l^[4+_i];\n"
                        "_imi:=_i; end end;_copy(_px,4+_imi,'A',_ll[4+_imi]);_acc:=false; \n"
                        "_upvr(_px^.r,_px^.b); end ;\n \n");
}

TEST_F(Flow, SendtoPositionsAndLists) {
  EXPECT_EQ(run("N", "  SENDTO(P, B, SAL); SENDTO(LAST, EL_SAL);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_tran(true,1,14,'B',_px,P);_acc:=false; _upvr(_px^.r,_px^.b); end ; \n" +
                        SENT +
                        "_tran(true,1,14,'A',_px,_ll[14]);_acc:=false; _upvr(_px^.r,_px^.b); end ;\n"
                        " \n");
  EXPECT_EQ(run("N", "  SENDTO(M[K], IL_R1[2]);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_tran(true,1,4+K,'A',_px,_ll[4+K]);_copy(_px,1+2,'A',_ll[1+2]);\n"
                        "_acc:=false; _upvr(_px^.r,_px^.b); end ;\n \n");
}

// A decision node keeps a list for each copy of a sending node.
TEST_F(Flow, SendtoADecisionNodeFromCopies) {
  EXPECT_EQ(run("M", "  SENDTO(DEC);"), "");
  EXPECT_EQ(text(), "  \n" + SENT +
                        "_tran(true,4+ino,11+(ino-1)*1,'A',_px,_ll[11+(ino-1)*1]);_acc:=false; \n"
                        "_upvr(_px^.r,_px^.b); end ;\n \n");
}

// Outside node code no message comes from a list; a node is reached
// through its entry list.
TEST_F(Flow, SendtoInInit) {
  EXPECT_EQ(run("INIT", "  SENDTO(SAL);"), "");
  const std::string sent = "  \n" + SENT +
                           "_tran(false,0,14,'A',_px,_ll[14]);_upvr(_px^.r,_px^.b); end ;\n";
  EXPECT_EQ(text(CH_MODIN1).substr(0, sent.size()), sent);
}

// A source node makes its message: it comes from no list.
TEST_F(Flow, SendtoFromASource) {
  EXPECT_EQ(run("ENT", "  IF T > 1 THEN SENDTO(COLA) ELSE DESTROY;"), "");
  EXPECT_EQ(text(), "  IF T > 1 THEN \n" + SENT +
                        "_tran(false,0,4,'A',_px,_ll[4]);_upvr(_px^.r,_px^.b); end  ELSE \n" +
                        SENT.substr(0, SENT.size() - 1) + "_elim(_px^.r,_px^.b,_px);\n end ;\n \n");
}

// An R node's code is its request loop: nothing is sent from there, but
// the statements of PREEMPTION and EXTR may send.
TEST_F(Flow, SendtoInAResource) {
  EXPECT_EQ(run("R1", "  SENDTO(SAL);"), "SENDTO not allowed here");
  EXPECT_EQ(where(), "9:9");
  EXPECT_EQ(run("R1", "  EXTR(EL_SAL, FIRST) SENDTO(SAL);\n"
                      "  PREEMPTION(O_PRIO < PRIO) SENDTO(COLA);"), "");
  EXPECT_TRUE(c.stmt.ADVANCE);
  EXPECT_EQ(sample("R1", "  SENDTO(SAL);"), "");
  enter("R1");
  c.stmt.REQUESTPART = false;  // a RELEASE statement
  EXPECT_EQ(code(), "");
}

TEST_F(Flow, SendtoErrors) {
  EXPECT_EQ(run("COLA", "  SENDTO(M[FREE]);"), "FREE subscript in node no G");
  EXPECT_EQ(where(), "6:17");
  EXPECT_EQ(run("N", "  SENDTO(T);"), "node or GPOINTER variable expected T");
  EXPECT_EQ(where(), "7:11");
  EXPECT_EQ(run("N", "  SENDTO(FIRST, T);"), "node or GPOINTER variable expected T");
  EXPECT_EQ(run("N", "  SENDTO(EL_XX);"), "invalid destination in SENDTO");
  EXPECT_EQ(where(), "7:15");
  EXPECT_EQ(run("N", "  SENDTO(P, C, SAL);"), "A o B expected");
  EXPECT_EQ(where(), "7:14");
  EXPECT_EQ(run("N", "  SENDTO(FIRST SAL);"), ", expected");
  EXPECT_EQ(run("N", "  SENDTO(ENT);"), "predecessor or succesor node not defined");
  EXPECT_EQ(run("N", "  SENDTO(SAL;"), ") expected");
  EXPECT_EQ(where(), "7:13");
}

TEST_F(Flow, Agre) {
  EXPECT_EQ(run("N", "  AGRE(B, EL_SAL, FIRST); AGRE(A, IL_R1[2], P);"), "");
  EXPECT_EQ(text(),
            "  \nbegin _tran(true,1,14,'B',_px,_fl[14]);_upvr(_px^.r,_px^.b);_acc:=false; \n"
            " end ; \nbegin _tran(true,1,1+2,'A',_px,P);_upvr(_px^.r,_px^.b);_acc:=false;  end ;\n"
            " \n");
  EXPECT_FALSE(c.stmt.SENDPENDING);
  EXPECT_EQ(run("N", "  AGRE(C, EL_SAL, FIRST);"), "A or B expected");
  EXPECT_EQ(where(), "7:9");
  EXPECT_EQ(run("N", "  AGRE(A, EL_SAL, T);"), "GPOINTER variable expected T");
  EXPECT_EQ(where(), "7:20");
  EXPECT_EQ(run("N", "  AGRE(A, EL_SAL FIRST);"), ", expected");
  EXPECT_EQ(run("N", "  AGRE(A, SAL, FIRST);"), "EL_ or IL_ expected");
}

// The message leaves its list and is disposed of, except where the node's
// skeleton still reads it after the code (L: it would join the queue).
TEST_F(Flow, Destroy) {
  EXPECT_EQ(run("N", "  IF T > 1 THEN DESTROY ELSE DESTROY;"), "");
  const std::string d = SENT.substr(0, SENT.size() - 1) +
                        "_extr(_px,1);\n_elim(_px^.r,_px^.b,_px);_acc:=false;  end ";
  EXPECT_EQ(text(), "  IF T > 1 THEN \n" + d + " ELSE \n" + d + ";\n \n");
  EXPECT_EQ(run("COLA", "  DESTROY;"), "");
  EXPECT_EQ(text(), "  \n" + SENT.substr(0, SENT.size() - 1) +
                        "_extr(_px,4);\n_acc:=false;  end ;\n \n");
  EXPECT_FALSE(c.stmt.SENDPENDING);
}

}  // namespace
