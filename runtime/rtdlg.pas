{ rtdlg: dialog input and output of a run, on the console.

  Messages and warnings are printed; the report file is shown by
  copying it to the console.  The I/O list routines (_insr ... _reai)
  read a value with its label as prompt, or write the label and value;
  f is INPUT, the report file _ars, OUTF or a text file of the model,
  and isfile says that f was given explicitly (no prompt then).  A
  width or decimal count of -1 means "not given".

  The dBase helpers serve LOAD and DBUPDATE: they step over a table
  file's header so that block reads start at the first record. }
unit rtdlg;

{$MODE DELPHI}

interface

uses rtdefs;

type
  _tivx = array[1.._maxpt] of integer;
  _tpar = ^_tvx;
  _tpai = ^_tivx;

var
  _par: _tpar;           { real array of an I/O list item }
  _pai: _tpai;           { integer array of an I/O list item }
  _interrupt: boolean;   { set by _ModoInterrupcion }

  { dBase tables }
  _ardbase, _ardbaseu: file;
  _lonreg: integer;
  _resu: integer;
  _stau: shortstring;

procedure _InitMemos;
procedure _Presenta;
procedure _WinPause;
procedure _WarningDlg(const s: string);
procedure _WinMensaje(const s: string);
procedure _ModoInterrupcion(b: boolean);
procedure VerArchivoReporte(const fname: string);

procedure _insr(var x: real; var f: text; isfile: boolean; w, d: integer;
  const s: string);
procedure _insd(var x: double; var f: text; isfile: boolean; w, d: integer;
  const s: string);
procedure _insi(var x: integer; var f: text; isfile: boolean; w: integer;
  const s: string);
procedure _insl(var x: longint; var f: text; isfile: boolean; w: integer;
  const s: string);
procedure _inss(var x: STR80; var f: text; isfile: boolean; w: integer;
  const s: string);
procedure _resr(x: real; var f: text; isfile: boolean; w, d: integer;
  const s: string);
procedure _resi(x: longint; var f: text; isfile: boolean; w: integer;
  const s: string);
procedure _ress(const x: string; w: integer; const s: string);
procedure _inar(p: _tpar; var f: text; isfile: boolean; w, d, lo, hi: integer;
  const s: string);
procedure _inai(p: _tpai; var f: text; isfile: boolean; w, lo, hi: integer;
  const s: string);
procedure _rear(p: _tpar; var f: text; isfile: boolean; w, d, lo, hi: integer;
  const s: string);
procedure _reai(p: _tpai; var f: text; isfile: boolean; w, lo, hi: integer;
  const s: string);

procedure _leerenc(var f: file);
procedure _copystdb;

implementation

uses SysUtils, rtnote, rtargs;

procedure _InitMemos;
begin
  _NoteClear;
  _interrupt := false;
end;

{ Only the menu greets: with arguments standard output holds the
  report alone. }
procedure _Presenta;
begin
  if not _argsgiven then
    writeln('TALVEN simulation');
end;

procedure _WinPause;
var line: string;
begin
  writeln('Pause: press Enter to go on');
  if not Eof(Input) then
    readln(line);
end;

procedure _WarningDlg(const s: string);
begin
  writeln('Warning: ', s);
  _NoteAdd(s);
end;

procedure _WinMensaje(const s: string);
begin
  writeln(s);
  _NoteAdd(s);
end;

procedure _ModoInterrupcion(b: boolean);
begin
  _interrupt := b;
end;

procedure VerArchivoReporte(const fname: string);
var f: text;
    line: string;
begin
  AssignFile(f, fname);
  {$I-} Reset(f); {$I+}
  if IOResult <> 0 then
  begin
    writeln('Report file ', fname, ' not found');
    Exit;
  end;
  while not Eof(f) do
  begin
    readln(f, line);
    writeln(line);
  end;
  CloseFile(f);
end;

{ Values of @ items.  Typed at the console, a line per value: a bad
  number is asked for again and the end of the input leaves the value
  as it was.  Read from a file, a bad number ends the run. }
function _console(var f: text; isfile: boolean): boolean;
begin
  Result := not isfile and (@f = @Input);
end;

function _askline(const s: string; var line: string): boolean;
begin
  write(s, ' ');
  Result := not Eof(Input);
  if Result then
  begin
    readln(line);
    line := Trim(line);
  end
  else
    writeln;
end;

procedure _badfile(const s: string);
begin
  raise _ERunError.Create('bad number for ' + s + ' in its input file');
end;

function _readreal(var f: text; isfile: boolean; const s: string;
  var x: real): boolean;
var line: string;
    v: real;
    code: integer;
begin
  Result := false;
  if not _console(f, isfile) then
  begin
    if Eof(f) then
      Exit;
    {$I-} read(f, v); {$I+}
    if IOResult <> 0 then
      _badfile(s);
    x := v;
    Exit(true);
  end;
  while _askline(s, line) do
  begin
    Val(line, v, code);
    if (code = 0) and (line <> '') then
    begin
      x := v;
      Exit(true);
    end;
    writeln('''', line, ''' is not a number; once more');
  end;
end;

function _readint(var f: text; isfile: boolean; const s: string;
  lo, hi: int64; var x: int64): boolean;
var line: string;
    v: int64;
    code: integer;
begin
  Result := false;
  if not _console(f, isfile) then
  begin
    if Eof(f) then
      Exit;
    {$I-} read(f, v); {$I+}
    if (IOResult <> 0) or (v < lo) or (v > hi) then
      _badfile(s);
    x := v;
    Exit(true);
  end;
  while _askline(s, line) do
  begin
    Val(line, v, code);
    if (code = 0) and (line <> '') and (v >= lo) and (v <= hi) then
    begin
      x := v;
      Exit(true);
    end;
    writeln('''', line, ''' is not a whole number from ', lo, ' to ', hi,
      '; once more');
  end;
end;

procedure _insr(var x: real; var f: text; isfile: boolean; w, d: integer;
  const s: string);
var v: real;
begin
  if _readreal(f, isfile, s, v) then
    x := v;
end;

procedure _insd(var x: double; var f: text; isfile: boolean; w, d: integer;
  const s: string);
var v: real;
begin
  if _readreal(f, isfile, s, v) then
    x := v;
end;

procedure _insi(var x: integer; var f: text; isfile: boolean; w: integer;
  const s: string);
var v: int64;
begin
  if _readint(f, isfile, s, Low(integer), High(integer), v) then
    x := v;
end;

procedure _insl(var x: longint; var f: text; isfile: boolean; w: integer;
  const s: string);
var v: int64;
begin
  if _readint(f, isfile, s, Low(longint), High(longint), v) then
    x := v;
end;

procedure _inss(var x: STR80; var f: text; isfile: boolean; w: integer;
  const s: string);
begin
  if _console(f, isfile) then
    write(s, ' ');
  if not Eof(f) then
    readln(f, x);
end;

function _fmt(x: real; w, d: integer): string;
begin
  if w < 0 then
    w := 12;
  if d < 0 then
    Str(x: w, Result)
  else
    Str(x: w: d, Result);
end;

procedure _resr(x: real; var f: text; isfile: boolean; w, d: integer;
  const s: string);
begin
  writeln(f, s, ' ', _fmt(x, w, d));
end;

procedure _resi(x: longint; var f: text; isfile: boolean; w: integer;
  const s: string);
begin
  if w < 0 then
    w := 0;
  writeln(f, s, ' ', x: w);
end;

procedure _ress(const x: string; w: integer; const s: string);
begin
  if w < 0 then
    w := 0;
  if TextRec(_ars).Mode = fmOutput then
    writeln(_ars, s, ' ', x: w)
  else
    writeln(s, ' ', x: w);
end;

procedure _inar(p: _tpar; var f: text; isfile: boolean; w, d, lo, hi: integer;
  const s: string);
var i: integer;
    v: real;
begin
  if p = nil then
    Exit;
  for i := lo to hi do
    if _readreal(f, isfile, s + '[' + IntToStr(i) + ']', v) then
      p^[i - lo + 1] := v;
end;

procedure _inai(p: _tpai; var f: text; isfile: boolean; w, lo, hi: integer;
  const s: string);
var i: integer;
    v: int64;
begin
  if p = nil then
    Exit;
  for i := lo to hi do
    if _readint(f, isfile, s + '[' + IntToStr(i) + ']', Low(integer),
      High(integer), v) then
      p^[i - lo + 1] := v;
end;

procedure _rear(p: _tpar; var f: text; isfile: boolean; w, d, lo, hi: integer;
  const s: string);
var i: integer;
begin
  if p = nil then
    Exit;
  for i := lo to hi do
    writeln(f, s, '[', i, '] ', _fmt(p^[i - lo + 1], w, d));
end;

procedure _reai(p: _tpai; var f: text; isfile: boolean; w, lo, hi: integer;
  const s: string);
var i: integer;
begin
  if p = nil then
    Exit;
  if w < 0 then
    w := 0;
  for i := lo to hi do
    writeln(f, s, '[', i, '] ', p^[i - lo + 1]: w);
end;

{ dBase III: bytes 8..9 of the header hold the header length. }
procedure _skiphead(var f: file);
var head: array[0..31] of byte;
    got: integer;
    hlen: integer;
begin
  BlockRead(f, head, 32, got);
  if got < 32 then
    Exit;
  hlen := head[8] + 256 * head[9];
  _lonreg := head[10] + 256 * head[11];
  if hlen > 32 then
    Seek(f, hlen);
end;

procedure _leerenc(var f: file);
begin
  Reset(f, 1);
  _skiphead(f);
end;

procedure _copystdb;
begin
  Seek(_ardbase, 0);
  _skiphead(_ardbase);
  Seek(_ardbaseu, 0);
  _skiphead(_ardbaseu);
end;

end.
