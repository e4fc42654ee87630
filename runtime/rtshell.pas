{ rtshell: the menu of a run and the order of its replications.

  The main program calls _verpsos and _rtopen once, then _menu
  (interactive) or _inici (started with arguments) before each batch of
  runs, menu when a MENU instruction or an interruption asks for it,
  and _runend after every run: _runend reports the run and starts the
  next replication of the batch (true), or closes the batch (false).

  Replications are numbered through the whole session: the first run
  is replication --rep (1 by default), each G or replication of N k
  the next one, so no two runs of a session draw the same numbers.

  The menu reads standard input: G run, N k for k replications (k on
  the same line or the next), T trace on or off for the next runs,
  E experiments, Q quit; anything else shows what each letter does.
  At the end of the input the first menu runs the model once and later
  ones quit, so a batch run needs no input.

  Public: the flags _bout _bmen _quit _prm _rep _est _ut; _verpsos
  _rtopen _inici _menu menu _runend stat REPLIC. }
unit rtshell;

{$MODE DELPHI}

interface

uses rtdefs;

var
  _bout: boolean;    { interactive: back to the menu after each batch }
  _bmen: boolean;    { a menu was asked for during the run }
  _quit: boolean;    { leave the run at once }
  _prm: boolean;     { no run started yet }
  _rep: boolean;     { replications under way }
  _est: boolean;     { report after every replication (always now) }
  _ut: char;         { last menu choice; 'Q' ends the program }

procedure _verpsos;
{ Opens the report and result files of the model named; a file that
  cannot be written ends the program with exit code 2. }
procedure _rtopen(const model: string);
procedure _inici;
procedure _menu;
procedure menu;
{ After each run: true when the next replication of the batch has been
  started. }
function _runend: boolean;
procedure stat;
procedure REPLIC;

implementation

uses SysUtils, rtkern, rtdist, rtargs, rtmodel, rtresult, rtplot, rtsvg,
  rtprog, rtfail, rtexp, rtjobs;

var
  _next: longint;        { number of the next replication to run }
  _last: longint;        { last replication of the batch }
  _bcount: longint;      { replications in the batch }
  _tracing: boolean;     { trace the next runs }

procedure _verpsos;
begin
  _bout := not _argsgiven;
  _bmen := false;
  _quit := false;
  _ut := ' ';
  _next := _argfirst;
  _tracing := _argtrace <> '';
end;

procedure _rtopen(const model: string);
var f: string;
begin
  if not _resopen(model) then
    Halt(2);
  if _argtrace <> '' then
  begin
    f := _argtrace;
    if not IsPathDelimiter(f, 1) and (ExtractFileDrive(f) = '') then
      f := _resoutpath(f);
    AssignFile(_ftra, f);
    {$I-} Rewrite(_ftra); {$I+}
    if IOResult <> 0 then
    begin
      writeln(ErrOutput, model, ': cannot write ', f);
      Halt(2);
    end;
  end;
end;

{ Replication _next: its streams, the model's start values and INIT. }
procedure _startrep;
var k: longint;
begin
  k := _next;
  Inc(_next);
  _seed := _argseed;
  _repk := k;
  { _init counts the replication: NREP is k while INIT runs }
  NREP := k - 1;
  _rep := true;
  ntrep := _last;
  _progrep(k);
  _failphase := _ininit;
  _mstart;
  _failphase := _inrun;
  if _tracing then
    _bt := true;
  _quit := false;
  _ut := 'G';
end;

procedure _startbatch(count: longint);
var first: longint;
begin
  first := _next;
  _bcount := count;
  _last := first + count - 1;
  _progbatch(first, count);
  _startrep;
  { after INIT, which sizes the frequency tables }
  _resbatch(first, count);
end;

{ --exper: the file is read before the first run; the first INIT sets
  its values, and a name or value the model refuses ends the program. }
procedure _experload;
begin
  if not _exload(_argexper) then
  begin
    writeln(ErrOutput, _progname, ': ', _exmessage);
    Halt(2);
  end;
  _exon := true;
end;

procedure _expercheck;
begin
  if _exfailed then
  begin
    writeln(ErrOutput, _progname, ': ', _exmessage);
    Halt(2);
  end;
  if not _exwalked then
  begin
    writeln(ErrOutput, _progname, ': ', _argexper,
      ': the model has no experiment variables (no EXPER block in INIT)');
    Halt(2);
  end;
end;

procedure _inici;
begin
  if _argexper <> '' then
    _experload;
  if Length(_argmerge) > 0 then
  begin
    if _resmerge(_argmerge) then
      Halt(0);
    Halt(2);
  end;
  if _argpfile <> ' ' then
    _startbatch(1)
  else
  begin
    { a batch in blocks ends the program there }
    if (_argjobs > 1) and _jobsrun then
      Exit;
    _startbatch(_argreps);
  end;
  if _argexper <> '' then
    _expercheck;
end;

{ Graphs of the run: files, and a line each on the console. }
procedure _graphs(k: longint);
var g: integer;
    base: string;
begin
  for g := 1 to _maxgr do
    if _Grafico[g]._npt > 0 then
    begin
      base := _resmodel + '.graph' + IntToStr(g);
      if _bcount > 1 then
        base := base + '.rep' + IntToStr(k);
      base := _resoutpath(base);
      if _svgwrite(g, base) and (_argformat = _fmttext) and not _argquiet then
        writeln('Graph ', g, ' ', Trim(_Grafico[g]._tg), ': ',
          _Grafico[g]._npt, ' points, ', base, '.svg');
    end;
end;

function _runend: boolean;
var k: longint;
begin
  _failphase := _inshell;
  k := _next - 1;
  _graphs(k);
  _resreport(k);
  _resrep(k);
  if _next <= _last then
  begin
    _startrep;
    Exit(true);
  end;
  _progend;
  _resbatchend;
  Result := false;
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

procedure _menuhelp;
begin
  writeln('G     run the next replication');
  writeln('N k   run k replications (1 to ', _maxreps, ') and summarise them');
  writeln('T     trace the next runs on or off');
  writeln('E     load experiment values');
  writeln('Q     quit');
end;

{ The count of N: a whole number from 1 to _maxreps, else 0. }
function _count(const s: string): longint;
var v: int64;
    code: integer;
begin
  Result := 0;
  Val(s, v, code);
  if (code = 0) and (s <> '') and (v >= 1) and (v <= _maxreps) then
    Result := v;
end;

procedure _menu;
var line, rest: string;
    k: longint;
begin
  repeat
    writeln('G run  N k replications  T trace  E experiments  Q quit');
    if not _askline(line) then
    begin
      { no run of its own after an experiment refused }
      if _prm and not _exfault then
        _startbatch(1)
      else
        _ut := 'Q';
      Exit;
    end;
    line := Trim(line);
    if line = '' then
      Continue;
    rest := Trim(Copy(line, 2, Length(line)));
    case UpCase(line[1]) of
      'G', 'R':
        if rest = '' then
        begin
          _startbatch(1);
          Exit;
        end
        else
          _menuhelp;
      'N':
        begin
          if rest = '' then
          begin
            write('replications? ');
            if not _askline(rest) then
              Continue;
            rest := Trim(rest);
          end;
          k := _count(rest);
          if k > 0 then
          begin
            _startbatch(k);
            Exit;
          end;
          writeln('N needs a count of replications from 1 to ', _maxreps,
            ', not ''', rest, '''');
        end;
      'T':
        if rest = '' then
        begin
          _tracing := not _tracing;
          if _tracing then
            writeln('trace on for the next runs')
          else
            writeln('trace off');
        end
        else
          _menuhelp;
      'E':
        if rest = '' then
          _mexper
        else
          _menuhelp;
      'Q':
        if rest = '' then
        begin
          _ut := 'Q';
          Exit;
        end
        else
          _menuhelp;
    else
      _menuhelp;
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

procedure stat;
begin
  _resreport(NREP);
end;

end.
