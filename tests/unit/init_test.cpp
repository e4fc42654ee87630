// INIT pass: _init from the INIT section, _prsta/_prstp, clrstat, _pexp
// with and without EXPER, the declarations INIT completes in PRU.PAS,
// the parameter file of FACTORS, the message counters and the copy of
// _init into MODPRO; the errors of the pass.
#include <gtest/gtest.h>
#include "gen_testrun.h"

namespace {

const std::string BANK = "  ENTRY (I) TELLER ::\n  TELLER (R) EXIT ::\n  EXIT (E) ::\n";

TEST(InitPass, InitProcedureStartsFixedAndEndsWithTheCounters) {
  GenRun g(NETMODEL(BANK, "  TSIM := 100; X := 2;\n", "VAR X : INTEGER;\n"));
  ASSERT_EQ(g.init(), "");
  std::string pro = g.file("MODPRO");
  EXPECT_EQ(g.part(pro, "procedure _init", " _NUME1:=0; \nend;\n"),
            "procedure _init; var _i,_j:integer; \n"
            "begin \n"
            "gettime(_hoi,_mii,_sei,_dei); \n"
            "for _j:=1 to 3 do begin \n"
            "_l^[_j]:=0;_fl[_j]:=nil;_ll[_j]:=nil end;\n"
            "CreaGraficos;\n"
            "_seeds; \n"
            " _bt:=false; \n"
            "eabs:=0.00001; erel:=0.0001;\n"
            "if _rep then nrep:=nrep+1;\n"
            // the rest of the INIT line, then the statements as written
            " \n"
            "\n"
            "  TSIM := 100; X := 2; \n"
            // the DECL line, its word blanked by the declarations
            "\n"
            "       \n"
            " _NUME1:=0; \n"
            "end;\n");
  // _init comes last, after the procedures written during the pass.
  size_t init = pro.find("procedure _init;");
  EXPECT_LT(pro.find("procedure _prsta("), init);
  EXPECT_LT(pro.find("procedure clrstat;"), init);
  EXPECT_LT(pro.find("procedure _pexp;"), init);
  EXPECT_NE(g.file("unid1.pas").find("procedure EXIT(ino:integer);\nvar icopy"), std::string::npos);
}

TEST(InitPass, StatisticsBodiesComeFirst) {
  GenRun g(NETMODEL(BANK));
  ASSERT_EQ(g.init(), "");
  EXPECT_EQ(g.part(g.file("MODPRO"), "procedure _prsta", "_nvv[I]+1;end;"),
            "procedure _prsta(I:INTEGER;V:REAL);begin _sv[I]:=_sv[I]+V*(time-_hcv[I]);\n"
            "_s2v[I]:=_s2v[I]+V*V*(time-_hcv[I]);end;\n"
            "procedure _prstp(I:INTEGER;V:REAL); begin if V > _hv[I] then _hv[I]:=V;\n"
            "if V < _lv[I] then _lv[I]:=V; _hcv[I]:=time; _svv[I]:=_svv[I]+V;_sva[I]:=V;\n"
            "_s2vv[I]:=_s2vv[I]+V*V;_nvv[I]:=_nvv[I]+1;end;\n");
}

TEST(InitPass, InitWithoutActStops) {
  GenRun g(NETMODEL(BANK, "  TSIM := 100;\n"), false);
  EXPECT_EQ(g.init(), "no ACT procedure in INIT");
  // The declarations blanked the word DECL: the section ends on the line
  // after it.
  EXPECT_EQ(g.where(), "9:1");
}

TEST(InitPass, ActInInitSchedulesTheFirstEvent) {
  GenRun g(NETMODEL(BANK, "  TSIM := 100;\n  ACT(ENTRY, 0);\n"), false);
  ASSERT_EQ(g.init(), "");
  EXPECT_NE(g.file("MODPRO").find("\n  _afel(1,1,evp,blck[1],time+ 0);\n"), std::string::npos);
}

TEST(InitPass, WithoutExperimentsPexpOnlyWarns) {
  GenRun g(NETMODEL(BANK));
  ASSERT_EQ(g.init(), "");
  std::string pro = g.file("MODPRO");
  EXPECT_NE(pro.find("\nprocedure _pexp; begin rtdlg._WarningDlg('No experiments defined') end;\n"),
            std::string::npos);
  EXPECT_EQ(pro.find("_listvar"), std::string::npos);
}

TEST(InitPass, ExperimentsListReadAndRepeat) {
  GenRun g(NETMODEL(BANK, "  TSIM := 100;\n  EXPER X := 5; TELLER := 2; ENDEXP\n",
                    "VAR X : REAL;\n"));
  ASSERT_EQ(g.init(), "");
  std::string pro = g.file("MODPRO");
  // The entries set from the loaded file: by Val, into each variable's
  // own type; a capacity with its free units.
  EXPECT_EQ(g.part(pro, "const _tve", "end end end;\n"),
            "const _tve:array[1..2] of string[30]=\n"
            "('X','TELLER');\n"
            "procedure _pexpset; var _i,_c:integer;_nom:string;\n"
            "begin _exrewind; while _exnext(_nom) do begin _i:=1;\n"
            "while (_i<=2) and (_nom<>_tve[_i]) do _i:=_i+1;\n"
            "if _i>2 then _exbad('no experiment variable of this model') else \n"
            "case _i of \n"
            "1:if _exn(1) then begin Val(_exs(1),X,_c);_exok(_c,1) end;\n"
            "2:if _exn(1) then begin Val(_exs(1),m_TELLER,_c);\n"
            "if _exok(_c,1) then begin f_TELLER:=m_TELLER;u_TELLER:=0.0 end end;\n"
            "end end end;\n");
  // The file checked by setting its values at once; refused whole.
  EXPECT_EQ(g.part(pro, "procedure _pexp;", "until _ch<>'R';\nend;"),
            "procedure _pexp; var _ch:char;_nomar:string;\n"
            "procedure _listvar; var _i:integer;\n"
            "begin writeln(_ars,'X=',X);writeln(_ars,'TELLER=',m_TELLER);\n"
            "end;\n"
            "begin repeat   _listvar;\n"
            "rtdlg._WarningDlg('Data File must begin with a title, Finish with END');\n"
            " \n"
            "_nomar:=InputBox('File Name:','Text','DATA1.dat');\n"
            "if _exload(_nomar) then begin _extrial:=true; _pexpset; _extrial:=false end;\n"
            "if _exfailed then _exreport else _exon:=true;\n"
            "_listvar;\n"
            "_zs:=InputBox('Repeat/Go','R/G','G');_ch:=upcase(_zs[1]);until _ch<>'R';\n"
            "end;\n");
  // _init sets them again after the block's own values.
  size_t block = pro.find("begin m_TELLER := 2; f_TELLER:=m_TELLER; u_TELLER:=0.0; end ;");
  size_t again = pro.find("\nif _exon then _pexpset;");
  ASSERT_NE(again, std::string::npos) << pro;
  EXPECT_LT(pro.find("procedure _init;"), block);
  EXPECT_LT(block, again);
}

TEST(InitPass, ExperimentEntriesOfEveryKind) {
  GenRun g(NETMODEL(BANK));
  Compiler& c = g.c;
  ASSERT_EQ(g.nodes(), "");
  BINDCH(c, CH_MODPRO, "PEXP");
  CREATECH(c, CH_MODPRO);
  c.stmt.EXPLIST = {{"V", 'A', ""}, {"M", 'M', ""}, {"T", 'T', "2"}, {"F", 'F', ""},
                    {"S", 'F', ""}, {"G", 'F', ""}};
  c.model.NODENUM["M"] = 2;  // a node of two copies
  c.model.NodeTable[2].MULT = 2;
  ValuedFunction f;
  f.NOM = "F", f.CLASS = FC_POLYG, f.ARGTYPE = "REAL", f.VALTYPE = "REAL";
  c.kw.FUNV.push_back(f);
  f.NOM = "S", f.CLASS = FC_SPLINE, f.SPLINENO = 2;
  c.kw.FUNV.push_back(f);
  f.NOM = "G", f.CLASS = FC_DISC, f.ARGTYPE = "INTEGER", f.VALTYPE = "STRING";
  c.kw.FUNV.push_back(f);
  GenerateExperimentProcedure(c);
  std::string p = g.file("PEXP");
  // A listed array shows its elements; "0.0" is no placeholder.
  EXPECT_EQ(g.part(p, "procedure _listvar", "\nend;\n"),
            "procedure _listvar; var _i:integer;\n"
            "begin for _i:=1 to 1 do writeln(_ars,'V[',_i,']=',V^[_i]);\n"
            "for _i:=1 to 2 do writeln(_ars,'M[',_i,']=',m_M[_i]);\n"
            "writeln(_ars,'Table T ',_df[2,1],' ',_df[2,2],' ',_df[2,3]);\n"
            "writeln('FUNCTION ','F');\n"
            "for _i:=1 to _nF do writeln(_ars,'X',_i,'=',\n"
            "_xF^[_i],' Y',_i,'=',_yF^[_i]);\n"
            "writeln('FUNCTION ','S');\n"
            "for _i:=1 to _nS do writeln(_ars,'X',_i,'=',\n"
            "_xS^[_i],' Y',_i,'=',_yS^[_i]);\n"
            "writeln('FUNCTION ','G');\n"
            "for _i:=1 to _nG do writeln(_ars,'X',_i,'=',_xG[_i],' Y',_i,'=',_yG[_i]);\n"
            "end;\n");
  // A function takes as many points as the file gives, up to its vectors'
  // size; a SPLINE has its coefficients made again for a run; the labels
  // of a non-REAL argument are the values' texts; a text value is taken
  // as written.
  EXPECT_EQ(g.part(p, "case _i of", "end end end;"),
            "case _i of \n"
            "1:if _exn(1) then for _i:=1 to 1 do begin \n"
            "Val(_exs(_i),V^[_i],_c);_exok(_c,_i) end;\n"
            "2:if _exn(2) then for _i:=1 to 2 do begin Val(_exs(_i),m_M[_i],_c);\n"
            "if _exok(_c,_i) then begin f_M[_i]:=m_M[_i];u_M[_i]:=0.0 end end;\n"
            "3:if _exn(3) then for _i:=1 to 3 do begin \n"
            "Val(_exs(_i),_df[2,_i],_c);_exok(_c,_i) end;\n"
            "4:if _expairs(High(_xF^)) then begin if _xF=nil then new(_xF);\n"
            "if _yF=nil then new(_yF);_nF:=_excount div 2; for _i:=1 to _nF do begin \n"
            "Val(_exs(2*_i-1),_xF^[_i],_c);_exok(_c,2*_i-1);\n"
            "Val(_exs(2*_i),_yF^[_i],_c);_exok(_c,2*_i);end;end;\n"
            "5:if _expairs(High(_xS^)) then begin if _xS=nil then new(_xS);\n"
            "if _yS=nil then new(_yS);_nS:=_excount div 2; for _i:=1 to _nS do begin \n"
            "Val(_exs(2*_i-1),_xS^[_i],_c);_exok(_c,2*_i-1);\n"
            "Val(_exs(2*_i),_yS^[_i],_c);_exok(_c,2*_i);end;\n"
            "if not _extrial then _spline(_xS,_yS,_nS,2);end;\n"
            "6:if _expairs(High(_xG)) then begin if _xaG=nil then new(_xaG);\n"
            "_nG:=_excount div 2; for _i:=1 to _nG do begin \n"
            "Val(_exs(2*_i-1),_xG[_i],_c);_exok(_c,2*_i-1);_xaG^[_i]:=_exs(2*_i-1);\n"
            "_yG[_i]:=_exs(2*_i);end;end;\n"
            "end end end;\n");
}

// Point arrays are pointers for REAL only: a function on integers is set
// and listed through its plain array.
TEST(InitPass, ExperimentOnFunctionsOfEveryArgumentType) {
  GenRun g(MODELTEXT("gen_exper_all.tlv"));
  ASSERT_EQ(g.all(), "");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("_xRATE^[_i],' Y',_i,'=',_yRATE^[_i]);"), std::string::npos);
  EXPECT_NE(pru.find("_xPRICE[_i],' Y',_i,'=',_yPRICE^[_i]);"), std::string::npos);
  EXPECT_NE(pru.find("6:if _expairs(High(_xPRICE)) then begin \n"
                     "if _xaPRICE=nil then new(_xaPRICE);if _yPRICE=nil then new(_yPRICE);"),
            std::string::npos)
      << pru;
  EXPECT_NE(pru.find("\nimplementation\nuses rtkern,rtexp;\n"), std::string::npos);
}

}  // namespace

namespace {

const std::string FACTORDECL = "VAR AB, B2, RATE : REAL;\nFACTORS AB, RATE;\n";

TEST(ParameterFile, FactorNamesPaddedToEightCharacters) {
  GenRun g(NETMODEL(BANK, "  TSIM := 100;\n", FACTORDECL + "RESPONSES B2;\n"));
  g.c.drv.SRCPATH = "bank.tlv";
  ASSERT_EQ(g.init(), "");
  std::string pro = g.file("MODPRO");
  EXPECT_EQ(g.part(pro, "if paramcount>=1", "_a7.nort[1]:='B2      ';"),
            "if paramcount>=1 then begin assign(_arf,'bank.D01');\n"
            " if paramstr(1)='I' then begin _a6.nft:=2;_a7.nrt:=1;\n"
            "_a6.noft[1]:='AB      ';_a6.noft[2]:='RATE    ';_a7.nort[1]:='B2      ';\n");
  EXPECT_EQ(g.part(pro, "for _i:=1 to _a1.nf do case", "end end;"),
            "for _i:=1 to _a1.nf do case _disf[_i] of 1:AB:=_a3.cni[_i];\n"
            "2:RATE:=_a3.cni[_i];\n"
            "end;\n"
            "seek(_arf,12);blockread(_arf,_a9,1);for _i:=1 to 10 do rn[_i]:=_a9.al[_i]\n"
            "end end; _NUME1:=0; \n");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\nvar _arf:file;_disf,_disr:array[1..10] of integer;\n"
                     "type _s8=array[1..10] of string[8]; \n"),
            std::string::npos);
  EXPECT_NE(pru.find("\nvar _a1:_ar1;_a2:_ar2;_a3:_ar3;_a4:_ar4;_a6:_ar6;_a7:_ar7;_a9:_ar9;\n"),
            std::string::npos);
}

TEST(ParameterFile, FactorsNeedResponses) {
  GenRun g(NETMODEL(BANK, "  TSIM := 100;\n", FACTORDECL));
  EXPECT_EQ(g.init(), "RESPONSES not declared");
  EXPECT_EQ(g.where(), "9:1");
}

TEST(InitDeclarations, WorkVariablesAndFrequencyTableSizes) {
  GenRun g(NETMODEL(BANK));
  ASSERT_EQ(g.init(), "");
  std::string pru = g.file("PRU.PAS");
  EXPECT_NE(pru.find("\nvar _k1,_k2,_k3,_k4,_k5,_k6,_k7,_k8,_k9,_k10,_k11,_k12,_k13,_k14,_k15,_k16\n"
                     ",_k17,_k18,_k19,_k20:integer;\n"
                     "const _itmx=1;_n_tab=1;\n"
                     "var _fr:array[1..20,1..50] of integer;\n"
                     "_df:array[1..20,1..3] of real;\n"),
            std::string::npos)
      << pru;
}

TEST(InitDeclarations, RandomVariateSets) {
  GenRun g(NETMODEL(BANK));
  g.c.gen.RANDSETS = {{"DICE", 3, {"1", "3", "6"}}};
  ASSERT_EQ(g.init(), "");
  EXPECT_NE(g.file("PRU.PAS").find("\nvar RANDV_DICE:array[1..3] of real;\n"
                                   "const _d_DICE:array[1..3] of integer=(1,3,6);\n"
                                   "var _din_DICE:_arreglo;_r_DICE,_i_DICE:_indice;\n"),
            std::string::npos);
  EXPECT_NE(g.file("MODPRO").find("\n_r_DICE:=addr(_d_DICE);_hazindice(3,_i_DICE);\n"
                                  "_definir(_din_DICE,addr(DICE),3,_r_DICE);\n"
                                  "_districonj(_din_DICE); _NUME1:=0; \n"),
            std::string::npos)
      << g.file("MODPRO");
}

TEST(GeneratedProgram, MainFileNamedAfterTheModel) {
  GenRun g(NETMODEL(BANK));
  g.dir.write("models/keep", "");
  g.c.drv.SRCPATH = "models/bank.tlv";
  ASSERT_EQ(g.all(), "");
  EXPECT_EQ(WRITTEN(g.c, g.dir, "models/bank.DPR").substr(0, 14), "program bank;\n");
  EXPECT_TRUE(HASWRITTEN(g.c, "unid1.pas"));
  EXPECT_FALSE(HASWRITTEN(g.c, "unid2.pas"));
  std::string pru = WRITTEN(g.c, g.dir, "PRU.PAS");
  EXPECT_EQ(pru.substr(pru.size() - 5), "end.\n");
}

TEST(GeneratedProgram, NeedsATerminatingCondition) {
  GenRun g(NETMODEL(BANK, "  X := 1;\n", "VAR X : INTEGER;\n"));
  EXPECT_EQ(g.all(), "missing terminating condition: TSIM or ENDSIMUL");
}

}  // namespace
