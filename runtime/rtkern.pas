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
{$POINTERMATH ON}

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

var
  { events are numbered in the order they are scheduled, to keep that
    order among equal times; past this number they are numbered again
    from 0, in the same order (kept in 32 bits in the heap) }
  _seqtop: int64 = $FFFFFFFF;

{ node scan of the main program: the node tables (pru's _tipnod, _numel,
  _mulno and _meld with its rows and columns), then the next node and the
  next copy of a node the scan must call; the others cannot act now. }
procedure _scaninit(n: integer; tip, numel, mulno, meld: pointer;
  mrows, mcols: integer);
procedure _nxnode(var n1, k: integer); inline;
function _nxinst(n1: integer; var jk: integer): boolean; inline;
procedure _nxnodex(var n1, k: integer);
function _nxinstx(n1: integer; var jk: integer): boolean;

var
  { the scan of a small network whose nodes have one copy each: every
    node is called once, in turn, and the calls above take no call of
    their own }
  _sone: boolean;
  _sonen: integer;        { its nodes }

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
{ ORDER: m goes into list l before the first message whose field (fo, as
  _uprvo loads it) the key does not pass: ascending ('A') puts it after
  every message with a key up to its own, descending ('D') after every
  one with a key from its own up.  Leaves _pu, _pa, _bs and the O_
  variables as a walk from the front would. }
procedure _order(l: integer; m: _pl; key: real; var fo: real; c: char); overload;
procedure _order(l: integer; m: _pl; key: real; var fo: integer; c: char); overload;
procedure _order(l: integer; m: _pl; key: real; var fo: byte; c: char); overload;
procedure _order(l: integer; m: _pl; key: real; var fo: word; c: char); overload;
{ The record of m was written by node code (UPDATE). }
procedure _recw(m: _pl);

{ integration of equations i..j of _fec }
procedure _eul(i, j: integer);
procedure _rk4(i, j: integer);
procedure _rkf(i, j: integer);
{ Statistics of a measured continuous variable, equation m: adds the time
  integrals of the variable and of its square since hc, the time its
  statistics last took, up to the end of the last integration, to s and
  s2, and widens lo and hi by its extremes there. }
procedure _ystat(m: integer; var s, s2, lo, hi, hc: real);

{ frequency tables and run control }
procedure TAB(x: real; n: integer);
procedure _error(const s: string);
procedure _trace; inline;
procedure _tracex;

implementation

uses Math;

{ ---- event list ----
  Pending events live in a heap ordered by time, then by priority
  (higher first), then by the order they were scheduled in: the order a
  list that puts each new event after every event sooner, or as soon
  with no lower priority, would give them.  Each event is also kept
  with the other events of its node and instance, so that the events of
  one node are found without looking at the others.  The events of a
  blocked node keep their place; met at the top of the heap, they wait
  aside until DEBLOCK.  Event records are recycled, so memory follows
  the number of events pending. }
type
  _pgrp = ^_rgrp;
  _pev = ^_rev;
  _rev = record
    t: real;
    key: qword;           { its priority and seq in one word (_key2) }
    pri: integer;
    nod, inst: integer;
    blk: boolean;         { its node is blocked }
    inheap: boolean;      { it has its entry in the heap }
    aside: boolean;       { blocked and taken out of the heap }
    gone: boolean;        { taken out while its entry is still in the heap }
    moved: boolean;       { held by a block and let go at a later instant }
    seq: int64;           { scheduling order; -1 once the event is gone }
    grp: _pgrp;
    gix: integer;         { place in its group's array }
    bnx, bpv: _pev;       { events set aside; the free list uses bnx }
    msg: _pl;             { the message whose service this event ends }
  end;
  _rgrp = record
    nod, inst: integer;
    evs: array of _pev;   { its pending events, in no order }
    n: integer;
    hnx: _pgrp;           { next group in the same hash slot }
    nnx: _pgrp;           { next group of the same node slot }
  end;
  { The heap keeps each entry's time beside its event, four entries to a
    block of 64 bytes (times first): the four children of an entry
    share one block, so choosing the least of them, and moving it up,
    reads one cache line.  Equal times are told apart by the events'
    keys.  The entry of an event taken out stays, dead, until it is met
    at the top; the event's record is recycled then. }
  _hblk = record
    t: array[0..3] of real;
    e: array[0..3] of _pev;
  end;
  _phblk = ^_hblk;

const
  _maxnslot = 1 shl 20;   { nodes beyond share slot 0 }

var
  { the heap, entries 1 .. _hn, entry 1 the least; entry j lies in
    block (j + 2) div 4 at place (j + 2) mod 4, so the children of
    entry i, 4i-2 .. 4i+1, fill block i; _hcap entries fit }
  _hb: _phblk;
  _hcap: integer;
  _hbmem: pointer;        { the memory _hb lies in }
  _hn: integer;
  _ndead: integer;        { dead entries in the heap }
  _nev: integer;          { events pending }
  _nblk: integer;         { events of blocked nodes }
  _blkh: _pev;            { blocked events set aside, in no order }
  _freev: _pev;
  _seq: int64;
  _ghash: array of _pgrp;
  _ngrp: integer;
  _nslot: array of _pgrp; { groups of each node }
  _lastt: real;           { time of the last event taken }
  _epoch: longword;       { runs started, part of the lists' marks }
  _epochmix: longword;    { _epoch * 40503, as the marks use it }
  { the event scheduled last, and the message in hand then: the message
    it is for when that message enters a list next }
  _lastev: _pev;
  _lastseq: int64;
  _lastpx: _pl;
  _curmsg: _pl;           { the message of the event taken last }
  _curmoved: boolean;     { that event was held by a block }
  _curgrp: _pgrp;         { its group: a node often schedules itself again }

function _evless(a, b: _pev): boolean; inline;
begin
  if a^.t <> b^.t then
    Result := a^.t < b^.t
  else if a^.pri <> b^.pri then
    Result := a^.pri > b^.pri
  else
    Result := a^.seq < b^.seq;
end;

{ priority, higher first, then scheduling number, in one word }
function _key2(e: _pev): qword; inline;
begin
  Result := (qword(int64(High(integer)) - e^.pri) shl 32) or qword(e^.seq and $FFFFFFFF);
end;

{ The time and the event of heap entry j; setting both. }
function _ht(j: integer): real; inline;
begin
  Result := _hb[(j + 2) shr 2].t[(j + 2) and 3];
end;

function _he(j: integer): _pev; inline;
begin
  Result := _hb[(j + 2) shr 2].e[(j + 2) and 3];
end;

procedure _hset(j: integer; t: real; e: _pev); inline;
var b: _phblk;
begin
  b := @_hb[(j + 2) shr 2];
  b^.t[(j + 2) and 3] := t;
  b^.e[(j + 2) and 3] := e;
end;

{ Entry (ta, ea) comes before entry (tb, eb).  The test of the times
  gives its answer as a value, not as a jump: among entries whose order
  is a toss-up the processor would guess a jump wrong half the time. }
function _hbefore(ta: real; ea: _pev; tb: real; eb: _pev): boolean; inline;
begin
  if ta <> tb then
    Result := ta < tb
  else
    Result := ea^.key < eb^.key;
end;

{ Room for n entries (the heap's entries kept). }
procedure _hgrow(n: integer);
var mem: pointer;
    b: _phblk;
    nb: integer;
begin
  if n < 64 then
    n := 64;
  nb := (n + 2) shr 2 + 1;
  GetMem(mem, (nb + 1) * SizeOf(_hblk));
  b := _phblk((PtrUInt(mem) + 63) and not PtrUInt(63));
  if _hn > 0 then
    Move(_hb[0], b[0], ((_hn + 2) shr 2 + 1) * SizeOf(_hblk));
  if _hbmem <> nil then
    FreeMem(_hbmem);
  _hbmem := mem;
  _hb := b;
  _hcap := n;
end;

procedure _siftup(i: integer);
var t, pt: real;
    e, pe: _pev;
    j, r, pr: integer;
    hb, bk, pb: _phblk;
begin
  hb := _hb;
  bk := @hb[(i + 2) shr 2];
  r := (i + 2) and 3;
  t := bk^.t[r];
  e := bk^.e[r];
  while i > 1 do
  begin
    j := (i + 2) shr 2;
    pb := @hb[(j + 2) shr 2];
    pr := (j + 2) and 3;
    pt := pb^.t[pr];
    pe := pb^.e[pr];
    if (t > pt) or ((t = pt) and (e^.key > pe^.key)) then
      Break;
    bk^.t[r] := pt;
    bk^.e[r] := pe;
    bk := pb;
    r := pr;
    i := j;
  end;
  bk^.t[r] := t;
  bk^.e[r] := e;
end;

{ Entry (ta, ka) before entry (tb, kb), times then keys, both tests made
  so that the answer is a value and not a jump. }
{$B+}
function _hbeforek(ta: real; ka: qword; tb: real; kb: qword): boolean; inline;
begin
  Result := (ta < tb) or ((ta = tb) and (ka < kb));
end;
{$B-}

{ The place (0 .. 3) of the least of the four entries of block bk.  The
  tests are turned into values, not jumps: among entries whose order is
  a toss-up the processor would guess a jump wrong half the time.
  Equal times, rare where times are drawn, need the events' keys. }
function _least4(bk: _phblk): integer; inline;
var a, b: integer;
    t0, t1, t2, t3, ta, tb: real;
    k: array[0..3] of qword;
begin
  t0 := bk^.t[0];
  t1 := bk^.t[1];
  t2 := bk^.t[2];
  t3 := bk^.t[3];
  if (t0 <> t1) and (t2 <> t3) then
  begin
    a := Ord(t1 < t0);
    b := 2 + Ord(t3 < t2);
    ta := bk^.t[a];
    tb := bk^.t[b];
    if ta <> tb then
      Exit(a + (b - a) * Ord(tb < ta));
  end;
  k[0] := bk^.e[0]^.key;
  k[1] := bk^.e[1]^.key;
  k[2] := bk^.e[2]^.key;
  k[3] := bk^.e[3]^.key;
  a := Ord(_hbeforek(t1, k[1], t0, k[0]));
  b := 2 + Ord(_hbeforek(t3, k[3], t2, k[2]));
  Result := a + (b - a) * Ord(_hbeforek(bk^.t[b], k[b], bk^.t[a], k[a]));
end;

{ The least child of i, or 0 when i has none. }
function _minchild(i: integer): integer;
var c: integer;
begin
  c := 4 * i - 2;
  if c + 3 <= _hn then
    Exit(c + _least4(@_hb[i]));
  if c > _hn then
    Exit(0);
  Result := c;
  Inc(c);
  while c <= _hn do
  begin
    if _hbefore(_ht(c), _he(c), _ht(Result), _he(Result)) then
      Result := c;
    Inc(c);
  end;
end;

procedure _siftdown(i: integer);
var t: real;
    e: _pev;
    j: integer;
begin
  t := _ht(i);
  e := _he(i);
  while True do
  begin
    j := _minchild(i);
    if (j = 0) or not _hbefore(_ht(j), _he(j), t, e) then
      Break;
    _hset(i, _ht(j), _he(j));
    i := j;
  end;
  _hset(i, t, e);
end;


{ Takes out the least entry: the hole it leaves goes down along the
  least children to the bottom, where the last entry, which belongs near
  there, fills it. }
procedure _popmin;
var i, j, n, r: integer;
    hb, bk, hole: _phblk;
begin
  Dec(_hn);
  n := _hn;
  if n = 0 then
    Exit;
  hb := _hb;
  i := 1;
  { the hole at i, in block hole at place r }
  hole := hb;
  r := 3;
  while 4 * i + 1 <= n do
  begin
    bk := @hb[i];
    j := _least4(bk);
    hole^.t[r] := bk^.t[j];
    hole^.e[r] := bk^.e[j];
    hole := bk;
    r := j;
    i := 4 * i - 2 + j;
  end;
  j := _minchild(i);
  if (j > 0) and (j <= n) then
  begin
    _hset(i, _ht(j), _he(j));
    i := j;
  end;
  _hset(i, _ht(n + 1), _he(n + 1));
  _siftup(i);
end;

{ ---- the row ----
  Beside the heap, a row of entries in order, taken from its front:
  an event that goes after the last of the row (a node that steps on
  at a fixed interval, a service that ends after every pending one) or
  before its first joins it at once, and one that goes just before one
  of its last few is put in place there; the rest go to the heap.  The
  next event is the sooner of the row's first and the heap's least.
  Where many events fall at equal times (C nodes stepping together)
  the heap would tell them apart by their keys at every level. }
const
  _roreach = 4;            { entries of the row's end an event may pass }

type
  _roent = record
    t: real;
    e: _pev;
  end;
  _proent = ^_roent;

var
  _robuf: array of _roent;  { a ring: _ron entries from _rohd }
  _rohd, _ron: integer;
  _romask: integer = -1;    { ring size - 1; -1 before it has any }

function _roat(k: integer): _proent; inline;
begin
  Result := @_robuf[(_rohd + k) and _romask];
end;

procedure _rogrow;
var nb: array of _roent;
    k: integer;
begin
  SetLength(nb, 2 * Length(_robuf) + 64 * Ord(Length(_robuf) = 0));
  for k := 0 to _ron - 1 do
    nb[k] := _roat(k)^;
  _robuf := nb;
  _romask := Length(_robuf) - 1;
  _rohd := 0;
end;

{ Event e (its key set) joins the row if it fits there. }
function _roput(e: _pev): boolean;
var t: real;
    buf, p, pp: _proent;
    hd, mask, n, k, j: integer;
begin
  t := e^.t;
  n := _ron;
  if n > _romask then
    _rogrow;
  buf := @_robuf[0];
  hd := _rohd;
  mask := _romask;
  if n > 0 then
  begin
    p := @buf[(hd + n - 1) and mask];
    if not _hbefore(p^.t, p^.e, t, e) then
    begin
      { just before the last (one event far ahead of the others)? }
      if n >= 2 then
      begin
        pp := @buf[(hd + n - 2) and mask];
        if _hbefore(pp^.t, pp^.e, t, e) then
        begin
          buf[(hd + n) and mask] := p^;
          p^.t := t;
          p^.e := e;
          _ron := n + 1;
          Exit(true);
        end;
      end;
      p := @buf[hd];
      if _hbefore(t, e, p^.t, p^.e) then
      begin
        hd := (hd - 1) and mask;
        _rohd := hd;
        _ron := n + 1;
        p := @buf[hd];
        p^.t := t;
        p^.e := e;
        Exit(true);
      end;
      { just before one of the last few?  Entry k goes before e (entry
        0 does, as e did not go before it); the entries after it do not }
      k := n - 1 - _roreach;
      if k < 0 then
        k := 0;
      p := @buf[(hd + k) and mask];
      if (k > 0) and not _hbefore(p^.t, p^.e, t, e) then
        Exit(false);
      { e goes before the last entry, and before those after entry j - 1
        while it goes before entry j - 1 too: they move one on }
      p := @buf[(hd + n) and mask];
      pp := @buf[(hd + n - 1) and mask];
      p^ := pp^;
      p := pp;
      j := n - 1;
      while j - 1 > k do
      begin
        pp := @buf[(hd + j - 1) and mask];
        if not _hbefore(t, e, pp^.t, pp^.e) then
          Break;
        p^ := pp^;
        p := pp;
        Dec(j);
      end;
      p^.t := t;
      p^.e := e;
      _ron := n + 1;
      Exit(true);
    end;
  end;
  p := @buf[(hd + n) and mask];
  p^.t := t;
  p^.e := e;
  _ron := n + 1;
  Result := true;
end;

procedure _heapput(e: _pev); inline;
begin
  e^.key := _key2(e);
  e^.inheap := true;
  if _roput(e) then
    Exit;
  Inc(_hn);
  if _hn >= _hcap then
    _hgrow(2 * _hcap);
  _hset(_hn, e^.t, e);
  _siftup(_hn);
end;

{ The next entry of heap and row, taken out. }
function _takemin: _pev;
var p: _proent;
begin
  if _ron > 0 then
  begin
    p := _roat(0);
    if (_hn = 0) or _hbefore(p^.t, p^.e, _ht(1), _he(1)) then
    begin
      Result := p^.e;
      _rohd := (_rohd + 1) and _romask;
      Dec(_ron);
      Exit;
    end;
  end;
  Result := _he(1);
  _popmin;
end;

{ No entry of heap or row, live or dead, is due at the clock or sooner. }
function _nonedue: boolean;
begin
  Result := ((_hn = 0) or (_ht(1) > time)) and ((_ron = 0) or (_roat(0)^.t > time));
end;

function _hdead(i: integer): boolean; inline;
begin
  Result := _he(i)^.gone;
end;

procedure _recycle(e: _pev); inline;
begin
  e^.gone := false;
  e^.bnx := _freev;
  _freev := e;
end;

{ Dead entries go when they reach the top, or all at once when they are
  as many as the live ones. }
procedure _compact;
var i, n: integer;
begin
  n := 0;
  for i := 1 to _hn do
    if _hdead(i) then
      _recycle(_he(i))
    else
    begin
      Inc(n);
      _hset(n, _ht(i), _he(i));
    end;
  _hn := n;
  n := 0;
  for i := 0 to _ron - 1 do
    if _roat(i)^.e^.gone then
      _recycle(_roat(i)^.e)
    else
    begin
      _roat(n)^ := _roat(i)^;
      Inc(n);
    end;
  _ron := n;
  _ndead := 0;
  for i := (_hn + 2) shr 2 downto 1 do
    _siftdown(i);
end;

{ A blocked event met at the top of the heap waits aside. }
procedure _blkput(e: _pev);
begin
  e^.aside := true;
  e^.bpv := nil;
  e^.bnx := _blkh;
  if _blkh <> nil then
    _blkh^.bpv := e;
  _blkh := e;
end;

procedure _blktake(e: _pev);
begin
  if e^.bpv = nil then
    _blkh := e^.bnx
  else
    e^.bpv^.bnx := e^.bnx;
  if e^.bnx <> nil then
    e^.bnx^.bpv := e^.bpv;
  e^.aside := false;
end;

function _hashof(nod, inst: integer): integer; inline;
begin
  Result := integer((longword(nod) * 2654435761 + longword(inst) * 40503) shr 7)
    and (Length(_ghash) - 1);
end;

function _slotof(nod: integer): integer; inline;
begin
  if (nod > 0) and (nod < _maxnslot) then
    Result := nod
  else
    Result := 0;
end;

procedure _rehash;
var old: array of _pgrp;
    g, nx: _pgrp;
    i, h: integer;
begin
  old := _ghash;
  _ghash := nil;
  SetLength(_ghash, 2 * Length(old));
  for i := 0 to High(old) do
  begin
    g := old[i];
    while g <> nil do
    begin
      nx := g^.hnx;
      h := _hashof(g^.nod, g^.inst);
      g^.hnx := _ghash[h];
      _ghash[h] := g;
      g := nx;
    end;
  end;
end;

{ The group of a node's instance, made when it is new. }
function _group(nod, inst: integer): _pgrp;
var h, s, n: integer;
begin
  { the group made last for a node is the first of its slot: for a node
    of one instance, the only one }
  s := _slotof(nod);
  if s < Length(_nslot) then
  begin
    Result := _nslot[s];
    if (Result <> nil) and (Result^.nod = nod) and (Result^.inst = inst) then
      Exit;
  end;
  h := _hashof(nod, inst);
  Result := _ghash[h];
  while Result <> nil do
  begin
    if (Result^.nod = nod) and (Result^.inst = inst) then
      Exit;
    Result := Result^.hnx;
  end;
  New(Result);
  Result^.nod := nod;
  Result^.inst := inst;
  Result^.evs := nil;
  Result^.n := 0;
  Result^.hnx := _ghash[h];
  _ghash[h] := Result;
  if s >= Length(_nslot) then
  begin
    n := 2 * Length(_nslot);
    if n <= s then
      n := s + 1;
    SetLength(_nslot, n);
  end;
  Result^.nnx := _nslot[s];
  _nslot[s] := Result;
  Inc(_ngrp);
  if _ngrp > 2 * Length(_ghash) then
    _rehash;
end;

function _newev: _pev;
var chunk: _pev;
    i: integer;
begin
  if _freev = nil then
  begin
    { never given back: the events of a run are reused by the next }
    GetMem(chunk, 256 * SizeOf(_rev));
    for i := 0 to 255 do
    begin
      chunk^.bnx := _freev;
      _freev := chunk;
      Inc(chunk);
    end;
  end;
  Result := _freev;
  _freev := Result^.bnx;
end;

{ Takes event e out of everything and recycles it. }
procedure _dropev(e: _pev);
var g: _pgrp;
begin
  if e^.aside then
    _blktake(e);
  if e^.blk then
    Dec(_nblk);
  Dec(_nev);
  g := e^.grp;
  Dec(g^.n);
  if e^.gix <> g^.n then
  begin
    g^.evs[e^.gix] := g^.evs[g^.n];
    g^.evs[e^.gix]^.gix := e^.gix;
  end;
  if e^.msg <> nil then
    e^.msg^.ev := nil;
  e^.msg := nil;
  e^.seq := -1;
  if e^.inheap then
  begin
    e^.gone := true;
    Inc(_ndead);
  end
  else
    _recycle(e);
end;

{ A clock set back (by _com for a new replication) starts a new run:
  events left over from the old one must not fire, and messages left in
  the old lists are no longer theirs. }
procedure _newrun;
var i: integer;
    e: _pev;
begin
  for i := 1 to _hn + _ron do
  begin
    if i <= _hn then
      e := _he(i)
    else
      e := _roat(i - _hn - 1)^.e;
    e^.inheap := false;
    if e^.gone then
      _recycle(e)
    else
      _dropev(e);
  end;
  _hn := 0;
  _ron := 0;
  _ndead := 0;
  while _blkh <> nil do
    _dropev(_blkh);
  _lastt := time;
  _lastev := nil;
  _lastpx := nil;
  _curmsg := nil;
  Inc(_epoch);
  _epochmix := _epoch * 40503;
end;

procedure _checkrun; inline;
begin
  { the clock stands at the last event's time most often }
  if time <> _lastt then
    if time < _lastt - 1e-9 then
      _newrun;
end;

{ Numbers every pending event again from 0, in the order they stand. }
procedure _renumber;
var all, tmp: array of _pev;
    e: _pev;
    n, i, w, lo, mid, hi, a, b, z: integer;
begin
  SetLength(all, _nev);
  n := 0;
  for i := 1 to _hn + _ron do
  begin
    if i <= _hn then
      e := _he(i)
    else
      e := _roat(i - _hn - 1)^.e;
    if e^.gone then
      _recycle(e)
    else
    begin
      all[n] := e;
      Inc(n);
    end;
  end;
  _hn := 0;
  _ron := 0;
  _ndead := 0;
  e := _blkh;
  while e <> nil do
  begin
    all[n] := e;
    Inc(n);
    e := e^.bnx;
  end;
  { merge sort: their order is already total }
  SetLength(tmp, n);
  w := 1;
  while w < n do
  begin
    lo := 0;
    while lo < n do
    begin
      mid := Min(lo + w, n);
      hi := Min(lo + 2 * w, n);
      a := lo;
      b := mid;
      for z := lo to hi - 1 do
        if (b >= hi) or ((a < mid) and _evless(all[a], all[b])) then
        begin
          tmp[z] := all[a];
          Inc(a);
        end
        else
        begin
          tmp[z] := all[b];
          Inc(b);
        end;
      lo := hi;
    end;
    for z := 0 to n - 1 do
      all[z] := tmp[z];
    w := 2 * w;
  end;
  for i := 0 to n - 1 do
  begin
    e := all[i];
    e^.seq := i;
    if e^.msg <> nil then
      e^.msg^.evs := i;
    if e^.inheap then
    begin
      e^.inheap := false;
      _heapput(e);
    end;
  end;
  _seq := n;
  _lastev := nil;
  _lastpx := nil;
end;

procedure _afel(nod, inst, pri: integer; blocked: boolean; t: real;
  pr2: integer);
var e: _pev;
    g: _pgrp;
begin
  _checkrun;
  if pr2 >= 0 then
    pri := pr2;
  if t <> t then
    _error('an event is scheduled at a time that is not a number');
  if _seq > _seqtop then
    _renumber;
  e := _newev;
  e^.t := t;
  e^.pri := pri;
  e^.seq := _seq;
  Inc(_seq);
  e^.nod := nod;
  e^.inst := inst;
  e^.inheap := false;
  e^.aside := false;
  e^.gone := false;
  e^.msg := nil;
  g := _curgrp;
  if (g = nil) or (g^.nod <> nod) or (g^.inst <> inst) then
  begin
    { as _group looks first: the group made last for the node }
    g := nil;
    if (nod > 0) and (nod < _maxnslot) and (nod < Length(_nslot)) then
      g := _nslot[nod];
    if (g = nil) or (g^.nod <> nod) or (g^.inst <> inst) then
      g := _group(nod, inst);
  end;
  e^.grp := g;
  if g^.n >= Length(g^.evs) then
    SetLength(g^.evs, 2 * g^.n + 4);
  g^.evs[g^.n] := e;
  e^.gix := g^.n;
  Inc(g^.n);
  Inc(_nev);
  e^.blk := blocked;
  e^.moved := false;
  if blocked then
    Inc(_nblk);
  _heapput(e);
  _lastev := e;
  _lastseq := e^.seq;
  _lastpx := _px;
end;

{ With many events pending, the messages and records their nodes will
  read are mostly out of the cache: they are fetched ahead.  The message
  of this event: its field record, which its node reads first, and its
  neighbours in its list, which it leaves; the message of the next event
  in the heap, for when that one comes (its record's first line is
  fetched below, every time, one event earlier). }
const
  _aheadmin = 2048;

procedure _ahead(m: _pl);
var n: _pl;
begin
  if m <> nil then
  begin
    if m^.b <> nil then
      prefetch(PByte(m^.b)^);
    n := m^.prv;
    if n <> nil then
      prefetch(n^);
    n := m^.p;
    if n <> nil then
      prefetch(n^);
  end;
  if _hn > 0 then
  begin
    { the rest of the next event's record: its group and its message }
    prefetch(PByte(_he(1))[SizeOf(_rev) - 8]);
    m := _he(1)^.msg;
    if m <> nil then
    begin
      prefetch(m^);
      prefetch(PByte(m)[64]);
    end;
  end;
end;

procedure _exfel;
var e: _pev;
begin
  _checkrun;
  _curmsg := nil;
  while (_hn > 0) or (_ron > 0) do
  begin
    e := _takemin;
    if e^.gone then
    begin
      _recycle(e);
      Dec(_ndead);
      Continue;
    end;
    e^.inheap := false;
    if e^.blk then
    begin
      _blkput(e);
      Continue;
    end;
    time := e^.t;
    _lastt := time;
    _n := e^.nod;
    iev := e^.inst;
    evp := e^.pri;
    _curmoved := e^.moved;
    _curgrp := e^.grp;
    if e^.msg <> nil then
    begin
      _curmsg := e^.msg;
      _curmsg^.ev := nil;
      e^.msg := nil;
    end;
    _dropev(e);
    if (_ndead > 1024) and (_ndead > (_hn + _ron) shr 1) then
      _compact;
    { the next event is read when this one is done: fetch it meanwhile }
    if _hn > 0 then
      prefetch(_he(1)^);
    if _nev > _aheadmin then
      _ahead(_curmsg);
    { counted for the progress line, which is looked at now and then }
    Inc(_nevents);
    if ((_nevents and 1023) = 0) and Assigned(_hkprog) then
      _hkprog;
    Exit;
  end;
  { Nothing can happen any more.  The main loop tests only TSIM or only
    _es, depending on the model, so both end it; the node scan that
    still follows needs a real node and fires no instance. }
  _es := true;
  if time < tsim then
    time := tsim;
  _n := 1;
  iev := 0;
end;

{ t < 0 removes every event of the node; otherwise the first one at t.
  inst <= 0 matches any instance. }
procedure extfel(nod: integer; t: real; inst, x: integer);
var g: _pgrp;
    e, best: _pev;
    i: integer;
begin
  best := nil;
  if Length(_nslot) = 0 then
    Exit;
  if _slotof(nod) >= Length(_nslot) then
    Exit;
  g := _nslot[_slotof(nod)];
  while g <> nil do
  begin
    if (g^.nod = nod) and ((inst <= 0) or (g^.inst = inst)) then
    begin
      if t < 0 then
      begin
        while g^.n > 0 do
          _dropev(g^.evs[g^.n - 1]);
      end
      else
        for i := 0 to g^.n - 1 do
        begin
          e := g^.evs[i];
          if (Abs(e^.t - t) <= 1e-9 * (1 + Abs(t))) and
            ((best = nil) or _evless(e, best)) then
            best := e;
        end;
    end;
    g := g^.nnx;
  end;
  if best <> nil then
    _dropev(best);
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

{ The pending events in the order they will happen, blocked ones in
  their place. }
procedure disfel;
var all: array of _pev;
    e, k: _pev;
    i, n, j: integer;
begin
  writeln(_ftra, 'EVENT LIST AT ', time:12:4);
  SetLength(all, _nev);
  n := 0;
  for i := 1 to _hn do
    if not _hdead(i) then
    begin
      all[n] := _he(i);
      Inc(n);
    end;
  for i := 0 to _ron - 1 do
    if not _roat(i)^.e^.gone then
    begin
      all[n] := _roat(i)^.e;
      Inc(n);
    end;
  e := _blkh;
  while e <> nil do
  begin
    all[n] := e;
    Inc(n);
    e := e^.bnx;
  end;
  { a heap is nearly sorted: insertion sort is quick enough for a trace }
  for i := 1 to n - 1 do
  begin
    k := all[i];
    j := i - 1;
    while (j >= 0) and _evless(k, all[j]) do
    begin
      all[j + 1] := all[j];
      Dec(j);
    end;
    all[j + 1] := k;
  end;
  for i := 0 to n - 1 do
  begin
    e := all[i];
    write(_ftra, '  node ', e^.nod:4, ' [', e^.inst, '] time ', e^.t:12:4,
      ' priority ', e^.pri);
    if e^.blk then
      write(_ftra, ' blocked');
    writeln(_ftra);
  end;
end;

function VOIDFEL: boolean;
begin
  Result := _nev = _nblk;
end;

{ BLOCK and DEBLOCK.  The events of a blocked node keep their place,
  and those that fall due while it is blocked are held: time goes on
  past them.  At DEBLOCK the held ones happen at once, at the DEBLOCK
  instant, after the events already due then and in the order they fell
  due (at one instant a higher priority goes first, as always); those
  not due yet keep their times.  So time never goes back; a source held
  makes one arrival at DEBLOCK, and draws its next from there; a service
  held ends at DEBLOCK, its message's end time (xt) moved there too. }
procedure _setblock(nod: integer; v: boolean);
var g: _pgrp;
    e, k: _pev;
    i, j, n: integer;
    held: array of _pev;
begin
  if _slotof(nod) >= Length(_nslot) then
    Exit;
  n := 0;
  held := nil;
  g := _nslot[_slotof(nod)];
  while g <> nil do
  begin
    if g^.nod = nod then
      for i := 0 to g^.n - 1 do
      begin
        e := g^.evs[i];
        if v and not e^.blk then
        begin
          e^.blk := true;
          Inc(_nblk);
        end
        else if not v and e^.blk then
        begin
          e^.blk := false;
          Dec(_nblk);
          if e^.aside then
          begin
            _blktake(e);
            if e^.t < time then
            begin
              if n >= Length(held) then
                SetLength(held, 2 * n + 8);
              held[n] := e;
              Inc(n);
            end
            else
              _heapput(e);
          end;
        end;
      end;
    g := g^.nnx;
  end;
  if n = 0 then
    Exit;
  { the held events, in the order they fell due, as if scheduled now }
  for i := 1 to n - 1 do
  begin
    k := held[i];
    j := i - 1;
    while (j >= 0) and _evless(k, held[j]) do
    begin
      held[j + 1] := held[j];
      Dec(j);
    end;
    held[j + 1] := k;
  end;
  for i := 0 to n - 1 do
  begin
    if _seq > _seqtop then
      _renumber;
    e := held[i];
    e^.t := time;
    e^.seq := _seq;
    Inc(_seq);
    e^.moved := true;
    if e^.msg <> nil then
    begin
      e^.msg^.evs := e^.seq;
      if e^.msg^.b <> nil then
        _pfhead(e^.msg^.b)^.xt := time;
    end;
    _heapput(e);
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

{ ---- the node scan ----
  After each event the main program calls every node in turn, from the
  event's node on, and each copy of it; a node acts only when it is the
  event's node or, for G, L, E, R and D nodes, when a list it takes from
  holds a message (C and O nodes always).  The scan is told the node
  tables once, then asks here for the next node and copy to call: the
  nodes whose lists are all empty are passed over at once, as calling
  them would do nothing.  A bit per list says it holds messages (kept by
  _entered and _left), a bit per node that one of its lists may; a node's bit is
  cleared when it is found with all its lists empty.  While tracing,
  every node is called as before. }
type
  _pcharv = ^_tcharv;
  _tcharv = array[1.._rtbig] of char;

const
  _sfew = 12;                 { up to so many nodes, calling each is cheaper }

var
  _sn: integer;               { nodes; 0: the scan steps one by one }
  _stip: _pcharv;
  _snumel, _smulno: _pivec;
  _smeld: _pivec;             { rows of _smcols integers }
  _smrows, _smcols: integer;
  _snl: integer;              { lists the maps below were made for }
  _lown: array of integer;    { node that takes from each list, 0 none }
  _lown2: array of integer;   { a second node taking from it, 0 none }
  _lbits: array of qword;     { list holds messages }
  _nbits: array of qword;     { node may act }
  { the node _mayact found able to act and its first copy whose list
    holds messages, kept for the _nxinst that follows; 0 once any list
    changes }
  _mayn, _mayc: integer;

procedure _bitset(b: PQWord; i: integer); inline;
begin
  b[i shr 6] := b[i shr 6] or (qword(1) shl (i and 63));
end;

procedure _bitclr(b: PQWord; i: integer); inline;
begin
  b[i shr 6] := b[i shr 6] and not (qword(1) shl (i and 63));
end;

{ The first set bit in a..z, or -1. }
function _bitnext(b: PQWord; a, z: integer): integer;
var w, wz: integer;
    x: qword;
begin
  Result := -1;
  if a > z then
    Exit;
  w := a shr 6;
  wz := z shr 6;
  x := b[w] and (not qword(0) shl (a and 63));
  while True do
  begin
    if x <> 0 then
    begin
      Result := (w shl 6) + BsfQWord(x);
      if Result > z then
        Result := -1;
      Exit;
    end;
    Inc(w);
    if w > wz then
      Exit;
    x := b[w];
  end;
end;

{ The lists are the model's once it is bound (at the first run): the
  maps are made for the lists there are when first needed, and again if
  they change. }
procedure _scanbuild;
var i, j, l, row: integer;

  procedure own(l, node: integer);
  begin
    if (l >= 1) and (l <= _hknl) then
      if _lown[l] = 0 then
        _lown[l] := node
      else if _lown[l] <> node then
      begin
        _bitset(@_nbits[0], node);   { a list of two nodes: keep calling it }
        _lown2[l] := node;
      end;
  end;

begin
  _snl := _hknl;
  _mayn := 0;
  SetLength(_lown, _hknl + 1);
  SetLength(_lown2, _hknl + 1);
  SetLength(_lbits, (_hknl + 64) div 64 + 1);
  SetLength(_nbits, (_sn + 64) div 64 + 1);
  for i := 0 to High(_lown) do
  begin
    _lown[i] := 0;
    _lown2[i] := 0;
  end;
  for i := 0 to High(_lbits) do
    _lbits[i] := 0;
  for i := 0 to High(_nbits) do
    _nbits[i] := 0;
  for i := 1 to _sn do
    case _stip^[i] of
      'G', 'L', 'E', 'R':
        for j := 1 to _smulno^[i] do
          own(_snumel^[i] + j - 1, i);
      'D':
        begin
          row := _snumel^[i];
          if (_smeld <> nil) and (row >= 1) and (row <= _smrows) then
            for j := 1 to _smeld^[(row - 1) * _smcols + 1] do
              if j < _smcols then
                own(_smeld^[(row - 1) * _smcols + j + 1], i);
        end;
      'C', 'O':
        _bitset(@_nbits[0], i);
    end;
  { lists that already hold messages }
  for l := 1 to _hknl do
    if _hkl^^[l] > 0 then
    begin
      _bitset(@_lbits[0], l);
      if _lown[l] > 0 then
        _bitset(@_nbits[0], _lown[l]);
    end;
end;

procedure _scaninit(n: integer; tip, numel, mulno, meld: pointer;
  mrows, mcols: integer);
var i: integer;
begin
  _sn := 0;
  _sone := false;
  if (n < 1) or (tip = nil) or (numel = nil) or (mulno = nil) then
    Exit;
  _stip := tip;
  _snumel := numel;
  _smulno := mulno;
  _smeld := meld;
  _smrows := mrows;
  _smcols := mcols;
  _sn := n;
  _snl := -1;
  _sone := n <= _sfew;
  _sonen := n;
  for i := 1 to n do
    if _smulno^[i] <> 1 then
      _sone := false;
end;

{ List l holds messages, or has just held none. }
procedure _scanlist(l: integer; full: boolean); inline;
begin
  if full then
  begin
    _bitset(@_lbits[0], l);
    if _lown[l] > 0 then
      _bitset(@_nbits[0], _lown[l]);
  end
  else
    _bitclr(@_lbits[0], l);
end;

{ A copy of node n from jk on whose list holds messages, or 0. }
function _fullcopy(n, jk: integer): integer;
var a, z, l: integer;
begin
  a := _snumel^[n] + jk - 1;
  z := _snumel^[n] + _smulno^[n] - 1;
  if z > _hknl then
    z := _hknl;
  if a < 1 then
    a := 1;
  while True do
  begin
    l := _bitnext(@_lbits[0], a, z);
    if l < 0 then
      Exit(0);
    if _hkl^^[l] > 0 then
      Exit(l - _snumel^[n] + 1);
    _bitclr(@_lbits[0], l);          { emptied without the kernel: by _init }
    a := l + 1;
  end;
end;

function _dfull(n: integer): boolean;
var row, j: integer;
begin
  Result := false;
  row := _snumel^[n];
  if _smeld = nil then
    Exit;
  for j := 1 to _smeld^[(row - 1) * _smcols + 1] do
    if (j < _smcols) and (_hkl^^[_smeld^[(row - 1) * _smcols + j + 1]] > 0) then
      Exit(true);
end;

{ Node n may act in a scan that does not start at it. }
function _mayact(n: integer): boolean;
begin
  case _stip^[n] of
    'C', 'O': Result := true;
    'G', 'L', 'E', 'R':
      begin
        _mayc := _fullcopy(n, 1);
        Result := _mayc > 0;
        if Result then
          _mayn := n;
      end;
    'D': Result := _dfull(n);
  else
    Result := false;
  end;
  if not Result then
    _bitclr(@_nbits[0], n);
end;

{ k is the place in the pass of node n1, just called; on to the next
  node that may act, or past the end of the pass (k > _sn). }
procedure _nxnode(var n1, k: integer);
begin
  if _sone then
  begin
    if longword(n1 - 1) < longword(_sonen - 1) then
      Inc(n1)
    else
      n1 := n1 mod _sonen + 1;
    Inc(k);
  end
  else
    _nxnodex(n1, k);
end;

function _nxinst(n1: integer; var jk: integer): boolean;
begin
  if _sone then
  begin
    { the first copy, of a node there is (1 .. _sonen) }
    Inc(jk);
    Result := (jk <= 1) and (longword(n1 - 1) < longword(_sonen));
  end
  else
    Result := _nxinstx(n1, jk);
end;

procedure _nxnodex(var n1, k: integer);
var c, d, left: integer;
begin
  if _sn = 0 then
  begin
    { no tables: the pass cannot be followed; end it }
    k := MaxInt;
    Exit;
  end;
  if _bt or (_sn <= _sfew) then
  begin
    n1 := n1 mod _sn + 1;
    k := k + 1;
    Exit;
  end;
  if _snl <> _hknl then
    _scanbuild;
  left := _sn - k;                 { places after this one }
  while left > 0 do
  begin
    d := -1;
    c := _bitnext(@_nbits[0], n1 + 1, Min(_sn, n1 + left));
    if c > 0 then
      d := c - n1
    else if n1 + left > _sn then
    begin
      c := _bitnext(@_nbits[0], 1, n1 + left - _sn);
      if c > 0 then
        d := _sn - n1 + c;
    end;
    if d < 0 then
      Break;
    k := k + d;
    left := left - d;
    n1 := c;
    if _mayact(n1) then
      Exit;
  end;
  { the rest of the pass would call no node: stand at its last place, as
    the number of the last node called is left in ino }
  if (left > 0) or (n1 < 1) or (n1 > _sn) then
    n1 := (n1 + left - 1) mod _sn + 1;
  ino := n1;
  k := _sn + 1;
end;

{ The next copy of node n1 after jk that the scan must call. }
function _nxinstx(n1: integer; var jk: integer): boolean;
var first: boolean;
    m: integer;
begin
  Inc(jk);
  if (_sn = 0) or (n1 < 1) or (n1 > _sn) then
    Exit(false);
  m := _smulno^[n1];
  if jk > m then
    Exit(false);
  if _bt or ((m = 1) and (_sn <= _sfew)) then
    Exit(true);
  if _snl <> _hknl then
    _scanbuild;
  first := (n1 = _n) and _ci1;
  case _stip^[n1] of
    'I', 'A':
      begin
        Result := first and (iev >= jk) and (iev <= m);
        if Result then
          jk := iev;
      end;
    'G', 'L', 'E', 'R':
      if first then
        Result := true
      else if (n1 = _mayn) and (jk <= _mayc) then
      begin
        { as _mayact just found it }
        jk := _mayc;
        _mayn := 0;
        Result := true;
      end
      else
      begin
        jk := _fullcopy(n1, jk);
        Result := jk > 0;
      end;
    'C', 'O':
      Result := true;
    'D':
      Result := first or _dfull(n1);
  else
    Result := false;
  end;
end;

{ ---- message lists ----
  A message in a list is linked forwards by p, which the generated code
  walks from _fl, and backwards by prv, so that a message whose place is
  known leaves its list at once.  lis names its list; lck, a mark made
  of the message's address, the list and the run, tells the kernel's
  own lis from whatever new left in a fresh message. }

function _okl(l: integer): boolean; inline;
begin
  Result := (l >= 1) and (l <= _hknl);
end;

function _mark(m: _pl; l: integer): longword; inline;
begin
  Result := (longword(PtrUInt(m)) xor (longword(l) * 2654435761) xor
    _epochmix) or 1;
end;

{ m is in list l, by the kernel's own records. }
function _inlist(m: _pl; l: integer): boolean; inline;
begin
  Result := (l > 0) and (m^.lis = l) and (m^.lck = _mark(m, l));
end;

{ ORDER's index of a list (below): a message left it; the list changed
  otherwise. }
var
  _oxon: boolean;           { some list has an index }
  _inorder: boolean;        { ORDER itself is putting a message in }
procedure _oxgone(l: integer; m: _pl); forward;
procedure _oxdrop(l: integer); forward;

{ Shortest lengths, kept here since the model's tables have no place for
  them.  A reset of the statistics (clrstat) shows as a new _tces or as a
  maximum length set back; the length then starts the minimum again. }
type
  _tlmin = record
    t: real;              { _tces when the minimum was started }
    min, max: longint;    { shortest length; longest when last noted }
    on: boolean;
  end;
  _plmin = ^_tlmin;

var
  _lmn: array[1.._rtmaxl] of _tlmin;

procedure _minnote(l: integer; len: longint);
var r: _plmin;
begin
  if (l < 1) or (l > _rtmaxl) then
    exit;
  r := @_lmn[l];
  if not r^.on or (r^.t <> _tces) or (_hklm^^[l] < r^.max) then
  begin
    r^.on := true;
    r^.t := _tces;
    r^.min := len;
  end
  else if len < r^.min then
    r^.min := len;
  r^.max := _hklm^^[l];
end;

function _minl(l: integer): longint;
begin
  Result := 0;
  if not _okl(l) or (l > _rtmaxl) then
    exit;
  _minnote(l, _hkl^^[l]);
  Result := _lmn[l].min;
end;

{ A message entering list l may let the node that takes from it act at
  this instant.  When that node has had its turn in this pass of the scan
  already (its place, counted from the event's node _n, comes before the
  current place _k), the pass is run again before time goes on: a job
  sent back to a queue is served now, not at the next unrelated event. }
const
  _maxpass = 1000000;     { passes again at one instant before giving up }

var
  _wpass: longint;        { passes run again since the event's first }

procedure _wake(l: integer); inline;
var o, d: integer;
    hit: boolean;
begin
  { an owner's place in the pass, (o - _n) mod _sn + 1, before _k }
  hit := false;
  o := _lown[l];
  if o > 0 then
  begin
    d := o - _n;
    if d < 0 then
      d := d + _sn;
    hit := d + 1 < _k;
  end;
  if not hit then
  begin
    o := _lown2[l];
    if o > 0 then
    begin
      d := o - _n;
      if d < 0 then
        d := d + _sn;
      hit := d + 1 < _k;
    end;
  end;
  if not hit then
    Exit;
  { passes counted from the event's first: messages that go round for
    ever at one instant would hold the clock there }
  if _ci1 then
    _wpass := 0
  else if _swt then
  begin
    Inc(_wpass);
    if _wpass > _maxpass then
      _error('messages go round the network without end at one instant');
  end;
  _swt := false;
end;

{ Length statistics: _la is the time integral of the length since _hc.
  A message entering or leaving a list changes its length by one;
  _entered and _left share what comes before and after the change
  (_lchgpre, _lchgpost), reading the model's tables once, as every
  message that moves pays for them.  The
  shortest length is noted before the change, as _minnote would (the
  length may have been set by the model meanwhile), and after it, where
  no reset can show, by a compare. }
procedure _lminpre(r: _plmin; lenv, lm: longint); inline;
begin
  if not r^.on or (r^.t <> _tces) or (lm < r^.max) then
  begin
    r^.on := true;
    r^.t := _tces;
    r^.min := lenv;
  end
  else if lenv < r^.min then
    r^.min := lenv;
end;

{ Before a message enters or leaves list l: the model's tables read once,
  the shortest length noted, the length's time integral brought to t. }
procedure _lchgpre(l: integer; t: real; out pl, plm: _plivec; out pla: _prvec;
  out r: _plmin; out lenv, lm: longint); inline;
var phc: _prvec;
begin
  _mayn := 0;
  pl := _hkl^;
  plm := _hklm^;
  lenv := pl^[l];
  lm := plm^[l];
  r := nil;
  if l <= _rtmaxl then
  begin
    r := @_lmn[l];
    _lminpre(r, lenv, lm);
  end;
  pla := _hkla^;
  phc := _hkhc^;
  pla^[l] := pla^[l] + lenv * (t - phc^[l]);
  phc^[l] := t;
end;

{ After it, with lenv the new length: the longest, the shortest and the
  mean length. }
procedure _lchgpost(l: integer; t: real; plm: _plivec; pla: _prvec;
  r: _plmin; lenv: longint; var lm: longint); inline;
var span: real;
begin
  if lenv > lm then
  begin
    lm := lenv;
    plm^[l] := lm;
  end;
  if r <> nil then
  begin
    if lenv < r^.min then
      r^.min := lenv;
    r^.max := lm;
  end;
  span := t - _tces;
  if span > 0 then
    _hklp^^[l] := pla^[l] / span;
end;

{ The service an event was just scheduled for belongs to the message in
  hand then, once that message enters a list: the event ending a
  service then knows its message (see _exlx). }
procedure _entered(l: integer; m: _pl);
var lenv, lm, o: longint;
    t: real;
    pl, plm: _plivec;
    pla: _prvec;
    r: _plmin;
    e: _pev;
begin
  _checkrun;
  t := time;
  m^.lis := l;
  m^.lck := _mark(m, l);
  m^.tin := t;
  m^.ev := nil;
  if m = _lastpx then
  begin
    e := _lastev;
    if (e^.seq = _lastseq) and (e^.msg = nil) then
    begin
      m^.ev := e;
      m^.evs := _lastseq;
      e^.msg := m;
    end;
  end;
  _lastpx := nil;
  if _oxon and not _inorder then
    _oxdrop(l);
  { one more in the list }
  _lchgpre(l, t, pl, plm, pla, r, lenv, lm);
  if _sn > 0 then
  begin
    if _snl <> _hknl then
      _scanbuild;
    if lenv = 0 then
    begin
      _lbits[l shr 6] := _lbits[l shr 6] or (qword(1) shl (l and 63));
      o := _lown[l];
      if o > 0 then
        _nbits[o shr 6] := _nbits[o shr 6] or (qword(1) shl (o and 63));
    end;
    _wake(l);
  end;
  Inc(lenv);
  if lenv < 0 then
    lenv := 0;
  pl^[l] := lenv;
  _hken^^[l] := _hken^^[l] + 1;
  _lchgpost(l, t, plm, pla, r, lenv, lm);
end;

procedure _left(l: integer; m: _pl);
var stay, t: real;
    gone, lenv, lm: longint;
    pl, plm: _plivec;
    pla, ptp, pmtp: _prvec;
    r: _plmin;
    e: _pev;
begin
  t := time;
  stay := t - m^.tin;
  ptp := _hktp^;
  ptp^[l] := ptp^[l] + stay;
  pmtp := _hkmtp^;
  if stay > pmtp^[l] then
    pmtp^[l] := stay;
  m^.lis := 0;
  m^.lck := 0;
  m^.p := nil;
  m^.prv := nil;
  e := m^.ev;
  if e <> nil then
  begin
    if (e^.seq = m^.evs) and (e^.msg = m) then
      e^.msg := nil;
    m^.ev := nil;
  end;
  if m = _curmsg then
    _curmsg := nil;
  { one fewer in the list }
  _lchgpre(l, t, pl, plm, pla, r, lenv, lm);
  if _sn > 0 then
  begin
    if _snl <> _hknl then
      _scanbuild;
    if lenv = 1 then
      _lbits[l shr 6] := _lbits[l shr 6] and not (qword(1) shl (l and 63));
  end;
  Dec(lenv);
  if lenv < 0 then
    lenv := 0;
  pl^[l] := lenv;
  _lchgpost(l, t, plm, pla, r, lenv, lm);
  gone := _hken^^[l] - lenv;
  if gone > 0 then
    _hktpp^^[l] := ptp^[l] / gone;
end;

procedure _putfirst(l: integer; m: _pl); inline;
begin
  m^.p := _hkfl^[l];
  m^.prv := nil;
  if m^.p <> nil then
    m^.p^.prv := m;
  _hkfl^[l] := m;
  if _hkll^[l] = nil then
    _hkll^[l] := m;
  _entered(l, m);
end;

procedure _putlast(l: integer; m: _pl); inline;
begin
  m^.p := nil;
  m^.prv := _hkll^[l];
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
  if (at = nil) or (at = m) or not _inlist(at, l) or (at = _hkll^[l]) then
    _putlast(l, m)
  else
  begin
    m^.p := at^.p;
    m^.prv := at;
    if m^.p <> nil then
      m^.p^.prv := m;
    at^.p := m;
    _entered(l, m);
  end;
end;

{ Insert before 'at' when it is in the list, else at the front. }
procedure _putbefore(l: integer; m, at: _pl);
var q: _pl;
begin
  if (at = nil) or (at = m) or not _inlist(at, l) or (at = _hkfl^[l]) then
    _putfirst(l, m)
  else
  begin
    q := at^.prv;
    if (q = nil) or (q^.p <> at) then
    begin
      q := _hkfl^[l];
      while (q <> nil) and (q^.p <> at) do
        q := q^.p;
    end;
    if q = nil then
      _putfirst(l, m)
    else
      _putafter(l, m, q);
  end;
end;

procedure _agr(l: integer; m: _pl; c: char);
var ll: ^_pl;
    q: _pl;
begin
  if (m = nil) or not _okl(l) then
    Exit;
  if (c = 'F') or (c = 'f') then
    _putfirst(l, m)
  else
  begin
    { _putlast, with the list's last end read once }
    ll := @_hkll^[l];
    q := ll^;
    m^.p := nil;
    m^.prv := q;
    if q = nil then
      _hkfl^[l] := m
    else
      q^.p := m;
    ll^ := m;
    _entered(l, m);
  end;
end;

{ Unlinks m, whose previous message is prev, from list l. }
procedure _unlink(m, prev: _pl; l: integer); inline;
begin
  if prev = nil then
    _hkfl^[l] := m^.p
  else
    prev^.p := m^.p;
  if m^.p <> nil then
    m^.p^.prv := prev;
  if _hkll^[l] = m then
    _hkll^[l] := prev;
  if _oxon then
    _oxgone(l, m);
  _left(l, m);
end;

procedure _extr(m: _pl; l: integer);
var q, prev, nx: _pl;
    fl, ll: ^_pl;
begin
  if (m = nil) or not _okl(l) then
    Exit;
  if _inlist(m, l) then
  begin
    { the links as the kernel left them: unlinked at once (_unlink
      written out, with the list's ends read once) }
    fl := @_hkfl^[l];
    ll := @_hkll^[l];
    prev := m^.prv;
    nx := m^.p;
    if ((prev = nil) and (fl^ = m)) or
      ((prev <> nil) and (prev^.p = m) and _inlist(prev, l)) then
      if ((nx = nil) and (ll^ = m)) or ((nx <> nil) and (nx^.prv = m)) then
      begin
        if prev = nil then
          fl^ := nx
        else
          prev^.p := nx;
        if nx <> nil then
          nx^.prv := prev;
        if ll^ = m then
          ll^ := prev;
        if _oxon then
          _oxgone(l, m);
        _left(l, m);
        Exit;
      end;
  end;
  { links not as the kernel left them: look for m from the front }
  prev := nil;
  q := _hkfl^[l];
  while (q <> nil) and (q <> m) do
  begin
    prev := q;
    q := q^.p;
  end;
  if q <> nil then
    _unlink(m, prev, l);
end;

{ The message of list l whose service ends now: its xt is the time
  closest to the clock. }
procedure _exlx(var m: _pl; l: integer);
var q, best: _pl;
    d, bd: real;
begin
  if not _okl(l) then
    Exit;
  { The message the current event was scheduled for ends its service
    now.  When no other event is due at this instant (and none is held
    by a block), no other message of the list can have been given this
    very end time by its service, so the search below would find it
    too.  A service held by a block ends with its own event, in the
    order the services fell due. }
  q := _curmsg;
  if (q <> nil) and (q^.lis = l) and (q^.b <> nil) and
    (_pfhead(q^.b)^.xt = time) and
    (_curmoved or ((_nblk = 0) and _nonedue)) then
  begin
    m := q;
    Exit;
  end;
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

{ s := m^.nor, without the general string copy: a name of up to 12
  letters and its length byte fit in two words, which are copied whole
  (the bytes past the name are never read as part of it). }
procedure _nodename(m: _pl; var s: _st80); inline;
begin
  PQWord(@s)[0] := PQWord(@m^.nor)[0];
  PQWord(@s)[1] := PQWord(@m^.nor)[1];
end;

procedure _exal(m: _pl);
begin
  if m = nil then
    Exit;
  NUMBER := m^.number;
  _nodename(m, NODE);
  _r := m^.r;
  _b := m^.b;
  PMESS := m;
end;

procedure _exalo(m: _pl);
begin
  if m = nil then
    Exit;
  O_NUMBER := m^.number;
  _nodename(m, O_NODE);
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
  q^.prv := nil;
  q^.pas := nil;
  q^.lis := 0;
  q^.lck := 0;
  q^.ev := nil;
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
  if _inlist(m, m^.lis) then
    _extr(m, m^.lis);
  if pa = nil then
    _putfirst(l, m)
  else
    _putafter(l, m, pa);
end;

{ Moves m to list dest, after 'at' (A) or before it (B).  A message
  still in a list leaves it first, whatever 'held' says (a message the
  node holds is in its list, and the kernel knows which); a destination
  outside the lists (no successor) only takes it out. }
procedure _tran(held: boolean; orig, dest: integer; c: char; m, at: _pl);
begin
  if m = nil then
    Exit;
  if _inlist(m, m^.lis) then
    _extr(m, m^.lis);
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
var arr, tmp: array of _pl;
    keys, tkeys: array of real;
    q, t: _pl;
    n, a, z, w, lo, mid, hi, i, j: integer;
    kt: real;
    swap, down, nan: boolean;
begin
  if not _okl(l) or not Assigned(_hkuprvo) then
    Exit;
  if _oxon then
    _oxdrop(l);
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
  nan := false;
  for a := 0 to n - 1 do
  begin
    arr[a] := q;
    keys[a] := key(q);
    if keys[a] <> keys[a] then
      nan := true;
    q := q^.p;
  end;
  down := UpCase(c) = 'D';
  if nan then
    { keys that do not compare: the plain insertion sort decides }
    for a := 1 to n - 1 do
    begin
      t := arr[a];
      kt := keys[a];
      z := a - 1;
      while z >= 0 do
      begin
        if down then
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
    end
  else
  begin
    { a stable merge sort: equal keys keep their list order, as the
      insertion sort above would keep them }
    SetLength(tmp, n);
    SetLength(tkeys, n);
    w := 1;
    while w < n do
    begin
      lo := 0;
      while lo < n do
      begin
        mid := Min(lo + w, n);
        hi := Min(lo + 2 * w, n);
        i := lo;
        j := mid;
        z := lo;
        while z < hi do
        begin
          if (j >= hi) or ((i < mid) and
            ((down and not (keys[j] > keys[i])) or
             (not down and not (keys[j] < keys[i])))) then
          begin
            tmp[z] := arr[i];
            tkeys[z] := keys[i];
            Inc(i);
          end
          else
          begin
            tmp[z] := arr[j];
            tkeys[z] := keys[j];
            Inc(j);
          end;
          Inc(z);
        end;
        lo := hi;
      end;
      for a := 0 to n - 1 do
      begin
        arr[a] := tmp[a];
        keys[a] := tkeys[a];
      end;
      w := 2 * w;
    end;
  end;
  for a := 0 to n - 2 do
  begin
    arr[a]^.p := arr[a + 1];
    arr[a + 1]^.prv := arr[a];
  end;
  arr[0]^.prv := nil;
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

{ ---- ORDER ----
  ORDER walks the list from the front past every message whose key the
  new one's passes, and puts it before the first it does not.  On a list
  whose keys are in that order, the place is where the new key belongs
  after all equal ones: an index of the list finds it without the walk.
  The index holds the keys in order, with the order the messages came
  in to break ties, in blocks of at most _oxbs, and the first key of
  each block apart, so that both searches run over memory side by side.
  It is made when ORDER finds its list in order, and kept while only
  ORDER puts messages in (any message may leave); a message put in
  otherwise, a SORT, a record written by UPDATE, another key or
  direction, or a key changed after ORDER placed its message (node code
  may change it before its record is written) drop it, and ORDER walks
  again.  Short lists are always walked. }
const
  _oxbs = 64;
  _oxshort = 16;

type
  _toxe = record
    key: real;
    seq: int64;
    m: _pl;
  end;
  _poxb = ^_roxb;
  _roxb = record
    n: integer;
    e: array[0.._oxbs - 1] of _toxe;
  end;
  _pordx = ^_rordx;
  _rordx = record
    b: array of _poxb;    { the blocks in order }
    fk: array of real;    { key and seq of each block's first entry }
    fs: array of int64;
    nb: integer;
    n: integer;
    seq: int64;
    down: boolean;
    fo: pointer;
    ft: integer;
    epoch: longword;
    lastm: _pl;           { the message ORDER placed last, and its key }
    lastkey: real;
  end;

var
  _oxs: array of _pordx;   { by list }
  _oxfo: pointer;          { the O_ variable of the key, and its type }
  _oxft: integer;

function _oxkey(m: _pl): real;
begin
  _hkuprvo(m^.r, m^.b);
  case _oxft of
    1: Result := PInteger(_oxfo)^;
    2: Result := PByte(_oxfo)^;
    3: Result := PWord(_oxfo)^;
  else
    Result := PDouble(_oxfo)^;
  end;
end;

{ key k passes an entry of key ek: ORDER goes on past it }
function _oxpass(down: boolean; k, ek: real): boolean; inline;
begin
  if down then
    Result := ek >= k
  else
    Result := ek <= k;
end;

{ entry (k, s) comes before entry (k2, s2) in the index }
function _oxbefore(down: boolean; k: real; s: int64; k2: real; s2: int64): boolean; inline;
begin
  if k <> k2 then
  begin
    if down then
      Result := k > k2
    else
      Result := k < k2;
  end
  else
    Result := s < s2;
end;

function _oxget(l: integer): _pordx; inline;
begin
  if l < Length(_oxs) then
    Result := _oxs[l]
  else
    Result := nil;
end;

procedure _oxdrop(l: integer);
var x: _pordx;
    i: integer;
begin
  x := _oxget(l);
  if x = nil then
    Exit;
  for i := 0 to x^.nb - 1 do
    Dispose(x^.b[i]);
  Dispose(x);
  _oxs[l] := nil;
end;

procedure _oxsetfirst(x: _pordx; i: integer); inline;
begin
  x^.fk[i] := x^.b[i]^.e[0].key;
  x^.fs[i] := x^.b[i]^.e[0].seq;
end;

{ Room for a block at place i of the block arrays. }
procedure _oxopen(x: _pordx; i: integer);
var j: integer;
begin
  if x^.nb >= Length(x^.b) then
  begin
    SetLength(x^.b, 2 * x^.nb + 8);
    SetLength(x^.fk, 2 * x^.nb + 8);
    SetLength(x^.fs, 2 * x^.nb + 8);
  end;
  for j := x^.nb downto i + 1 do
  begin
    x^.b[j] := x^.b[j - 1];
    x^.fk[j] := x^.fk[j - 1];
    x^.fs[j] := x^.fs[j - 1];
  end;
  Inc(x^.nb);
end;

procedure _oxclose(x: _pordx; i: integer);
var j: integer;
begin
  for j := i to x^.nb - 2 do
  begin
    x^.b[j] := x^.b[j + 1];
    x^.fk[j] := x^.fk[j + 1];
    x^.fs[j] := x^.fs[j + 1];
  end;
  Dec(x^.nb);
end;

{ The place of block b among the blocks. }
function _oxblock(x: _pordx; b: _poxb): integer;
var lo, hi, mid: integer;
    k: real;
    s: int64;
begin
  k := b^.e[0].key;
  s := b^.e[0].seq;
  lo := 0;
  hi := x^.nb - 1;
  while lo < hi do
  begin
    mid := (lo + hi + 1) shr 1;
    if _oxbefore(x^.down, k, s, x^.fk[mid], x^.fs[mid]) then
      hi := mid - 1
    else
      lo := mid;
  end;
  Result := lo;
  if x^.b[Result] <> b then
    Result := -1;
end;

procedure _oxgone(l: integer; m: _pl);
var x: _pordx;
    b, nx: _poxb;
    i, j, k: integer;
begin
  x := _oxget(l);
  if x = nil then
    Exit;
  b := m^.oix;
  i := -1;
  if (x^.epoch = _epoch) and (b <> nil) then
    i := _oxblock(x, b);
  j := 0;
  if i >= 0 then
    while (j < b^.n) and (b^.e[j].m <> m) do
      Inc(j);
  if (i < 0) or (j >= b^.n) then
  begin
    _oxdrop(l);
    Exit;
  end;
  for k := j to b^.n - 2 do
    b^.e[k] := b^.e[k + 1];
  Dec(b^.n);
  m^.oix := nil;
  Dec(x^.n);
  if x^.lastm = m then
    x^.lastm := nil;
  if b^.n = 0 then
  begin
    Dispose(b);
    _oxclose(x, i);
    Exit;
  end;
  if j = 0 then
    _oxsetfirst(x, i);
  { a block left small takes in the next one when both fit in half }
  if (b^.n < _oxbs div 4) and (i + 1 < x^.nb) and
    (b^.n + x^.b[i + 1]^.n <= _oxbs div 2) then
  begin
    nx := x^.b[i + 1];
    for k := 0 to nx^.n - 1 do
    begin
      b^.e[b^.n] := nx^.e[k];
      b^.e[b^.n].m^.oix := b;
      Inc(b^.n);
    end;
    Dispose(nx);
    _oxclose(x, i + 1);
  end;
end;

{ The index of list l for the key of this call, if it is still true. }
function _oxvalid(l: integer; down: boolean): _pordx;
var k: real;
begin
  Result := _oxget(l);
  if Result = nil then
    Exit;
  if (Result^.epoch <> _epoch) or (Result^.n <> _hkl^^[l]) or
    (Result^.down <> down) or (Result^.fo <> _oxfo) or (Result^.ft <> _oxft) or
    ((Result^.nb = 0) <> (_hkfl^[l] = nil)) or
    ((Result^.nb > 0) and (Result^.b[0]^.e[0].m <> _hkfl^[l])) then
  begin
    _oxdrop(l);
    Exit(nil);
  end;
  if Result^.lastm <> nil then
  begin
    k := _oxkey(Result^.lastm);
    if k <> Result^.lastkey then
    begin
      _oxdrop(l);
      Exit(nil);
    end;
  end;
end;

{ Walks list l as ORDER's loop does; pu the first message the key does
  not pass (nil: none), pa the one before it.  When the whole list is in
  order and long, makes its index. }
procedure _oxwalk(l: integer; key: real; down: boolean; out pu, pa: _pl);
var q: _pl;
    k, prevk: real;
    sorted: boolean;
    n, i, fill: integer;
    ms: array of _pl;
    ks: array of real;
    x: _pordx;
    b: _poxb;
begin
  pu := nil;
  pa := nil;
  n := _hkl^^[l];
  sorted := n >= _oxshort;
  if sorted then
  begin
    SetLength(ms, n);
    SetLength(ks, n);
  end;
  q := _hkfl^[l];
  i := 0;
  prevk := 0;
  while q <> nil do
  begin
    k := _oxkey(q);
    if pu = nil then
    begin
      if _oxpass(down, key, k) then
        pa := q
      else
        pu := q;
      if not sorted and (pu <> nil) then
        Exit;
    end;
    if sorted then
    begin
      if (i >= n) or ((i > 0) and _oxbefore(down, k, 1, prevk, 0)) then
      begin
        sorted := false;
        if pu <> nil then
          Exit;
      end
      else
      begin
        ms[i] := q;
        ks[i] := k;
        prevk := k;
      end;
    end;
    Inc(i);
    q := q^.p;
  end;
  if not sorted or (i <> n) then
    Exit;
  { the list is in order: its index, blocks three quarters full }
  if l >= Length(_oxs) then
    SetLength(_oxs, Max(l + 1, _hknl + 1));
  New(x);
  x^.nb := 0;
  x^.n := n;
  x^.down := down;
  x^.fo := _oxfo;
  x^.ft := _oxft;
  x^.epoch := _epoch;
  x^.lastm := nil;
  fill := _oxbs * 3 div 4;
  b := nil;
  for i := 0 to n - 1 do
  begin
    if (b = nil) or (b^.n = fill) then
    begin
      New(b);
      b^.n := 0;
      _oxopen(x, x^.nb);
      x^.b[x^.nb - 1] := b;
    end;
    b^.e[b^.n].key := ks[i];
    b^.e[b^.n].seq := i;
    b^.e[b^.n].m := ms[i];
    ms[i]^.oix := b;
    Inc(b^.n);
  end;
  for i := 0 to x^.nb - 1 do
    _oxsetfirst(x, i);
  x^.seq := n;
  _oxs[l] := x;
  _oxon := true;
end;

{ The place of key in x: block bi (-1: before every block) and the entry
  p of the first one it does not pass there (b^.n: none in bi). }
procedure _oxfind(x: _pordx; key: real; out bi, p: integer);
var lo, hi, mid: integer;
    b: _poxb;
begin
  { the last block whose first entry the key passes }
  lo := -1;
  hi := x^.nb - 1;
  while lo < hi do
  begin
    mid := (lo + hi + 1) shr 1;
    if _oxpass(x^.down, key, x^.fk[mid]) then
      lo := mid
    else
      hi := mid - 1;
  end;
  bi := lo;
  p := 0;
  if bi < 0 then
    Exit;
  b := x^.b[bi];
  lo := 1;
  hi := b^.n;
  while lo < hi do
  begin
    mid := (lo + hi) shr 1;
    if _oxpass(x^.down, key, b^.e[mid].key) then
      lo := mid + 1
    else
      hi := mid;
  end;
  p := lo;
end;

{ Puts the entry of m, key key, at place p of block bi. }
procedure _oxput(x: _pordx; bi, p: integer; m: _pl; key: real);
var b, nb: _poxb;
    k, half: integer;
begin
  if x^.nb = 0 then
  begin
    New(b);
    b^.n := 0;
    _oxopen(x, 0);
    x^.b[0] := b;
    bi := 0;
    p := 0;
  end;
  if bi < 0 then
  begin
    bi := 0;
    p := 0;
  end;
  b := x^.b[bi];
  if b^.n = _oxbs then
  begin
    { full: the upper half goes to a new block after it }
    half := _oxbs div 2;
    New(nb);
    nb^.n := _oxbs - half;
    for k := 0 to nb^.n - 1 do
    begin
      nb^.e[k] := b^.e[half + k];
      nb^.e[k].m^.oix := nb;
    end;
    b^.n := half;
    _oxopen(x, bi + 1);
    x^.b[bi + 1] := nb;
    _oxsetfirst(x, bi + 1);
    if p > half then
    begin
      b := nb;
      Inc(bi);
      p := p - half;
    end;
  end;
  for k := b^.n downto p + 1 do
    b^.e[k] := b^.e[k - 1];
  b^.e[p].key := key;
  b^.e[p].seq := x^.seq;
  b^.e[p].m := m;
  Inc(b^.n);
  Inc(x^.seq);
  m^.oix := b;
  if p = 0 then
    _oxsetfirst(x, bi);
  Inc(x^.n);
  x^.lastm := m;
  x^.lastkey := key;
end;

procedure _ordercore(l: integer; m: _pl; key: real; c: char);
var x: _pordx;
    pu, pa, last: _pl;
    down: boolean;
    bi, p: integer;
    b: _poxb;
begin
  if (m = nil) or not _okl(l) then
    Exit;
  if not Assigned(_hkuprvo) then
  begin
    _agr(l, m, 'l');
    Exit;
  end;
  _checkrun;
  down := UpCase(c) = 'D';
  x := _oxvalid(l, down);
  bi := -1;
  p := 0;
  if x = nil then
  begin
    _oxwalk(l, key, down, pu, pa);
    x := _oxget(l);
  end;
  if x <> nil then
  begin
    _oxfind(x, key, bi, p);
    pa := nil;
    pu := nil;
    if bi >= 0 then
    begin
      b := x^.b[bi];
      pa := b^.e[p - 1].m;
      if p < b^.n then
        pu := b^.e[p].m
      else if bi + 1 < x^.nb then
        pu := x^.b[bi + 1]^.e[0].m;
    end
    else if x^.nb > 0 then
      pu := x^.b[0]^.e[0].m;
  end;
  { what ORDER's loop leaves behind }
  _pu := pu;
  _pa := pa;
  _bs := pu = nil;
  if pu <> nil then
    last := pu
  else
    last := pa;
  if last <> nil then
  begin
    _exalo(last);
    _hkuprvo(_or, _ob);
    O_PMESS := last;
  end;
  _inorder := x <> nil;
  if pu = nil then
    _agr(l, m, 'l')
  else
    _inter(l, m, pa, pu);
  _inorder := false;
  if x <> nil then
    if _inlist(m, l) then
      _oxput(x, bi, p, m, key)
    else
      _oxdrop(l);
end;

procedure _order(l: integer; m: _pl; key: real; var fo: real; c: char);
begin
  _oxfo := @fo;
  _oxft := 0;
  _ordercore(l, m, key, c);
end;

procedure _order(l: integer; m: _pl; key: real; var fo: integer; c: char);
begin
  _oxfo := @fo;
  _oxft := 1;
  _ordercore(l, m, key, c);
end;

procedure _order(l: integer; m: _pl; key: real; var fo: byte; c: char);
begin
  _oxfo := @fo;
  _oxft := 2;
  _ordercore(l, m, key, c);
end;

procedure _order(l: integer; m: _pl; key: real; var fo: word; c: char);
begin
  _oxfo := @fo;
  _oxft := 3;
  _ordercore(l, m, key, c);
end;

procedure _recw(m: _pl);
begin
  if _oxon and (m <> nil) and _inlist(m, m^.lis) then
    _oxdrop(m^.lis);
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
  of the continuous variables.  The integrators read and write each
  equation's variable in place, through its address (pru's _yp, by the
  place _ore[m] of the variable), so _fec sees every stage at once and
  nothing is copied around a call.
  A group advances from time-_dt to time in one call: EUL and RK4 in one
  step, RKF in as many steps as its error control asks for, none longer
  than the interval.  The main program brings every C node up to each
  discrete event, so an interval never spans one, and it is at most the
  node's DT.
  Over each call the integrators also keep, per equation, the time
  integrals of the variable and of its square and its extremes, for the
  statistics of a measured continuous variable (_ystat). }

type
  { what the integrators keep of one equation }
  _qent = record
    p: PDouble;           { its variable }
    y0: real;             { the variable when the last call began }
    s, s2, lo, hi: real;  { integrals and extremes over the last call }
    { the one step of the last call (Euler, RK4), its end and slopes,
      kept until _ystat asks, as most equations are not measured }
    b, fa, fb, h: real;
    hnext: real;          { per group, by its first equation: the step
                            RKF would try next }
    lazy: boolean;
  end;
  _pqent = ^_qent;

var
  { scratch of one call, by place in the group }
  _iy0, _iy1, _if0, _ik1, _ik2, _ik3, _ik4, _ik5, _ik6: array of real;
  { by equation, from 1; empty until the first call of a bound model }
  _qs: array of _qent;
  _intt: real;           { clock of the last call: set back, a new run }

{ The address of each equation's variable, once: the model's table of
  addresses, else its place in the vector _y. }
procedure _intbind;
var m: integer;
begin
  SetLength(_qs, _hkneq + 1);
  FillChar(_qs[0], Length(_qs) * SizeOf(_qent), 0);
  for m := 1 to _hkneq do
    if _hkyp <> nil then
      _qs[m].p := _hkyp^[_hkore^[m]]
    else
      _qs[m].p := @_hky^[_hkore^[m]];
end;

procedure _intsize(n: integer);
begin
  if Length(_iy0) < n then
  begin
    SetLength(_iy0, n); SetLength(_iy1, n); SetLength(_if0, n);
    SetLength(_ik1, n); SetLength(_ik2, n); SetLength(_ik3, n);
    SetLength(_ik4, n); SetLength(_ik5, n); SetLength(_ik6, n);
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

{ One step of an equation from a (slope fa) to b (slope fb, or its
  estimate) over h: the integrals by the cubic through both ends, exact
  for a variable that moves linearly or as a cubic. }
procedure _qstep(q: _pqent; a, b, fa, fb, h: real);
begin
  q^.s := q^.s + h / 2 * (a + b) + h * h / 12 * (fa - fb);
  q^.s2 := q^.s2 + h / 2 * (a * a + b * b) + h * h / 6 * (a * fa - b * fb);
  if b < q^.lo then
    q^.lo := b;
  if b > q^.hi then
    q^.hi := b;
  _qinner(a, b, fa, fb, h, q^.lo, q^.hi);
end;

{ Euler (meth 2) or RK4 (3): one step of equations i .. i+n-1 from t0
  over h.  The step's ends and slopes are kept for _ystat, which works
  out the statistics of a measured variable only when asked. }
procedure _onestep(i, n, meth: integer; t0, h: real);
var r: integer;
    q: _pqent;
    y0, y1, k1, k2, k3, k4, fb: PDouble;
    f, th: real;
begin
  q := @_qs[i];
  y0 := @_iy0[0];
  y1 := @_iy1[0];
  k1 := @_ik1[0];
  for r := 0 to n - 1 do
    y0[r] := q[r].p^;
  for r := 0 to n - 1 do
    k1[r] := _hkfec(t0, i + r);
  if meth = 2 then
  begin
    for r := 0 to n - 1 do
    begin
      y1[r] := y0[r] + h * k1[r];
      q[r].p^ := y1[r];
    end;
    fb := k1;
  end
  else
  begin
    k2 := @_ik2[0];
    k3 := @_ik3[0];
    k4 := @_ik4[0];
    f := h / 2;
    th := t0 + h / 2;
    for r := 0 to n - 1 do
      q[r].p^ := y0[r] + f * k1[r];
    for r := 0 to n - 1 do
      k2[r] := _hkfec(th, i + r);
    for r := 0 to n - 1 do
      q[r].p^ := y0[r] + f * k2[r];
    for r := 0 to n - 1 do
      k3[r] := _hkfec(th, i + r);
    for r := 0 to n - 1 do
      q[r].p^ := y0[r] + h * k3[r];
    th := t0 + h;
    for r := 0 to n - 1 do
      k4[r] := _hkfec(th, i + r);
    for r := 0 to n - 1 do
    begin
      y1[r] := y0[r] + h / 6 * (k1[r] + 2 * k2[r] + 2 * k3[r] + k4[r]);
      q[r].p^ := y1[r];
    end;
    fb := k4;
  end;
  for r := 0 to n - 1 do
  begin
    q[r].y0 := y0[r];
    q[r].b := y1[r];
    q[r].fa := k1[r];
    q[r].fb := fb[r];
    q[r].h := h;
    q[r].lazy := true;
  end;
end;

{ The same for one equation, its sums in registers; inline, so that the
  integrator that calls it keeps only its own method. }
procedure _onestep1(i, meth: integer; t0, h: real); inline;
var q: _pqent;
    p: PDouble;
    f, th, a, b, f1, f2, f3, f4: real;
begin
  q := @_qs[i];
  p := q^.p;
  a := p^;
  f1 := _hkfec(t0, i);
  if meth = 2 then
  begin
    b := a + h * f1;
    p^ := b;
    f4 := f1;
  end
  else
  begin
    f := h / 2;
    th := t0 + h / 2;
    p^ := a + f * f1;
    f2 := _hkfec(th, i);
    p^ := a + f * f2;
    f3 := _hkfec(th, i);
    p^ := a + h * f3;
    th := t0 + h;
    f4 := _hkfec(th, i);
    b := a + h / 6 * (f1 + 2 * f2 + 2 * f3 + f4);
    p^ := b;
  end;
  q^.y0 := a;
  q^.b := b;
  q^.fa := f1;
  q^.fb := f4;
  q^.h := h;
  q^.lazy := true;
end;

{ RKF over the interval since the node's last call, equations i ..
  i+n-1. }
procedure _rkfsteps(i, n: integer);
var m, tries: integer;
    h, t0, tend, hplan, hint, err, e, tol, fac, yq: real;
    clipped, done: boolean;
    q: _pqent;

  procedure setstage(k: PDouble; f: real);
  var r: integer;
  begin
    for r := 0 to n - 1 do
      q[r].p^ := _iy0[r] + f * k[r];
  end;

  procedure slope(k: PDouble; t: real);
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
      q[r].p^ := _iy0[r] + h * (c1 * _ik1[r] + c2 * _ik2[r]
        + c3 * _ik3[r] + c4 * _ik4[r] + c5 * _ik5[r]);
  end;

  { the step from t0 ends in _iy1, slope at its end (estimate) in _if0
    is not touched; fb gives it per place }
  procedure accept(fb: PDouble);
  var r: integer;
  begin
    for r := 0 to n - 1 do
    begin
      _qstep(@q[r], _iy0[r], _iy1[r], _ik1[r], fb[r], h);
      _iy0[r] := _iy1[r];
    end;
  end;

begin
  q := @_qs[i];
  t0 := time - _dt;
  tend := time;
  h := _dt;
  for m := 0 to n - 1 do
  begin
    yq := q[m].p^;
    _iy0[m] := yq;
    q[m].y0 := yq;
    q[m].lazy := false;
    q[m].s := 0;
    q[m].s2 := 0;
    q[m].lo := yq;
    q[m].hi := yq;
  end;
  { RKF 4(5): Fehlberg's pair, the step carried on with the fifth-order
    value; the difference of the two estimates the step's error.  The
    errors of a run's steps add up (an orbit such as predator and prey
    drifts a little further at every step), so each step is held to a
    hundredth of EABS + EREL |y| in every equation: over runs of some
    hundred steps the error at the instants the model reads stays within
    EABS + EREL |y| itself. }
  hint := q^.hnext;
  if (hint > 0) and (hint < _dt) then
    h := hint;
  tries := 0;
  slope(@_ik1[0], t0);
  repeat
    hplan := h;
    clipped := false;
    if h >= tend - t0 then
    begin
      h := tend - t0;
      clipped := true;
    end
    else if 2 * h > tend - t0 then
    begin
      h := (tend - t0) / 2;  { two even steps rather than one and a sliver }
      clipped := true;
    end;
    combine(1 / 4, 0, 0, 0, 0);
    slope(@_ik2[0], t0 + h / 4);
    combine(3 / 32, 9 / 32, 0, 0, 0);
    slope(@_ik3[0], t0 + 3 * h / 8);
    combine(1932 / 2197, -7200 / 2197, 7296 / 2197, 0, 0);
    slope(@_ik4[0], t0 + 12 * h / 13);
    combine(439 / 216, -8, 3680 / 513, -845 / 4104, 0);
    slope(@_ik5[0], t0 + h);
    combine(-8 / 27, 2, -3544 / 2565, 1859 / 4104, -11 / 40);
    slope(@_ik6[0], t0 + h / 2);
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
      accept(@_ik5[0]);
      done := h >= tend - t0;
      if done then
        t0 := tend
      else
        t0 := t0 + h;
      { A step the interval cut short says nothing of a longer one: the
        next call keeps its own start (the end of an interval close to
        an event must not leave a tiny first step to the next). }
      if clipped and (fac >= 1) then
      begin
        if h * fac > hplan then
          h := h * fac
        else
          h := hplan;
      end
      else
      begin
        h := h * fac;
        hint := h;
      end;
      if not done then
      begin
        for m := 0 to n - 1 do
          q[m].p^ := _iy0[m];
        slope(@_ik1[0], t0);
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
  q^.hnext := hint;
  for m := 0 to n - 1 do
    q[m].p^ := _iy0[m];
end;

{ Equations i .. j of a bound model, the clock not set back since the
  last call: the common case, taken by the integrators at once. }
function _intplain(i, j: integer): boolean; inline;
begin
  Result := (i >= 1) and (j < Length(_qs)) and (i <= j) and (time >= _intt);
end;

procedure _integ(i, j, meth: integer);
var m: integer;
begin
  if not Assigned(_hkfec) or (_hkore = nil) or ((_hky = nil) and (_hkyp = nil))
    or (j < i) or (i < 1) or (j > _hkneq) then
    Exit;
  if Length(_qs) <> _hkneq + 1 then
    _intbind;
  _intsize(j - i + 1);
  if time < _intt then
    for m := 1 to _hkneq do
      _qs[m].hnext := 0;
  _intt := time;
  if meth = 1 then
    _rkfsteps(i, j - i + 1)
  else if i = j then
    _onestep1(i, meth, time - _dt, _dt)
  else
    _onestep(i, j - i + 1, meth, time - _dt, _dt);
end;

procedure _rkf(i, j: integer);
begin
  if _intplain(i, j) and (Length(_iy0) > j - i) then
  begin
    _intt := time;
    _rkfsteps(i, j - i + 1);
  end
  else
    _integ(i, j, 1);
end;

procedure _eul(i, j: integer);
begin
  if _intplain(i, j) and (i = j) then
  begin
    _intt := time;
    _onestep1(i, 2, time - _dt, _dt);
  end
  else
    _integ(i, j, 2);
end;

procedure _rk4(i, j: integer);
begin
  if _intplain(i, j) and (i = j) then
  begin
    _intt := time;
    _onestep1(i, 3, time - _dt, _dt);
  end
  else
    _integ(i, j, 3);
end;

procedure _ystat(m: integer; var s, s2, lo, hi, hc: real);
var gap: real;
    q: _pqent;
begin
  if (m < 1) or (m >= Length(_qs)) then
    Exit;
  q := @_qs[m];
  if q^.lazy then
  begin
    q^.lazy := false;
    q^.s := 0;
    q^.s2 := 0;
    q^.lo := q^.y0;
    q^.hi := q^.y0;
    _qstep(q, q^.y0, q^.b, q^.fa, q^.fb, q^.h);
  end;
  { the node stood still since hc (not started, stopped): the variable
    kept its value until this interval began }
  gap := time - _dt - hc;
  if gap > 0 then
  begin
    s := s + q^.y0 * gap;
    s2 := s2 + q^.y0 * q^.y0 * gap;
  end;
  s := s + q^.s;
  s2 := s2 + q^.s2;
  if q^.lo < lo then
    lo := q^.lo;
  if q^.hi > hi then
    hi := q^.hi;
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

{ Ends the run: rtfail reports it with the time and the node. }
procedure _error(const s: string);
begin
  raise _ERunError.Create(s);
end;

{ after each node call: inline, so that a run without a trace pays a
  test and no call }
procedure _trace;
begin
  if _bt then
    _tracex;
end;

procedure _tracex;
begin
  writeln(_ftra, '  time ', time:12:4, '  node ', _n, ' [', iev, ']');
end;

initialization
  _lastt := 0;
  _intt := 0;
  SetLength(_ghash, 1024);
  SetLength(_nslot, 64);
  _hgrow(64);
end.
