{ rtresult: the results of a run, for people and for programs.

  Every figure of the report has a fixed name built from the model
  alone (so files of separate runs line up): for each list its mean
  length, mean and longest stay and entries; for each measured element
  its mean, minimum and maximum; for each resource its utilisation
  (mean use over capacity); for each frequency table its counts.

  Files, all in the output directory (--out):
    MODEL.report.txt  the text report of every run, then the summary;
                      written through and closed on every way out;
    replications.csv  one row per replication, one column per figure,
                      numbers in the shortest form that reads back to
                      the same double;
    summary.csv       per figure: n, mean, sd, 95 % half-width, bounds;
    summary.json      the same with the model, seed and replications.
  The summary is computed from the values as replications.csv holds
  them, in replication order (Welford's running mean and sum of
  squares), so rows of separate runs merged in order give the same
  summary.  The half-width is t(0.975, n-1) * sd / sqrt(n) with the
  exact quantile of Student's t.

  Public: _resopen _resclose _resoutpath _ressay _resreport _resbatch
  _resrep _resbatchend _resmerge _restq _resnum _rescount _resmodel. }
unit rtresult;

{$MODE DELPHI}

interface

var
  _resmodel: string;     { name of the model, for files and messages }

{ Creates the output directory and opens the report file; false when
  either cannot be written (the message is printed). }
function _resopen(const model: string): boolean;
procedure _resclose;
{ A file name inside the output directory. }
function _resoutpath(const name: string): string;
{ Opens f as the new file name; says it cannot and returns false if not. }
function _rescreate(var f: text; const name: string): boolean;
{ A line of the report: into the report file and, for the text format,
  onto standard output. }
procedure _ressay(const s: string);
{ The report of the run up to now (the STAT instruction too). }
procedure _resreport(rep: longint);
{ A batch of count replications from first on starts: replications.csv
  gets its header. }
procedure _resbatch(first, count: longint);
{ Replication k has ended: its figures become a row. }
procedure _resrep(k: longint);
{ The batch has ended: the summary, in the report and its files. }
procedure _resbatchend;
{ Merges the replications.csv files of separate runs (blocks of the same
  replications, or any files of that shape with one header): their rows,
  in the order of their replication numbers, become replications.csv of
  the output directory, and the summary is that of one batch of all of
  them, byte for byte.  False, with a message, when a file cannot be
  read, the headers differ, a row is not of the header's shape or a
  replication appears twice. }
function _resmerge(const files: array of string): boolean;
{ Quantile 0.975 of Student's t with df degrees of freedom. }
function _restq(df: longint): real;
{ x in the shortest text that reads back as x. }
function _resnum(x: real): string;
{ Replications recorded in the current batch. }
function _rescount: longint;

implementation

uses SysUtils, Math, rtdefs, rtargs, rtmodel;

type
  _tfig = record
    name: string;
    mean, m2: real;      { Welford's running mean and sum of squares }
  end;

var
  _fs: TFormatSettings;
  _outdir: string;
  _repopen: boolean;
  _figs: array of _tfig;
  _named: boolean;
  _tclasses: array of integer;  { classes of each table when named }
  _nrec: longint;        { replications recorded in the batch }
  _bfirst: longint;
  _csv: text;
  _csvopen: boolean;

{ ---- numbers ---- }

function _resnum(x: real): string;
var p: integer;
    back: real;
begin
  if IsNan(x) or IsInfinite(x) then
    Exit('');
  if x = Trunc(x) then
    if Abs(x) < 1e15 then
      Exit(IntToStr(Trunc(x)));
  for p := 15 to 17 do
  begin
    Result := FloatToStrF(x, ffGeneral, p, 0, _fs);
    if TryStrToFloat(Result, back, _fs) and (back = x) then
      Exit;
  end;
end;

function _jsonnum(x: real): string;
begin
  Result := _resnum(x);
  if Result = '' then
    Result := 'null';
end;

{ ln Gamma(x), x > 0 (Lanczos, g = 7, n = 9). }
function _lngamma(x: real): real;
const
  c: array[0..8] of real = (0.99999999999980993, 676.5203681218851,
    -1259.1392167224028, 771.32342877765313, -176.61502916214059,
    12.507343278686905, -0.13857109526572012, 9.9843695780195716e-6,
    1.5056327351493116e-7);
var a, t: real;
    i: integer;
begin
  if x < 0.5 then
    Exit(Ln(Pi / Abs(Sin(Pi * x))) - _lngamma(1 - x));
  x := x - 1;
  a := c[0];
  t := x + 7.5;
  for i := 1 to 8 do
    a := a + c[i] / (x + i);
  Result := 0.5 * Ln(2 * Pi) + (x + 0.5) * Ln(t) - t + Ln(a);
end;

{ Continued fraction of the incomplete beta function (modified Lentz). }
function _betacf(a, b, x: real): real;
const tiny = 1e-300;
var m, m2: integer;
    aa, c, d, del, qab, qap, qam: real;
begin
  qab := a + b;
  qap := a + 1;
  qam := a - 1;
  c := 1;
  d := 1 - qab * x / qap;
  if Abs(d) < tiny then d := tiny;
  d := 1 / d;
  Result := d;
  for m := 1 to 10000 do
  begin
    m2 := 2 * m;
    aa := m * (b - m) * x / ((qam + m2) * (a + m2));
    d := 1 + aa * d;
    if Abs(d) < tiny then d := tiny;
    c := 1 + aa / c;
    if Abs(c) < tiny then c := tiny;
    d := 1 / d;
    Result := Result * d * c;
    aa := -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d := 1 + aa * d;
    if Abs(d) < tiny then d := tiny;
    c := 1 + aa / c;
    if Abs(c) < tiny then c := tiny;
    d := 1 / d;
    del := d * c;
    Result := Result * del;
    if Abs(del - 1) < 1e-16 then
      Break;
  end;
end;

{ The regularized incomplete beta function I_x(a, b). }
function _betai(a, b, x: real): real;
var bt: real;
begin
  if x <= 0 then
    Exit(0);
  if x >= 1 then
    Exit(1);
  bt := Exp(_lngamma(a + b) - _lngamma(a) - _lngamma(b) + a * Ln(x)
    + b * Ln(1 - x));
  if x < (a + 1) / (a + b + 2) then
    Result := bt * _betacf(a, b, x) / a
  else
    Result := 1 - bt * _betacf(b, a, 1 - x) / b;
end;

{ P(T > t) for t >= 0. }
function _tupper(t: real; df: longint): real;
begin
  Result := 0.5 * _betai(df / 2, 0.5, df / (df + t * t));
end;

function _restq(df: longint): real;
var lo, hi, mid: real;
    i: integer;
begin
  if df < 1 then
    Exit(NaN);
  { the quantile lies below 13 for every df >= 1 (12.706 at df = 1) }
  lo := 0;
  hi := 13;
  for i := 1 to 200 do
  begin
    mid := (lo + hi) / 2;
    if (mid = lo) or (mid = hi) then
      Break;
    if _tupper(mid, df) > 0.025 then
      lo := mid
    else
      hi := mid;
  end;
  Result := (lo + hi) / 2;
end;

{ ---- files ---- }

function _resoutpath(const name: string): string;
begin
  if _outdir = '' then
    Result := name
  else
    Result := IncludeTrailingPathDelimiter(_outdir) + name;
end;

function _rescreate(var f: text; const name: string): boolean;
begin
  AssignFile(f, name);
  {$I-} Rewrite(f); {$I+}
  Result := IOResult = 0;
  if not Result then
    writeln(ErrOutput, _resmodel, ': cannot write ', name);
end;

function _resopen(const model: string): boolean;
var f: string;
begin
  _resmodel := model;
  _outdir := _argout;
  Result := false;
  if (_outdir <> '') and not ForceDirectories(_outdir) then
  begin
    writeln(ErrOutput, _resmodel, ': cannot create the directory ', _outdir);
    Exit;
  end;
  f := _resoutpath(model + '.report.txt');
  if not _rescreate(_ars, f) then
    Exit;
  _nomars := f;
  _repopen := true;
  _rundir := _outdir;
  { the REPORT instruction's file goes there too }
  _outf := _resoutpath('REPORT.TXT');
  Result := true;
end;

procedure _resclose;
begin
  if _csvopen then
  begin
    CloseFile(_csv);
    _csvopen := false;
  end;
  if _repopen then
  begin
    _repopen := false;
    {$I-} CloseFile(_ars); {$I+}
    if IOResult <> 0 then ;
  end;
end;

function _tostdout: boolean;
begin
  Result := (_argformat = _fmttext) and not _argquiet;
end;

procedure _ressay(const s: string);
begin
  if _repopen then
    writeln(_ars, s);
  if _tostdout then
    writeln(s);
end;

{ ---- figures ---- }

{ Letters, digits and '_' only: a name any spreadsheet or data frame
  takes as it is. }
function _plain(const s: string): string;
var i: integer;
begin
  Result := s;
  for i := 1 to Length(Result) do
    if not (Result[i] in ['A'..'Z', 'a'..'z', '0'..'9', '_']) then
      Result[i] := '_';
end;

{ A list name 'EL_TELLER 1' becomes EL_TELLER when its node has one
  copy, EL_WARDA_2 for a copy of a multiple node. }
function _listbase(l: integer): string;
var n, i, sp: integer;
    name, stem: string;
    several: boolean;
begin
  name := _mlistname(l);
  sp := LastDelimiter(' ', name);
  if (sp > 0) and (Copy(name, sp + 1, Length(name)) = '1') then
  begin
    stem := Copy(name, 1, sp - 1);
    several := false;
    n := _mnlists;
    for i := 1 to n do
      if _mlistname(i) = stem + ' 2' then
        several := true;
    if not several then
      name := stem;
  end;
  Result := _plain(name);
end;

function _varbase(p: integer): string;
var idx, count: integer;
begin
  _mvarplace(p, idx, count);
  Result := _plain(_mvarname(p));
  if count > 1 then
    Result := Result + '_' + IntToStr(idx);
end;

procedure _addname(const s: string);
var n: integer;
begin
  n := Length(_figs);
  SetLength(_figs, n + 1);
  _figs[n].name := s;
end;

procedure _names;
var l, p, t, c, classes: integer;
    lower, width: real;
    b, v: string;
begin
  if _named then
    Exit;
  _named := true;
  SetLength(_figs, 0);
  for l := 1 to _mnlists do
  begin
    b := _listbase(l);
    _addname(b + '_mean_length');
    _addname(b + '_mean_stay');
    _addname(b + '_max_stay');
    _addname(b + '_entries');
  end;
  for p := 1 to _mnvars do
  begin
    b := _varbase(p);
    _addname(b + '_mean');
    _addname(b + '_min');
    _addname(b + '_max');
    if _mvarcap(p) >= 0 then
    begin
      { U_TELLER measures the use of TELLER }
      v := b;
      if Copy(v, 1, 2) = 'U_' then
        Delete(v, 1, 2);
      _addname(v + '_utilisation');
    end;
  end;
  SetLength(_tclasses, _mntables + 1);
  for t := 1 to _mntables do
  begin
    _mtableshape(t, lower, width, classes);
    _tclasses[t] := classes;
    b := _plain(_mtablename(t));
    for c := 1 to classes do
      _addname(b + '_class_' + IntToStr(c));
  end;
end;

function _listmean(l: integer): real;
var span: real;
begin
  span := rtdefs.time - _tces;
  if span > 0 then
    Result := (_hkla^^[l] + _hkl^^[l] * (rtdefs.time - _hkhc^^[l])) / span
  else
    Result := _hkl^^[l];
end;

function _util(mean, cap: real): real;
begin
  if cap > 0 then
    Result := mean / cap
  else
    Result := 0;
end;

{ The figures of the run up to now, in the order of the names. }
procedure _values(var x: array of real);
var l, p, t, c, classes, k: integer;
    lower, width, mean, lo, hi, cap: real;
    changes: longint;
begin
  k := 0;
  for l := 1 to _mnlists do
  begin
    x[k] := _listmean(l);
    x[k + 1] := _hktpp^^[l];
    x[k + 2] := _hkmtp^^[l];
    x[k + 3] := _hken^^[l];
    k := k + 4;
  end;
  for p := 1 to _mnvars do
  begin
    _mvarstat(p, mean, lo, hi, changes);
    x[k] := mean;
    x[k + 1] := lo;
    x[k + 2] := hi;
    k := k + 3;
    cap := _mvarcap(p);
    if cap >= 0 then
    begin
      x[k] := _util(mean, cap);
      Inc(k);
    end;
  end;
  { the classes the names were given for: the row keeps its columns }
  for t := 1 to _mntables do
  begin
    _mtableshape(t, lower, width, classes);
    for c := 1 to _tclasses[t] do
    begin
      if c <= classes then
        x[k] := _mtablecount(t, c)
      else
        x[k] := 0;
      Inc(k);
    end;
  end;
end;

{ ---- the text report ---- }

function _r2s(x: real): string;
begin
  Result := Format('%12.4f', [x], _fs);
end;

procedure _listreport;
var l: integer;
begin
  _ressay('list               length     max   entries   mean length'
    + '    mean stay     max stay');
  for l := 1 to _mnlists do
  begin
    if (_hken^^[l] = 0) and (_hkl^^[l] = 0) then
      Continue;
    _ressay(Format('%-16s %8d %7d %9d', [_mlistname(l), _hkl^^[l],
      _hklm^^[l], _hken^^[l]]) + ' ' + _r2s(_listmean(l)) + ' '
      + _r2s(_hktpp^^[l]) + ' ' + _r2s(_hkmtp^^[l]));
  end;
end;

procedure _varreport;
var p, idx, count: integer;
    mean, lo, hi, cap: real;
    changes: longint;
    anyres: boolean;
    name: string;
begin
  if _mnvars = 0 then
    Exit;
  _ressay('variable                     mean          min          max'
    + '  changes');
  anyres := false;
  for p := 1 to _mnvars do
  begin
    _mvarstat(p, mean, lo, hi, changes);
    _mvarplace(p, idx, count);
    _ressay(Format('%-20s', [_mvarname(p) + '[' + IntToStr(idx) + ']'])
      + ' ' + _r2s(mean) + ' ' + _r2s(lo) + ' ' + _r2s(hi)
      + Format(' %8d', [changes]));
    anyres := anyres or (_mvarcap(p) >= 0);
  end;
  if not anyres then
    Exit;
  _ressay('resource                 capacity  utilisation');
  for p := 1 to _mnvars do
  begin
    cap := _mvarcap(p);
    if cap < 0 then
      Continue;
    _mvarstat(p, mean, lo, hi, changes);
    _mvarplace(p, idx, count);
    name := Copy(_mvarname(p), 3, 80);
    if count > 1 then
      name := name + '[' + IntToStr(idx) + ']';
    _ressay(Format('%-20s', [name]) + ' ' + _r2s(cap) + ' '
      + _r2s(_util(mean, cap)));
  end;
end;

{ Classes, counts, relative frequencies and a bar of at most 40 '#'. }
procedure _tablereport;
const bar = 40;
var t, c, classes, w: integer;
    total, most, n: longint;
    lo, wd: real;
    from, upto: string;
begin
  for t := 1 to _mntables do
  begin
    _mtableshape(t, lo, wd, classes);
    total := 0;
    most := 0;
    for c := 1 to classes do
    begin
      n := _mtablecount(t, c);
      total := total + n;
      if n > most then
        most := n;
    end;
    _ressay('table ' + _mtablename(t) + '   ' + IntToStr(total) + ' values');
    _ressay('class         from           to    count   relative');
    for c := 1 to classes do
    begin
      n := _mtablecount(t, c);
      if c = 1 then
        from := '        -inf'
      else
        from := _r2s(lo + (c - 2) * wd);
      if c = classes then
        upto := '        +inf'
      else
        upto := _r2s(lo + (c - 1) * wd);
      if most > 0 then
        w := Round(bar * n / most)
      else
        w := 0;
      _ressay(Format('%5d', [c]) + ' ' + from + ' ' + upto
        + Format(' %8d', [n]) + ' ' + Format('%10.4f', [_util(n, total)], _fs)
        + '  ' + StringOfChar('#', w));
    end;
  end;
end;

procedure _resreport(rep: longint);
begin
  _ressay('');
  _ressay('TALVEN report  ' + TITLE);
  _ressay('time ' + _r2s(rtdefs.time) + '   replication ' + IntToStr(rep));
  _listreport;
  _varreport;
  _tablereport;
  if _repopen then
    Flush(_ars);
end;

{ ---- replications and the summary ---- }

function _csvheader: string;
var i: integer;
begin
  Result := 'replication';
  for i := 0 to High(_figs) do
    Result := Result + ',' + _figs[i].name;
end;

procedure _resbatch(first, count: longint);
var f: string;
    i: integer;
begin
  _names;
  _nrec := 0;
  _bfirst := first;
  for i := 0 to High(_figs) do
  begin
    _figs[i].mean := 0;
    _figs[i].m2 := 0;
  end;
  if _csvopen then
    CloseFile(_csv);
  _csvopen := false;
  f := _resoutpath('replications.csv');
  if not _rescreate(_csv, f) then
    Exit;
  _csvopen := true;
  writeln(_csv, _csvheader);
  Flush(_csv);
  if (_argformat = _fmtcsv) and not _argquiet then
    writeln(_csvheader);
  if count < 1 then ;
end;

function _rescount: longint;
begin
  Result := _nrec;
end;

{ The value of figure i in the current row, as the file holds it. }
procedure _account(i: integer; const s: string);
var v, d: real;
begin
  if not TryStrToFloat(s, v, _fs) then
    v := NaN;
  d := v - _figs[i].mean;
  _figs[i].mean := _figs[i].mean + d / _nrec;
  _figs[i].m2 := _figs[i].m2 + d * (v - _figs[i].mean);
end;

procedure _resrep(k: longint);
var x: array of real;
    row, s: string;
    i: integer;
begin
  _names;
  SetLength(x, Length(_figs));
  _values(x);
  Inc(_nrec);
  row := IntToStr(k);
  for i := 0 to High(_figs) do
  begin
    s := _resnum(x[i]);
    row := row + ',' + s;
    { the summary takes the value as the file holds it }
    _account(i, s);
  end;
  if _csvopen then
  begin
    writeln(_csv, row);
    Flush(_csv);
  end;
  if (_argformat = _fmtcsv) and not _argquiet then
    writeln(row);
end;

function _quote(const s: string): string;
var i: integer;
begin
  Result := '"';
  for i := 1 to Length(s) do
    case s[i] of
      '"', '\': Result := Result + '\' + s[i];
      #0..#31: Result := Result + '\u' + IntToHex(Ord(s[i]), 4);
    else
      Result := Result + s[i];
    end;
  Result := Result + '"';
end;

procedure _stats(i: integer; var mean, sd, half: real);
begin
  mean := _figs[i].mean;
  if _nrec >= 2 then
  begin
    sd := Sqrt(_figs[i].m2 / (_nrec - 1));
    half := _restq(_nrec - 1) * sd / Sqrt(_nrec);
  end
  else
  begin
    sd := NaN;
    half := NaN;
  end;
end;

procedure _writesummarycsv;
var f: text;
    i: integer;
    mean, sd, half: real;
    name: string;
begin
  name := _resoutpath('summary.csv');
  if not _rescreate(f, name) then
    Exit;
  writeln(f, 'figure,n,mean,sd,half_width,low,high');
  for i := 0 to High(_figs) do
  begin
    _stats(i, mean, sd, half);
    writeln(f, _figs[i].name, ',', _nrec, ',', _resnum(mean), ',',
      _resnum(sd), ',', _resnum(half), ',', _resnum(mean - half), ',',
      _resnum(mean + half));
  end;
  CloseFile(f);
end;

procedure _jsonsummary(var f: text);
var i: integer;
    mean, sd, half: real;
begin
  writeln(f, '{');
  writeln(f, '  "model": ', _quote(_resmodel), ',');
  writeln(f, '  "title": ', _quote(TITLE), ',');
  writeln(f, '  "seed": ', _argseed, ',');
  writeln(f, '  "first_replication": ', _bfirst, ',');
  writeln(f, '  "replications": ', _nrec, ',');
  writeln(f, '  "confidence": 0.95,');
  if _nrec >= 2 then
    writeln(f, '  "t_quantile": ', _jsonnum(_restq(_nrec - 1)), ',')
  else
    writeln(f, '  "t_quantile": null,');
  writeln(f, '  "figures": [');
  for i := 0 to High(_figs) do
  begin
    _stats(i, mean, sd, half);
    write(f, '    {"name": ', _quote(_figs[i].name), ', "mean": ',
      _jsonnum(mean), ', "sd": ', _jsonnum(sd), ', "half_width": ',
      _jsonnum(half), ', "low": ', _jsonnum(mean - half), ', "high": ',
      _jsonnum(mean + half), '}');
    if i < High(_figs) then
      writeln(f, ',')
    else
      writeln(f);
  end;
  writeln(f, '  ]');
  writeln(f, '}');
end;

procedure _writesummaryjson;
var f: text;
    name: string;
begin
  name := _resoutpath('summary.json');
  if not _rescreate(f, name) then
    Exit;
  _jsonsummary(f);
  CloseFile(f);
end;

procedure _summarytext;
var i: integer;
    mean, sd, half: real;
begin
  _ressay('');
  _ressay('TALVEN summary  ' + TITLE);
  _ressay('replications ' + IntToStr(_bfirst) + ' to '
    + IntToStr(_bfirst + _nrec - 1) + '   seed ' + IntToStr(_argseed)
    + '   95 % confidence, Student t with ' + IntToStr(_nrec - 1)
    + ' degrees of freedom');
  _ressay(Format('%-32s %14s %14s %14s', ['figure', 'mean', 'sd',
    'half-width']));
  for i := 0 to High(_figs) do
  begin
    _stats(i, mean, sd, half);
    _ressay(Format('%-32s %14.6f %14.6f %14.6f', [_figs[i].name, mean, sd,
      half], _fs));
  end;
  if _repopen then
    Flush(_ars);
end;

procedure _resbatchend;
begin
  if _csvopen then
  begin
    CloseFile(_csv);
    _csvopen := false;
  end;
  if _nrec = 0 then
    Exit;
  _writesummarycsv;
  _writesummaryjson;
  if _nrec >= 2 then
    _summarytext;
  if (_argformat = _fmtjson) and not _argquiet then
    _jsonsummary(Output);
end;

{ ---- merging the rows of separate runs ---- }

type
  _trow = record
    k: longint;
    text: string;
  end;
  _trows = array of _trow;

{ Stable merge sort by replication number. }
procedure _sortrows(var a: _trows);
var tmp: _trows;
    width, lo, mid, hi, i, j, o: longint;
begin
  SetLength(tmp, Length(a));
  width := 1;
  while width < Length(a) do
  begin
    lo := 0;
    while lo < Length(a) do
    begin
      mid := lo + width;
      if mid > Length(a) then mid := Length(a);
      hi := lo + 2 * width;
      if hi > Length(a) then hi := Length(a);
      i := lo;
      j := mid;
      o := lo;
      while (i < mid) or (j < hi) do
      begin
        if (j >= hi) or ((i < mid) and (a[i].k <= a[j].k)) then
        begin
          tmp[o] := a[i];
          Inc(i);
        end
        else
        begin
          tmp[o] := a[j];
          Inc(j);
        end;
        Inc(o);
      end;
      lo := hi;
    end;
    for i := 0 to High(a) do
      a[i] := tmp[i];
    width := 2 * width;
  end;
end;

function _fields(const s: string): integer;
var i: integer;
begin
  Result := 1;
  for i := 1 to Length(s) do
    if s[i] = ',' then
      Inc(Result);
end;

function _resmerge(const files: array of string): boolean;
var rows: _trows;
    nrows, line, code, i, c, p, q, nf: longint;
    f: text;
    header, head, s: string;
    k: int64;

  function fail(const where, what: string): boolean;
  begin
    writeln(ErrOutput, _resmodel, ': ', where, ': ', what);
    Result := false;
  end;

begin
  header := '';
  nrows := 0;
  SetLength(rows, 0);
  for i := 0 to High(files) do
  begin
    AssignFile(f, files[i]);
    {$I-} Reset(f); {$I+}
    if IOResult <> 0 then
      Exit(fail(files[i], 'cannot be read'));
    line := 0;
    head := '';
    while not Eof(f) do
    begin
      readln(f, s);
      Inc(line);
      if (s <> '') and (s[Length(s)] = #13) then
        SetLength(s, Length(s) - 1);
      if line = 1 then
      begin
        head := s;
        if header = '' then
          header := s
        else if s <> header then
        begin
          CloseFile(f);
          Exit(fail(files[i], 'its columns differ from those of ' + files[0]));
        end;
        Continue;
      end;
      if s = '' then
        Continue;
      p := Pos(',', s + ',');
      Val(Copy(s, 1, p - 1), k, code);
      if (code <> 0) or (k < 1) or (k > _maxreps) or (_fields(s) <> _fields(header)) then
      begin
        CloseFile(f);
        Exit(fail(files[i] + ':' + IntToStr(line), 'not a row of replications.csv'));
      end;
      if nrows >= Length(rows) then
        SetLength(rows, 2 * nrows + 64);
      rows[nrows].k := k;
      rows[nrows].text := s;
      Inc(nrows);
    end;
    CloseFile(f);
    if (head = '') or (Copy(head, 1, 11) <> 'replication') then
      Exit(fail(files[i], 'not a replications.csv file'));
  end;
  SetLength(rows, nrows);
  _sortrows(rows);
  for i := 1 to nrows - 1 do
    if rows[i].k = rows[i - 1].k then
      Exit(fail('replication ' + IntToStr(rows[i].k), 'appears twice'));
  { the figures are the header's columns }
  nf := _fields(header) - 1;
  SetLength(_figs, nf);
  p := Length('replication') + 2;
  for c := 0 to nf - 1 do
  begin
    q := p;
    while (q <= Length(header)) and (header[q] <> ',') do
      Inc(q);
    _figs[c].name := Copy(header, p, q - p);
    p := q + 1;
  end;
  _named := true;
  _nrec := 0;
  if nrows > 0 then
    _bfirst := rows[0].k
  else
    _bfirst := _argfirst;
  for c := 0 to nf - 1 do
  begin
    _figs[c].mean := 0;
    _figs[c].m2 := 0;
  end;
  s := _resoutpath('replications.csv');
  AssignFile(_csv, s);
  {$I-} Rewrite(_csv); {$I+}
  if IOResult <> 0 then
    Exit(fail(s, 'cannot be written'));
  _csvopen := true;
  writeln(_csv, header);
  if (_argformat = _fmtcsv) and not _argquiet then
    writeln(header);
  for i := 0 to nrows - 1 do
  begin
    Inc(_nrec);
    s := rows[i].text;
    p := Pos(',', s) + 1;
    for c := 0 to nf - 1 do
    begin
      q := p;
      while (q <= Length(s)) and (s[q] <> ',') do
        Inc(q);
      _account(c, Copy(s, p, q - p));
      p := q + 1;
    end;
    writeln(_csv, s);
    if (_argformat = _fmtcsv) and not _argquiet then
      writeln(s);
  end;
  _resbatchend;
  Result := true;
end;

initialization
  _fs := DefaultFormatSettings;
  _fs.DecimalSeparator := '.';
  _fs.ThousandSeparator := #0;
finalization
  _resclose;
end.
