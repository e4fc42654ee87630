// Other instructions through whole models: tables and frequency tables,
// RAND, reports, input and output lists, read and write statements, FILE,
// array assignments, GRAPH, UPDATE, TRANS, POINT, EXTFEL and the switches.
#include <gtest/gtest.h>
#include "gen_testrun.h"

namespace {

// A source feeding G1, whose code is given, and an exit.
std::string G1MODEL(const std::string& code, const std::string& decl = "",
                    const std::string& init = "  TSIM := 10;\n") {
  return NETMODEL("  IN1 (I) G1 ::\n  G1 (G) X1 ::\n" + code + "\n  X1 (E) ::\n", init,
                  "VAR X : REAL; K : INTEGER;\n" + decl + "\n");
}

// The text's lines without the blanks around them, lines of blanks left
// out: where the channels break lines means nothing to Pascal.
std::string SOLID(const std::string& t) {
  std::string d;
  size_t p = 0;
  while (p < t.size()) {
    size_t e = t.find('\n', p);
    if (e == std::string::npos) e = t.size();
    std::string line = t.substr(p, e - p);
    size_t a = line.find_first_not_of(' ');
    if (a != std::string::npos) d += line.substr(a, line.find_last_not_of(' ') + 1 - a) + "\n";
    p = e + 1;
  }
  return d;
}

// G1's code as generated: between the skeleton's own lines.
std::string CODE(GenRun& g) {
  std::string p = g.proc("G1");
  size_t a = p.find("_acc:=false; ");
  size_t b = p.find("if SENT and not sync");
  if (a == std::string::npos || b == std::string::npos) return p;
  a += 13;
  return SOLID(p.substr(a, b - a));
}

std::string ERR(const std::string& code, const std::string& decl = "") {
  GenRun g(G1MODEL(code, decl));
  return g.nodes();
}

TEST(OtherInstructions, TabGivesTheTablesPosition) {
  GenRun g(G1MODEL("    TAB(x, T); TAB(x,U);", "TABLES X : T, X : U;"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g), "TAB(x,1); TAB(x,2);\n");
  EXPECT_EQ(ERR("    TAB(k, T);", "TABLES X : T;"), "illegal variable K");
  EXPECT_EQ(ERR("    TAB(x, W);", "TABLES X : T;"), "illegal table name");
}

TEST(OtherInstructions, FrequencyTableSetsItsRow) {
  GenRun g(G1MODEL("    U := 0, 10, 2;\n    T := -5, 4, 0.5 END", "TABLES X : T, X : U;"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g),
            "_df[2,1]:=0;_df[2,2]:=12;_df[2,3]:=2;\n_df[1,1]:=-5;_df[1,2]:=6;_df[1,3]:=0.5;\nEND\n");
  EXPECT_EQ(g.c.stmt.FREQMAX, 12);
  EXPECT_EQ(ERR("    T := 0, 10, -1;", "TABLES X : T;"), "interval wide must be positive");
  EXPECT_EQ(ERR("    T := 0, 10, 0;", "TABLES X : T;"), "interval wide must be positive");
  EXPECT_EQ(ERR("    T := A, 10, 1;", "TABLES X : T;"), "initial value expected");
  EXPECT_EQ(ERR("    T := 0, 123456789012345678901234, 1;", "TABLES X : T;"),
            "initial value expected");
  EXPECT_EQ(ERR("    T = 0, 10, 1;", "TABLES X : T;"), ":= expected");
  // the largest table sizes the frequency arrays
  GenRun all(G1MODEL("", "TABLES X : T;", "  T := 0, 10, 2;\n  TSIM := 10;\n"));
  ASSERT_EQ(all.init(), "");
  EXPECT_NE(all.file("PRU.PAS").find("const _itmx=12;_n_tab=1;"), std::string::npos);
}

TEST(OtherInstructions, RandDrawsFromTheSetWithItsStream) {
  GenRun g(G1MODEL("    RAND(R, 3); RAND(R);\n    RAND(M);",
                   "R : ARRAY[1..3] OF REAL; M : ARRAY[1..2, 0..4] OF REAL;"));
  ASSERT_EQ(g.nodes(), "");
  // one draw per dimension of the weights
  EXPECT_EQ(CODE(g),
            "_seledistriconj(_din_R,3,_i_R);\n"
            "for _i:=1 to 1 do RANDV_R[_i]\n"
            ":=_d_R[_i_R^[_i]];;\n"
            "_seledistriconj(_din_R,1,_i_R);\n"
            "for _i:=1 to 1 do RANDV_R[_i]\n"
            ":=_d_R[_i_R^[_i]];;\n"
            "_seledistriconj(_din_M,1,_i_M);\n"
            "for _i:=1 to 2 do RANDV_M[_i]\n"
            ":=_d_M[_i_M^[_i]];;\n");
  // each set known once; its values are the last subscript's
  const std::vector<RandSet>& sets = g.c.gen.RANDSETS;
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].NOM, "R");
  EXPECT_EQ(sets[0].N, 3);
  EXPECT_EQ(sets[0].VALUES, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(sets[1].NOM, "M");
  EXPECT_EQ(sets[1].VALUES, (std::vector<std::string>{"0", "1", "2", "3", "4"}));
  EXPECT_EQ(ERR("    RAND(R, K);", "R : ARRAY[1..3] OF REAL;"), "espera entero");
  EXPECT_EQ(ERR("    RAND(R, 1.5);", "R : ARRAY[1..3] OF REAL;"), "espera entero");
  EXPECT_EQ(ERR("    RAND(K);"), "illegal variable K");
  // never more draws than RANDV_ holds
  GenRun one(G1MODEL("    RAND(Z);", "Z : ARRAY[1..3, 1..1] OF REAL;"));
  ASSERT_EQ(one.nodes(), "");
  EXPECT_NE(CODE(one).find("for _i:=1 to 1 do RANDV_Z[_i]"), std::string::npos) << CODE(one);
  EXPECT_EQ(ERR("    RAND(Q);"), "unknown identifier Q");
}

// A set first drawn in node code declares itself, inside _init and after
// the INIT statements that give its weights; one drawn in INIT is declared
// with the INIT-time declarations. Either way RANDV_ is a REAL array the
// code may read.
TEST(OtherInstructions, RandSetsAreDeclaredWhereverFirstDrawn) {
  GenRun g(NETMODEL("  IN1 (I) G1 ::\n     IT := 1;\n  G1 (G) X1 ::\n"
                    "     RAND(W, 2); X := RANDV_W[1] + RANDV_V[1];\n  X1 (E) ::\n",
                    "  TSIM := 10; W[1] := 1; W[2] := 3;\n  RAND(V);\n  ACT(IN1, 0);\n",
                    "VAR W : ARRAY[1..2] OF REAL; V : ARRAY[4..5] OF REAL; X : REAL;\n"));
  ASSERT_EQ(g.all(), "");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\nvar RANDV_V:array[1..2] of real;\n"
                     "const _d_V:array[1..2] of integer=(4,5);\n"
                     "var _din_V:_arreglo;_r_V,_i_V:_indice;\n"),
            std::string::npos)
      << pru;
  EXPECT_NE(pru.find("\nvar RANDV_W:array[1..2] of real;\n"
                     "const _d_W:array[1..2] of integer=(1,2);\n"
                     "var _din_W:_arreglo;_r_W,_i_W:_indice;\n"),
            std::string::npos)
      << pru;
  std::string init = SOLID(g.part(pru, "procedure _init;", "\nend;\n"));
  size_t weights = init.find("W[1] := 1; W[2] := 3;");
  size_t draw = init.find("_seledistriconj(_din_V,1,_i_V);");
  size_t setv = init.find("_r_V:=addr(_d_V);_hazindice(2,_i_V);\n"
                          "_definir(_din_V,addr(V),2,_r_V);\n_districonj(_din_V);\n");
  size_t setw = init.find("_r_W:=addr(_d_W);_hazindice(2,_i_W);\n"
                          "_definir(_din_W,addr(W),2,_r_W);\n_districonj(_din_W);");
  ASSERT_NE(weights, std::string::npos) << init;
  ASSERT_NE(draw, std::string::npos) << init;
  ASSERT_NE(setv, std::string::npos) << init;
  ASSERT_NE(setw, std::string::npos) << init;
  EXPECT_LT(weights, setw);
  EXPECT_LT(draw, setv);
  EXPECT_LT(setv, setw);
  EXPECT_EQ(init.substr(init.size() - 5), "end;\n");
  EXPECT_NE(g.proc("G1").find("X := RANDV_W[1] + RANDV_V[1];"), std::string::npos);
}

// A user procedure is read before INIT: its set waits for the INIT-time
// declarations, but its RANDV_ is known at once.
TEST(OtherInstructions, RandInAProcedureReadsItsDrawAtOnce) {
  GenRun g(NETMODEL("  IN1 (I) X1 ::\n     X := PICK;\n  X1 (E) ::\n", "  TSIM := 10;\n",
                    "VAR W : ARRAY[1..2] OF REAL; X : REAL;\nPROCEDURES\n"
                    "FUNCTION PICK : REAL;\nBEGIN\n  RAND(W);\n  PICK := RANDV_W[1];\nEND;\n"));
  ASSERT_EQ(g.all(), "");
  std::string pru = g.file("PRU.PAS");
  size_t decl = pru.find("\nvar RANDV_W:array[1..2] of real;\n");
  ASSERT_NE(decl, std::string::npos) << pru;
  EXPECT_EQ(pru.find("var RANDV_W", decl + 2), std::string::npos);  // declared once
  EXPECT_NE(pru.find("_seledistriconj(_din_W,1,_i_W);\nfor _i:=1 to 1 do RANDV_W[_i]\n"
                     ":=_d_W[_i_W^[_i]];"),
            std::string::npos)
      << pru;
  EXPECT_NE(pru.find("_r_W:=addr(_d_W);_hazindice(2,_i_W);"), std::string::npos);
}

TEST(OtherInstructions, ReportRedirectsTheOutputLists) {
  GenRun g(G1MODEL("    REPORT;\n    % X : 8 : 2 Value of X;\n    ENDREPORT;\n"
                   "    % X : 8 : 2 Value of X's;"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g),
            "rtdlg._WinMensaje('Report'); _bf:=true;\n"
            "assign(outf,_outf); rewrite(outf);\n"
            ";\n"
            "_resr(X,OUTF,_bf,8,2,'Value of X');\n"
            "rtdlg._WinMensaje('End Report');\n"
            "closeFile(outf); VerArchivoReporte(_outf);\n"
            ";\n"
            "_resr(X,_ars,false,8,2,'Value of X''s');\n");
  EXPECT_EQ(ERR("    ENDREPORT X := 1;"), "; expected");
}

TEST(OtherInstructions, InputListsOfScalarsAndRanges) {
  GenRun g(G1MODEL("    @ K : the count;\n    @ V[2..3] : 6 : 1 values;\n"
                   "    INTI N[1..2] : F : ints;\n    OUTG S : 12 name;",
                   "V : ARRAY[1..4] OF REAL; N : ARRAY[1..2] OF INTEGER; F : TEXT;\n"
                   "S : STR80;"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g),
            "_insi(K,INPUT,false,-1,'the count');\n"
            "_par:=addr(V);\n"
            "_inar(_par,INPUT,false,6,1,2,3,'values');\n"
            "_pai:=addr(N);\n"
            "_inai(_pai,F,true,-1,1,2,'ints');\n"
            "_ress(S,12,'name');\n");
  std::string decl = "M : ARRAY[1..3,1..2] OF REAL; B : BOOLEAN;";
  EXPECT_EQ(ERR("    @ M[1..3, 2] : x;", decl), "two subscript arrays for I/O not implemented yet");
  EXPECT_EQ(ERR("    @ B : x;", decl), "incorrect type of variable");
  EXPECT_EQ(ERR("    @ X : 2.5 x;", decl), "incorrect format");
  EXPECT_EQ(ERR("    @ X 2;", decl), ": expected");
}

TEST(OtherInstructions, WriteStatementsPassThrough) {
  GenRun g(G1MODEL("    WRITELN('x=', X:8:2, K);\n    WRITE(X) END"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g), "WRITELN('x=', X:8:2, K);\nWRITE(X) END\n");
  EXPECT_EQ(ERR("    WRITELN(X; K);"), ", or ) expected");
  EXPECT_EQ(ERR("    WRITELN(X:A);"), "number expected");
  EXPECT_EQ(ERR("    WRITE(X) K := 1;"), "END or ELSE expected");
}

TEST(OtherInstructions, FileAppendsALineAndHasItsHeadingsInInit) {
  GenRun g(G1MODEL("    FILE('out.txt', X, K:4);\n    IF K > 1 THEN FILE('out.txt', K, X) ELSE K := 1;"));
  ASSERT_EQ(g.all(), "");
  EXPECT_EQ(CODE(g),
            "begin\n"
            "Append(_filv1);\n"
            "WRITELN(_filv1,X,' ',K:4);CloseFile(_filv1); end;\n"
            "IF K > 1 THEN\n"
            "begin\n"
            "Append(_filv1);\n"
            "WRITELN(_filv1,K,' ',X);CloseFile(_filv1); end\n"
            "ELSE K := 1;\n");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\nvar _filv1:text; \n"), std::string::npos);
  EXPECT_NE(pru.find("if nrep=1 then begin \nassign(_filv1,_outpath('out.txt'));\nrewrite(_filv1);\n"
                     "writeln(_filv1,'X');\nwriteln(_filv1,'K');\n"
                     "writeln(_filv1,'# 1');\nend;"),
            std::string::npos);
  EXPECT_EQ(pru.find("_filv2"), std::string::npos);  // one file, declared once
}

// A user procedure is translated before _init is begun: its FILE's lines
// for _init wait for _init's head instead of landing before it.
TEST(OtherInstructions, FileOfAProcedureOpensItsFileInInit) {
  GenRun g(NETMODEL("  IN1 (I) G1 ::\n  G1 (G) X1 ::\n     KEEP(X);\n  X1 (E) ::\n",
                    "  TSIM := 10;\n",
                    "VAR X : REAL;\nPROCEDURES\nPROCEDURE KEEP(Y : REAL);\n"
                    "BEGIN\n  FILE('kept.txt', Y, TIME);\nEND;\n"));
  ASSERT_EQ(g.all(), "");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\nvar _filv1:text; \n"), std::string::npos);
  EXPECT_NE(pru.find("Append(_filv1);\nWRITELN(_filv1,Y,' ',TIME);CloseFile(_filv1); end;"),
            std::string::npos)
      << pru;
  std::string init = SOLID(g.part(pru, "procedure _init;", "_NUME1:=0;"));
  EXPECT_NE(init.find("if _rep then nrep:=nrep+1;\n"
                      "if nrep=1 then begin\nassign(_filv1,_outpath('kept.txt'));\nrewrite(_filv1);\n"
                      "writeln(_filv1,'Y');\nwriteln(_filv1,'TIME');\n"
                      "writeln(_filv1,'# 1');\nend;\nTSIM := 10;"),
            std::string::npos)
      << init;
  size_t open = pru.find("assign(_filv1");
  EXPECT_GT(open, pru.find("procedure _init;"));
  EXPECT_EQ(pru.find("assign(_filv1", open + 1), std::string::npos);  // opened once
  EXPECT_TRUE(g.c.stmt.FILEHEADS.empty());
}

TEST(OtherInstructions, ArrayAssignmentTakesATypedConstant) {
  GenRun g(NETMODEL("  IN1 (I) S ::\n  S (R) [1..3] X1 ::\n     # S[1..3] := (2, 3, 4);\n"
                    "     ASSI V[1..2, 0..1] := ((1, 2), (3, 4));\n  X1 (E) ::\n",
                    "  TSIM := 10;\n", "VAR V : ARRAY[1..2, 0..1] OF REAL;\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\nconst _c1_S:array[1..3] OF REAL=(2, 3, 4);\n"), std::string::npos);
  EXPECT_NE(pru.find("\nconst _c2_V:array[1..2,0..1] OF REAL=((1, 2), (3, 4));\n"),
            std::string::npos);
  std::string p = SOLID(g.proc("S"));
  EXPECT_NE(p.find("begin for _k1:=1 to 3 do begin m_S[_k1]:=_c1_S[_k1];\n"
                   "f_S[_k1]:=m_S[_k1]; u_S[_k1]:=0 end; end;\n"),
            std::string::npos)
      << p;
  EXPECT_NE(p.find("begin for _k1:=1 to 2 do for _k2:=0 to 1 do V[_k1,_k2]:=_c2_V[_k1,_k2];\n"
                   "end;\n"),
            std::string::npos)
      << p;
  EXPECT_EQ(ERR("    # W[1..2] := (1, 2);"), "not defined array or node W");
  EXPECT_EQ(ERR("    # V[1..2] (1, 2);", "V : ARRAY[1..2] OF REAL;"), ":= expected");
  EXPECT_EQ(ERR("    # V[1..A] := (1, 2);", "V : ARRAY[1..2] OF REAL;"), "invalid subscript ");
}

TEST(OtherInstructions, GraphPlotsItsValuesInTheTimeWindow) {
  GenRun g(G1MODEL("    GRAPH(0, 100; X : 0 : 10 : RED; K*2 : -1 : 5; TITLE 'Queue');"));
  ASSERT_EQ(g.all(), "");
  EXPECT_EQ(CODE(g),
            "with _Grafico[1] do\n"
            "begin\n"
            "_tmig:=0; _tmag:=100;\n"
            "if (time>=_tmig) and (time<=_tmag) then begin\n"
            "_fgr1[2]:=X;_fgr2[2]:=time;\n"
            "_nomv[2]:='X'; _minv[2]:=0; _maxv[2]:=10; colv[2]:=5;\n"
            "_fgr1[3]:=K*2;_fgr2[3]:=time;\n"
            "_nomv[3]:='K*2'; _minv[3]:=-1; _maxv[3]:=5; colv[3]:=3;\n"
            "_fgr1[1]:=time;_nomv[1]:='TIME'; _minv[1]:=0; _maxv[1]:=_tmag;\n"
            "_tg:='Queue';nv:=3;col:=16;_titul:=TITLE; _graph; end end ;\n");
  EXPECT_NE(g.file("gen.DPR").find("\n_maxGraphics:=1;\n"), std::string::npos);
  EXPECT_EQ(ERR("    GRAPH(0, 10; X; K : 0 : 1);"), ": of format expected");
  EXPECT_EQ(ERR("    GRAPH(0, 10; X : 0 : 1, K : 0 : 1);"), "; or ) expected");
  EXPECT_EQ(ERR("    GRAPH(0, X; X : 0 : 1);"), "positive integer expected");
  std::string many;
  for (int i = 0; i < 101; ++i) many += "    GRAPH(0, 10; X : 0 : 1);\n";
  GenRun g101(G1MODEL(many));
  EXPECT_EQ(g101.nodes(), "Too many Graphics");
  EXPECT_EQ(g101.r.lastError.line, 105);  // the 101st
}

TEST(OtherInstructions, SwitchesAndPassThroughCalls) {
  GenRun g(G1MODEL("    TRACE; UNTRACE; BEGINSCAN; STOPSCAN; PAUSE; STAT; CLRSTAT;\n"
                   "    REPLIC; DISFEL; MENU; ENDSIMUL END"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g),
            "_bt:=true;; _bt:=false;; _besc:=true;;\n"
            "begin _bs:=false;_acc:=false end ;\n"
            "rtdlg._WinMensaje('Pause');; STAT; CLRSTAT;\n"
            "REPLIC; DISFEL; MENU; _es:=true\n"
            "END\n");
  EXPECT_TRUE(g.c.prog.ENDSIMUL);
}

// O_PMESS is a message pointer: it takes the message variable, never the
// record it points to.  A record written in place is told to the kernel.
TEST(OtherInstructions, UpdateLoadsTheMessageInHand) {
  GenRun g(G1MODEL("    UPDATE(VAR); UPDATE(O_VAR); UPDATE(MESS); UPDATE(O_MESS);"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g),
            "_uprv(_px^.r,_px^.b); O_PMESS:=_px;;\n"
            "_uprvo(_px^.r,_px^.b); O_PMESS:=_px;;\n"
            "_upvr(_px^.r,_px^.b); _recw(_px);;\n"
            "_upvro(_px^.r,_px^.b); _recw(_px);;\n");
  EXPECT_EQ(ERR("    UPDATE(ALL);"), "VAR, O_VAR, MESS or O_MESS expected");
}

TEST(OtherInstructions, TransPointAndEventListInstructions) {
  GenRun g(G1MODEL("    TRANS(EL_G1, FIRST, B, EL_X1, P);\n"
                   "    POINT(EL_G1, LAST, P) X > 1;\n"
                   "    EXTFEL(A, X1, 1, time+2, 0); PUTFEL(B, G1, 1, 2.5, K);",
                   "P : GPOINTER;"));
  ASSERT_EQ(g.nodes(), "");
  EXPECT_EQ(CODE(g),
            "_pu:=_fl[1];_tran(true,1,2,'B',_fl[1],P);;\n"
            "begin\n"
            "P:=_ll[1]; B_P:=P;\n"
            "_bpt:=true; while (P<>nil) and _bpt do begin\n"
            "if P <>nil then _uprvo(P^.r,P^.b); O_PMESS:=P; _exalo(P);\n"
            "if  X > 1 then _bpt:=false else begin B_P:=P;P:=P^.p end end;end;\n"
            "EXTFEL('A',3, 1, time+2, 0); PUTFEL('B',2, 1, 2.5, K);\n");
  EXPECT_EQ(ERR("    EXTFEL(C, X1, 1, 2, 0);"), "A or B expected");
  EXPECT_EQ(ERR("    EXTFEL(A, Y, 1, 2, 0);"), "node name expected");
  EXPECT_EQ(ERR("    EXTFEL(A, X1, 1, 2, 0) K := 1;"), " ; END or ELSE expected");
  EXPECT_EQ(ERR("    TRANS(EL_G1, FIRST, C, EL_X1, FIRST);"), "A or B expected");
  EXPECT_EQ(ERR("    POINT(EL_G1, FIRST, X) K > 1;"), "GPOINTER variable expected X");
}

// After TRANS the message moved is the one in hand (_pu), not the node's
// own: a SENDTO sends it from wherever it lies and leaves _acc alone. The
// next node has its own message again.
TEST(OtherInstructions, TransHandsOnTheMessageItMoved) {
  GenRun g(NETMODEL("  IN1 (I) G1 ::\n  G1 (G) G2 ::\n     TRANS(EL_G1, FIRST, A, EL_X1, LAST);\n"
                    "     SENDTO(G2);\n  G2 (G) X1 ::\n     SENDTO(X1);\n  X1 (E) ::\n",
                    "  TSIM := 10;\n", "VAR X : REAL;\n"));
  ASSERT_EQ(g.nodes(), "");
  std::string g1 = SOLID(g.proc("G1"));
  EXPECT_NE(g1.find("_pu:=_fl[1];_tran(true,1,3,'A',_fl[1],_ll[3]);;\n"
                    "begin SENT:=true; if _px<> nil then _pxs:=_px^.p;\n"
                    "_tran(false,1,2,'A',_pu,_ll[2]);_upvr(_pu^.r,_pu^.b); end ;"),
            std::string::npos)
      << g1;
  EXPECT_EQ(g1.find("_acc:=false; _upvr(_pu"), std::string::npos) << g1;
  std::string g2 = SOLID(g.proc("G2"));
  EXPECT_NE(g2.find("_tran(true,2,3,'A',_px,_ll[3]);"), std::string::npos) << g2;
  EXPECT_EQ(g.c.stmt.MSGVAR, "_px");
}

// The desk model that the fpc check compiles: measured nodes and
// variables (with the resources' U_), a table, a report, I/O lists, FILE
// in node code and in a procedure, GRAPH and a weighted set.
TEST(OtherInstructions, TheMeasuredReportedDeskModel) {
  GenRun g(MODELTEXT("st_report.tlv"), false);
  ASSERT_EQ(g.all(), "");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\n(nom:'ARRIVE';ind:1;el:-1;il:1),(nom:'LINE';ind:1;el:5;il:1),\n"
                     "(nom:'DESK';ind:1;el:1;il:2),(nom:'POOL';ind:2;el:6;il:3));\n"
                     "_n_es:integer=4;\n"),
            std::string::npos)
      << pru;
  EXPECT_NE(pru.find("\n(nom:'LAST';ind:2),(nom:'SERVED';ind:1),(nom:'TOTAL';ind:1),\n"
                     "(nom:'U_DESK';ind:1),(nom:'U_POOL';ind:2));\n"
                     "_n_ves:integer=5; _n_vest:integer=7;"),
            std::string::npos);
  EXPECT_NE(pru.find("\nvar RANDV_W:array[1..3] of real;\n"), std::string::npos);
  std::string init = SOLID(g.part(pru, "procedure _init;", "_NUME"));
  EXPECT_NE(init.find("if _rep then nrep:=nrep+1;\nif nrep=1 then begin\n"
                      "assign(_filv1,_outpath('kept.txt'));"),
            std::string::npos)
      << init;
  EXPECT_NE(init.find("SERVED := 0;\n_prstp(3,SERVED);\nend;"), std::string::npos);
  EXPECT_NE(init.find("assign(_filv2,_outpath('served.txt'));"), std::string::npos);
  EXPECT_NE(init.find("_definir(_din_W,addr(W),3,_r_W);"), std::string::npos);
  std::string leave = SOLID(g.proc("LEAVE"));
  EXPECT_NE(leave.find("begin\n_prsta(3,SERVED);\nSERVED := SERVED + 1;\n_prstp(3,SERVED);\nend;"),
            std::string::npos)
      << leave;
  EXPECT_NE(leave.find("_prsta(+1,LAST[1]);"), std::string::npos);
  EXPECT_NE(leave.find("_resr(TOTAL,OUTF,_bf,10,2,'Work done');"), std::string::npos);
  EXPECT_NE(leave.find("_inar(_par,INPUT,false,-1,-1,1,2,'Last sizes');"), std::string::npos)
      << leave;
  EXPECT_NE(SOLID(g.proc("POOL")).find("_prsta(5+ino,U_POOL[ino]);"), std::string::npos);
  EXPECT_NE(g.file("gen.DPR").find("\n_maxGraphics:=1;\n"), std::string::npos);
}

// The remaining errors of the lists, FILE, the array assignment, TRANS and
// GRAPH, each where the statement goes wrong.
TEST(OtherInstructions, EveryErrorOfListsFilesAndArrays) {
  const std::string v = "V : ARRAY[1..4] OF REAL;";
  const std::string f1 = "GFUNCTIONS F1 : POLYG (REAL) : REAL : 3;";
  EXPECT_EQ(ERR("    @ V 1..2] : x;", v), "[ expected");
  EXPECT_EQ(ERR("    @ V[A..2] : x;", v), "number expected");
  EXPECT_EQ(ERR("    @ V[1 ..2] : x;", v), ".. expected");
  EXPECT_EQ(ERR("    @ V[1..2 : x;", v), "] expected");
  EXPECT_EQ(ERR("    @ Q : x;", "Q : ARRAY[1..2,1..2,1..2] OF REAL;"),
            "variable with more than 3 subscripts in input");
  EXPECT_EQ(ERR("    REPORT; % X : F : x; ENDREPORT;", "F : TEXT;"), "file parameter in REPORT");
  EXPECT_EQ(ERR("    @ F1, G;", f1), "variable or function name expected G");
  EXPECT_EQ(ERR("    @ F1 G;", f1), " , or ; expected");
  EXPECT_EQ(ERR("    @ F1, F1;", f1), "");
  EXPECT_EQ(ERR("    FILE('a.txt' X);"), ", expected");
  EXPECT_EQ(ERR("    FILE('a.txt', X) K := 1;"), "END or ELSE expected");
  EXPECT_EQ(ERR("    # V[1..2, 1..2 := (1, 2);", v), "] or , expected");
  EXPECT_EQ(ERR("    # V[1 2] := (1, 2);", v), ".. expected ");
  EXPECT_EQ(ERR("    # V[1..2] := (1, 2) K := 1;", v), "END or ELSE expected");
  EXPECT_EQ(ERR("    TRANS(EL_G1, X, A, EL_X1, FIRST);"), "GPOINTER variable expected X");
  EXPECT_EQ(ERR("    GRAPH(0, 10; TITLE X);"), "string expected");
  EXPECT_EQ(ERR("    GRAPH(0, 10; X : 0 : 1 : PINK);"), "erroneous color name");
}

}  // namespace
