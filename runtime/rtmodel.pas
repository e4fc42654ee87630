{ rtmodel: the model's own tables and procedures, as the runtime sees
  them.

  The only unit that names pru: it binds the kernel's views (rtdefs
  _hk*) to the model's lists, starts a replication (_inieli once, then
  _com, clrstat and _init) and gives the report what the model
  measured, element by element.  Every other unit compiles without a
  model.

  Compiled with -dRTCOMPILEONLY it names no pru: the runtime then
  builds on its own (the runtime's checks), and a program built that
  way simulates nothing.

  Public: _mstart _mexper _mnodename; lists _mnlists _mlistname; measured
  variables _mnvars _mvarname _mvarstat _mvarcap; frequency tables
  _mntables _mtablename _mtableshape _mtablecount. }
unit rtmodel;

{$MODE DELPHI}

interface

{ Starts a run: the model's start values, its statistics cleared, its
  INIT section. }
procedure _mstart;
{ The experiments of the model (menu E). }
procedure _mexper;
{ Name of node n ('' outside the network). }
function _mnodename(n: integer): string;

function _mnlists: integer;
function _mlistname(l: integer): string;

{ Measured variables, one entry per element measured. }
function _mnvars: integer;
function _mvarname(p: integer): string;
{ Element index of p in its variable, and the variable's element count. }
procedure _mvarplace(p: integer; var idx, count: integer);
{ Time-weighted mean, minimum and maximum up to now.  An element that
  never changed since the statistics were cleared holds its value. }
procedure _mvarstat(p: integer; var mean, lo, hi: real; var changes: longint);
{ Capacity of the resource whose use element p measures, or -1. }
function _mvarcap(p: integer): real;

{ Frequency tables filled by TAB: class 1 is below the lower limit,
  the last class from the upper limit on. }
function _mntables: integer;
function _mtablename(t: integer): string;
procedure _mtableshape(t: integer; var lower, width: real; var classes: integer);
function _mtablecount(t, cls: integer): longint;

implementation

uses {$IFNDEF RTCOMPILEONLY}pru, {$ENDIF}SysUtils, rtdefs;

{$IFNDEF RTCOMPILEONLY}
procedure _mbind;
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
{$IF DECLARED(_yp)}
  _hkyp := _ppdvec(@_yp);
{$ELSE}
  _hkyp := nil;
{$IFEND}
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

procedure _mstart;
begin
{$IFNDEF RTCOMPILEONLY}
  if not _rtbound then
  begin
    _inieli;
    _mbind;
  end;
  _com;
  clrstat;
  _init;
{$ENDIF}
end;

procedure _mexper;
begin
{$IFNDEF RTCOMPILEONLY}
  _pexp;
{$ELSE}
  writeln('no model bound');
{$ENDIF}
end;

function _mnodename(n: integer): string;
begin
  Result := '';
{$IFNDEF RTCOMPILEONLY}
  if (n >= Low(_nno)) and (n <= High(_nno)) then
    Result := Trim(_nno[n]);
{$ENDIF}
end;

function _mnlists: integer;
begin
{$IFNDEF RTCOMPILEONLY}
  Result := nlist;
{$ELSE}
  Result := 0;
{$ENDIF}
end;

function _mlistname(l: integer): string;
begin
{$IFNDEF RTCOMPILEONLY}
  Result := Trim(_tnl[l]);
{$ELSE}
  Result := 'list ' + IntToStr(l);
{$ENDIF}
end;

function _mnvars: integer;
{$IFNDEF RTCOMPILEONLY}
var v: integer;
{$ENDIF}
begin
  Result := 0;
{$IFNDEF RTCOMPILEONLY}
  for v := 1 to _n_ves do
    Result := Result + _ov[v].ind;
{$ENDIF}
end;

{ The variable of element p; p becomes the element's index in it. }
function _mvarof(var p: integer): integer;
begin
  Result := 0;
{$IFNDEF RTCOMPILEONLY}
  for Result := 1 to _n_ves do
    if p <= _ov[Result].ind then
      Exit
    else
      p := p - _ov[Result].ind;
  Result := 0;
{$ENDIF}
end;

function _mvarname(p: integer): string;
var v: integer;
begin
  Result := '';
  v := _mvarof(p);
{$IFNDEF RTCOMPILEONLY}
  if v > 0 then
    Result := Trim(_ov[v].nom);
{$ENDIF}
end;

procedure _mvarplace(p: integer; var idx, count: integer);
var v: integer;
begin
  v := _mvarof(p);
  idx := p;
  count := 1;
{$IFNDEF RTCOMPILEONLY}
  if v > 0 then
    count := _ov[v].ind;
{$ENDIF}
end;

procedure _mvarstat(p: integer; var mean, lo, hi: real; var changes: longint);
{$IFNDEF RTCOMPILEONLY}
var span: real;
{$ENDIF}
begin
  mean := 0;
  lo := 0;
  hi := 0;
  changes := 0;
{$IFNDEF RTCOMPILEONLY}
  changes := _nvv[p];
  if changes = 0 then
  begin
    { no assignment since the reset: the value it has held all along }
    _aesva;
    mean := _vas[p];
    lo := mean;
    hi := mean;
    Exit;
  end;
  span := rtdefs.time - _tces;
  if span > 0 then
    mean := (_sv[p] + _sva[p] * (rtdefs.time - _hcv[p])) / span
  else
    mean := _sva[p];
  lo := _lv[p];
  hi := _hv[p];
{$ENDIF}
end;

function _mvarcap(p: integer): real;
begin
  Result := -1;
{$IFNDEF RTCOMPILEONLY}
  if (p >= Low(_ovcap)) and (p <= High(_ovcap)) and (_ovcap[p] <> nil) then
    Result := _ovcap[p]^;
{$ENDIF}
end;

function _mntables: integer;
begin
  Result := 0;
{$IFNDEF RTCOMPILEONLY}
  if Trim(_n_ft[1]) <> '_TFA' then
    Result := High(_n_ft);
{$ENDIF}
end;

function _mtablename(t: integer): string;
begin
{$IFNDEF RTCOMPILEONLY}
  Result := Trim(_n_ft[t]);
{$ELSE}
  Result := 'table ' + IntToStr(t);
{$ENDIF}
end;

procedure _mtableshape(t: integer; var lower, width: real; var classes: integer);
begin
  lower := 0;
  width := 0;
  classes := 0;
{$IFNDEF RTCOMPILEONLY}
  lower := _df[t, 1];
  width := _df[t, 3];
  classes := Trunc(_df[t, 2]);
  if classes > High(_fr[t]) then
    classes := High(_fr[t]);
  if classes < 0 then
    classes := 0;
{$ENDIF}
end;

function _mtablecount(t, cls: integer): longint;
begin
{$IFNDEF RTCOMPILEONLY}
  Result := _fr[t, cls];
{$ELSE}
  Result := 0;
{$ENDIF}
end;

end.
