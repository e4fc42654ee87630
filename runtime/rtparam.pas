{ rtparam: the parameter file of a model with FACTORS and RESPONSES.

  The file is untyped, in records of 128 bytes: 0 the caller's factor
  names, 1 its response names, 2 the factor values, 3 the responses the
  run wrote, 5 and 6 the program's own factor and response names, 12 the
  seeds of the ten streams.  Names are texts of 8 characters, at most ten
  of each kind.  Run with I the program writes records 5, 6 and 12 and
  ends; run with D it reads records 0 to 2, 5, 6 and 12, simulates once
  and writes records 3 and 12.

  What the generated text cannot check itself is here: the file is
  created for I when it does not exist yet, a file that cannot be opened
  or holds counts or names the program does not know ends the program
  with a message and exit code 2 (never a read past the name tables).

  Public: _pfopen _pfcounts _pffound. }
unit rtparam;

{$MODE DELPHI}

interface

{ Opens f (assigned) for reading and writing; for I (create) a missing
  file is made. }
procedure _pfopen(var f: file; create: boolean);
{ The counts of records 0, 1, 5 and 6 must lie in 0..10. }
procedure _pfcounts(nf, nr, nft, nrt: integer);
{ The search for name among the program's n names ended at i: past the
  last one means the program has no such factor or response. }
procedure _pffound(i, n: integer; const name, kind: string);

implementation

uses SysUtils, rtargs;

var
  _pfpath: string;

procedure _pffail(const what: string);
begin
  writeln(ErrOutput, _progname, ': parameter file ',
    _pfpath, ': ', what);
  Halt(2);
end;

procedure _pfopen(var f: file; create: boolean);
var code: integer;
begin
  _pfpath := FileRec(f).Name;
  {$I-}
  Reset(f);
  code := IOResult;
  if (code <> 0) and create then
  begin
    Rewrite(f);
    code := IOResult;
  end;
  if (code = 0) and not create and (FileSize(f) < 13) then
    _pffail('holds ' + IntToStr(FileSize(f)) + ' records of 128 bytes, 13 expected');
  code := code + IOResult;
  {$I+}
  if code <> 0 then
    if create then
      _pffail('cannot be written')
    else
      _pffail('cannot be read (run the program with I first, then write '
        + 'the factors into it)');
end;

procedure _pfcounts(nf, nr, nft, nrt: integer);

  procedure check(n: integer; const what: string);
  begin
    if (n < 0) or (n > 10) then
      _pffail(IntToStr(n) + ' ' + what + ' (0 to 10)');
  end;

begin
  check(nf, 'factors asked for');
  check(nr, 'responses asked for');
  check(nft, 'factors of the program');
  check(nrt, 'responses of the program');
end;

procedure _pffound(i, n: integer; const name, kind: string);
begin
  if i > n then
    _pffail('no ' + kind + ' ''' + TrimRight(name) + ''' in this model');
end;

end.
