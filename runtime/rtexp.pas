{ rtexp: experiment data files.

  A data file holds a title line, then entries up to the word END (or the
  end of the file): a name, in any case, an optional "=", and the
  entry's values, numbers separated by blanks, ",", "/", ";" or line ends.
  Lines may end in CR LF, LF or CR.

  _exload reads a file whole and keeps its entries; the model's _pexpset
  takes them one by one (_exnext) and converts each value into its
  variable with Val (_exs, _exok), at once to check them (_extrial) and
  again in _init after INIT's own values, at the start of every run, so
  the experiment's values are the ones the runs use.  The first fault
  is kept with its place (file, line, name) and reported by _exreport;
  a faulty experiment is dropped whole. }
unit rtexp;

{$MODE DELPHI}

interface

var
  _exon: boolean;      { an experiment is loaded: _init applies it }
  _extrial: boolean;   { its values are being checked, not set for a run }
  _exfault: boolean;   { the last experiment tried was refused }
  _exwalked: boolean;  { a model's _pexpset has walked the entries }

{ Reads the data file; false (the fault kept) when it cannot be read or
  its form is wrong.  The title line becomes TITLE. }
function _exload(const fname: string): boolean;
{ Forgets the experiment: the next runs take INIT's values. }
procedure _exdrop;
{ Starts the walk over the entries. }
procedure _exrewind;
{ The next entry's name, upper case; false after the last (or a fault). }
function _exnext(var nom: string): boolean;
{ Number of values of the current entry. }
function _excount: integer;
{ Value i of the current entry, as written. }
function _exs(i: integer): string;
{ True when the entry has n values; otherwise the fault is kept. }
function _exn(n: integer): boolean;
{ True when the entry has pairs of values, at most max of them. }
function _expairs(max: integer): boolean;
{ True when Val took value i (code 0); otherwise the fault is kept. }
function _exok(code, i: integer): boolean;
{ Keeps a fault at the current entry. }
procedure _exbad(const what: string);
function _exfailed: boolean;
{ The fault, as "file:line: NAME: what". }
function _exmessage: string;
{ Writes the fault on the error output, drops the experiment and marks it
  refused. }
procedure _exreport;

implementation

uses rtdefs;

type
  _exentry = record
    nom: string;        { as written }
    line: integer;
    first, count: integer;  { its values in _exvals }
  end;

var
  _exfile: string;
  _exents: array of _exentry;
  _exvals: array of string;
  _exnent, _exnval: integer;
  _excur: integer;      { entry of the walk, -1 before the first }
  _exerr: string;       { the first fault, '' when none }

function IntToStr(n: integer): string;
begin
  Str(n, Result);
end;

procedure _exfail(const where: string; line: integer; const nom, what: string);
var place: string;
begin
  if _exerr <> '' then
    Exit;
  place := where + ':';
  if line > 0 then
    place := place + IntToStr(line) + ':';
  if nom = '' then
    _exerr := place + ' ' + what
  else
    _exerr := place + ' ' + nom + ': ' + what;
end;

function _upper(const s: string): string;
var i: integer;
begin
  Result := s;
  for i := 1 to Length(Result) do
    Result[i] := UpCase(Result[i]);
end;

function _isblank(ch: char): boolean;
begin
  Result := (ch = ' ') or (ch = #9) or (ch = #10) or (ch = #13) or (ch = #26);
end;

function _isvalsep(ch: char): boolean;
begin
  Result := _isblank(ch) or (ch = ',') or (ch = '/') or (ch = ';');
end;

function _startsvalue(ch: char): boolean;
begin
  Result := (ch in ['0'..'9']) or (ch = '+') or (ch = '-') or (ch = '.');
end;

procedure _addentry(const nom: string; line: integer);
begin
  if _exnent >= Length(_exents) then
    SetLength(_exents, 2 * _exnent + 8);
  _exents[_exnent].nom := nom;
  _exents[_exnent].line := line;
  _exents[_exnent].first := _exnval;
  _exents[_exnent].count := 0;
  Inc(_exnent);
end;

procedure _addvalue(const v: string);
begin
  if _exnval >= Length(_exvals) then
    SetLength(_exvals, 2 * _exnval + 16);
  _exvals[_exnval] := v;
  Inc(_exnval);
  Inc(_exents[_exnent - 1].count);
end;

{ The whole buf: every line end (CR LF, LF, CR) counts one line. }
function _exparse(const buf: string): boolean;
var k, n, line: integer;
    tok: string;

  { past buf[k], counting the line it may end }
  procedure step;
  begin
    if (buf[k] = #10) or ((buf[k] = #13) and ((k = n) or (buf[k + 1] <> #10))) then
      Inc(line);
    Inc(k);
  end;

  procedure skipblanks;
  begin
    while (k <= n) and _isblank(buf[k]) do
      step;
  end;

  procedure skipseps;
  begin
    while (k <= n) and _isvalsep(buf[k]) do
      step;
  end;

var namline, j: integer;
begin
  Result := false;
  n := Length(buf);
  k := 1;
  line := 1;
  { the title line }
  while (k <= n) and (buf[k] <> #10) and (buf[k] <> #13) do
    Inc(k);
  TITLE := Copy(buf, 1, k - 1);
  skipblanks;
  while k <= n do
  begin
    { a name, with its subscript when "[" follows }
    namline := line;
    tok := '';
    while (k <= n) and not _isvalsep(buf[k]) and (buf[k] <> '=') and (buf[k] <> '[') do
    begin
      tok := tok + buf[k];
      Inc(k);
    end;
    j := k;
    while (j <= n) and ((buf[j] = ' ') or (buf[j] = #9)) do
      Inc(j);
    if (tok <> '') and (j <= n) and (buf[j] = '[') then
    begin
      k := j;
      while (k <= n) and (buf[k] <> ']') and (buf[k] <> #10) and (buf[k] <> #13) do
      begin
        if not _isblank(buf[k]) then
          tok := tok + buf[k];
        Inc(k);
      end;
      if (k > n) or (buf[k] <> ']') then
      begin
        _exfail(_exfile, namline, tok, '] expected');
        Exit;
      end;
      tok := tok + ']';
      Inc(k);
    end;
    if tok = '' then
    begin
      _exfail(_exfile, line, '', 'name expected, "' + buf[k] + '" found');
      Exit;
    end;
    if _upper(tok) = 'END' then
      Break;
    if not (tok[1] in ['A'..'Z', 'a'..'z', '_']) then
    begin
      _exfail(_exfile, namline, '', 'name expected, "' + tok + '" found');
      Exit;
    end;
    _addentry(tok, namline);
    skipblanks;
    if (k <= n) and (buf[k] = '=') then
    begin
      { after "=" the first word of the line is a value, whatever it
        looks like: Val then says what is wrong with it }
      Inc(k);
      while (k <= n) and ((buf[k] = ' ') or (buf[k] = #9)) do
        Inc(k);
      if (k <= n) and not _isvalsep(buf[k]) then
      begin
        tok := '';
        while (k <= n) and not _isvalsep(buf[k]) do
        begin
          tok := tok + buf[k];
          Inc(k);
        end;
        _addvalue(tok);
      end;
    end;
    skipseps;
    { the values: up to the next name }
    while (k <= n) and _startsvalue(buf[k]) do
    begin
      tok := '';
      while (k <= n) and not _isvalsep(buf[k]) do
      begin
        tok := tok + buf[k];
        Inc(k);
      end;
      _addvalue(tok);
      skipseps;
    end;
    if (k <= n) and (buf[k] = '=') then
    begin
      _exfail(_exfile, line, _exents[_exnent - 1].nom, 'value expected, "=" found');
      Exit;
    end;
  end;
  Result := true;
end;

function _exload(const fname: string): boolean;
var f: file;
    buf: string;
    size, got, io, mode: integer;
begin
  _exdrop;
  _exerr := '';
  _exfault := false;
  _exfile := fname;
  _exnent := 0;
  _exnval := 0;
  Result := false;
  Assign(f, fname);
  mode := FileMode;
  FileMode := 0;  { reading only: a file without write permission is fine }
  {$I-}
  Reset(f, 1);
  io := IOResult;
  {$I+}
  FileMode := mode;
  if io <> 0 then
  begin
    _exfail(fname, 0, '', 'the data file cannot be read');
    Exit;
  end;
  size := FileSize(f);
  SetLength(buf, size);
  got := 0;
  if size > 0 then
    BlockRead(f, buf[1], size, got);
  Close(f);
  if got <> size then
  begin
    _exfail(fname, 0, '', 'the data file cannot be read');
    Exit;
  end;
  Result := _exparse(buf);
end;

procedure _exdrop;
begin
  _exon := false;
  _exnent := 0;
  _exnval := 0;
  _excur := -1;
end;

procedure _exrewind;
begin
  _excur := -1;
  _exwalked := true;
end;

function _exnext(var nom: string): boolean;
begin
  Result := (_exerr = '') and (_excur + 1 < _exnent);
  if not Result then
    Exit;
  Inc(_excur);
  nom := _upper(_exents[_excur].nom);
end;

function _excount: integer;
begin
  if (_excur < 0) or (_excur >= _exnent) then
    Result := 0
  else
    Result := _exents[_excur].count;
end;

function _exs(i: integer): string;
begin
  if (i < 1) or (i > _excount) then
    Result := ''
  else
    Result := _exvals[_exents[_excur].first + i - 1];
end;

procedure _exbad(const what: string);
begin
  if (_excur >= 0) and (_excur < _exnent) then
    _exfail(_exfile, _exents[_excur].line, _exents[_excur].nom, what)
  else
    _exfail(_exfile, 0, '', what);
end;

function _exn(n: integer): boolean;
begin
  Result := _excount = n;
  if Result then
    Exit;
  if _excount = 0 then
    _exbad('value missing')
  else if n = 1 then
    _exbad('one value expected, ' + IntToStr(_excount) + ' given')
  else
    _exbad(IntToStr(n) + ' values expected, ' + IntToStr(_excount) + ' given');
end;

function _expairs(max: integer): boolean;
begin
  Result := (_excount > 0) and not Odd(_excount) and (_excount div 2 <= max);
  if Result then
    Exit;
  if _excount = 0 then
    _exbad('value missing')
  else if Odd(_excount) then
    _exbad('pairs of values expected, ' + IntToStr(_excount) + ' values given')
  else
    _exbad('at most ' + IntToStr(max) + ' points, ' + IntToStr(_excount div 2) + ' given');
end;

function _exok(code, i: integer): boolean;
begin
  Result := code = 0;
  if not Result then
    _exbad('bad value "' + _exs(i) + '"');
end;

function _exfailed: boolean;
begin
  Result := _exerr <> '';
end;

function _exmessage: string;
begin
  Result := _exerr;
end;

procedure _exreport;
begin
  writeln(ErrOutput, _exerr);
  writeln(ErrOutput, 'experiment not loaded: the next run takes the values of INIT');
  _exdrop;
  _exfault := true;
end;

initialization
  _exon := false;
  _extrial := false;
  _exfault := false;
  _exwalked := false;
  _exerr := '';
  _exdrop;
end.
