{ rtfail: how a run ends on an error.

  Division by zero, range and overflow errors, the runtime's own
  _error calls and bad input values end the program with one line on
  standard error,
    MODEL: run-time error at time T in node NAME: MESSAGE
  (in INIT while the INIT section runs), the report of the run up to
  that instant added to the report file, and exit code 1.  Every file
  is closed on the way out by the units' finalization.

  Public: _failphase and its values. }
unit rtfail;

{$MODE DELPHI}

interface

const
  _inrun = 0;      { the network runs: errors name the node }
  _ininit = 1;     { the INIT section runs }
  _inshell = 2;    { between runs, in the menu or the report }

var
  _failphase: integer;

implementation

uses SysUtils, {$IFDEF UNIX}BaseUnix, {$ENDIF}rtdefs, rtmodel, rtresult, rtprog;

var
  _failing: boolean;

procedure _fail(Obj: TObject; Addr: CodePointer; FrameCount: Longint;
  Frame: PCodePointer);
var msg, where, model: string;
begin
  { an error while the program ends already (standard output gone):
    leave at once }
  if _failing then
{$IFDEF UNIX}
    FpExit(1);
{$ELSE}
    Halt(1);
{$ENDIF}
  _failing := true;
  _progend;
  if Obj is _ERunError then
    msg := _ERunError(Obj).Message
  else if Obj is EInOutError then
    msg := 'input/output error ' + IntToStr(EInOutError(Obj).ErrorCode)
      + ' ' + EInOutError(Obj).Message
  else if Obj is Exception then
    msg := Exception(Obj).Message
  else if Obj <> nil then
    msg := Obj.ClassName
  else
    msg := 'unknown error';
  case _failphase of
    _inrun: where := ' in node ' + _mnodename(ino);
    _ininit: where := ' in INIT';
  else
    where := '';
  end;
  model := _resmodel;
  if model = '' then
    model := ExtractFileName(ParamStr(0));
  writeln(ErrOutput, model, ': run-time error at time ', _resnum(rtdefs.time),
    where, ': ', msg);
  if _failphase <> _inshell then
  begin
    try
      _ressay('');
      _ressay('run-time error at time ' + _resnum(rtdefs.time) + where + ': '
        + msg);
      _resreport(NREP);
    except
    end;
  end;
  Halt(1);
end;

initialization
  _failphase := _inshell;
  ExceptProc := @_fail;
end.
