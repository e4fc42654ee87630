{ rtkern: the simulation kernel.

  Owns the future event list (_afel, _exfel, extfel, disfel), the
  operations on message lists called by node code (_agr, _extr, _tran,
  _copy ...), SYNCHRONIZE support (_sinc) and the integrators of the
  continuous nodes (_eul, _rk4, _rkf).  Message lists and model routines
  are reached through the _hk* views of rtdefs, so the unit compiles on
  its own; without a bound model the lists live in runtime storage and
  the routines that need model code (_sinc, _sort, the integrators)
  do nothing. }
unit rtkern;

{$MODE DELPHI}

interface

uses rtdefs;

{ event list }
procedure _afel(nod, inst, pri: integer; blocked: boolean; t: real;
  pr2: integer = -1);
procedure _exfel;
procedure extfel(nod: integer; t: real; inst, x: integer); overload;
{ EXTFEL and PUTFEL of node code: the letter as 'A' or 'B', the node by
  its number. }
procedure EXTFEL(c: char; nod: integer; inst, t, x: real); overload;
procedure PUTFEL(c: char; nod: integer; inst, t, pri: real);
procedure disfel;
function VOIDFEL: boolean;
procedure BLOCK(nod: integer; var b: boolean);
procedure DEBLOCK(nod: integer; var b: boolean);

{ message lists }
procedure _agr(l: integer; m: _pl; c: char);
procedure _extr(m: _pl; l: integer);
procedure _exlx(var m: _pl; l: integer);
procedure _exal(m: _pl);
procedure _exalo(m: _pl);
procedure _copy(m: _pl; l: integer; c: char; at: _pl);
procedure _inter(l: integer; m, pa, pu: _pl);
{ MINL of node code: the shortest length of list l since the statistics
  were last reset. }
function _minl(l: integer): longint;
procedure _tran(held: boolean; orig, dest: integer; c: char; m, at: _pl);
procedure _sort(l: integer; var f, fo: real; c: char); overload;
procedure _sort(l: integer; var f, fo: integer; c: char); overload;
procedure _sort(l: integer; var f; var fo; c: char); overload;
procedure _sinc(n, k: integer);

{ integration of equations i..j of _fec }
procedure _eul(i, j: integer);
procedure _rk4(i, j: integer);
procedure _rkf(i, j: integer);
{ Statistics of a measured continuous variable, equation m: adds the time
  integrals of the variable and of its square over the last integration
  to s and s2, and widens lo and hi by its extremes there. }
procedure _ystat(m: integer; var s, s2, lo, hi: real);

{ frequency tables and run control }
procedure TAB(x: real; n: integer);
procedure _error(const s: string);
procedure _trace;

implementation

type
  _pev = ^_rev;
  _rev = record
    nod, inst, pri: integer;
    blk: boolean;
    t: real;
    nx: _pev;
  end;

var
  _felh: _pev;          { events in time order }
  _lastt: real;         { time of the last event taken }

{ A clock set back (by _com for a new replication) starts a new run:
  events left over from the old one must not fire. }
procedure _newrun;
var e: _pev;
begin
  while _felh <> nil do
  begin
    e := _felh;
    _felh := e^.nx;
    Dispose(e);
  end;
  _lastt := time;
end;

procedure _checkrun;
begin
  if time < _lastt - 1e-9 then
    _newrun;
end;

procedure _afel(nod, inst, pri: integer; blocked: boolean; t: real;
  pr2: integer);
var e, q, prev: _pev;
begin
  _checkrun;
  if pr2 >= 0 then
    pri := pr2;
  New(e);
  e^.nod := nod;
  e^.inst := inst;
  e^.pri := pri;
  e^.blk := blocked;
  e^.t := t;
  { after every event that comes sooner, or as soon with no lower
    priority: equal events keep the order they were scheduled in }
  prev := nil;
  q := _felh;
  while (q <> nil) and ((q^.t < t) or ((q^.t = t) and (q^.pri >= pri))) do
  begin
    prev := q;
    q := q^.nx;
  end;
  e^.nx := q;
  if prev = nil then
    _felh := e
  else
    prev^.nx := e;
end;

procedure _exfel;
var e, prev: _pev;
begin
  _checkrun;
  prev := nil;
  e := _felh;
  while (e <> nil) and e^.blk do
  begin
    prev := e;
    e := e^.nx;
  end;
  if e = nil then
  begin
    { Nothing can happen any more.  The main loop tests only TSIM or
      only _es, depending on the model, so both end it; the node scan
      that still follows needs a real node and fires no instance. }
    _es := true;
    if time < tsim then
      time := tsim;
    _n := 1;
    iev := 0;
    Exit;
  end;
  if prev = nil then
    _felh := e^.nx
  else
    prev^.nx := e^.nx;
  time := e^.t;
  _lastt := time;
  _n := e^.nod;
  iev := e^.inst;
  evp := e^.pri;
  Dispose(e);
end;

{ t < 0 removes every event of the node; otherwise the first one at t.
  inst <= 0 matches any instance. }
procedure extfel(nod: integer; t: real; inst, x: integer);
var e, prev, nx: _pev;
begin
  prev := nil;
  e := _felh;
  while e <> nil do
  begin
    nx := e^.nx;
    if (e^.nod = nod) and ((inst <= 0) or (e^.inst = inst)) and
      ((t < 0) or (Abs(e^.t - t) <= 1e-9 * (1 + Abs(t)))) then
    begin
      if prev = nil then
        _felh := nx
      else
        prev^.nx := nx;
      Dispose(e);
      if t >= 0 then
        Exit;
    end
    else
      prev := e;
    e := nx;
  end;
end;

{ 'A' takes out every event of the node's instance (inst <= 0: of any
  instance), 'B' only the first one at time t.  x is not used. }
procedure EXTFEL(c: char; nod: integer; inst, t, x: real);
begin
  if UpCase(c) = 'B' then
    extfel(nod, t, Trunc(inst), 0)
  else
    extfel(nod, -1, Trunc(inst), 0);
end;

{ Schedules the node's instance at time t ('A') or t after the clock
  ('B'), with priority pri. }
procedure PUTFEL(c: char; nod: integer; inst, t, pri: real);
begin
  if UpCase(c) = 'B' then
    t := time + t;
  _afel(nod, Trunc(inst), Trunc(pri), false, t);
end;

procedure disfel;
var e: _pev;
begin
  writeln(_ftra, 'EVENT LIST AT ', time:12:4);
  e := _felh;
  while e <> nil do
  begin
    write(_ftra, '  node ', e^.nod:4, ' [', e^.inst, '] time ', e^.t:12:4,
      ' priority ', e^.pri);
    if e^.blk then
      write(_ftra, ' blocked');
    writeln(_ftra);
    e := e^.nx;
  end;
end;

function VOIDFEL: boolean;
var e: _pev;
begin
  e := _felh;
  while (e <> nil) and e^.blk do
    e := e^.nx;
  Result := e = nil;
end;

procedure _setblock(nod: integer; v: boolean);
var e: _pev;
begin
  e := _felh;
  while e <> nil do
  begin
    if e^.nod = nod then
      e^.blk := v;
    e := e^.nx;
  end;
end;

procedure BLOCK(nod: integer; var b: boolean);
begin
  b := true;
  _setblock(nod, true);
end;

procedure DEBLOCK(nod: integer; var b: boolean);
begin
  b := false;
  _setblock(nod, false);
end;

{ ---- message lists ---- }

function _okl(l: integer): boolean;
begin
  Result := (l >= 1) and (l <= _hknl);
end;

{ Shortest lengths, kept here since the model's tables have no place for
  them.  A reset of the statistics (clrstat) shows as a new _tces or as a
  maximum length set back; the length then starts the minimum again. }
var
  _lmin, _lmax: array[1.._rtmaxl] of longint;
  _lmint: array[1.._rtmaxl] of real;
  _lminon: array[1.._rtmaxl] of boolean;

procedure _minnote(l: integer; len: longint);
begin
  if (l < 1) or (l > _rtmaxl) then
    exit;
  if not _lminon[l] or (_lmint[l] <> _tces) or (_hklm^^[l] < _lmax[l]) then
  begin
    _lminon[l] := true;
    _lmint[l] := _tces;
    _lmin[l] := len;
  end
  else if len < _lmin[l] then
    _lmin[l] := len;
  _lmax[l] := _hklm^^[l];
end;

function _minl(l: integer): longint;
begin
  Result := 0;
  if not _okl(l) or (l > _rtmaxl) then
    exit;
  _minnote(l, _hkl^^[l]);
  Result := _lmin[l];
end;

{ Length statistics: _la is the time integral of the length since _hc. }
procedure _lchg(l, delta: integer);
var lenv: longint;
    span: real;
begin
  lenv := _hkl^^[l];
  _minnote(l, lenv);
  _hkla^^[l] := _hkla^^[l] + lenv * (time - _hkhc^^[l]);
  _hkhc^^[l] := time;
  lenv := lenv + delta;
  if lenv < 0 then
    lenv := 0;
  _hkl^^[l] := lenv;
  if delta > 0 then
    _hken^^[l] := _hken^^[l] + delta;
  if lenv > _hklm^^[l] then
    _hklm^^[l] := lenv;
  _minnote(l, lenv);
  span := time - _tces;
  if span > 0 then
    _hklp^^[l] := _hkla^^[l] / span;
end;

procedure _entered(l: integer; m: _pl);
begin
  m^.lis := l;
  m^.tin := time;
  _lchg(l, 1);
end;

procedure _left(l: integer; m: _pl);
var stay: real;
    gone: longint;
begin
  stay := time - m^.tin;
  _hktp^^[l] := _hktp^^[l] + stay;
  if stay > _hkmtp^^[l] then
    _hkmtp^^[l] := stay;
  m^.lis := 0;
  m^.p := nil;
  _lchg(l, -1);
  gone := _hken^^[l] - _hkl^^[l];
  if gone > 0 then
    _hktpp^^[l] := _hktp^^[l] / gone;
end;

procedure _putfirst(l: integer; m: _pl);
begin
  m^.p := _hkfl^[l];
  _hkfl^[l] := m;
  if _hkll^[l] = nil then
    _hkll^[l] := m;
  _entered(l, m);
end;

procedure _putlast(l: integer; m: _pl);
begin
  m^.p := nil;
  if _hkll^[l] = nil then
    _hkfl^[l] := m
  else
    _hkll^[l]^.p := m;
  _hkll^[l] := m;
  _entered(l, m);
end;

{ Insert after 'at' when it is in the list, else at the end. }
procedure _putafter(l: integer; m, at: _pl);
begin
  if (at = nil) or (at = m) or (at^.lis <> l) or (at = _hkll^[l]) then
    _putlast(l, m)
  else
  begin
    m^.p := at^.p;
    at^.p := m;
    _entered(l, m);
  end;
end;

{ Insert before 'at' when it is in the list, else at the front. }
procedure _putbefore(l: integer; m, at: _pl);
var q: _pl;
begin
  if (at = nil) or (at = m) or (at^.lis <> l) or (at = _hkfl^[l]) then
    _putfirst(l, m)
  else
  begin
    q := _hkfl^[l];
    while (q <> nil) and (q^.p <> at) do
      q := q^.p;
    if q = nil then
      _putfirst(l, m)
    else
      _putafter(l, m, q);
  end;
end;

procedure _agr(l: integer; m: _pl; c: char);
begin
  if (m = nil) or not _okl(l) then
    Exit;
  if UpCase(c) = 'F' then
    _putfirst(l, m)
  else
    _putlast(l, m);
end;

procedure _extr(m: _pl; l: integer);
var q, prev: _pl;
begin
  if (m = nil) or not _okl(l) then
    Exit;
  prev := nil;
  q := _hkfl^[l];
  while (q <> nil) and (q <> m) do
  begin
    prev := q;
    q := q^.p;
  end;
  if q = nil then
    Exit;
  if prev = nil then
    _hkfl^[l] := m^.p
  else
    prev^.p := m^.p;
  if _hkll^[l] = m then
    _hkll^[l] := prev;
  _left(l, m);
end;

{ The message of list l whose service ends now: its xt is the time
  closest to the clock. }
procedure _exlx(var m: _pl; l: integer);
var q, best: _pl;
    d, bd: real;
begin
  if not _okl(l) then
    Exit;
  best := nil;
  bd := MAXREAL;
  q := _hkfl^[l];
  while q <> nil do
  begin
    if q^.b <> nil then
    begin
      d := Abs(_pfhead(q^.b)^.xt - time);
      if d < bd then
      begin
        bd := d;
        best := q;
      end;
    end;
    q := q^.p;
  end;
  if best <> nil then
    m := best;
end;

procedure _exal(m: _pl);
begin
  if m = nil then
    Exit;
  NUMBER := m^.number;
  NODE := m^.nor;
  _r := m^.r;
  _b := m^.b;
  PMESS := m;
end;

procedure _exalo(m: _pl);
begin
  if m = nil then
    Exit;
  O_NUMBER := m^.number;
  O_NODE := m^.nor;
  _or := m^.r;
  _ob := m^.b;
  O_PMESS := m;
end;

procedure _copy(m: _pl; l: integer; c: char; at: _pl);
var q: _pl;
begin
  if (m = nil) or not _okl(l) then
    Exit;
  New(q);
  q^ := m^;
  q^.p := nil;
  q^.pas := nil;
  q^.lis := 0;
  { a record of its own, filled from the field variables, when the
    model's _newr is known; otherwise the copy shares the fields }
  if Assigned(_hknewr) then
    _hknewr(m^.r, q^.b);
  if UpCase(c) = 'B' then
    _putbefore(l, q, at)
  else
    _putafter(l, q, at);
end;

procedure _inter(l: integer; m, pa, pu: _pl);
begin
  if (m = nil) or not _okl(l) then
    Exit;
  if m^.lis > 0 then
    _extr(m, m^.lis);
  if pa = nil then
    _putfirst(l, m)
  else
    _putafter(l, m, pa);
end;

{ Moves m to list dest, after 'at' (A) or before it (B).  A message
  still in a list leaves it first, whatever 'held' says; a destination
  outside the lists (no successor) only takes it out. }
procedure _tran(held: boolean; orig, dest: integer; c: char; m, at: _pl);
begin
  if m = nil then
    Exit;
  if m^.lis > 0 then
    _extr(m, m^.lis)
  else if held and _okl(orig) then
    _extr(m, orig);
  if not _okl(dest) then
    Exit;
  if UpCase(c) = 'B' then
    _putbefore(dest, m, at)
  else
    _putafter(dest, m, at);
end;

{ Sorting needs the model's _uprvo to load each message's field into
  its O_ twin; keys are compared as reals. }
type
  _tkeyfun = function(m: _pl): real;

var
  _sortreal: ^real;
  _sortint: ^integer;

function _keyreal(m: _pl): real;
begin
  _hkuprvo(m^.r, m^.b);
  Result := _sortreal^;
end;

function _keyint(m: _pl): real;
begin
  _hkuprvo(m^.r, m^.b);
  Result := _sortint^;
end;

procedure _sortby(l: integer; key: _tkeyfun; c: char);
var arr: array of _pl;
    keys: array of real;
    q, t: _pl;
    n, a, z: integer;
    kt: real;
    swap: boolean;
begin
  if not _okl(l) or not Assigned(_hkuprvo) then
    Exit;
  n := 0;
  q := _hkfl^[l];
  while q <> nil do
  begin
    Inc(n);
    q := q^.p;
  end;
  if n < 2 then
    Exit;
  SetLength(arr, n);
  SetLength(keys, n);
  q := _hkfl^[l];
  for a := 0 to n - 1 do
  begin
    arr[a] := q;
    keys[a] := key(q);
    q := q^.p;
  end;
  { insertion sort keeps equal keys in list order }
  for a := 1 to n - 1 do
  begin
    t := arr[a];
    kt := keys[a];
    z := a - 1;
    while z >= 0 do
    begin
      if UpCase(c) = 'D' then
        swap := keys[z] < kt
      else
        swap := keys[z] > kt;
      if not swap then
        Break;
      arr[z + 1] := arr[z];
      keys[z + 1] := keys[z];
      Dec(z);
    end;
    arr[z + 1] := t;
    keys[z + 1] := kt;
  end;
  for a := 0 to n - 2 do
    arr[a]^.p := arr[a + 1];
  arr[n - 1]^.p := nil;
  _hkfl^[l] := arr[0];
  _hkll^[l] := arr[n - 1];
end;

procedure _sort(l: integer; var f, fo: real; c: char);
begin
  _sortreal := @fo;
  _sortby(l, _keyreal, c);
end;

procedure _sort(l: integer; var f, fo: integer; c: char);
begin
  _sortint := @fo;
  _sortby(l, _keyint, c);
end;

procedure _sort(l: integer; var f; var fo; c: char);
begin
  { a field of another type has no order known to the kernel }
end;

{ Collects, from _pu on, the messages of _pu's list that satisfy case k
  of the model's _cl against _pu, at most n of them, into _fs; _ks is
  how many were found. }
procedure _sinc(n, k: integer);
var q: _pl;
    c, last: _psc;
begin
  while _fs <> nil do
  begin
    c := _fs;
    _fs := c^.p2;
    Dispose(c);
  end;
  _ks := 0;
  if (_pu = nil) or not Assigned(_hkcl) or not Assigned(_hkuprv) or
    not Assigned(_hkuprvo) then
    Exit;
  _hkuprvo(_pu^.r, _pu^.b);
  last := nil;
  q := _pu;
  while (q <> nil) and (_ks < n) do
  begin
    _hkuprv(q^.r, q^.b);
    if (q = _pu) or _hkcl(k) then
    begin
      New(c);
      c^.p1 := q;
      c^.p2 := nil;
      if last = nil then
        _fs := c
      else
        last^.p2 := c;
      last := c;
      Inc(_ks);
    end;
    q := q^.p;
  end;
  _hkuprv(_pu^.r, _pu^.b);
end;

{ ---- integration ----
  _fec(t, m) gives the derivative of equation m from the current values
  of the continuous variables; _ore[m] is that variable's place in _y.
  A group advances from time-_dt to time in one call: EUL and RK4 in one
  step, RKF in as many steps as its error control asks for, none longer
  than the interval.  The main program brings every C node up to each
  discrete event, so an interval never spans one, and it is at most the
  node's DT.
  Over each call the integrators also keep, per equation, the time
  integrals of the variable and of its square and its extremes, for the
  statistics of a measured continuous variable (_ystat). }

var
  { scratch of one call, by place in the group }
  _iy0, _iy1, _if0, _ik1, _ik2, _ik3, _ik4, _ik5, _ik6: array of real;
  { per equation, over the last call }
  _qy, _qy2, _qlo, _qhi: array of real;
  { per group, by its first equation: the step RKF would try next }
  _hnext: array of real;
  _intt: real;           { clock of the last call: set back, a new run }

procedure _intsize(n: integer);
var m: integer;
begin
  if Length(_iy0) < n then
  begin
    SetLength(_iy0, n); SetLength(_iy1, n); SetLength(_if0, n);
    SetLength(_ik1, n); SetLength(_ik2, n); SetLength(_ik3, n);
    SetLength(_ik4, n); SetLength(_ik5, n); SetLength(_ik6, n);
  end;
  m := _hkneq + 1;
  if Length(_qy) < m then
  begin
    SetLength(_qy, m); SetLength(_qy2, m); SetLength(_qlo, m);
    SetLength(_qhi, m); SetLength(_hnext, m);
    FillChar(_hnext[0], m * SizeOf(real), 0);
  end;
end;

{ Extremes of the cubic through (0, a) and (h, b) with slopes fa and fb,
  reached inside the step, widen lo and hi. }
procedure _qinner(a, b, fa, fb, h: real; var lo, hi: real);
var qa, qb, qc, d, s, v: real;
    r: integer;
begin
  { p(s) = (2s^3-3s^2+1)a + (s^3-2s^2+s)h fa + (3s^2-2s^3)b + (s^3-s^2)h fb;
    p'(s) = qa s^2 + qb s + qc }
  qa := 6 * a + 3 * h * fa - 6 * b + 3 * h * fb;
  qb := -6 * a - 4 * h * fa + 6 * b - 2 * h * fb;
  qc := h * fa;
  for r := 0 to 1 do
  begin
    if Abs(qa) < 1e-300 then
    begin
      if (r = 1) or (Abs(qb) < 1e-300) then
        Break;
      s := -qc / qb;
    end
    else
    begin
      d := qb * qb - 4 * qa * qc;
      if d < 0 then
        Break;
      if r = 0 then
        s := (-qb - Sqrt(d)) / (2 * qa)
      else
        s := (-qb + Sqrt(d)) / (2 * qa);
    end;
    if (s > 0) and (s < 1) then
    begin
      v := (2 * s * s * s - 3 * s * s + 1) * a + (s * s * s - 2 * s * s + s) * h * fa
        + (3 * s * s - 2 * s * s * s) * b + (s * s * s - s * s) * h * fb;
      if v < lo then
        lo := v;
      if v > hi then
        hi := v;
    end;
  end;
end;

{ One step of equation m from a (slope fa) to b (slope fb, or its
  estimate) over h: the integrals by the cubic through both ends, exact
  for a variable that moves linearly or as a cubic. }
procedure _qstep(m: integer; a, b, fa, fb, h: real);
begin
  _qy[m] := _qy[m] + h / 2 * (a + b) + h * h / 12 * (fa - fb);
  _qy2[m] := _qy2[m] + h / 2 * (a * a + b * b) + h * h / 6 * (a * fa - b * fb);
  if b < _qlo[m] then
    _qlo[m] := b;
  if b > _qhi[m] then
    _qhi[m] := b;
  _qinner(a, b, fa, fb, h, _qlo[m], _qhi[m]);
end;

procedure _integ(i, j, meth: integer);
var n, m, q, tries: integer;
    h, t0, tend, hplan, err, e, tol, fac, yq: real;
    clipped, done: boolean;

  procedure setstage(const k: array of real; f: real);
  var r: integer;
  begin
    for r := 0 to n - 1 do
      _hky^[_hkore^[i + r]] := _iy0[r] + f * k[r];
  end;

  procedure slope(var k: array of real; t: real);
  var r: integer;
  begin
    for r := 0 to n - 1 do
      k[r] := _hkfec(t, i + r);
  end;

  { the stage y0 + h (c1 k1 + ... + c5 k5) }
  procedure combine(c1, c2, c3, c4, c5: real);
  var r: integer;
  begin
    for r := 0 to n - 1 do
      _hky^[_hkore^[i + r]] := _iy0[r] + h * (c1 * _ik1[r] + c2 * _ik2[r]
        + c3 * _ik3[r] + c4 * _ik4[r] + c5 * _ik5[r]);
  end;

  { the step from t0 ends in _iy1, slope at its end (estimate) in _if0
    is not touched; fb gives it per place }
  procedure accept(const fb: array of real);
  var r: integer;
  begin
    for r := 0 to n - 1 do
    begin
      _qstep(i + r, _iy0[r], _iy1[r], _ik1[r], fb[r], h);
      _iy0[r] := _iy1[r];
    end;
  end;

begin
  if not Assigned(_hkfec) or (_hky = nil) or (_hkore = nil) or (j < i) then
    Exit;
  n := j - i + 1;
  _intsize(n);
  if time < _intt then
    FillChar(_hnext[0], Length(_hnext) * SizeOf(real), 0);
  _intt := time;
  for m := 0 to n - 1 do
  begin
    yq := _hky^[_hkore^[i + m]];
    _iy0[m] := yq;
    _qy[i + m] := 0;
    _qy2[i + m] := 0;
    _qlo[i + m] := yq;
    _qhi[i + m] := yq;
  end;
  t0 := time - _dt;
  tend := time;
  h := _dt;
  if meth <> 1 then
  begin
    { one step over the whole interval }
    slope(_ik1, t0);
    if meth = 2 then
    begin
      setstage(_ik1, h);
      for m := 0 to n - 1 do
        _iy1[m] := _iy0[m] + h * _ik1[m];
      accept(_ik1);
    end
    else
    begin
      setstage(_ik1, h / 2);
      slope(_ik2, t0 + h / 2);
      setstage(_ik2, h / 2);
      slope(_ik3, t0 + h / 2);
      setstage(_ik3, h);
      slope(_ik4, t0 + h);
      for m := 0 to n - 1 do
      begin
        _iy1[m] := _iy0[m] + h / 6 * (_ik1[m] + 2 * _ik2[m] + 2 * _ik3[m] + _ik4[m]);
        _hky^[_hkore^[i + m]] := _iy1[m];
      end;
      accept(_ik4);
    end;
    Exit;
  end;
  { RKF 4(5): Fehlberg's pair, the step carried on with the fifth-order
    value; the difference of the two estimates the step's error.  The
    errors of a run's steps add up (an orbit such as predator and prey
    drifts a little further at every step), so each step is held to a
    hundredth of EABS + EREL |y| in every equation: over runs of some
    hundred steps the error at the instants the model reads stays within
    EABS + EREL |y| itself. }
  if (_hnext[i] > 0) and (_hnext[i] < _dt) then
    h := _hnext[i];
  tries := 0;
  slope(_ik1, t0);
  repeat
    hplan := h;
    clipped := false;
    if h >= tend - t0 then
    begin
      h := tend - t0;
      clipped := h < hplan;
    end
    else if 2 * h > tend - t0 then
    begin
      h := (tend - t0) / 2;  { two even steps rather than one and a sliver }
      clipped := true;
    end;
    combine(1 / 4, 0, 0, 0, 0);
    slope(_ik2, t0 + h / 4);
    combine(3 / 32, 9 / 32, 0, 0, 0);
    slope(_ik3, t0 + 3 * h / 8);
    combine(1932 / 2197, -7200 / 2197, 7296 / 2197, 0, 0);
    slope(_ik4, t0 + 12 * h / 13);
    combine(439 / 216, -8, 3680 / 513, -845 / 4104, 0);
    slope(_ik5, t0 + h);
    combine(-8 / 27, 2, -3544 / 2565, 1859 / 4104, -11 / 40);
    slope(_ik6, t0 + h / 2);
    err := 0;
    for m := 0 to n - 1 do
    begin
      _iy1[m] := _iy0[m] + h * (16 / 135 * _ik1[m] + 6656 / 12825 * _ik3[m]
        + 28561 / 56430 * _ik4[m] - 9 / 50 * _ik5[m] + 2 / 55 * _ik6[m]);
      e := Abs(h * (1 / 360 * _ik1[m] - 128 / 4275 * _ik3[m]
        - 2197 / 75240 * _ik4[m] + 1 / 50 * _ik5[m] + 2 / 55 * _ik6[m]));
      yq := Abs(_iy0[m]);
      if Abs(_iy1[m]) > yq then
        yq := Abs(_iy1[m]);
      tol := (EABS + EREL * yq) / 100;
      if tol < 1e-15 * (1 + yq) then
        tol := 1e-15 * (1 + yq);
      if e / tol > err then
        err := e / tol;
    end;
    if err > 0 then
      fac := 0.9 * Exp(-0.2 * Ln(err))
    else
      fac := 5;
    if fac > 5 then
      fac := 5;
    Inc(tries);
    { a step too small to matter is taken whatever its error }
    if (err <= 1) or (h <= 1e-12 * (1 + Abs(t0))) or (tries > 60) then
    begin
      tries := 0;
      accept(_ik5);
      done := h >= tend - t0;
      if done then
        t0 := tend
      else
        t0 := t0 + h;
      if clipped and (fac >= 1) and (hplan > h * fac) then
        h := hplan
      else
        h := h * fac;
      if not done then
      begin
        for m := 0 to n - 1 do
          _hky^[_hkore^[i + m]] := _iy0[m];
        slope(_ik1, t0);
      end;
    end
    else
    begin
      if fac < 0.1 then
        fac := 0.1;
      h := h * fac;
      done := false;
    end;
  until done;
  _hnext[i] := h;
  for m := 0 to n - 1 do
    _hky^[_hkore^[i + m]] := _iy0[m];
end;

procedure _rkf(i, j: integer);
begin
  _integ(i, j, 1);
end;

procedure _eul(i, j: integer);
begin
  _integ(i, j, 2);
end;

procedure _rk4(i, j: integer);
begin
  _integ(i, j, 3);
end;

procedure _ystat(m: integer; var s, s2, lo, hi: real);
begin
  if (m < 0) or (m >= Length(_qy)) then
    Exit;
  s := s + _qy[m];
  s2 := s2 + _qy2[m];
  if _qlo[m] < lo then
    lo := _qlo[m];
  if _qhi[m] > hi then
    hi := _qhi[m];
end;

{ Class 1 is below the lower limit, the last class above the range. }
procedure TAB(x: real; n: integer);
var cls, ncls: integer;
    w: real;
begin
  if (_hkfr = nil) or (_hkdf = nil) or (n < 1) or (n > 20) then
    Exit;
  ncls := Trunc(_hkdf^[n, 2]);
  if ncls > 50 then
    ncls := 50;
  if ncls < 1 then
    Exit;
  w := _hkdf^[n, 3];
  if x < _hkdf^[n, 1] then
    cls := 1
  else if w <= 0 then
    cls := ncls
  else
    cls := Trunc((x - _hkdf^[n, 1]) / w) + 2;
  if cls > ncls then
    cls := ncls;
  Inc(_hkfr^[n, cls]);
end;

procedure _error(const s: string);
begin
  writeln(ErrOutput, 'TALVEN run-time error at time ', time:0:4, ': ', s);
  Halt(2);
end;

procedure _trace;
begin
  if _bt then
    writeln(_ftra, '  time ', time:12:4, '  node ', _n, ' [', iev, ']');
end;

initialization
  _felh := nil;
  _lastt := 0;
  _intt := 0;
end.
