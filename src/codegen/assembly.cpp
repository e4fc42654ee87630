// Output assembly: opens the unit file of each module as node generation
// reaches it (StartUnitIfNeeded), and at the end completes PRU.PAS from the
// temporaries, closes the last unit and writes the main program with the
// event loop (AssembleProgram). Reads the flags the passes left in c.prog.
#include "ground/compiler.h"
#include "codegen/assembly.h"

namespace {

bool ISSEP(char ch) { return ch == '\\' || ch == '/'; }

// The source name's first '.' (a dot in a directory does not count).
size_t NAMEDOT(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i)
    if (ISSEP(path[i])) start = i + 1;
  return path.find('.', start);
}

// User units after the fixed ones: ",", one per line, ";" after the last.
void USERUNITS(Compiler& c, ChannelNo ch) {
  const Decl& d = c.decl;
  if (!d.USESFIRST || d.USESLIST.empty()) {
    NEWPIECE(c, ch, ";");
    return;
  }
  ADDPIECE(c, ch, ",");
  for (size_t i = 0; i < d.USESLIST.size(); ++i)
    NEWPIECE(c, ch, d.USESLIST[i] + (i + 1 < d.USESLIST.size() ? "," : ";"));
  NEWPIECE(c, ch, " ");
}

void COMPLETEPRU(Compiler& c) {
  NEWPIECE(c, CH_PRU, "implementation");
  // rtexp reads experiment data files, rtparam checks the parameter file
  std::string units = "uses rtkern";
  if (c.stmt.HASEXPER) units += ",rtexp";
  if (c.prog.FACTORS) units += ",rtparam";
  NEWPIECE(c, CH_PRU, units + ";");
  for (const char* t : {"function _fec(time:real;_m:integer):real; ", "begin "})
    NEWPIECE(c, CH_PRU, t);
  FLUSHOUT(c, CH_PRU);
  TRACELN(c, "ENCAB. _FEC EC.DIFERENCIALES");
  TRACEWAIT(c);
  if (c.prog.HASCONT) {
    FLUSHOUT(c, CH_MODEDI);
    COPYCH(c, CH_MODEDI, CH_PRU);
    NEWPIECE(c, CH_PRU, "end end;");
  } else {
    NEWPIECE(c, CH_PRU, "end;");
  }
  NEWPIECE(c, CH_PRU, " ");
  FLUSHOUT(c, CH_PRU);
  if (c.prog.HASPROCS) {
    FLUSHOUT(c, CH_MODPRP);
    COPYCH(c, CH_MODPRP, CH_PRU);
  }
  CLOSECH(c, CH_PRU);
  APPENDCH(c, CH_PRU);
  WRITELINE(c, CH_MODPRO, " ");
  COPYCH(c, CH_MODPRO, CH_PRU);
  if (c.prog.NSYNC == 0) {
    WRITELINE(c, CH_PRU, "function _cl; begin end;");
  } else {
    NEWPIECE(c, CH_MODLOG, "end end;");
    FLUSHOUT(c, CH_MODLOG);
    COPYCH(c, CH_MODLOG, CH_PRU);
  }
  CLOSECH(c, CH_MODINI);
  COPYCH(c, CH_MODINI, CH_PRU);
  WRITELINE(c, CH_PRU, "end.");
  CLOSECH(c, CH_PRU);
}

// The node-scanning procedure of the main program, fixed text.
const char* const REVRED[] = {
    "PROCEDURE _REVRED(N:INTEGER); VAR _II,_JJ:INTEGER; _BB:BOOLEAN;",
    "PROCEDURE _REVNO;BEGIN if _bt then begin writeln(_ftra,'NODE ',_NNO[n]",
    "+'[',_JK,']');",
    " end; _PRNOD[n](_JK);",
    " _trace END;",
    "BEGIN INO:=N; CASE _TIPNOD[n] OF ",
    "'I','A': BEGIN if (_n=N) and _ci1 AND (_JK=IEV) then _REVNO;END;",
    "'G','L','E','R': BEGIN ",
    "if (_n=n) and _ci1 or (_l^[_NUMEL[n]-1+_JK]>0) then _REVNO; END;",
    "'C','O': _REVNO;",
    "'D': BEGIN _BB:=FALSE; _JJ:=_numel[n];",
    "FOR _II:=1 TO _MELD[_JJ,1] DO IF _L^[_MELD[_JJ,_II+1]]>0 THEN _BB:=TRUE;",
    "IF (_N=n) AND _CI1 OR _BB THEN _REVNO; END;END;END;",
};

// The node tables the runtime's scan works from ('*' the node count).
constexpr const char* SCANINIT =
    "_scaninit(*,@_tipnod,@_numel,@_mulno,@_meld,length(_meld),high(_meld[1]));";

std::string ENDCONDITION(Compiler& c) {
  const Program& p = c.prog;
  if (p.TSIMSET) return p.ENDSIMUL ? " (time<tsim)  and not _es " : " (time<tsim) ";
  if (p.ENDSIMUL) return " not _es ";
  ERROR(c, "missing terminating condition: TSIM or ENDSIMUL");
}

bool HASCNODE(const Compiler& c) {
  for (int i = 1; i <= c.model.NodeCount; ++i)
    if (c.model.NodeTable[i].TIPO == 'C') return true;
  return false;
}

// Brings every running C node up to the clock: a C node integrates only
// at its own steps, so before a discrete event (and before the report,
// whatever ended the run) each one is called to take the partial step up
// to now, as a successor does. A node not started yet (its clock ahead of
// now), stopped or blocked is left alone. '/' the node's number, '*' its name,
// '#' its copies.
constexpr const char* CONTUPHEAD = "procedure _contup; var _jc:integer; begin ";
constexpr const char* CONTUPONE = "if _ac_* and (_tc_*<time) and not blck[/] then *(0);";
constexpr const char* CONTUPMANY[] = {"for _jc:=1 to # do ",
                                      "if _ac_*[_jc] and (_tc_*[_jc]<time) and not blck[/] ",
                                      "then *(-_jc);"};

void CONTUP(Compiler& c) {
  if (!HASCNODE(c)) return;
  NEWPIECE(c, CH_NODE, CONTUPHEAD);
  for (int i = 1; i <= c.model.NodeCount; ++i) {
    const NodeRecord& x = c.model.NodeTable[i];
    if (x.TIPO != 'C') continue;
    const std::string num = std::to_string(i), mult = std::to_string(x.MULT);
    auto fill = [&](const char* t) { return FILLIN(t, {{'/', num}, {'*', x.NOM}, {'#', mult}}); };
    if (x.MULT > 1)
      for (const char* t : CONTUPMANY) ADDPIECE(c, CH_NODE, fill(t));
    else
      ADDPIECE(c, CH_NODE, fill(CONTUPONE));
  }
  ADDPIECE(c, CH_NODE, "end;");
}

void MAINHEAD(Compiler& c) {
  const int n = c.model.NodeCount;
  NEWPIECE(c, CH_NODE, "program " + PROGNAMEOF(c.drv.SRCPATH) + ";");
  for (const char* t : {"{$WARNINGS OFF}", "{$HINTS OFF}",
                        "uses rtdefs,pru,rtkern,rtmath,rtshell,rtplot,rtdlg,rtdist,rtchart,forms,"})
    NEWPIECE(c, CH_NODE, t);
  for (int i = 1; i <= c.model.ModuleCount; ++i)
    NEWPIECE(c, CH_NODE, "unid" + std::to_string(i) + (i < c.model.ModuleCount ? "," : " "));
  USERUNITS(c, CH_NODE);
  NEWPIECE(c, CH_NODE, "var _jk, _kk:integer; label 1,2,3,4;");
  NEWPIECE(c, CH_NODE, "const _prnod:array[1.." + std::to_string(n) + "] of _nodo=(");
  for (int i = 1; i <= n; ++i)
    ADDPIECE(c, CH_NODE, c.model.NodeTable[i].NOM + (i < n ? "," : ");"));
  for (const char* t : REVRED) ADDPIECE(c, CH_NODE, t);
  CONTUP(c);
}

void MAINLOOP(Compiler& c) {
  const std::string n = std::to_string(c.model.NodeCount);
  NEWPIECE(c, CH_NODE, "begin ");
  NEWPIECE(c, CH_NODE, "_hknod:=@_prnod;");  // node calls across units go through it
  // The scan asks the runtime for the next node and copy that may act.
  NEWPIECE(c, CH_NODE, FILLIN(SCANINIT, {{'*', n}}));
  NEWPIECE(c, CH_NODE, "_maxGraphics:=" + std::to_string(c.prog.NGRAPH) + ";");
  NEWPIECE(c, CH_NODE, "rtdlg._InitMemos;rtdlg._Presenta; _prm:=true;_rep:=false;_verpsos; ");
  // The runtime names the report and result files after the model.
  NEWPIECE(c, CH_NODE, "_rtopen('" + PROGNAMEOF(c.drv.SRCPATH) + "');");
  NEWPIECE(c, CH_NODE, "2:if _bout then _menu else _inici; ");
  NEWPIECE(c, CH_NODE, "3: _prm:=false;if _ut='Q' then goto 1;_quit:=false;");
  NEWPIECE(c, CH_NODE, FILLIN("while *  do begin ", {{'*', ENDCONDITION(c)}}));
  NEWPIECE(c, CH_NODE, "if _bt then disfel;");
  NEWPIECE(c, CH_NODE, "_exfel;");
  const bool cont = HASCNODE(c);
  if (c.prog.TSIMSET) {
    NEWPIECE(c, CH_NODE, "if time>tsim then begin _afel(_n,iev,evp,false,time);time:=tsim;");
    NEWPIECE(c, CH_NODE, "goto 4 end;");
  }
  // A C node's own step is not a discrete event: it moves only itself.
  if (cont) NEWPIECE(c, CH_NODE, "if _tipnod[_n]<>'C' then _contup;");
  for (std::string t : {std::string("_ci1:=true;"),
                        std::string("repeat _swt:=true; _k:=1; _n1:=_n;"),
                        std::string("repeat"),
                        std::string("_jk:=0; while _nxinst(_n1,_jk) do _revred(_n1);"),
                        std::string("if _quit then goto 1;"),
                        std::string("if _bmen then begin _bmen:=false; menu; end; "),
                        std::string("_nxnode(_n1,_k);"),
                        "until (_k>" + n + ") or _es;  _ci1:=false;",
                        std::string("until _swt or _es end ; 4:")})
    NEWPIECE(c, CH_NODE, t);
  // The report sees every C node at the end time, whatever ended the run.
  ADDPIECE(c, CH_NODE, cont ? "_contup;rtdlg._ModoInterrupcion(false); "
                            : "rtdlg._ModoInterrupcion(false); ");
}

// After a run: the parameter file's responses when called with D, then the
// run's report and result files as after any run; else
// the runtime reports the run and either starts the next replication of
// the batch (label 3), goes back to the menu (2) or ends the program (1).
void MAINEND(Compiler& c) {
  if (c.prog.FACTORS) {
    NEWPIECE(c, CH_NODE, "if paramstr(1)='D' then begin for _i:=1 to _a2.nr do case _disr[_i] of ");
    for (size_t k = 0; k < c.prog.RESPONSES.size(); ++k)
      ADDPIECE(c, CH_NODE, std::to_string(k + 1) + ":_a4.res[_i]:=" + c.prog.RESPONSES[k] + ";");
    for (const char* t : {"end;", "reset(_arf);",
                          "for _i:=1 to 10 do _a9.al[_i]:=rn[_i];seek(_arf,12);blockwrite(_arf,_a9,1);",
                          "seek(_arf,3);blockwrite(_arf,_a4,1); closeFile(_arf);_runend;halt;",
                          "end else "})
      NEWPIECE(c, CH_NODE, t);
  }
  for (const char* t : {"begin if _runend then goto 3; if _bout then goto 2 end;",
                        "1: CerrarGraficos;", "end."})
    NEWPIECE(c, CH_NODE, t);
}

}  // namespace

std::string MAINFILEOF(std::string_view srcpath) {
  size_t dot = NAMEDOT(srcpath);
  if (dot == std::string_view::npos) return std::string(srcpath) + ".DPR";
  return std::string(srcpath.substr(0, dot + 1)) + "DPR";
}

std::string PROGNAMEOF(std::string_view srcpath) {
  std::string dir = DIRPREFOF(srcpath);
  std::string_view name = srcpath.substr(dir.size());
  return std::string(name.substr(0, name.find('.')));
}

// unit unidN: the fixed uses list, the user's units, and a forward
// heading for this node and every node after it up to the next module.
void StartUnitIfNeeded(Compiler& c, int node) {
  const Model& m = c.model;
  int n = m.NodeTable[node].MODULE;
  TRACELN(c, "VER SI HAY UNIDADES NUMUN ", n);
  if (n <= 0) return;
  if (n > 1) {
    NEWPIECE(c, CH_NODE, "end.");
    FLUSHOUT(c, CH_NODE);
    CLOSECH(c, CH_NODE);
  }
  const std::string unit = "unid" + std::to_string(n);
  BINDCH(c, CH_NODE, c.drv.DIRPREF + unit + ".pas");
  CREATECH(c, CH_NODE);
  c.out.ch[CH_NODE].BUF.clear();
  NEWPIECE(c, CH_NODE, "unit " + unit + ";");
  NEWPIECE(c, CH_NODE, "interface ");
  NEWPIECE(c, CH_NODE,
           "uses rtdefs,PRU,RTKERN,RTMATH,rtshell,RTDLG,RTDIST,rtplot,rtchart,graphics,");
  NEWPIECE(c, CH_NODE, "rtnote,Dialogs");
  USERUNITS(c, CH_NODE);
  NEWPIECE(c, CH_NODE, "var _i,_j: integer;");
  for (int i = node; i <= m.NodeCount && (i == node || m.NodeTable[i].MODULE == 0); ++i)
    NEWPIECE(c, CH_NODE, "procedure " + m.NodeTable[i].NOM + "(ino:integer);");
  NEWPIECE(c, CH_NODE, "implementation");
}

void AssembleProgram(Compiler& c) {
  CheckProgramUses(c);
  FLUSHOUT(c, CH_MODPRO);
  FLUSHOUT(c, CH_NODE);
  FLUSHOUT(c, CH_PRU);
  COMPLETEPRU(c);
  NEWPIECE(c, CH_NODE, "end.");
  FLUSHOUT(c, CH_NODE);
  CLOSECH(c, CH_NODE);
  c.drv.DIRPREF = DIRPREFOF(c.drv.SRCPATH);
  BINDCH(c, CH_NODE, MAINFILEOF(c.drv.SRCPATH));
  CREATECH(c, CH_NODE);
  MAINHEAD(c);
  MAINLOOP(c);
  MAINEND(c);
  FLUSHOUT(c, CH_NODE);
  CLOSECH(c, CH_NODE);
}
