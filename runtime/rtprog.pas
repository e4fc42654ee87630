{ rtprog: the progress line of a run, on standard error.

  Shown with --progress, or when standard error is a terminal and a
  batch has run for more than a second; never with --quiet, never on
  a pipe unless asked.  One line, rewritten about twice a second:
  replication k/N, simulated time as a share of TSIM, events per
  second; erased when the batch ends.  The kernel counts events and
  calls _hkprog every 1024 of them, so a run without progress pays
  one test per 1024 events.

  Public: _progbatch _progrep _progend. }
unit rtprog;

{$MODE DELPHI}

interface

{ A batch of count replications from first on starts. }
procedure _progbatch(first, count: longint);
{ Replication k of the batch starts. }
procedure _progrep(k: longint);
{ The batch has ended, or the program ends: the line goes. }
procedure _progend;
{ A progress line written over the one shown (shown: its length, 0 when
  none), or wiped when line is empty. }
procedure _progshow(line: string; var shown: integer);

implementation

uses SysUtils, {$IFDEF UNIX}termio, {$ENDIF}rtdefs, rtargs;

var
  _on: boolean;          { the batch may show progress }
  _shown: integer;       { length of the line on the screen, 0 = none }
  _t0, _next: qword;     { start of the batch, next update (ms) }
  _ev0: int64;           { events counted before the batch }
  _first, _count, _k: longint;

procedure _progshow(line: string; var shown: integer);
var wipe: boolean;
begin
  wipe := line = '';
  if wipe and (shown = 0) then
    Exit;
  if Length(line) < shown then
    line := line + StringOfChar(' ', shown - Length(line));
  write(ErrOutput, #13, line);
  if wipe then
  begin
    write(ErrOutput, #13);
    shown := 0;
  end
  else
    shown := Length(line);
  Flush(ErrOutput);
end;

function _terminal: boolean;
begin
{$IFDEF UNIX}
  Result := IsATTY(2) = 1;
{$ELSE}
  Result := false;
{$ENDIF}
end;

procedure _tick;
var now, ms: qword;
    line: string;
    pct, rate: real;
begin
  now := GetTickCount64;
  if now < _next then
    Exit;
  _next := now + 500;
  ms := now - _t0;
  if ms = 0 then
    ms := 1;
  rate := (_nevents - _ev0) * 1000.0 / ms;
  if tsim > 0 then
    pct := 100 * rtdefs.time / tsim
  else
    pct := 0;
  line := Format('replication %d/%d  time %.0f %%  %.0f events/s',
    [_k - _first + 1, _count, pct, rate]);
  _progshow(line, _shown);
end;

procedure _progbatch(first, count: longint);
begin
  _progend;
  _on := not _argquiet and (_argprogress or _terminal);
  _first := first;
  _count := count;
  _k := first;
  _t0 := GetTickCount64;
  _ev0 := _nevents;
  { asked for: the first line after half a second; on a terminal only
    when the batch lasts more than a second }
  if _argprogress then
    _next := _t0 + 500
  else
    _next := _t0 + 1000;
  if _on then
    _hkprog := _tick
  else
    _hkprog := nil;
end;

procedure _progrep(k: longint);
begin
  _k := k;
end;

procedure _progend;
begin
  _hkprog := nil;
  _progshow('', _shown);
end;

finalization
  _progend;
end.
