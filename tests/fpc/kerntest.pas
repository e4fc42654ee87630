{ The kernel's event list and message lists against plain reference
  versions: a list of events kept in time order by walking it, and
  message lists kept in arrays; and the small blocks of rtmem.  Every event the kernel hands out, and
  every list's order, links and length, must be the reference's.
  Prints "ok" and exits 0 when every check holds. }
program kerntest;

{$MODE DELPHI}

uses rtmem, rtdefs, rtkern;

var
  fails: integer;

procedure check(ok: boolean; const what: string);
begin
  if not ok then
  begin
    Inc(fails);
    if fails <= 20 then
      writeln('FAILED: ', what);
  end;
end;

function rnd(n: integer): integer;
begin
  Result := Random(n);
end;

{ ---- reference event list: each new event after every event sooner,
  or as soon with no lower priority; blocked events stay in place and
  are passed over ---- }

type
  PRef = ^TRef;
  TRef = record
    t: real;
    pri, nod, inst: integer;
    blk: boolean;
    nx: PRef;
  end;

var
  refh: PRef;
  refn: integer;
  refblocked: array[0..63] of boolean;

procedure refclear;
var e: PRef;
begin
  while refh <> nil do
  begin
    e := refh;
    refh := e^.nx;
    Dispose(e);
  end;
  refn := 0;
end;

procedure refadd(nod, inst, pri: integer; blocked: boolean; t: real);
var e, q, prev: PRef;
begin
  New(e);
  e^.t := t;
  e^.pri := pri;
  e^.nod := nod;
  e^.inst := inst;
  e^.blk := blocked;
  prev := nil;
  q := refh;
  while (q <> nil) and ((q^.t < t) or ((q^.t = t) and (q^.pri >= pri))) do
  begin
    prev := q;
    q := q^.nx;
  end;
  e^.nx := q;
  if prev = nil then
    refh := e
  else
    prev^.nx := e;
  Inc(refn);
end;

{ The event that fires next, taken out; nil when none can. }
function refpop: PRef;
var prev: PRef;
begin
  prev := nil;
  Result := refh;
  while (Result <> nil) and Result^.blk do
  begin
    prev := Result;
    Result := Result^.nx;
  end;
  if Result = nil then
    Exit;
  if prev = nil then
    refh := Result^.nx
  else
    prev^.nx := Result^.nx;
  Dec(refn);
end;

procedure refext(nod: integer; t: real; inst: integer);
var e, prev, nx: PRef;
begin
  prev := nil;
  e := refh;
  while e <> nil do
  begin
    nx := e^.nx;
    if (e^.nod = nod) and ((inst <= 0) or (e^.inst = inst)) and
      ((t < 0) or (Abs(e^.t - t) <= 1e-9 * (1 + Abs(t)))) then
    begin
      if prev = nil then
        refh := nx
      else
        prev^.nx := nx;
      Dispose(e);
      Dec(refn);
      if t >= 0 then
        Exit;
    end
    else
      prev := e;
    e := nx;
  end;
end;

{ BLOCK marks a node's events; DEBLOCK lets them go, and those that fell
  due meanwhile (before the clock) happen now, in the order they were
  due, as if scheduled now. }
procedure refblock(nod: integer; v: boolean);
var e, prev, nx, held, last: PRef;
begin
  held := nil;
  last := nil;
  prev := nil;
  e := refh;
  while e <> nil do
  begin
    nx := e^.nx;
    if e^.nod = nod then
    begin
      if not v and e^.blk and (e^.t < time) then
      begin
        if prev = nil then
          refh := nx
        else
          prev^.nx := nx;
        Dec(refn);
        e^.nx := nil;
        if last = nil then
          held := e
        else
          last^.nx := e;
        last := e;
        e := nx;
        Continue;
      end;
      e^.blk := v;
    end;
    prev := e;
    e := nx;
  end;
  while held <> nil do
  begin
    e := held;
    held := e^.nx;
    refadd(e^.nod, e^.inst, e^.pri, false, time);
    Dispose(e);
  end;
end;

function refvoid: boolean;
var e: PRef;
begin
  e := refh;
  while (e <> nil) and e^.blk do
    e := e^.nx;
  Result := e = nil;
end;

{ A time of a pending event, or -1 when there is none. }
function refsometime: real;
var e: PRef;
    k: integer;
begin
  Result := -1;
  if refn = 0 then
    Exit;
  k := rnd(refn);
  e := refh;
  while k > 0 do
  begin
    e := e^.nx;
    Dec(k);
  end;
  Result := e^.t;
end;

{ Takes the next event from both and compares them. }
procedure popboth(const what: string);
var r: PRef;
    was: real;
begin
  _es := false;
  was := time;
  r := refpop;
  _exfel;
  if r = nil then
  begin
    check(_es, what + ': no event can fire');
    { the kernel ends the run at TSIM; the test goes on from here }
    time := was;
  end
  else
  begin
    check(not _es and (time = r^.t) and (_n = r^.nod) and (iev = r^.inst) and
      (evp = r^.pri), what + ': the same next event');
    Dispose(r);
  end;
end;

procedure drainboth(const what: string);
var k: integer;
begin
  for k := 0 to refn do
    popboth(what);
  _es := false;
end;

procedure fresh;
var n: integer;
begin
  drainboth('emptied');
  for n := 0 to High(refblocked) do
    if refblocked[n] then
    begin
      DEBLOCK(n, refblocked[n]);
      refblock(n, false);
    end;
  drainboth('emptied');
  refclear;
  time := 0;
end;

procedure both(nod, inst, pri: integer; t: real);
begin
  _afel(nod, inst, pri, refblocked[nod], t);
  refadd(nod, inst, pri, refblocked[nod], t);
end;

{ Equal times keep the order they were scheduled in, within a priority;
  a higher priority goes first. }
procedure ties;
var k: integer;
begin
  fresh;
  for k := 1 to 50 do
    both(k, k mod 3, 0, 4);
  both(60, 1, 5, 4);
  both(61, 1, 0, 3.5);
  both(62, 1, 5, 4);
  both(63, 1, 9, 4);
  for k := 1 to 20 do
    both(k, 1, k mod 4, 4);
  popboth('earlier time first');
  popboth('highest priority first');
  popboth('equal priority: first scheduled first');
  popboth('equal priority: then the second');
  drainboth('ties');
end;

{ Any one event can be taken out, by node, instance and time, and the
  rest keep their order. }
procedure cancellation;
var k, j: integer;
begin
  for k := 0 to 39 do
  begin
    fresh;
    for j := 0 to 39 do
      both(1 + j mod 7, j mod 3, j mod 2, 10 + (j div 4));
    extfel(1 + k mod 7, 10 + (k div 4), k mod 3, 0);
    refext(1 + k mod 7, 10 + (k div 4), k mod 3);
    check(refn = 39, 'one event taken out');
    drainboth('after taking out one event');
  end;
  fresh;
  for j := 0 to 59 do
    both(1 + j mod 5, j mod 3, 0, j * 0.5);
  extfel(2, -1, 0, 0);
  refext(2, -1, 0);
  extfel(3, -1, 1, 0);
  refext(3, -1, 1);
  check(refn = 60 - 12 - 4, 'all events of a node, and of one instance');
  drainboth('after taking out a node');
  fresh;
  both(4, 1, 0, 2);
  BLOCK(4, refblocked[4]);
  refblock(4, true);
  check(VOIDFEL, 'only blocked events: the list counts as empty');
  extfel(4, 2, 1, 0);
  refext(4, 2, 1);
  DEBLOCK(4, refblocked[4]);
  refblock(4, false);
  check(VOIDFEL, 'a blocked event can be taken out');
end;

{ A million random operations on both lists; the kernel numbers its
  events again every thousand or so, as it does past 32 bits. }
procedure randomised;
var k, op, nod, i: integer;
    t: real;
begin
  fresh;
  RandSeed := 4711;
  _seqtop := 1000;
  for k := 1 to 1000000 do
  begin
    op := rnd(100);
    nod := 1 + rnd(12);
    if op < 48 then
    begin
      case rnd(4) of
        0: t := time;
        1: t := time + rnd(4) * 0.5;
        2: t := time + Random * 10;
      else
        t := time + rnd(20);
      end;
      both(nod, rnd(3), rnd(3), t);
    end
    else if op < 92 then
      popboth('random')
    else if op < 95 then
    begin
      t := refsometime;
      i := rnd(3);
      if t >= 0 then
      begin
        extfel(nod, t, i, 0);
        refext(nod, t, i);
      end;
    end
    else if op < 96 then
    begin
      i := rnd(3);
      extfel(nod, -1, i, 0);
      refext(nod, -1, i);
    end
    else if op < 98 then
    begin
      BLOCK(nod, refblocked[nod]);
      refblock(nod, true);
    end
    else
    begin
      DEBLOCK(nod, refblocked[nod]);
      refblock(nod, false);
    end;
    if k mod 1000 = 0 then
      check(VOIDFEL = refvoid, 'VOIDFEL');
    if fails > 20 then
      Exit;
  end;
  drainboth('random, to the end');
  _seqtop := $FFFFFFFF;
end;

{ Thousands of events pending, many at equal times, against a sorted
  array: the heap is many levels deep and its last block part full.
  Events are taken out, scheduled again (as a service that ends and a
  new one that starts) and cancelled one by one. }
type
  TDeep = record
    t: real;
    pri, nod, inst: integer;
  end;

var
  deep: array of TDeep;
  deepn: integer;

{ after every event sooner, or as soon with no lower priority }
procedure deepadd(nod, inst, pri: integer; t: real);
var lo, hi, mid: integer;
begin
  _afel(nod, inst, pri, false, t);
  lo := 0;
  hi := deepn;
  while lo < hi do
  begin
    mid := (lo + hi) div 2;
    if (deep[mid].t < t) or ((deep[mid].t = t) and (deep[mid].pri >= pri)) then
      lo := mid + 1
    else
      hi := mid;
  end;
  if deepn >= Length(deep) then
    SetLength(deep, 2 * deepn + 16);
  if lo < deepn then
    Move(deep[lo], deep[lo + 1], (deepn - lo) * SizeOf(TDeep));
  deep[lo].t := t;
  deep[lo].pri := pri;
  deep[lo].nod := nod;
  deep[lo].inst := inst;
  Inc(deepn);
end;

procedure deepdel(k: integer);
begin
  Dec(deepn);
  if k < deepn then
    Move(deep[k + 1], deep[k], (deepn - k) * SizeOf(TDeep));
end;

procedure deeppop(const what: string);
begin
  _es := false;
  _exfel;
  check(not _es and (deepn > 0) and (time = deep[0].t) and (_n = deep[0].nod) and
    (iev = deep[0].inst) and (evp = deep[0].pri), what);
  if deepn > 0 then
    deepdel(0);
end;

procedure deepheap;
var k, i, j: integer;
    was: real;

  function when: real;
  begin
    if rnd(2) = 0 then
      Result := time + rnd(8) * 0.25
    else
      Result := time + Random * 100;
  end;

begin
  fresh;
  RandSeed := 2718;
  deepn := 0;
  for k := 1 to 6000 do
    deepadd(1 + rnd(40), 1 + rnd(3), rnd(3), when);
  for k := 1 to 150000 do
  begin
    deeppop('deep heap: the same next event');
    deepadd(1 + rnd(40), 1 + rnd(3), rnd(3), when);
    case rnd(10) of
      0, 1: deepadd(1 + rnd(40), 1 + rnd(3), rnd(3), when);
      2: if deepn > 1 then
           deeppop('deep heap: the same next event, one more');
      3: if deepn > 1 then
         begin
           { any pending event, cancelled: the first of its node and
             instance at its time goes }
           i := rnd(deepn);
           j := 0;
           while not ((deep[j].nod = deep[i].nod) and (deep[j].inst = deep[i].inst) and
             (Abs(deep[j].t - deep[i].t) <= 1e-9 * (1 + Abs(deep[i].t)))) do
             Inc(j);
           extfel(deep[i].nod, deep[i].t, deep[i].inst, 0);
           deepdel(j);
         end;
    end;
    if fails > 20 then
      Exit;
  end;
  check(deepn > 4000, 'deep heap: thousands still pending');
  while deepn > 0 do
    deeppop('deep heap: drained in order');
  was := time;
  _es := false;
  _exfel;
  check(_es, 'deep heap: empty at the end');
  _es := false;
  time := was;
end;

{ Nodes stepping on together at one interval, and events far ahead:
  most new events go after every pending one but the far ones, at
  equal times, where the kernel keeps them in order beside its heap.
  Steps are cancelled, nodes blocked a while, events at other times and
  priorities mixed in, and the numbers renewed now and then. }
procedure steps;
var k, nod, i: integer;
begin
  fresh;
  RandSeed := 1234;
  _seqtop := 5000;
  for nod := 1 to 30 do
    both(nod, 1, 0, 0);
  both(40, 1, 0, 1e6);
  both(41, 1, 2, 1e6);
  both(42, 1, 0, 2e6);
  for k := 1 to 200000 do
  begin
    popboth('steps');
    nod := _n;
    if (nod >= 1) and (nod <= 30) then
      both(nod, 1, Ord(rnd(20) = 0), time + 0.1);
    case rnd(40) of
      0: both(31 + rnd(5), 1, rnd(3), time + Random * 3);
      1: both(31 + rnd(5), 1, rnd(3), time);
      2: begin
           { a step cancelled and scheduled again later }
           i := 1 + rnd(30);
           extfel(i, -1, 0, 0);
           refext(i, -1, 0);
           both(i, 1, 0, time + 0.2);
         end;
      3: begin
           i := 1 + rnd(30);
           BLOCK(i, refblocked[i]);
           refblock(i, true);
         end;
      4, 5: begin
           i := 1 + rnd(30);
           DEBLOCK(i, refblocked[i]);
           refblock(i, false);
         end;
    end;
    if fails > 20 then
      Exit;
  end;
  for i := 1 to 30 do
    if refblocked[i] then
    begin
      DEBLOCK(i, refblocked[i]);
      refblock(i, false);
    end;
  extfel(40, -1, 0, 0);
  refext(40, -1, 0);
  drainboth('steps, to the end');
  _seqtop := $FFFFFFFF;
end;

{ ---- message lists against arrays ---- }

const
  nlists = 4;
  nmess = 60;

var
  pool: array[0..nmess - 1] of _pl;
  ref: array[1..nlists] of array of _pl;
  copies: integer;

{ A message as new leaves it: whatever the memory held, here random. }
function newmess(num: integer): _pl;
var h: _pfhead;
    k: integer;
begin
  New(h);
  FillChar(h^, SizeOf(h^), 0);
  New(Result);
  for k := 0 to SizeOf(Result^) - 1 do
    PByte(Result)[k] := rnd(256);
  Result^.r := 1;
  Result^.b := h;
  Result^.pas := nil;
  Result^.number := num;
  Result^.nor := 'GEN';
end;

function refwhere(m: _pl; out l, k: integer): boolean;
var a, b: integer;
begin
  for a := 1 to nlists do
    for b := 0 to High(ref[a]) do
      if ref[a][b] = m then
      begin
        l := a;
        k := b;
        Exit(true);
      end;
  Result := false;
end;

procedure refinsert(l, k: integer; m: _pl);
var j: integer;
begin
  SetLength(ref[l], Length(ref[l]) + 1);
  for j := High(ref[l]) downto k + 1 do
    ref[l][j] := ref[l][j - 1];
  ref[l][k] := m;
end;

procedure refremove(m: _pl);
var l, k, j: integer;
begin
  if not refwhere(m, l, k) then
    Exit;
  for j := k to High(ref[l]) - 1 do
    ref[l][j] := ref[l][j + 1];
  SetLength(ref[l], Length(ref[l]) - 1);
end;

function refpos(l: integer; m: _pl): integer;
begin
  for Result := 0 to High(ref[l]) do
    if ref[l][Result] = m then
      Exit;
  Result := -1;
end;

{ After 'at' when it is in the list and not the last, else at the end. }
procedure refafter(l: integer; m, at: _pl);
var k: integer;
begin
  k := -1;
  if (at <> nil) and (at <> m) then
    k := refpos(l, at);
  if k < 0 then
    refinsert(l, Length(ref[l]), m)
  else
    refinsert(l, k + 1, m);
end;

procedure refbefore(l: integer; m, at: _pl);
var k: integer;
begin
  k := -1;
  if (at <> nil) and (at <> m) then
    k := refpos(l, at);
  if k < 0 then
    refinsert(l, 0, m)
  else
    refinsert(l, k, m);
end;

{ Every list as the reference has it: forwards from _fl, backwards by
  the kernel's back links, its last and its length. }
procedure samelists(const what: string);
var l, k: integer;
    q, prev: _pl;
    ok: boolean;
begin
  for l := 1 to nlists do
  begin
    ok := true;
    q := _hkfl^[l];
    prev := nil;
    for k := 0 to High(ref[l]) do
    begin
      if (q <> ref[l][k]) or (q^.prv <> prev) or (q^.lis <> l) then
      begin
        ok := false;
        Break;
      end;
      prev := q;
      q := q^.p;
    end;
    ok := ok and (q = nil) and (_hkll^[l] = prev) and
      (_hkl^^[l] = Length(ref[l]));
    check(ok, what + ': list order, links and length');
  end;
end;

var
  okey, fkey: real;

{ The model's _uprvo for _sort: the key is the record's xt. }
procedure loadkey(_ni: word; _s: pointer);
begin
  okey := _pfhead(_s)^.xt;
end;

{ SORT: a stable sort by key, up (A) or down (D). }
procedure refsort(l: integer; c: char);
var a, z: integer;
    t: _pl;
    sw: boolean;
begin
  for a := 1 to High(ref[l]) do
  begin
    t := ref[l][a];
    z := a - 1;
    while z >= 0 do
    begin
      if c = 'D' then
        sw := _pfhead(ref[l][z]^.b)^.xt < _pfhead(t^.b)^.xt
      else
        sw := _pfhead(ref[l][z]^.b)^.xt > _pfhead(t^.b)^.xt;
      if not sw then
        Break;
      ref[l][z + 1] := ref[l][z];
      Dec(z);
    end;
    ref[l][z + 1] := t;
  end;
end;

function anymess: _pl;
begin
  if rnd(8) = 0 then
    Result := nil
  else
    Result := pool[rnd(nmess)];
end;

{ The reference does not know a copy's address: take it from the
  kernel's list at the place the reference gave it, checked around it. }
procedure q_fill(l: integer);
var k: integer;
    q: _pl;
begin
  q := _hkfl^[l];
  for k := 0 to High(ref[l]) do
  begin
    if q = nil then
      Exit;
    if ref[l][k] = nil then
      ref[l][k] := q;
    q := q^.p;
  end;
end;

procedure lists;
var k, l, pos, j: integer;
    m, at: _pl;
    c: char;
begin
  _tces := time;
  for l := 1 to nlists do
  begin
    _hkfl^[l] := nil;
    _hkll^[l] := nil;
    _hkl^^[l] := 0;
    SetLength(ref[l], 0);
  end;
  for k := 0 to nmess - 1 do
  begin
    pool[k] := newmess(k);
    _pfhead(pool[k]^.b)^.xt := rnd(5);
  end;
  _hkuprvo := loadkey;
  copies := 0;
  for k := 1 to 200000 do
  begin
    time := time + 0.01;
    m := pool[rnd(nmess)];
    l := 1 + rnd(nlists);
    if rnd(2) = 0 then
      c := 'A'
    else
      c := 'B';
    case rnd(7) of
      6:
        if rnd(10) = 0 then
        begin
          if c = 'B' then
            c := 'D';
          _sort(l, fkey, okey, c);
          refsort(l, c);
        end;
      0:
        if not refwhere(m, j, pos) then
        begin
          if c = 'A' then
          begin
            _agr(l, m, 'l');
            refinsert(l, Length(ref[l]), m);
          end
          else
          begin
            _agr(l, m, 'f');
            refinsert(l, 0, m);
          end;
        end;
      1:
        begin
          _extr(m, l);
          if refpos(l, m) >= 0 then
            refremove(m);
        end;
      2, 3:
        begin
          at := anymess;
          _tran(rnd(2) = 0, 1 + rnd(nlists), l, c, m, at);
          refremove(m);
          if c = 'A' then
            refafter(l, m, at)
          else
            refbefore(l, m, at);
        end;
      4:
        begin
          at := anymess;
          if (at <> nil) and (refpos(l, at) < 0) then
            at := nil;
          if at <> m then
          begin
            _inter(l, m, at, nil);
            refremove(m);
            if at = nil then
              refinsert(l, 0, m)
            else
              refafter(l, m, at);
          end;
        end;
      5:
        if copies < 2000 then
        begin
          at := anymess;
          _copy(m, l, c, at);
          Inc(copies);
          { the copy is the message next to where it was put }
          if c = 'A' then
          begin
            if (at = nil) or (refpos(l, at) < 0) then
              refinsert(l, Length(ref[l]), nil)
            else
              refinsert(l, refpos(l, at) + 1, nil);
          end
          else if (at = nil) or (refpos(l, at) < 0) then
            refinsert(l, 0, nil)
          else
            refinsert(l, refpos(l, at), nil);
          { name the copy in the reference by the kernel's list }
          q_fill(l);
        end;
    end;
    if k mod 97 = 0 then
      samelists('random list operations');
    if fails > 20 then
      Exit;
  end;
  samelists('random list operations, at the end');
end;

{ ---- the end of a service: the R node takes from its list the message
  whose service the current event ends (_exlx) ---- }

{ A message enters service as the R node's text does it: its end time in
  xt, its event scheduled while it is in hand, then it joins the list. }
function serve(l: integer; t: real): _pl;
begin
  Result := newmess(0);
  _pfhead(Result^.b)^.xt := t;
  _px := Result;
  _afel(7, 1, 0, false, t);
  _agr(l, Result, 'l');
end;

function ending(l: integer): _pl;
begin
  _es := false;
  _exfel;
  Result := _hkfl^[l];
  _exlx(Result, l);
  _extr(Result, l);
end;

procedure services;
const l = 9;
var a, b, c, d, e, f: _pl;
begin
  fresh;
  _hkfl^[l] := nil;
  _hkll^[l] := nil;
  _hkl^^[l] := 0;
  a := serve(l, 3);
  b := serve(l, 1);
  c := serve(l, 2);
  check(ending(l) = b, 'the service ending first');
  check(ending(l) = c, 'then the next');
  check(ending(l) = a, 'then the last');
  d := serve(l, 5);
  e := serve(l, 5);
  check((ending(l) = d) and (time = 5), 'equal ends: the first of the list');
  check(ending(l) = e, 'equal ends: then the other');
  { its own message gone, an event ends the service whose end is nearest }
  d := serve(l, 8);
  e := serve(l, 9);
  f := newmess(0);
  _pfhead(f^.b)^.xt := 8.5;
  _agr(l, f, 'f');
  _extr(d, l);
  check(ending(l) = f, 'own message gone: the nearest end');
  check(ending(l) = e, 'and the last');
  check(_hkl^^[l] = 0, 'every service ended');
end;

{ Thousands of services at once, as in a station of many servers: the
  kernel then fetches ahead the messages and records the next events
  will read.  Each event ends the service it was scheduled for, in time
  order, and the list stays linked both ways. }
procedure manyservices;
const l = 9;
      n = 5000;
var k, len: integer;
    m, q: _pl;
    last: real;
    ok, linked: boolean;
begin
  fresh;
  _hkfl^[l] := nil;
  _hkll^[l] := nil;
  _hkl^^[l] := 0;
  RandSeed := 99;
  for k := 1 to n do
    serve(l, 1 + Random * 1000);
  ok := true;
  linked := true;
  last := 0;
  for k := 1 to 3 * n do
  begin
    m := ending(l);
    ok := ok and (m <> nil) and (_pfhead(m^.b)^.xt = time) and (time >= last);
    last := time;
    if k <= 2 * n then
      serve(l, time + Random * 1000);
    if k mod 997 = 0 then
    begin
      len := 0;
      q := _hkfl^[l];
      while q <> nil do
      begin
        Inc(len);
        if (q^.p <> nil) and (q^.p^.prv <> q) then
          linked := false;
        q := q^.p;
      end;
      linked := linked and (len = _hkl^^[l]);
    end;
  end;
  check(ok, 'thousands of services: each event ends its own, in time order');
  check(linked, 'thousands of services: the list linked both ways');
  check((_hkl^^[l] = 0) and (_hkfl^[l] = nil), 'thousands of services: every one ended');
end;

{ ---- ORDER against the walk the generated code used to write ---- }

function xkey(m: _pl): real;
begin
  Result := _pfhead(m^.b)^.xt;
end;

{ The walk: past every message whose key the new one passes. }
procedure refwalk(l: integer; key: real; down: boolean; out pu, pa, seen: _pl;
  out bs: boolean);
var k: integer;
begin
  pa := nil;
  pu := nil;
  seen := nil;
  bs := true;
  for k := 0 to High(ref[l]) do
  begin
    seen := ref[l][k];
    if (down and (key <= xkey(seen))) or (not down and (key >= xkey(seen))) then
      pa := seen
    else
    begin
      pu := seen;
      bs := false;
      Exit;
    end;
  end;
end;

procedure orders;
const nord = 3000;
var k, l, j, pos, lastl: integer;
    m, pu, pa, seen, lastm: _pl;
    key: real;
    bs, down: boolean;
    c: char;
    ms: array[0..nord - 1] of _pl;
begin
  _tces := time;
  for l := 1 to 2 do
  begin
    _hkfl^[l] := nil;
    _hkll^[l] := nil;
    _hkl^^[l] := 0;
    SetLength(ref[l], 0);
  end;
  for k := 0 to nord - 1 do
    ms[k] := newmess(k);
  _hkuprvo := loadkey;
  down := false;
  lastm := nil;
  lastl := 0;
  for k := 1 to 300000 do
  begin
    time := time + 0.01;
    l := 1 + rnd(2);
    m := ms[rnd(nord)];
    { a long stretch where only ORDER puts messages in: the index grows,
      splits and joins its blocks }
    if (k > 100000) and (k <= 250000) then
      j := rnd(32)
    else
      j := rnd(40);
    case j of
      0..19:
        if not refwhere(m, j, pos) then
        begin
          if (rnd(200) = 0) and ((k <= 100000) or (k > 250000)) then
            down := not down;
          case rnd(3) of
            0: key := rnd(6);
            1: key := Random * 100;
          else
            key := k / 1000 + rnd(3);
          end;
          _pfhead(m^.b)^.xt := key;
          if down then
            c := 'D'
          else
            c := 'A';
          refwalk(l, key, down, pu, pa, seen, bs);
          O_PMESS := nil;
          _order(l, m, key, okey, c);
          check((_pu = pu) and (_pa = pa) and (_bs = bs) and (O_PMESS = seen),
            'ORDER leaves what the walk left');
          if pu = nil then
            refinsert(l, Length(ref[l]), m)
          else
            refinsert(l, refpos(l, pu), m);
          lastm := m;
          lastl := l;
        end;
      20..31:
        if (Length(ref[l]) > 0) and ((k <= 100000) or (k > 175000) or (rnd(3) = 0)) then
        begin
          if rnd(3) = 0 then
            m := ref[l][rnd(Length(ref[l]))]
          else
            m := ref[l][0];
          _extr(m, l);
          refremove(m);
        end;
      32:
        { node code changes the key of the message ORDER just placed }
        if (lastm <> nil) and (refpos(lastl, lastm) >= 0) then
          _pfhead(lastm^.b)^.xt := rnd(6);
      33:
        { UPDATE writes a message's record where it waits }
        if refwhere(m, j, pos) then
        begin
          _pfhead(m^.b)^.xt := rnd(6);
          _recw(m);
        end;
      34:
        if not refwhere(m, j, pos) then
        begin
          _pfhead(m^.b)^.xt := rnd(6);
          _agr(l, m, 'l');
          refinsert(l, Length(ref[l]), m);
        end;
      35:
        if rnd(20) = 0 then
        begin
          if rnd(2) = 0 then
            c := 'A'
          else
            c := 'D';
          _sort(l, fkey, okey, c);
          refsort(l, c);
        end;
    end;
    if k mod 101 = 0 then
      samelists('ORDER and the list operations');
    if fails > 20 then
      Exit;
  end;
  samelists('ORDER, at the end');
end;


{ ---- small blocks (rtmem) ----
  Blocks of every size, from the lists and from the heap, made, grown,
  shrunk and freed at random: each keeps its contents, and once all are
  freed the count of blocks in use is back where it was. }
procedure blocks;
const n = 2000;
var p: array[0..n - 1] of PByte;
    sz: array[0..n - 1] of integer;
    k, i, j, s: integer;
    base: int64;
    a, b, c, d: PByte;
    ok: boolean;
    str: ansistring;
    dyn: array of integer;

  procedure fill(k: integer);
  var i: integer;
  begin
    for i := 0 to sz[k] - 1 do
      p[k][i] := byte(k * 7 + i);
  end;

  function same(k, upto: integer): boolean;
  var i: integer;
  begin
    Result := true;
    for i := 0 to upto - 1 do
      if p[k][i] <> byte(k * 7 + i) then
        Exit(false);
  end;

begin
  RandSeed := 4711;
  base := _memblocks;
  for k := 0 to n - 1 do
  begin
    p[k] := nil;
    sz[k] := 0;
  end;
  ok := true;
  for i := 1 to 200000 do
  begin
    k := rnd(n);
    s := 1 + rnd(600);
    if p[k] = nil then
    begin
      GetMem(p[k], s);
      sz[k] := s;
      fill(k);
    end
    else if rnd(3) = 0 then
    begin
      ok := ok and same(k, sz[k]);
      FreeMem(p[k]);
      p[k] := nil;
    end
    else
    begin
      { the contents up to the shorter size stay }
      ReAllocMem(p[k], s);
      if s < sz[k] then
        sz[k] := s;
      ok := ok and same(k, sz[k]);
      sz[k] := s;
      fill(k);
    end;
    if (p[k] <> nil) and (MemSize(p[k]) < ptruint(sz[k])) then
      ok := false;
  end;
  check(ok, 'blocks keep their contents through GetMem, ReAllocMem and FreeMem');
  for k := 0 to n - 1 do
    if p[k] <> nil then
    begin
      check(same(k, sz[k]), 'a block kept its contents to the end');
      FreeMem(p[k]);
    end;
  check(_memblocks = base, 'every block made is given back');

  { a block freed is made again: memory follows the blocks alive }
  GetMem(a, 100);
  FreeMem(a);
  GetMem(b, 100);
  check(a = b, 'a freed block is reused');
  { a message's block and its two words start a cache line }
  check((PtrUInt(b) - 16) mod 64 = 0, 'a block of 100 bytes starts a cache line');
  FreeMem(b);

  { writing over a block after freeing it spoils that block alone; read,
    it holds a link and nil in its first words, as the heap leaves it }
  GetMem(a, 40);
  GetMem(b, 40);
  FreeMem(a);
  check(PPointer(a)[1] = nil, 'a freed block reads as the heap leaves it');
  FillChar(a^, 40, $FF);
  GetMem(c, 40);
  GetMem(d, 40);
  check((c <> d) and (c <> b) and (d <> b), 'blocks made after a freed one was written over are apart');
  FillChar(c^, 40, 1);
  FillChar(d^, 40, 2);
  check((c[39] = 1) and (d[0] = 2), 'blocks made after a freed one was written over hold their data');
  FreeMem(b);
  FreeMem(c);
  FreeMem(d);

  { strings and dynamic arrays grow across the largest size kept here }
  str := '';
  for i := 1 to 1000 do
    str := str + chr(65 + i mod 26);
  ok := Length(str) = 1000;
  for i := 1 to 1000 do
    if str[i] <> chr(65 + i mod 26) then
      ok := false;
  check(ok, 'a string grown a character at a time');
  SetLength(dyn, 0);
  for i := 0 to 999 do
  begin
    SetLength(dyn, i + 1);
    dyn[i] := i * i;
  end;
  ok := true;
  for j := 0 to 999 do
    if dyn[j] <> j * j then
      ok := false;
  check(ok, 'a dynamic array grown an element at a time');
end;

begin
  fails := 0;
  tsim := 1e30;
  time := 0;
  ties;
  cancellation;
  randomised;
  deepheap;
  steps;
  lists;
  services;
  manyservices;
  orders;
  blocks;
  if fails = 0 then
    writeln('ok')
  else
  begin
    writeln(fails, ' checks failed');
    Halt(1);
  end;
end.
