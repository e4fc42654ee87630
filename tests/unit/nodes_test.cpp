// Node procedures: the skeleton of every node type around its code, the
// head with labels and local variables, default routing, units per
// module, message counters and clrstat; the errors of the node pass.
#include <gtest/gtest.h>
#include "gen_testrun.h"

namespace {

TEST(NodeProcedures, EmptySourceRoutesToItsFirstSuccessor) {
  GenRun g(NETMODEL("  ENTRY (I) TELLER, EXIT ::\n"
                    "  TELLER (R) EXIT ::\n"
                    "  EXIT (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  // TELLER's internal list is 1, its entry list 2; EXIT's entry list 3.
  EXPECT_EQ(g.proc("ENTRY"),
            "procedure ENTRY(ino:integer);\n"
            "var icopy: integer;\n"
            "begin \n"
            "new(_p1);gt:=time;use:=1;et:=time; new(_px);_px^.r:=1;_px^.pas:=nil;\n"
            "_nume1:=_nume1+1; _px^.number:=_nume1; _px^.nor:=_nno[1];\n"
            "NUMBER:=_nume1; NODE:=_px^.nor;\n"
            "_px^.b:=_p1;_upvr(_px^.r,_px^.b);_agr(2,_px,'l');_copy(_px,3,'A',_ll[3]);\n"
            "end;\n");
}

TEST(NodeProcedures, SourceWithoutSuccessorRoutesToList00) {
  GenRun g(NETMODEL("S (I) ::\nA1 (A) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_NE(g.proc("S").find("_px^.b:=_p1;_upvr(_px^.r,_px^.b);_agr(00,_px,'l');end;\n"),
            std::string::npos);
  EXPECT_EQ(g.proc("A1"),
            "procedure A1(ino:integer);\nvar icopy: integer;\nbegin \nend;\n");
}

TEST(NodeProcedures, SourceCodeStandsBeforeTheRouting) {
  GenRun g(NETMODEL("  ENTRY (I) EXIT ::\n     X := 2;\n  EXIT (E) ::\n", "  TSIM := 10;\n",
                    "VAR X : INTEGER;\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_NE(g.proc("ENTRY").find("_px^.b:=_p1;\nX := 2; \n_upvr(_px^.r,_px^.b);_agr(1,_px,'l');end;\n"),
            std::string::npos)
      << g.proc("ENTRY");
}

TEST(NodeProcedures, MultipleNodeIndexesItsListsByCopy) {
  // D has EL 7 and three copies: every use of its list reads 6+ino.
  GenRun g(NETMODEL("A (I) B ::\nB (E) [1..6] ::\nC (I) D ::\nD (E) [1..3] ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.proc("D"),
            "procedure D(ino:integer);\n"
            "var icopy: integer;\n"
            "begin \n"
            "_px:=_fl[6+ino];\n"
            " while _px<>nil do begin \n"
            "_extr(_px,6+ino);_uprv(_px^.r,_px^.b); PMESS:=_px;\n"
            "_elim(_px^.r,_px^.b,_px);_px:=_fl[6+ino] end; end;\n");
}

TEST(NodeProcedures, MeasuredExitSumsTimesAndSquares) {
  // The square of the time in the system multiplies: the index must not
  // replace the product sign.
  GenRun g(NETMODEL("A (I) B ::\nB (E) ::\n", "  TSIM := 10;\n", "STATISTICS B;\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.proc("B"),
            "procedure B(ino:integer);\n"
            "var icopy: integer;\n"
            "begin \n"
            "_px:=_fl[1];\n"
            " while _px<>nil do begin \n"
            "_extr(_px,1);_uprv(_px^.r,_px^.b); PMESS:=_px;\n"
            "_tmps[1+ino-1]:=_tmps[1+ino-1]+time-gt;\n"
            "_t2ps[1+ino-1]:=_t2ps[1+ino-1]+(time-gt)*(time-gt);\n"
            "if time-gt<_tips[1+ino-1] then _tips[1+ino-1]:=time-gt;\n"
            "if time-gt>_txps[1+ino-1] then _txps[1+ino-1]:=time-gt;\n"
            "_elim(_px^.r,_px^.b,_px);_px:=_fl[1] end; end;\n");
}

TEST(NodeProcedures, LabelsAndLocalVariablesInTheHead) {
  GenRun g(NETMODEL("  I1 (I) G1 ::\n"
                    "  G1 (G) LABEL L1, L2; VAR N : INTEGER;\n"
                    "     M : REAL; ::\n"
                    "     L1: N := 1; L2: M := N;\n"
                    "  E1 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.proc("G1"),
            "procedure G1(ino:integer);\n"
            "var icopy: integer;\n"
            "label L1,L2;\n"
            "var \n"
            " N : INTEGER; \n"
            "     M : REAL; \n"
            "begin \n"
            // the rest of the "::" line
            " \n"
            "_px:=_fl[1];_bs:=true;sync:=false; PMESS:=_px;\n"
            "while(_px<>nil) and _bs and (_l^[1]<>0) do begin \n"
            "_exal(_px);_uprv(_px^.r,_px^.b); PMESS:=_px; _besc:=false; SENT:=false;\n"
            "_acc:=false; \n"
            "L1: N := 1; L2: M := N; \n"
            "if SENT and not sync then  _px:=_pxs else if _px<>nil then _px:=_px^.p;\n"
            "if _besc then _px:=_fl[1];end end;\n");
  // The local names belong to the node: the main program does not see them.
  EXPECT_EQ(g.c.names.SCOPE, "MAIN");
}

TEST(NodeProcedures, LocalVariablesMustEndWithTwoColons) {
  GenRun g(NETMODEL("  I1 (I) G1 ::\n"
                    "  G1 (G) VAR N : INTEGER;\n"
                    "     VAR M : REAL; ::\n"
                    "  E1 (E) ::\n"));
  EXPECT_EQ(g.nodes(), ":: expected");
  EXPECT_EQ(g.where(), "5:9");
}

TEST(NodeProcedures, StateStatementRunsForTheNodesOwnEvent) {
  GenRun g(NETMODEL("  I1 (I) G1 ::\n"
                    "  G1 (G) ::\n"
                    "     STATE: X := 1;\n"
                    "     X := 2;\n"
                    "  E1 (E) ::\n",
                    "  TSIM := 10;\n", "VAR X : INTEGER;\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.part(g.proc("G1"), "begin", "_px:=_fl[1];"),
            "begin \n"
            "if (_n=2) and _ci1 and (ino=iev) then begin   X := 1;\n"
            "end;\n"
            "_px:=_fl[1];_bs:=true;sync:=false; PMESS:=_px;\n");
  EXPECT_NE(g.proc("G1").find("_acc:=false; \n \n\n     X := 2; \nif SENT"), std::string::npos)
      << g.proc("G1");
}

TEST(NodeProcedures, StateAsAVariableIsAnAssignment) {
  GenRun g(NETMODEL("  I1 (I) G1 ::\n"
                    "  G1 (G) ::\n"
                    "     STATE := 1;\n"
                    "  E1 (E) ::\n",
                    "  TSIM := 10;\n", "VAR STATE : INTEGER;\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.proc("G1").find("ino=iev"), std::string::npos);
  EXPECT_NE(g.proc("G1").find("\nSTATE := 1; \n"), std::string::npos) << g.proc("G1");
}

TEST(NodeProcedures, QueueTakesAndKeepsItsMessages) {
  GenRun g(NETMODEL("  I1 (I) Q ::\n  Q (L) S ::\n  S (R) E1 ::\n  E1 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  // Q: internal list 1, entry list 3; S takes from Q's internal list.
  EXPECT_EQ(g.proc("Q"),
            "procedure Q(ino:integer);\n"
            "var icopy: integer;\n"
            "begin \n"
            "_px:=_fl[3];\n"
            " while _px<>nil do begin _extr(_px,3);_uprv(_px^.r,_px^.b);_acc:=true;\n"
            "_upvr(_px^.r,_px^.b);\n"
            "if _acc then _agr(1,_px,'l');_px:=_fl[3] end; end;\n");
}

TEST(NodeProcedures, ResourceServesAndGivesBack) {
  GenRun g(NETMODEL("  I1 (I) S ::\n  S (R) E1 ::\n  E1 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string p = g.proc("S");
  EXPECT_EQ(g.part(p, "procedure", "_uprv"),
            "procedure S(ino:integer);\n"
            "var icopy: integer;\n"
            "begin if (_n=2) and _ci1 and (ino=iev) then begin _fre:=true;\n"
            "_px:=_fl[1];_exlx(_px,1);_extr(_px,1);\n"
            "_uprv(_px^.r,_px^.b); PMESS:=_px;_agr(3,_px,'l');\n");
  EXPECT_NE(p.find("if _fre then begin if f_S<>MAXREAL then f_S:=f_S+use;"), std::string::npos) << p;
  EXPECT_NE(p.find("if m_S<>MAXREAL then u_S:=u_S-use;"), std::string::npos);
  EXPECT_NE(p.find("_px:=_fl[2];\n while _px<>nil do begin \n"
                   "_exal(_px);_uprv(_px^.r,_px^.b); PMESS:=_px; _acc:=true;_sta:=false;\n"
                   "if use>f_S then _acc:=false;if _acc then begin _extr(_px,2);\n"
                   "if _sta then begin xt:=time+stay;\n"
                   "_afel(2,ino,evp,blck[2],time+stay) end else xt:=-1; _upvr(_px^.r,_px^.b);\n"
                   "_agr(1,_px,'l');if f_S<>MAXREAL then f_S:=f_S-use;\n"),
            std::string::npos)
      << p;
  EXPECT_NE(p.find("if m_S<>MAXREAL then u_S:=u_S+use;"), std::string::npos);
  EXPECT_EQ(p.substr(p.size() - 89),
            "end;if _acc then _px:=_fl[2] else \n"
            " if f_S<>0.0 then _px:=_px^.p else _px:=nil;\nend;end;\n");
  EXPECT_FALSE(g.c.stmt.REQUESTPART);
}

TEST(NodeProcedures, ReleasePartDecidesWhereTheMessageGoes) {
  GenRun g(NETMODEL("  I1 (I) S ::\n"
                    "  S (R) [1..2] E1 ::\n"
                    "     RELEASE X := 1;\n"
                    "     X := 2;\n"
                    "  E1 (E) ::\n",
                    "  TSIM := 10;\n", "VAR X : INTEGER;\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string p = g.proc("S");
  // Nothing sent it: the default routing follows the statement.
  EXPECT_NE(p.find("_uprv(_px^.r,_px^.b); PMESS:=_px; X := 1;_upvr(_px^.r,_px^.b);\n"
                   "_agr(5,_px,'l');\nif _fre then begin "),
            std::string::npos)
      << p;
  EXPECT_NE(p.find("f_S[ino]:=f_S[ino]+use;"), std::string::npos);
  EXPECT_NE(p.find("_sta:=false;\n \n\n     X := 2; \nif use>f_S[ino] then"), std::string::npos) << p;
}

TEST(NodeProcedures, SubscriptedSuccessorsMoveTheListIndex) {
  // X's lists are 5 and 6, Y's 7 to 9: X[INO] is 4+INO, Y[2] is 8.
  GenRun g(NETMODEL("  I1 (I) S ::\n  S (R) [1..2] X[INO], Y[2] ::\n"
                    "  X (E) [1..2] ::\n  Y (E) [1..3] ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_NE(g.proc("S").find("_agr(4+INO,_px,'l');\n_copy(_px,8,'A',_ll[8]);"), std::string::npos)
      << g.proc("S");
}

TEST(NodeProcedures, ReleaseNeedsASuccessor) {
  // E1 needs a predecessor of its own once S has no successor.
  GenRun h(NETMODEL("  I1 (I) S ::\n"
                    "  S (R) NOSUC ::\n"
                    "     RELEASE X := 1;\n"
                    "  I2 (I) E1 ::\n"
                    "  E1 (E) ::\n",
                    "  TSIM := 10;\n", "VAR X : INTEGER;\n"));
  EXPECT_EQ(h.nodes(), "RELEASE without succesor node");
  EXPECT_EQ(h.where(), "5:13");
}

TEST(NodeProcedures, MultipleSourceMustSend) {
  GenRun g(NETMODEL("  I1 (I) [1..2] E1 ::\n  E1 (E) ::\n"));
  EXPECT_EQ(g.nodes(), "Node I multiple without SENDTO");
  EXPECT_EQ(g.where(), "4:3");
}

TEST(NodeProcedures, DecisionWithOneListMustSend) {
  GenRun g(NETMODEL("  I1 (I) D1 ::\n  D1 (D) E1 ::\n  E1 (E) ::\n"));
  EXPECT_EQ(g.nodes(), "SENDTO not found in type D node");
  EXPECT_EQ(g.where(), "5:3");
}

TEST(NodeProcedures, DecisionWithSeveralListsMustSelect) {
  GenRun g(NETMODEL("  I1 (I) D1 ::\n  I2 (I) D1 ::\n  D1 (D) E1 ::\n  E1 (E) ::\n"));
  EXPECT_EQ(g.nodes(), "SELECT missing in type D node with many antecesors");
  EXPECT_EQ(g.where(), "6:3");
}

TEST(NodeProcedures, DecisionWithOneListTakesFromItsPredecessorsLink) {
  GenRun g(NETMODEL("  I1 (I) D1 ::\n  D1 (D) E1, E2 ::\n     SENDTO(E2);\n"
                    "  E1 (E) ::\n  I2 (I) E2 ::\n  E2 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.part(g.proc("D1"), "procedure", "PMESS:=_px;"),
            "procedure D1(ino:integer);\n"
            "var icopy: integer;\n"
            "begin \n"
            "_px:=_fl[1];\n"
            " while _px<>nil do begin \n"
            "_extr(_px,1);_uprv(_px^.r,_px^.b); PMESS:=_px;\n");
  EXPECT_EQ(g.proc("D1").substr(g.proc("D1").size() - 30), "end ;\n \n_px:=_fl[1] end; end;\n");
}

// The body waits in MODAUX while SELECT writes its procedures to the unit.
TEST(NodeProcedures, DecisionWithSeveralListsSelectsBeforeItsBody) {
  GenRun g(NETMODEL("  I1 (I) D1 ::\n  I2 (I) D1 ::\n"
                    "  D1 (D) E1 ::\n     SELECT(I1 : 1; I2 : 2) SENDTO(E1);\n"
                    "  E1 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string p = g.proc("D1");
  EXPECT_EQ(p.find("procedure D1(ino:integer);\nvar icopy: integer;\nprocedure _prs1("), 0u) << p;
  size_t body = p.find("\nbegin \nbegin _prs1(1,1,1,1);_prs1(2,2,1,1);");
  EXPECT_NE(body, std::string::npos) << p;
  EXPECT_GT(body, p.find("_k:=_k+1;"));
  EXPECT_EQ(p.substr(p.size() - 6), "\nend;\n");
  EXPECT_EQ(g.c.out.CURCH, CH_NODE);
}

TEST(NodeProcedures, NodesOfASecondModuleGoToASecondUnit) {
  GenRun g(NETMODEL("  I1 (I) E1 ::\nMODULE\n  E1 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string u1 = g.unit(1), u2 = g.unit(2);
  EXPECT_NE(u1.find("procedure I1(ino:integer);\nimplementation\n"), std::string::npos);
  EXPECT_EQ(u1.substr(u1.size() - 10), "end;\nend.\n");
  EXPECT_NE(u2.find("procedure E1(ino:integer);\nimplementation\n"
                    "procedure E1(ino:integer);\nvar icopy"),
            std::string::npos);
}

TEST(NodeProcedures, ContinuousNodeStepsUpToNow) {
  GenRun g(NETMODEL("  C1 (C) ::\n  A1 (A) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.proc("C1"),
            "procedure C1(ino:integer);\n"
            "var icopy: integer;\n"
            "begin \n"
            "if ((_n=1) or (ino=0)) and _ac_C1 then begin \n"
            "_dt:=time-_tc_C1;\n"
            "repeat _dta:=_dt;\n"
            "_dt:=time-_tc_C1;\n"
            "if _dt<>0.0 then begin \n"
            "_tc_C1:=_tc_C1+_dt;\n"
            " end \n"
            "else _dta:=dt_C1;\n"
            "until _tc_C1=time;\n"
            "if ino=0 then _bi_C1:=true;\n"
            "if ino=1 then begin _k:=2;_swt:=true;\n"
            "if _bi_C1 then begin _dta:=dt_C1;\n"
            "_bi_C1:=false end;\n"
            "if _ac_C1 then _afel(1,1,evp,blck[1],time+_dta);\n"
            " end \n"
            "end end;\n");
  EXPECT_FALSE(g.c.stmt.CONTNODE);
}

// A group of equations still open at the end of a C node is integrated in
// that node, not in the next node's procedure.
TEST(NodeProcedures, ContinuousNodeIntegratesItsLastGroup) {
  GenRun g(NETMODEL("  C1 (C) ::\n     LEVEL' = 2 - LEVEL;\n     FLOW' = LEVEL;\n  A1 (A) ::\n",
                    "  TSIM := 10;\n", "VAR LEVEL, FLOW : CONT;\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string p = g.proc("C1");
  size_t step = p.find("_rkf(1,2);");
  EXPECT_NE(step, std::string::npos) << p;
  EXPECT_LT(step, p.find("\n_tc_C1:=_tc_C1+_dt;\n"));
  EXPECT_EQ(g.proc("A1"), "procedure A1(ino:integer);\nvar icopy: integer;\nbegin \nend;\n");
}

TEST(NodeProcedures, SuccessorsOfContinuousNodesBringThemUpToNow) {
  GenRun g(NETMODEL("  C1 (C) Q ::\n  C2 (C) [1..2] Q ::\n  Q (L) G1 ::\n  G1 (G) X ::\n"
                    "  X (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(g.part(g.proc("Q"), "procedure", "_acc:=true;"),
            "procedure Q(ino:integer);\n"
            "var icopy: integer;\n"
            "var _jc: integer;\n"
            "begin \n"
            "_px:=_fl[2];\n"
            " while _px<>nil do begin C1(0);for _jc:=1 to 2 do C2(-_jc);_extr(_px,2);\n"
            "_uprv(_px^.r,_px^.b);_acc:=true;_upvr(_px^.r,_px^.b);\n");
}

TEST(MessageCounters, SourcesByPositionThenCreateCounters) {
  GenRun g(NETMODEL("  I1 (I) X ::\n  A1 (A) ::\n  A2 (A) ::\n  I4 (I) X ::\n  X (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  g.c.stmt.CREATECOUNT = 1;
  g.c.stmt.NUMEOFFSET = 4;
  DeclareMessageCounters(g.c);
  FLUSHOUT(g.c, CH_PRU);
  std::string pru = g.file("PRU.PAS");
  EXPECT_EQ(pru.substr(pru.size() - 35), "\nvar _NUME1,_NUME4,_NUME5:integer;\n");
}

TEST(Clrstat, ResetsListsBlocksTablesAndMeasuredVariables) {
  GenRun g(NETMODEL("  I1 (I) S ::\n  S (R) E1 ::\n  E1 (E) ::\n"));
  ASSERT_EQ(g.nodes(), "");
  GenerateClrstat(g.c);
  FLUSHOUT(g.c, CH_MODPRO);
  std::string t = g.file("MODPRO");
  // S's U_ variable is measured: one element.
  EXPECT_EQ(g.part(t, "procedure clrstat", "_nuno"),
            "procedure clrstat; var _i,_j,_ino: integer; begin _tces:=time;\n"
            "for _j:=1 to 3 do begin \n"
            "_lm^[_j]:=0;_en^[_j]:=0;\n"
            "_la^[_j]:=0;_lp^[_j]:=0;_l2^[_j]:=0;_hc^[_j]:=_tces;_tl^[_j]:=0.0;\n"
            "_tp^[_j]:=0.0;_tpp^[_j]:=0.0;_tp2^[_j]:=0.0;_mtp^[_j]:=0.0;\n"
            "end;\n"
            "for _ino:=1 to 3 do blck[_ino]:=false; \n"
            "for _ino:=1 to 1 do begin _sv[_ino]:=0.;_s2v[_ino]:=0;_nvv[_ino]:=0;\n"
            "_svv[_ino]:=0.0;_s2vv[_ino]:=0.0;_sva[_ino]:=0.0;\n"
            "_hv[_ino]:=-1.7e37;_lv[_ino]:=1.7e37;_hcv[_ino]:=_tces end;\n"
            "for _i:=1 to _n_tab do for _j:=1 to _itmx do _fr[_i,_j]:=0;\n"
            "_nuno:=3;\n");
}

}  // namespace
