// Statement dispatcher: transmission of plain statements, assignments,
// node capacities and calls, EXPER, labels, block balance and the hand-off
// to instructions; node code and INIT translated in process.
#include <gtest/gtest.h>
#include "stmt_testrun.h"

namespace {

TEST_F(Translate, PlainStatementsPassUnchanged) {
  code("  x := 1; y:=x*2 ;\n"
       "  IF x > 0 THEN y := 2 ELSE BEGIN y := 3; x := y END;\n"
       "  WHILE x < 10 DO x := x + 1; ; END");
  var("X", "INTEGER");
  var("Y", "INTEGER");
  EXPECT_EQ(node(), "");
  EXPECT_EQ(out(),
            "\n \n\n  x := 1; y:=x*2 ; \n"
            "\n  IF x > 0 THEN y := 2 ELSE BEGIN y := 3; x := y END; \n"
            "\n  WHILE x < 10 DO x := x + 1; ; END \n");
}

TEST_F(Translate, AssignmentNeedsColonEquals) {
  code("  x = 1;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), ":= expected");
  EXPECT_EQ(where(), "4:5");
  code("  x + 1;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), ":= expected");
  code("  x <= 1;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), ":= expected");
}

TEST_F(Translate, NodeCapacitiesAndCalls) {
  model(MODELTEXT("stmt_nodes.tlv"));
  EXPECT_EQ(node(), "");
  EXPECT_EQ(out(),
            "\n \n  \nbegin m_R := 3; f_R:=m_R-u_R; end ;\n \n"
            "  \nbegin m_M[2] := 5; f_M[2]:=m_M[2]-u_M[2]; end ;\n \n"
            // a node of the same unit is called directly
            "  \n begin _pxx:=_px; _nn:=_n; _n:=4;_ievv:=iev; iev:=7;\n"
            "\nG2(7);; _px:=_pxx; _n:=_nn; iev:=_ievv end;\n\n; \n"
            // one of another unit through the table of node procedures
            "  \n begin _pxx:=_px; _nn:=_n; _n:=5;_ievv:=iev; iev:=IEV;\n"
            "\n_hknod^[5](IEV);; _px:=_pxx; _n:=_nn; iev:=_ievv end;\n\n ; \n"
            // before ELSE: " end " and the ELSE follows
            "  IF TIME > 0 THEN \nbegin m_R := 4 ; f_R:=m_R-u_R; end  ELSE \n"
            "begin m_R := 5; f_R:=m_R-u_R; end ;\n \n");
  EXPECT_EQ(c.model.NodeTable[2].ASSIGN, 2);
  EXPECT_EQ(c.model.NodeTable[3].ASSIGN, 2);
  EXPECT_EQ(c.model.NodeTable[4].ASSIGN, 1);
}

TEST_F(Translate, NodeCallBeforeEnd) {
  model(MODELTEXT("stmt_nodes.tlv"));
  EXPECT_EQ(node("X1"), "");
  EXPECT_EQ(out(),
            "\n \n  \n begin _pxx:=_px; _nn:=_n; _n:=4;_ievv:=iev; iev:=1;\n"
            "\n_hknod^[4](1);; _px:=_pxx; _n:=_nn; iev:=_ievv end;\n\n \n\n  END \n");
}

TEST_F(Translate, InitCapacitiesAndCalls) {
  model(MODELTEXT("stmt_nodes.tlv"));
  EXPECT_EQ(init(), "");
  EXPECT_EQ(out(CH_MODIN1),
            "\n \n  \nbegin m_R := 2; f_R:=m_R; u_R:=0.0; end ;\n \n"
            "  \n begin _pxx:=_px; _nn:=_n; _n:=5;_ievv:=iev; iev:=0;\n"
            "\n_hknod^[5](0);; _px:=_pxx; _n:=_nn; iev:=_ievv end;\n\n; \n");
}

TEST_F(Translate, NodeStatementErrors) {
  auto run = [&](const std::string& code) {
    model("model\nNETWORK\nG1 (G) ::\n" + code + "\nN (R) [1..3] ::\nINIT\nDECL\nEND.\n");
    return node();
  };
  EXPECT_EQ(run("  N[4] := 1;"), "subscript value exceeded");
  EXPECT_EQ(where(), "4:6");
  EXPECT_EQ(run("  N := 1;"), "[ missing in node");
  EXPECT_EQ(run("  N[1] = 1;"), ":= expected");
  EXPECT_EQ(run("  N(1 2);"), ") expected");
  EXPECT_EQ(where(), "4:8");
  EXPECT_EQ(run("  N();"), "event expected");
  EXPECT_EQ(run("  N(1) x := 1;"), "END o ELSE expected");
  EXPECT_EQ(run("  N(1) :="), "; expected");
}

TEST_F(Translate, Experiments) {
  code("", "EXPER X := 5; E1 := 3; A[2] := 1;\n  ENDEXP\n  Y := X;");
  var("X", "REAL");
  var("Y", "REAL");
  var("A", "ARRAY", "ARRAY", 1);
  EXPECT_EQ(init(), "");
  EXPECT_EQ(explist(), "X/V E1/N A[2]/V ");
  EXPECT_TRUE(c.stmt.HASEXPER);
  EXPECT_FALSE(c.stmt.INEXPER);
  // EXPER and ENDEXP are not transmitted, what comes before them is;
  // at ENDEXP a loaded experiment sets its values again
  EXPECT_EQ(out(CH_MODIN1),
            "\n \n X := 5; \nbegin m_E1 := 3; f_E1:=m_E1; u_E1:=0.0; end ;\n"
            " A[2] := 1; \n  \nif _exon then _pexpset;\n \n\n  Y := X; \n");
}

TEST_F(Translate, ExperimentRules) {
  auto run = [&](const std::string& init) {
    code("", init);
    var("X", "REAL");
    var("Y", "REAL");
    return this->init();
  };
  EXPECT_EQ(run("EXPER X := Y;"), "number expected");
  EXPECT_EQ(where(), "7:13");
  EXPECT_EQ(run("EXPER X := 1 2"), "; expected");
  EXPECT_EQ(where(), "7:15");
  EXPECT_EQ(run("EXPER IF X > 1 THEN X := 2;"), "not allowed statement in EXPER");
  EXPECT_EQ(where(), "7:9");
  EXPECT_EQ(run("EXPER ACT(E1, 1);"), "illegal procedure in EXPER");
  EXPECT_EQ(where(), "7:10");
  EXPECT_EQ(run("ENDEXP"), "ENDEXP without EXPER");
  EXPECT_EQ(where(), "7:7");
  code("  EXPER");
  EXPECT_EQ(node(), "no EXPER in INIT");
  EXPECT_EQ(where(), "4:8");
}

TEST_F(Translate, BlockBalance) {
  model("model\nNETWORK\nG1 (G) ::\nG2 (G) ::\n  BEGIN x := 1;\nE1 (E) ::\n"
        "  REPEAT x := 2;\nINIT\n  BEGIN\nDECL\nEND.\n");
  var("X", "INTEGER");
  EXPECT_EQ(node("G2"), "BEGIN END do not match in INIT or previous node");
  EXPECT_EQ(where(), "6:3");
  EXPECT_EQ(r.out.str(), "Ver nodo G1\n");
  c.stmt.BEGINDEPTH = 0;
  EXPECT_EQ(node("E1"), "REPEAT UNTIL do not match in INIT or previous node");
  EXPECT_EQ(where(), "8:5");
  EXPECT_EQ(r.out.str(), "Ver nodo G1\nVer nodo G2\n");
  c.stmt.REPEATDEPTH = 0;
  EXPECT_EQ(init(), "BEGIN END do not match in INIT or previous node");
  EXPECT_EQ(where(), "10:5");
  EXPECT_EQ(r.out.str(), "Ver nodo G1\nVer nodo G2\nEn procedimiento INIT\n");
}

TEST_F(Translate, Labels) {
  model("model\nNETWORK\nG1 (G) LABEL 10, 20; ::\n  10: x := 1; 20 : GOTO 10;\n"
        "G2 (G) LABEL 10; ::\n  10 x := 1;\nINIT\nDECL\nEND.\n");
  var("X", "INTEGER");
  EXPECT_EQ(node(), "");
  EXPECT_EQ(out(), "\n \n  10: x := 1; 20 : GOTO 10;\n \n");
  EXPECT_EQ(node("G2"), ": expected");
  EXPECT_EQ(where(), "6:7");
}

TEST_F(Translate, StatementStarts) {
  code("  ELSE x := 1;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), "illegal begining of statement");
  EXPECT_EQ(where(), "4:7");
  code("  x := 1; ) ;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), "illegal character");
  code("  E1 x");
  EXPECT_EQ(node(), ":= expected");
}

TEST_F(Translate, TsimAndWindowSize) {
  code("", "  TSIM := 100; WINDOWWIDTH := 640; WINDOWHEIGHT := 480; TSIM := 50;");
  EXPECT_EQ(init(), "");
  EXPECT_TRUE(c.prog.TSIMSET);
  EXPECT_TRUE(c.stmt.WINWIDTH);
  EXPECT_TRUE(c.stmt.WINHEIGHT);
}

TEST_F(Translate, UserProcedureCalls) {
  code("  P(x, 2); P(x) END");
  var("X", "INTEGER");
  var("P", "PROCP")->COUNT = 2;
  EXPECT_EQ(node(), "");
  EXPECT_EQ(out(), "\n \n  P(x, 2); P(x)\n END \n");
  auto run = [&](const std::string& text) {
    code(text);
    var("X", "INTEGER");
    var("P", "PROCP")->COUNT = 2;
    return node();
  };
  EXPECT_EQ(run("  P(x, 2, 3);"), ") missing or incorrect parameter number");
  EXPECT_EQ(where(), "4:10");
  EXPECT_EQ(run("  P x;"), "( expected");
  EXPECT_EQ(run("  P(x) y"), "; or END or ELSE expected");
}

TEST_F(Translate, PointerFieldAfterSubscript) {
  code("  A[1]^.F := 2; A[1]^.;");
  var("A", "ARRAY", "ARRAY", 1);
  EXPECT_EQ(node(), "field name expected ;");
  EXPECT_EQ(where(), "4:23");
}

TEST_F(Translate, InstructionsAreHandedOn) {
  code("  x := 1; ACT(E1, 2);");
  var("X", "INTEGER");
  EXPECT_EQ(node(), "");
  // the keyword is not transmitted
  EXPECT_EQ(out(), "\n \n  x := 1; _afel(2,1,evp,blck[2],time+ 2);\n \n");
  code("  COUNT;");
  EXPECT_EQ(node(), "instruction COUNT not implemented");
  code("  WRITELN(1);");
  EXPECT_EQ(node(), "");
  code("  @ x;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), ": expected");  // the I/O list has no format
  code("  INTI x;");
  var("X", "INTEGER");
  EXPECT_EQ(node(), ": expected");
}

TEST_F(Translate, StatementEnds) {
  code("  ; x\n  END; ELSE\n  P(x)END");
  var("P", "PROCP")->COUNT = 1;
  var("X", "INTEGER");
  s.PL = 3;  // "  ; x"
  s.LB = 4;
  s.K = 1;
  c.out.CURCH = CH_NODE;
  c.out.TRSTART = 1;
  EXPECT_EQ(r.error([&] { PRFININS(c, true); }), "");
  EXPECT_EQ(c.out.TRSTART, 4);  // the ";" is part of the text sent
  EXPECT_EQ(c.out.ch[CH_NODE].BUF, " end ;");
  EXPECT_EQ(r.error([&] { PRFININS(c, false); }), "; or END or ELSE expected");
  EXPECT_EQ(where(), "4:6");
  RECID(c);  // END
  EXPECT_EQ(r.error([&] { PRFINGL(c); }), "");
  EXPECT_EQ(c.out.TRSTART, 2);  // END is transmitted from the blank before it
  EXPECT_EQ(c.out.ch[CH_NODE].BUF, " ");
  c.src.K++;
  RECID(c);  // ELSE
  s.IDENT = "X";
  EXPECT_EQ(r.error([&] { PRFINGL(c); }), "illegaly ended TALVEN statement");
  // a word right after a call is transmitted once
  c.stmt.LBF = 7;
  EXPECT_EQ(r.error([&] { PRINS(c); }), "");
  EXPECT_EQ(c.out.TRSTART, 7);  // not on the ")" already sent
  EXPECT_EQ(out(), " end ;\n end \n \n END; ELSE \n  P(x)\n");
}

TEST_F(Translate, VariablesOfOtherParts) {
  code("  IT := 2;");
  EXPECT_EQ(node(), "");
  EXPECT_NE(out().find("begin IT := 2;_afel(1,ino,evp,blck[1],it+time);end;"), std::string::npos);
  code("  pv(1);");
  NameNode* pv = var("PV", "TPROC");
  pv->FLAG4 = true;
  pv->COUNT = 1;
  // read once, by the user-function reader, and passed through
  EXPECT_EQ(node(), "");
  EXPECT_NE(out().find("\n  pv(1); \n"), std::string::npos);
}

TEST_F(Translate, Derivatives) {
  code("  X' = 1;");
  var("X", "REAL");
  EXPECT_EQ(node(), "derivatives only in C node");
  EXPECT_EQ(where(), "4:4");
}

}  // namespace
