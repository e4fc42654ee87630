{ rtargs: the command line of a built simulation.

  Read once, when the program starts (this unit's initialization), so
  every other unit sees the options before the model does anything.
  A bad option ends the program at once with exit code 2; --help and
  --version print and end it with 0.

  Without arguments the program shows its menu.  With arguments it
  never prompts: it runs the replications asked for and ends.  The
  single arguments I and D keep the meaning the parameter file of
  FACTORS and RESPONSES gives them (the generated text reads them).

  Public: the options (_argreps ... _argjobs), _argsgiven, _progname,
  _argusage. }
unit rtargs;

{$MODE DELPHI}

interface

const
  _defaultseed = 29999;      { seed of the streams when --seed is not given }
  _maxreps = 1000000000;     { replications one run may ask for }
  _rtversion = '1.0';

type
  _tformat = (_fmttext, _fmtcsv, _fmtjson);

var
  _argsgiven: boolean;   { any argument: nothing is prompted }
  _argreps: longint;     { replications to run }
  _argfirst: longint;    { number of the first of them }
  _argseed: int64;
  _argout: string;       { directory of every file the run writes, '' = here }
  _argformat: _tformat;  { the report on standard output }
  _argprogress: boolean; { --progress }
  _argquiet: boolean;    { --quiet: no report on standard output, no progress }
  _argtrace: string;     { --trace FILE, '' = none }
  _argpfile: char;       { 'I' or 'D' for the parameter file, else ' ' }
  _argexper: string;     { --exper FILE: experiment values for every run }
  _argmerge: array of string;  { --merge FILE, each: merge, do not simulate }
  _argjobs: longint;     { --jobs N: processes the replications share }

function _progname: string;
procedure _argusage;

implementation

uses SysUtils;

function _progname: string;
begin
  Result := ExtractFileName(ParamStr(0));
end;

procedure _argusage;
begin
  writeln('usage: ', _progname, ' [options]');
  writeln('Runs the simulation; without options it shows its menu.');
  writeln;
  writeln('  --reps N           run N replications (1 to ', _maxreps, '), then a summary');
  writeln('  --rep K            run replication K alone; with --reps N, K to K+N-1');
  writeln('  --seed S           seed of every stream (default ', _defaultseed, ')');
  writeln('  --out DIR          write every result file into DIR (created)');
  writeln('  --format F         report on standard output: text, csv or json');
  writeln('  --progress         show progress on standard error');
  writeln('  --quiet            no report on standard output, no progress');
  writeln('  --trace FILE       trace every event into FILE');
  writeln('  --jobs N           run the replications in N processes at once');
  writeln('                     (blocks in OUT/jobs/B, merged into the files');
  writeln('                     and report one process writes)');
  writeln('  --exper FILE       set experiment variables from the data FILE');
  writeln('                     (a title line, NAME = value lines, END)');
  writeln('  --merge FILE       merge the replications.csv FILE of another run');
  writeln('                     (repeated: one each) into --out, with the');
  writeln('                     summary of all their rows; nothing is simulated');
  writeln('  --help, --version');
  writeln;
  writeln('Replication K draws from streams fixed by the seed and K alone, so');
  writeln('--rep K repeats replication K of any longer run.  Files written:');
  writeln('MODEL.report.txt, replications.csv, summary.csv, summary.json and,');
  writeln('for each GRAPH, an SVG picture and the CSV of its points.');
  writeln('Exit codes: 0 done, 1 run-time error of the model, 2 bad argument or file.');
end;

procedure _argfail(const msg: string);
begin
  writeln(ErrOutput, _progname, ': ', msg);
  writeln(ErrOutput, 'Try ''', _progname, ' --help''.');
  Halt(2);
end;

{ A whole number from lo to hi, or the program ends. }
function _argnumber(const opt, s: string; lo, hi: int64): int64;
var code: integer;
begin
  Val(s, Result, code);
  if (code <> 0) or (s = '') or (Result < lo) or (Result > hi) then
    _argfail(opt + ' needs a whole number from ' + IntToStr(lo) + ' to '
      + IntToStr(hi) + ', not ''' + s + '''');
end;

procedure _argparse;
var i, eq: integer;
    a, opt, val: string;
    hasval, repsgiven, repgiven: boolean;

  { The value of the option: after '=' or the next argument. }
  function value: string;
  begin
    if hasval then
      Exit(val);
    if i >= ParamCount then
      _argfail(opt + ' needs a value');
    Inc(i);
    Result := ParamStr(i);
  end;

  procedure novalue;
  begin
    if hasval then
      _argfail(opt + ' takes no value');
  end;

begin
  _argsgiven := ParamCount > 0;
  _argreps := 1;
  _argfirst := 1;
  _argseed := _defaultseed;
  _argout := '';
  _argformat := _fmttext;
  _argprogress := false;
  _argquiet := false;
  _argtrace := '';
  _argpfile := ' ';
  _argexper := '';
  SetLength(_argmerge, 0);
  _argjobs := 1;
  repsgiven := false;
  repgiven := false;
  if (ParamCount >= 1) and ((ParamStr(1) = 'I') or (ParamStr(1) = 'D')) then
    _argpfile := ParamStr(1)[1];
  i := 1;
  if _argpfile <> ' ' then
    i := 2;
  while i <= ParamCount do
  begin
    a := ParamStr(i);
    eq := Pos('=', a);
    hasval := (Copy(a, 1, 2) = '--') and (eq > 0);
    if hasval then
    begin
      opt := Copy(a, 1, eq - 1);
      val := Copy(a, eq + 1, Length(a));
    end
    else
      opt := a;
    if opt = '--help' then
    begin
      _argusage;
      Halt(0);
    end
    else if opt = '--version' then
    begin
      writeln(_progname, ': TALVEN simulation, runtime ', _rtversion);
      Halt(0);
    end
    else if opt = '--reps' then
    begin
      _argreps := _argnumber(opt, value, 1, _maxreps);
      repsgiven := true;
    end
    else if opt = '--rep' then
    begin
      _argfirst := _argnumber(opt, value, 1, _maxreps);
      repgiven := true;
    end
    else if opt = '--seed' then
      _argseed := _argnumber(opt, value, 0, High(int64))
    else if opt = '--out' then
    begin
      _argout := value;
      if _argout = '' then
        _argfail('--out needs a directory');
    end
    else if opt = '--format' then
    begin
      val := LowerCase(value);
      if val = 'text' then
        _argformat := _fmttext
      else if val = 'csv' then
        _argformat := _fmtcsv
      else if val = 'json' then
        _argformat := _fmtjson
      else
        _argfail('--format takes text, csv or json, not ''' + val + '''');
    end
    else if opt = '--progress' then
    begin
      novalue;
      _argprogress := true;
    end
    else if opt = '--quiet' then
    begin
      novalue;
      _argquiet := true;
    end
    else if opt = '--jobs' then
      _argjobs := _argnumber(opt, value, 1, 4096)
    else if opt = '--exper' then
    begin
      _argexper := value;
      if _argexper = '' then
        _argfail('--exper needs a file name');
    end
    else if opt = '--merge' then
    begin
      SetLength(_argmerge, Length(_argmerge) + 1);
      _argmerge[High(_argmerge)] := value;
      if _argmerge[High(_argmerge)] = '' then
        _argfail('--merge needs a file name');
    end
    else if opt = '--trace' then
    begin
      _argtrace := value;
      if _argtrace = '' then
        _argfail('--trace needs a file name');
    end
    else
      _argfail('unknown argument ''' + a + '''');
    Inc(i);
  end;
  if repgiven and repsgiven and
    (int64(_argfirst) + _argreps - 1 > _maxreps) then
    _argfail('--rep and --reps go past replication ' + IntToStr(_maxreps));
  { every block would write the same trace file }
  if (_argjobs > 1) and (_argtrace <> '') then
    _argfail('--trace and --jobs: trace a run of one process');
  if _argquiet then
    _argprogress := false;
end;

initialization
  _argparse;
end.
