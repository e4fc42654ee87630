{ Uses every runtime unit and names a sample of what generated text
  names, in the shapes the templates write, then runs a small event
  list and list scenario on the runtime's own tables (no model bound).
  Prints "ok" and exits 0 when every check holds. }
program rtcheck;

{$MODE DELPHI}

uses rtdefs, rtkern, rtmath, rtshell, rtplot, rtdlg, rtdist, rtchart, rtnote,
  forms, graphics, Dialogs;

procedure NODEA(ino: integer);
begin
  icopy := ino;
end;

const
  _prnod: array[1..1] of _nodo = (NODEA);

var
  fails: integer;
  m1, m2, m3: _pl;
  xv, yv: _tpx;
  r: real;
  iv: integer;
  lv: longint;
  sv: STR80;
  w1, w2, w3, w4: word;
  din: _arreglo;
  ri, ix: _indice;
  dset: array[1..3] of real;
  dvals: array[1..3] of integer = (10, 20, 30);
  ra: array[1..3] of real;
  ia: array[1..3] of integer;

procedure check(ok: boolean; const what: string);
begin
  if not ok then
  begin
    writeln('FAILED: ', what);
    Inc(fails);
  end;
end;

function newmess(num: integer): _pl;
var h: _pfhead;
begin
  New(h);
  FillChar(h^, SizeOf(h^), 0);
  New(Result);
  FillChar(Result^, SizeOf(Result^), 0);
  Result^.r := 1;
  Result^.b := h;
  Result^.number := num;
  Result^.nor := 'GEN';
end;

{ Text in the form the node skeletons and instructions write it. }
procedure shapes;
begin
  _afel(1, 1, evp, false, time + 2.5);
  _afel(1, 2, evp, false, time + 1, 7);
  extfel(1, -1, 0, 0);
  extfel(_N1, O_XT, INO, 0);
  if _bt then disfel;
  check(VOIDFEL, 'VOIDFEL after extfel');
  _px := nil; _pu := nil; _pa := nil; _pxs := nil; _pxx := nil; _pas := nil;
  _pla := nil; _pla1 := nil; _plas := nil; PMESS := nil; O_PMESS := nil;
  _agr(1, _px, 'l');
  _extr(_px, 1);
  _exlx(_px, 1);
  _exal(_px);
  _exalo(_pu);
  _copy(_px, 1, 'A', nil);
  _inter(1, _px, _pa, _pu);
  _tran(true, 1, 2, 'A', _px, nil);
  _sort(1, r, r, 'A');
  _sinc(maxint, 1);
  _sf := true; _ks := 0; _pc := _fs; _as := _pc; _aas := false;
  _rkf(1, 1); _eul(1, 1); _rk4(1, 1);
  _acc := true; _ac1 := _acc; _bs := true; _fre := true; _sta := false;
  _besc := false; _bsc := false; _bpt := false; ext := false;
  SENT := false; SYNC := false; EXTREL := false;
  _imi := 1; _min := 0; _or := 0; _ob := nil; _r := 0; _b := nil;
  _dt := 0; _dta := 0; _k := 1; _swt := true; _n1 := 1; _nn := _n;
  _ievv := iev; _jc := 1; _i1 := 1;
  gt := time; use := 1; et := time; xt := -1; _gt := 0;
  o_gt := 0; o_use := 0; o_et := 0; o_xt := 0; stay := 0; it := 0; nt := 0;
  eabs := 0.00001; erel := 0.0001; NUMBER := 0; NODE := 'X'; O_NODE := '';
  O_NUMBER := 0; NOR := ''; TITLE := ''; icopy := 0;
  check(MAXREAL > 1e37, 'MAXREAL');
  _windowsize := true; WINDOWWIDTH := 640; WINDOWHEIGHT := 480;
  _ff := nil; evp := 0; _es := false; _ci1 := true;
  _bt := false; _bftr := false; _bf := false; _zs := 'G';
  _tces := time; _nuno := 1; _hoi := 0; _mii := 0; _sei := 0; _dei := 0;
  BLOCK(1, _bpt);
  DEBLOCK(1, _bpt);
  TAB(r, 1);
  _trace;
  if false then _error('never');
end;

procedure dialogs_and_io;
begin
  rtdlg._InitMemos;
  rtdlg._Presenta;
  rtdlg._WarningDlg('warning text');
  rtdlg._WinMensaje('Pause');
  rtdlg._ModoInterrupcion(false);
  _insr(r, INPUT, false, -1, -1, 'value of r');
  _insd(r, INPUT, false, 8, 2, 'value');
  _insi(iv, INPUT, false, -1, 'count');
  _insl(lv, INPUT, false, -1, 'long');
  _inss(sv, INPUT, false, 1, 'name');
  _resr(r, OUTPUT, false, 8, 2, 'r is');
  _resi(iv, OUTPUT, false, 4, 'iv is');
  _ress(sv, -1, 'sv is');
  _par := addr(ra);
  _inar(_par, INPUT, false, -1, -1, 1, 3, 'ra');
  _rear(_par, OUTPUT, false, 8, 2, 1, 3, 'ra');
  _pai := addr(ia);
  _inai(_pai, INPUT, false, -1, 1, 3, 'ia');
  _reai(_pai, OUTPUT, false, 4, 1, 3, 'ia');
  _lonreg := 0; _resu := 0; _stau := '';
  if false then
  begin
    assign(_ardbase, 'x.dbf'); _leerenc(_ardbase);
    assign(_ardbaseu, 'y.dbf'); reset(_ardbaseu, 1); _copystdb;
    closeFile(_ardbase); closeFile(_ardbaseu);
    VerArchivoReporte(_outf);
    sv := InputBox('File Name:', 'Text', 'DATA1.dat');
  end;
end;

procedure graphs;
begin
  _maxGraphics := 1;
  CreaGraficos;
  with _Grafico[1] do
  begin
    _tmig := 0; _tmag := 10;
    if (time >= _tmig) and (time <= _tmag) then
    begin
      _fgr1[1] := time; _fgr2[1] := 0; _nomv[1] := 'TIME';
      _minv[1] := 0; _maxv[1] := _tmag; colv[1] := 4;
      _fgr1[2] := 3; _fgr2[2] := 0; _nomv[2] := 'X';
      _minv[2] := 0; _maxv[2] := 5; colv[2] := 5;
      _tg := 'G1'; nv := 2; col := 1; _titul := TITLE;
      _graph;
    end;
  end;
  check(_Grafico[1]._npt = 1, 'GRAPH records a point');
  CloseWindow;
  _bnoreal := false;
end;

procedure functions;
var i, fine: integer;
begin
  New(xv); New(yv);
  for i := 1 to 3 do
  begin
    xv^[i] := i;
    yv^[i] := i * i;
  end;
  check(Abs(_fPOLYGREALREAL(1.5, xv, yv, 3) - 2.5) < 1e-9, 'POLYG');
  check(_fSTAIRREALREAL(2.5, xv, yv, 3) = 4, 'STAIR');
  new(_spb); new(_spc); new(_spd);
  _spline(xv, yv, 3, 1);
  check(Abs(_fSPLINEREALREAL(2, xv, yv, 3, 1) - 4) < 1e-9, 'SPLINE knot');
  check(MAX(2, 3) = 3, 'MAX');
  check(MIN(2.5, 3) = 2.5, 'MIN');
  check(MAXI(2, 3) = 3, 'MAXI');
  check(MINI(2, 3) = 2, 'MINI');
  check(Abs(MODUL(7, 3) - 1) < 1e-9, 'MODUL');
  r := EXPO(2, 1) + ERLG(2, 3, 2) + GAUSS(0, 1, 3) + NORM(0, 1, 1) +
    TRIA(0, 1, 2, 1) + UNIF(0, 1, 1) + UNIFI(1, 6, 1) + BER(0.5, 1) +
    BETA(2, 3, 1) + GAMMA(2, 1, 1) + POISSON(3, 1) + LOGNORM(1, 0.5, 1) +
    WEIBULL(2, 1, 1) + BIN(10, 0.5, 1) + RND(1);
  check(r = r, 'distributions');
  r := UNIF(3, 4, 1);
  check((r >= 3) and (r <= 4), 'UNIF range');
  { uniforms carry a double's bits: a draw rounded to single precision
    would be a whole multiple of 2^-24, and one in 2^25 would be 1 }
  fine := 0;
  for i := 1 to 1000 do
  begin
    r := _unif01(1);
    check((r > 0) and (r < 1), 'uniform inside (0, 1)');
    if Frac(r * 16777216.0) <> 0 then
      Inc(fine);
  end;
  check(fine > 990, 'uniforms finer than single precision');
  RN[1] := RN[2];
  gettime(_hoi, _mii, _sei, _dei);
  GETDATE(w1, w2, w3, w4);
  check(not KEYPRESSED, 'KEYPRESSED');
  NOSOUND; SOUND(440); DELAY(0); GOTOXY(3, 4);
  check((WHEREX = 3) and (WHEREY = 4), 'GOTOXY');
  CLRSCR; CLOSEGRAPH;
  dset[1] := 1; dset[2] := 0; dset[3] := 0;
  ri := addr(dvals);
  _hazindice(3, ix);
  _definir(din, addr(dset), 3, ri);
  _districonj(din);
  _seledistriconj(din, 1, ix);
  check(ix^[1] = 1, 'distribution set picks the only weighted value');
end;

{ Two messages through lists 1 and 2, and three events in order. }
procedure scenario;
begin
  time := 0; tsim := 10;
  _tces := 0;
  _afel(2, 1, 0, false, 5);
  _afel(1, 1, 0, false, 3);
  _afel(3, 1, 0, false, 3);
  _exfel;
  check((time = 3) and (_n = 1), 'earliest event first');
  _exfel;
  check((time = 3) and (_n = 3), 'equal times keep their order');
  m1 := newmess(1);
  m2 := newmess(2);
  m3 := newmess(3);
  _agr(1, m1, 'l');
  _agr(1, m2, 'l');
  _agr(1, m3, 'f');
  check((_hkfl^[1] = m3) and (_hkll^[1] = m2) and (_hkl^^[1] = 3),
    'append and put first');
  _extr(m1, 1);
  check((_hkl^^[1] = 2) and (m3^.p = m2), 'extract from the middle');
  _tran(true, 1, 2, 'A', m3, _hkll^[2]);
  check((_hkfl^[2] = m3) and (_hkl^^[1] = 1) and (_hkl^^[2] = 1),
    'transfer to another list');
  _copy(m3, 2, 'A', _hkll^[2]);
  check(_hkl^^[2] = 2, 'copy adds a message');
  _exal(m2);
  check((NUMBER = 2) and (PMESS = m2), '_exal loads the message');
  _exalo(m3);
  check((O_NUMBER = 3) and (O_PMESS = m3), '_exalo loads the other message');
  BLOCK(2, _bpt);
  _exfel;
  check(_es and (time = tsim), 'blocked event does not fire');
  DEBLOCK(2, _bpt);
  _es := false;
  _exfel;
  check((time = tsim) and (_n = 2), 'held event fires when deblocked');
  stat;
end;

begin
  fails := 0;
  _prnod[1](2);
  check(icopy = 2, 'node procedure table');
  Application.Title := 'check';
  check(clRed <> clBlue, 'graphics colours');
  _NoteAdd('note');
  check(_NoteCount >= 1, 'memo keeps lines');
  shapes;
  dialogs_and_io;
  graphs;
  functions;
  scenario;
  if MessageDlg('done', mtInformation, [mbOK], 0) <> mrOk then
    Inc(fails);
  if fails = 0 then
    writeln('ok')
  else
    Halt(1);
end.
