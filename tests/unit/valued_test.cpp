// Valued functions: point lists in INIT (constant arrays and their copy in
// _init), calls in expressions, the declarations of the vectors and of the
// DISC and FREQ evaluation functions, and the end-of-INIT check.
#include <gtest/gtest.h>
#include <algorithm>
#include <sstream>
#include "stmt_testrun.h"

namespace {

struct Valued : Translate {
  // Functions F POLYG, G FREQ, H DISC (CHAR), S SPLINE, T STAIR (REAL:INTEGER).
  void fmodel(const std::string& init, const std::string& code = "  X := 1;") {
    model("model\nNETWORK\nG1 (G) ::\n" + code + "\nE1 (E) ::\nINIT\n" + init +
          "\nDECL\nEND.\n");
    BINDCH(c, CH_MODPRO, "MODPRO");
    CREATECH(c, CH_MODPRO);
    BINDCH(c, CH_PRU, "PRU.PAS");
    CREATECH(c, CH_PRU);
    var("X", "REAL");
    struct {
      const char *name, *cls, *arg, *val;
      int points, spline;
    } fs[] = {{"F", "POLYG", "REAL", "REAL", 4, 0}, {"G", "FREQ", "REAL", "REAL", 3, 0},
              {"H", "DISC", "CHAR", "REAL", 2, 0}, {"S", "SPLINE", "REAL", "REAL", 3, 1},
              {"T", "STAIR", "REAL", "INTEGER", 2, 0}};
    for (const auto& f : fs) {
      ValuedFunction& v = FUNVADD(c, f.name);
      v.CLASS = static_cast<FunvClass>(FUNVCLASSNO(f.cls));
      v.ARGTYPE = f.arg;
      v.VALTYPE = f.val;
      v.NPOINTS = f.points;
      v.SPLINENO = f.spline;
    }
  }
  std::string file(ChannelNo ch, const char* name) {
    if (!c.out.ch[ch].BUF.empty()) FLUSHOUT(c, ch);
    return WRITTEN(c, dir, name);
  }
};

TEST_F(Valued, PointListsBecomeConstantsCopiedInInit) {
  fmodel("  F := 0, 1 / 1, 3 / 1, -4;\n  G := 1, 1/ 2 ,2 / 3,3;\n  H := 'a', 2.5 / 'b', 5;");
  ASSERT_EQ(init(), "");
  EXPECT_EQ(file(CH_MODPRO, "MODPRO"),
            "const _cxF:array[1..3] of REAL=(0,1,1); _cyF:array[1..3] of REAL=(1,3,-4);\n \n"
            "const _cxG:array[1..3] of REAL=(1,2,3); _cyG:array[1..3] of REAL=(1,3,6); \n"
            "const _cxH:array[1..2] of CHAR=('a','b'); _cyH:array[1..2] of REAL=(2.5,\n"
            "5); _caxH:array[1..2] of string[12]=('a','b'); \n");
  EXPECT_EQ(out(CH_MODIN1),
            "\n \n  \nnew(_xF);new(_yF);_nF:=3; for _i:=1 to _nF do begin _xF^[_i]:=_cxF[_i];\n"
            "_yF^[_i]:=_cyF[_i]; end;\n \n"
            "  \nnew(_xG);new(_yG);_nG:=3; for _i:=1 to _nG do begin _xG^[_i]:=_cxG[_i];\n"
            "_yG^[_i]:=_cyG[_i]; end;\n \n"
            "  \nnew(_xaH);new(_yH);_nH:=2;  for _i:=1 to _nH do begin _xH[_i]:=_cxH[_i];\n"
            "_yH^[_i]:=_cyH[_i];  _xaH^[_i]:=_caxH[_i];end;\n \n");
  for (const char* f : {"F", "G", "H"}) {
    c.src.IDENT = f;
    FUNVLOOK(c);
    EXPECT_TRUE(FOUNDFUNV(c).INITED) << f;
  }
}

TEST_F(Valued, SplineTablesAreMadeOnce) {
  fmodel("  S := 0, 0 / 1, 1 / 2, 4;\n  EXPER S := 0, 1 / 1, 2; ENDEXP\n  T := 0, 1 / 5, 2;");
  ASSERT_EQ(init(), "");
  std::string t = out(CH_MODIN1);
  EXPECT_NE(t.find(" new(_spb); new(_spc); new(_spd); \nnew(_xS);"), std::string::npos) << t;
  EXPECT_EQ(t.find("new(_spb)", t.find("new(_spb)") + 1), std::string::npos);
  EXPECT_NE(t.find("end; _spline(_xS,_yS,_nS,1);"), std::string::npos);
  // Values of another type than REAL are copied into an array, not a vector.
  EXPECT_NE(t.find("new(_xT);_nT:=2; for _i:=1 to _nT do begin _xT^[_i]:=_cxT[_i];_yT[_i]:=\n"
                   "_cyT[_i]; end;"),
            std::string::npos)
      << t;
  EXPECT_EQ(explist(), "S/F ");
}

TEST_F(Valued, PointListErrors) {
  struct Case {
    const char* init;
    const char* message;
  } cases[] = {
      {"  F := 1, 2 / 0, 3;", "argument values not in order"},
      {"  F := 1, 2 3, 4;", "/ o ; expected"},
      {"  F := 1, 2 / 3 4;", "Y value expected"},
      {"  F := 1 / 2, 3;", "Y value expected"},
      {"  F := 1, / 2, 3;", "Y value expected"},
      {"  F := A, 2;", "error in number"},
      {"  F = 1, 2;", ":= expected"},
      {"  G := 1, A;", "error in value of frequency"},
      {"  H := 'a', 1 / 'b', 2 / 'c', 3;", "incorrect number of values"},
      {"  F := 1, 1 / 2, 2 / 3, 3 / 4, 4 / 5, 5;", "incorrect number of values"},
  };
  for (const Case& k : cases) {
    fmodel(k.init);
    EXPECT_EQ(init(), k.message) << k.init;
  }
  // Equal arguments are in order; DISC and FREQ arguments in any order.
  fmodel("  F := 1, 2 / 1, 3;\n  G := 3, 1 / 1, 1;\n  H := 'b', 1 / 'a', 2;");
  EXPECT_EQ(init(), "");
}

TEST_F(Valued, PointsOnlyInInit) {
  fmodel("", "  F := 1, 2;");
  EXPECT_EQ(node(), "illegal use of function");
}

// In INIT a valued function's name only begins its point list; inside an
// expression there it is no operand.
TEST_F(Valued, NoCallsInInit) {
  fmodel("  F := 0, 1 / 1, 3;\n  X := F(1);");
  EXPECT_EQ(init(), "variable, function or constant expected");
  EXPECT_EQ(where(), "8:9");
  fmodel("  X := 2 * G;");
  EXPECT_EQ(init(), "variable, function or constant expected");
}

TEST_F(Valued, EveryFunctionNeedsItsPoints) {
  fmodel("  F := 1, 2;\n  G := 1, 1;\n  H := 'a', 2;\n  S := 0, 0;");
  ASSERT_EQ(init(), "");
  EXPECT_EQ(r.error([&] { PRFUNVEND(c); }), "function not initialized");
  fmodel("  F := 1, 2;\n  G := 1, 1;\n  H := 'a', 2;\n  S := 0, 0;\n  T := 0, 1;");
  ASSERT_EQ(init(), "");
  c.kw.FUNV[0].IOMARK = true;
  c.kw.FUNV[2].IOMARK = true;
  out(CH_MODIN1);
  EXPECT_EQ(r.error([&] { PRFUNVEND(c); }), "");
  EXPECT_EQ(out(CH_MODIN1),
            " _bnoreal:=false;\n _intigraf(_xF,_yF,_nF,1,1,'F'); \n"
            " _bnoreal:=true;\n _intigrafa(_xaH,_yH,_nH,1,4,'H'); \n");
}

TEST_F(Valued, CallsInExpressions) {
  fmodel("", "  X := F(X) + G + G(3) * S(2*X)\n  + H('a') - T(X);");
  ASSERT_EQ(node(), "");
  std::string t = out();
  EXPECT_EQ(t,
            "\n \n  X := _fPOLYGREALREAL(X,_xF,_yF,_nF ) + _fFREQREALREAL(_xG,_yG,_nG,1) + \n"
            "_fFREQREALREAL(_xG,_yG,_nG,3) * _fSPLINEREALREAL(2*X,_xS,_yS,_nS ,1)\n \n"
            "  + _fDISCCHARREAL('a',_xH,_yH,_nH ) - _fSTAIRREALINTEGER(X,_xT,_yT,_nT )\n"
            "; \n");
  struct Case {
    const char* code;
    const char* message;
  } cases[] = {
      {"  X := F + 1;", "( expected"},
      {"  X := F(X;", ") expected"},
      {"  X := F(X, 1);", "illegal  ,  after expression"},
      {"  X := G(X);", "number expected"},
      {"  X := G(2;", ") expected"},
  };
  for (const Case& k : cases) {
    fmodel("", k.code);
    EXPECT_EQ(node(), k.message) << k.code;
  }
}

TEST_F(Valued, DeclarationsAgreeWithTheCalls) {
  fmodel("");
  ValuedFunction& d = FUNVADD(c, "D2");  // a second DISC of H's signature
  d.CLASS = FC_DISC;
  d.ARGTYPE = "CHAR";
  d.VALTYPE = "REAL";
  d.NPOINTS = 7;
  PRFUNVDECL(c);
  EXPECT_EQ(file(CH_PRU, "PRU.PAS"),
            "type _xREAL=array[1..4] of REAL; \n"
            "type _xCHAR=array[1..7] of CHAR; \n"
            "type _yREAL=array[1..7] of REAL; \n"
            "type _yINTEGER=array[1..2] of INTEGER; \n"
            "var _xF:_tpx;_yF:_tpy; _nF:integer; \n"
            "var _xG:_tpx;_yG:_tpy; _nG:integer; \n"
            "var _xH:_xCHAR;_yH:_tpy; _nH:integer; _xaH:_tpxa;\n"
            "var _xS:_tpx;_yS:_tpy; _nS:integer; \n"
            "var _xT:_tpx;_yT:_yINTEGER; _nT:integer; \n"
            "var _xD2:_xCHAR;_yD2:_tpy; _nD2:integer; _xaD2:_tpxa;\n"
            "function _fFREQREALREAL(var ax:_tpx;var ay:_tpy;n,rn:integer):REAL;\n"
            "function _fDISCCHARREAL(x:CHAR;var ax:_xCHAR;var ay:_tpy; n:integer):REAL;\n"
            "function _fSTAIRREALINTEGER(x:REAL;var ax:_tpx;\n"
            "var ay:_yINTEGER; n:integer):INTEGER;\n");
  // The runtime has a STAIR of REAL values only.
  EXPECT_EQ(file(CH_MODPRO, "MODPRO"),
            "function _fFREQREALREAL(var ax:_tpx;var ay:_tpy;n,rn:integer):REAL;\n"
            "var j:integer; r:real; begin r:=ay^[n]*UNIF(0,1,rn);j:=1;\n"
            "while (j<n) and (r>ay^[j]) do j:=j+1;_fFREQREALREAL:=ax^[j] end;\n"
            "function _fDISCCHARREAL(x:CHAR;var ax:_xCHAR;var ay:_tpy; n:integer):REAL;\n"
            "var j:integer; begin j:=1; while (j<=n) and (x<>ax[j]) do j:=j+1; \n"
            "if(j>n) then _error('argument out of range');_fDISCCHARREAL:=ay^[j]; end;\n"
            "function _fSTAIRREALINTEGER(x:REAL;var ax:_tpx;\n"
            "var ay:_yINTEGER; n:integer):INTEGER;var j:integer; begin j:=1; \n"
            "while (j<n) and (ax^[j+1]<=x) do j:=j+1; _fSTAIRREALINTEGER:=ay[j]; end;\n");
}

TEST_F(Valued, LongNamesAreNotCut) {
  fmodel("");
  const std::string t = "ABCDEFGHIJKLMNOPQRSTUVW";  // 23 characters
  ValuedFunction& d = FUNVADD(c, "FUNCTIONWITHALONGNAME23");
  d.CLASS = FC_DISC;
  d.ARGTYPE = t;
  d.VALTYPE = t;
  d.NPOINTS = 2;
  PRFUNVDECL(c);
  std::string pru = file(CH_PRU, "PRU.PAS");  // the pieces may fall on two lines
  pru.erase(std::remove(pru.begin(), pru.end(), '\n'), pru.end());
  for (const std::string& piece :
       {"function _fDISC" + t + t + "(x:" + t + ";var ax:_x" + t + ";",
        "var ay:_y" + t + "; n:integer):" + t + ";",
        "var _xFUNCTIONWITHALONGNAME23:_x" + t + ";_yFUNCTIONWITHALONGNAME23:_y" + t + "; "})
    EXPECT_NE(pru.find(piece), std::string::npos) << piece << "\n" << pru;
}

TEST(ValuedModels, EveryClassThroughEveryPass) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("fun_tables.tlv", MODELTEXT("fun_tables.tlv"));
  ASSERT_EQ(RUNTALVEN({"fun_tables.tlv"}, out, err, in, dir.str()), 0) << err.str();
  std::string pru = dir.read("PRU.PAS"), unit = dir.read("unid1.pas");
  for (const char* t :
       {"type _xINTEGER=array[1..3] of INTEGER; \n",
        "var _xPRICE:_xINTEGER;_yPRICE:_tpy; _nPRICE:integer; _xaPRICE:_tpxa;\n",
        "function _fDISCINTEGERREAL(x:INTEGER;var ax:_xINTEGER;",
        "function _fFREQREALREAL(var ax:_tpx;var ay:_tpy;n,rn:integer):REAL;",
        "_cySIZE:array[1..3] of REAL=(\n0.5,0.8,1); ",
        " _spline(_xSMOOTH,_ySMOOTH,_nSMOOTH,1);"})
    EXPECT_NE(pru.find(t), std::string::npos) << t;
  for (const char* t : {"Y1 := _fPOLYGREALREAL(X,_xRATE,_yRATE,_nRATE )",
                        "Y4 := _fDISCINTEGERREAL(N,_xPRICE,_yPRICE,_nPRICE )",
                        "_xSIZE,_ySIZE,_nSIZE,2)"})
    EXPECT_NE(unit.find(t), std::string::npos) << t;
}

// A STAIR of INTEGER values and DISC functions of other types: their
// evaluation functions are generated, and the output list shows them all.
TEST(ValuedModels, OtherTypesThanReal) {
  TempDir dir;
  std::ostringstream out, err;
  std::istringstream in;
  dir.write("fun_types.tlv", MODELTEXT("fun_types.tlv"));
  ASSERT_EQ(RUNTALVEN({"fun_types.tlv"}, out, err, in, dir.str()), 0) << err.str();
  std::string pru = dir.read("PRU.PAS"), unit = dir.read("unid1.pas");
  for (const char* t :
       {"function _fSTAIRREALINTEGER(x:REAL;var ax:_tpx;\nvar ay:_yINTEGER; n:integer):INTEGER;",
        "function _fDISCCHARBOOLEAN(x:CHAR;var ax:_xCHAR;\nvar ay:_yBOOLEAN; n:integer):BOOLEAN;",
        "_cyOPEN:array[1..2] of BOOLEAN=(TRUE,FALSE); ",
        " _bnoreal:=false;\n _intigraf(_xLEVEL,_yLEVEL,_nLEVEL,1,3,'LEVEL'); \n",
        " _bnoreal:=true;\n _intigrafa(_xaOPEN,_yOPEN,_nOPEN,1,4,'OPEN'); \n"})
    EXPECT_NE(pru.find(t), std::string::npos) << t << "\n" << pru;
  for (const char* t : {"N := _fSTAIRREALINTEGER(X,_xLEVEL,_yLEVEL,_nLEVEL )",
                        "B := _fDISCCHARBOOLEAN(C,_xOPEN,_yOPEN,_nOPEN )"})
    EXPECT_NE(unit.find(t), std::string::npos) << t << "\n" << unit;
}

}  // namespace
