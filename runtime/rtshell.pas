{ rtshell: the menu of a run and its report.

  The main program calls _verpsos once, then _menu (interactive) or
  _inici (started with parameters) before each run, menu when a MENU
  instruction or an interruption asks for it, and stat for the report.

  Starting a run means calling the model's _inieli, _com, clrstat and
  _init, which live in pru.  Compiled with RTMODEL this unit uses pru
  for that and binds the kernel's views (rtdefs _hk*) to the model's
  tables, so the generated program really simulates.  Without RTMODEL
  the runtime compiles without any model and a run does nothing; that
  is enough to check generated text.

  The menu reads the console: G run, N k for k replications, T trace
  on/off, E experiments, Q quit.  At the end of the input the first
  menu runs the model once and later ones quit, so a batch run needs
  no input. }
unit rtshell;

{$MODE DELPHI}

interface

uses rtdefs;

var
  _bout: boolean;    { interactive: back to the menu after each run }
  _bmen: boolean;    { a menu was asked for during the run }
  _quit: boolean;    { leave the run at once }
  _prm: boolean;     { no run started yet }
  _rep: boolean;     { replications under way }
  _est: boolean;     { report after every replication }
  _ut: char;         { last menu choice; 'Q' ends the program }

procedure _verpsos;
procedure _inici;
procedure _menu;
procedure menu;
procedure stat;
procedure REPLIC;

implementation

uses {$IFDEF RTMODEL}pru, {$ENDIF}SysUtils, rtkern, rtexp;

{ SysUtils has a function Time: the clock is written rtdefs.time here. }

{$IFDEF RTMODEL}
procedure _rtbind;
begin
  _hkfl := _pplvec(@_fl);
  _hkll := _pplvec(@_ll);
  _hkl := _pplivec(@_l);
  _hklm := _pplivec(@_lm);
  _hken := _pplivec(@_en);
  _hkla := _pprvec(@_la);
  _hkhc := _pprvec(@_hc);
  _hklp := _pprvec(@_lp);
  _hktp := _pprvec(@_tp);
  _hkmtp := _pprvec(@_mtp);
  _hktpp := _pprvec(@_tpp);
  _hknl := nlist;
  _hkfec := _fec;
  _hky := _prvec(@_y);
  _hkore := _pivec(@_ore);
  _hkneq := High(_ore);
  _hkcl := _cl;
  _hkuprv := _uprv;
  _hkuprvo := _uprvo;
  _hkupvr := _upvr;
  _hknewr := _newr;
  _hkfr := @_fr;
  _hkdf := @_df;
  _rtbound := true;
end;
{$ENDIF}

procedure _startrun;
begin
{$IFDEF RTMODEL}
  if not _rtbound then
  begin
    _inieli;
    _rtbind;
  end;
  _com;
  clrstat;
  _init;
{$ENDIF}
  _quit := false;
  _ut := 'G';
end;

procedure _verpsos;
begin
  _bout := ParamCount = 0;
  _bmen := false;
  _quit := false;
  _ut := ' ';
end;

{ A single run is the first replication: what _init opens for the first
  replication only (FILE) is opened for it too. }
procedure _inici;
begin
  _rep := false;
  NREP := 1;
  _startrun;
end;

function _askline(var line: string): boolean;
begin
  write('> ');
  Result := not Eof(Input);
  if Result then
    readln(line)
  else
    writeln;
end;

procedure _menu;
var line: string;
    k, code: integer;
begin
  repeat
    writeln('G run  N k replications  T trace  E experiments  Q quit');
    if not _askline(line) then
    begin
      { no run of its own after an experiment refused }
      if _prm and not _exfault then
        _inici
      else
        _ut := 'Q';
      Exit;
    end;
    line := Trim(line);
    if line = '' then
      Continue;
    case UpCase(line[1]) of
      'G', 'R':
        begin
          _inici;
          Exit;
        end;
      'N':
        begin
          Val(Trim(Copy(line, 2, Length(line))), k, code);
          if (code = 0) and (k >= 1) then
          begin
            ntrep := k;
            NREP := 0;
            _rep := true;
            _startrun;
            Exit;
          end;
          writeln('N needs a number of replications');
        end;
      'T':
        begin
          _bt := not _bt;
          writeln('trace ', _bt);
        end;
      'E':
{$IFDEF RTMODEL}
        _pexp;
{$ELSE}
        writeln('no model bound');
{$ENDIF}
      'Q':
        begin
          _ut := 'Q';
          Exit;
        end;
    end;
  until false;
end;

procedure menu;
var line: string;
begin
  writeln('time ', rtdefs.time: 0: 4,
    ':  C continue  T trace  F event list  Q quit');
  if not _askline(line) then
    Exit;
  line := Trim(line);
  if line = '' then
    Exit;
  case UpCase(line[1]) of
    'T': _bt := not _bt;
    'F': disfel;
    'Q': _quit := true;
  end;
end;

procedure REPLIC;
begin
  _rep := true;
end;

{ Report lines go to the report file when the program opened it and
  always to the console. }
procedure _say(const s: string);
begin
  if TextRec(_ars).Mode = fmOutput then
    writeln(_ars, s);
  writeln(s);
end;

function _r2s(x: real): string;
begin
  Result := Format('%12.4f', [x]);
end;

procedure _listreport;
var l: integer;
    name: string;
    n: integer;
begin
  _say('list               length     max   entries   mean length'
    + '    mean stay     max stay');
  n := _hknl;
  for l := 1 to n do
  begin
    if (_hken^^[l] = 0) and (_hkl^^[l] = 0) then
      Continue;
{$IFDEF RTMODEL}
    name := _tnl[l];
{$ELSE}
    name := 'list ' + IntToStr(l);
{$ENDIF}
    _say(Format('%-16s %8d %7d %9d', [name, _hkl^^[l], _hklm^^[l],
      _hken^^[l]]) + ' ' + _r2s(_hklp^^[l]) + ' ' + _r2s(_hktpp^^[l]) + ' '
      + _r2s(_hkmtp^^[l]));
  end;
end;

{$IFDEF RTMODEL}
procedure _varreport;
var v, e, p: integer;
    span, mean: real;
begin
  if _n_ves <= 0 then
    Exit;
  _say('variable                     mean          min          max'
    + '  changes');
  span := rtdefs.time - _tces;
  p := 1;
  for v := 1 to _n_ves do
    for e := 1 to _ov[v].ind do
    begin
      if span > 0 then
        mean := (_sv[p] + _sva[p] * (rtdefs.time - _hcv[p])) / span
      else
        mean := _sva[p];
      _say(Format('%-20s', [_ov[v].nom + '[' + IntToStr(e) + ']']) + ' '
        + _r2s(mean) + ' ' + _r2s(_lv[p]) + ' ' + _r2s(_hv[p])
        + Format(' %8d', [_nvv[p]]));
      Inc(p);
    end;
end;
{$ENDIF}

procedure stat;
begin
  _say('');
  _say('TALVEN report  ' + TITLE);
  _say('time ' + _r2s(rtdefs.time) + '   replication ' + IntToStr(NREP));
  _listreport;
{$IFDEF RTMODEL}
  _varreport;
{$ENDIF}
end;

end.
