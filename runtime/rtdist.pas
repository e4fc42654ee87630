{ rtdist: random number streams, the distributions of the language and
  the discrete distribution sets used by RAND.

  Ten streams, each a xoshiro256** generator (period 2^256 - 1) with a
  state of its own.  The INIT section of every model calls _seeds, which
  starts the streams and RANDOM's for replication _repk of seed _seed:
    stream s (1..10):  state from h(S, K, s)
    RANDOM (randseed): h(S, K, 0) mod 2^32
  with h(S, K, s) = m(m(m(S) xor K) xor s), m SplitMix64's mixer (add
  0x9E3779B97F4A7C15, then the two xor-shift-multiply rounds), and the
  four words of a state the next four outputs of SplitMix64 started at
  that value.  Starting points this far apart in so long a period never
  share draws in any study a machine can run, so replications are
  independent; replication K draws the same numbers whatever ran before.
  RN[s] shows stream s's seed, 1 + h mod (2^31 - 2).  A model, the
  parameter file or an experiment that writes another value into RN[s]
  starts stream s again from that seed.  Every distribution takes its
  stream number last; the compiler appends 1 when the model gives none.
  Parameters:
    EXPO(mean)  ERLG(mean,k)  GAMMA(shape,scale)  BETA(a,b)
    GAUSS/NORM(mean,sd)  LOGNORM(mean,sd of the variate)
    WEIBULL(shape,scale)  TRIA(min,mode,max)  UNIF(a,b)  UNIFI(a,b)
    BER(p)  BIN(n,p)  POISSON(mean) }
unit rtdist;

{$MODE DELPHI}

interface

uses rtdefs;

const
  _maxset = 100;

type
  _tind = array[1.._maxset] of integer;
  _indice = ^_tind;
  _arreglo = record
    n: integer;
    pv: _prvec;                     { weights of the set's values }
    r: _indice;                     { the values }
    cum: array[1.._maxset] of real; { cumulative probabilities }
  end;

const
  _defaultseed = 29999;   { --seed when none is given }

var
  RN: array[1..10] of longint;
  _seed: int64;          { seed of the run (--seed) }
  _repk: longint;        { replication whose streams _seeds starts }

procedure _seeds;
function _streamseed(seed: int64; k: longint; s: integer): int64;

function _unif01(s: integer): real;

function EXPO(mean: real; s: integer = 1): real;
function ERLG(mean, k: real; s: integer = 1): real;
function GAMMA(shape, scale: real; s: integer = 1): real;
function BETA(a, b: real; s: integer = 1): real;
function GAUSS(mean, sd: real; s: integer = 1): real;
function NORM(mean, sd: real; s: integer = 1): real;
function LOGNORM(mean, sd: real; s: integer = 1): real;
function WEIBULL(shape, scale: real; s: integer = 1): real;
function TRIA(a, c, b: real; s: integer = 1): real;
function UNIF(a, b: real; s: integer = 1): real;
function UNIFI(a, b: real; s: integer = 1): integer;
function BER(p: real; s: integer = 1): integer;
function BIN(n, p: real; s: integer = 1): integer;
function POISSON(mean: real; s: integer = 1): integer;

procedure _hazindice(n: integer; var ix: _indice);
procedure _definir(var d: _arreglo; p: pointer; n: integer; r: _indice);
procedure _districonj(var d: _arreglo);
procedure _seledistriconj(var d: _arreglo; s: integer; var ix: _indice);

implementation

{$PUSH}{$Q-}{$R-}
function _mix(z: qword): qword;
begin
  z := z + qword($9E3779B97F4A7C15);
  z := (z xor (z shr 30)) * qword($BF58476D1CE4E5B9);
  z := (z xor (z shr 27)) * qword($94D049BB133111EB);
  Result := z xor (z shr 31);
end;

function _hash(seed: int64; k: longint; s: integer): qword;
begin
  Result := _mix(_mix(_mix(qword(seed)) xor qword(k)) xor qword(s));
end;

{ The seed RN shows for a stream, and RANDOM's seed (s = 0). }
function _streamseed(seed: int64; k: longint; s: integer): int64;
var h: qword;
begin
  h := _hash(seed, k, s);
  if s = 0 then
    Result := h and $FFFFFFFF
  else
    Result := 1 + int64(h mod 2147483646);
end;

type
  _tstate = array[0..3] of qword;

var
  _st: array[1..10] of _tstate;
  _rnseen: array[1..10] of longint;   { RN[s] when stream s last drew }

procedure _setstate(s: integer; x: qword);
var i: integer;
begin
  for i := 0 to 3 do
  begin
    x := x + qword($9E3779B97F4A7C15);
    _st[s][i] := _mix(x - qword($9E3779B97F4A7C15));
  end;
  _rnseen[s] := RN[s];
end;

procedure _seeds;
var s: integer;
begin
  for s := 1 to 10 do
  begin
    RN[s] := _streamseed(_seed, _repk, s);
    _setstate(s, _hash(_seed, _repk, s));
  end;
  randseed := cardinal(_streamseed(_seed, _repk, 0));
end;

function _rotl(x: qword; k: integer): qword; inline;
begin
  Result := (x shl k) or (x shr (64 - k));
end;

{ A uniform number in (0, 1), never 0 nor 1, from stream s. }
function _unif01(s: integer): real;
const _inv52: double = 1.0 / 4503599627370496.0;
var r, t, x0, x1, x2, x3: qword;
    st: ^_tstate;
    m: double;
begin
  if (s < 1) or (s > 10) then
    s := 1;
  if RN[s] <> _rnseen[s] then
    _setstate(s, _mix(qword(int64(RN[s]))));
  { the state in registers, written back once }
  st := @_st[s];
  x0 := st^[0];
  x1 := st^[1];
  x2 := st^[2];
  x3 := st^[3];
  r := _rotl(x1 * 5, 7) * 9;
  t := x1 shl 17;
  x2 := x2 xor x0;
  x3 := x3 xor x1;
  x1 := x1 xor x2;
  x0 := x0 xor x3;
  x2 := x2 xor t;
  x3 := _rotl(x3, 45);
  st^[0] := x0;
  st^[1] := x1;
  st^[2] := x2;
  st^[3] := x3;
  { the top 52 bits as k + 1/2 over 2^52, exact in a double: never 0 nor 1.
    Written out through m, as constants alone would be rounded to single. }
  m := int64(r shr 12);
  Result := (m + 0.5) * _inv52;
end;
{$POP}

function _pos01(s: integer): real;
begin
  repeat
    Result := _unif01(s);
  until Result > 0;
end;

function EXPO(mean: real; s: integer): real;
begin
  Result := -mean * Ln(_pos01(s));
end;

function ERLG(mean, k: real; s: integer): real;
var i, m: integer;
    p: real;
begin
  m := Round(k);
  if m < 1 then
    m := 1;
  p := 1;
  for i := 1 to m do
    p := p * _pos01(s);
  Result := -(mean / m) * Ln(p);
end;

function GAUSS(mean, sd: real; s: integer): real;
var u, v: real;
begin
  u := _pos01(s);
  v := _unif01(s);
  Result := mean + sd * Sqrt(-2 * Ln(u)) * Cos(2 * Pi * v);
end;

function NORM(mean, sd: real; s: integer): real;
begin
  Result := GAUSS(mean, sd, s);
end;

{ Marsaglia and Tsang; shapes below 1 through the boost x*U^(1/a). }
function GAMMA(shape, scale: real; s: integer): real;
var d, c, x, v, u: real;
    boost: real;
begin
  if shape <= 0 then
    Exit(0);
  boost := 1;
  if shape < 1 then
  begin
    boost := Exp(Ln(_pos01(s)) / shape);
    shape := shape + 1;
  end;
  d := shape - 1 / 3;
  c := 1 / Sqrt(9 * d);
  repeat
    repeat
      x := GAUSS(0, 1, s);
      v := 1 + c * x;
    until v > 0;
    v := v * v * v;
    u := _pos01(s);
  until Ln(u) < 0.5 * x * x + d - d * v + d * Ln(v);
  Result := d * v * scale * boost;
end;

function BETA(a, b: real; s: integer): real;
var x, y: real;
begin
  x := GAMMA(a, 1, s);
  y := GAMMA(b, 1, s);
  if x + y = 0 then
    Result := 0
  else
    Result := x / (x + y);
end;

function LOGNORM(mean, sd: real; s: integer): real;
var s2, mu: real;
begin
  if mean <= 0 then
    Exit(0);
  s2 := Ln(1 + (sd * sd) / (mean * mean));
  mu := Ln(mean) - s2 / 2;
  Result := Exp(GAUSS(mu, Sqrt(s2), s));
end;

function WEIBULL(shape, scale: real; s: integer): real;
begin
  if shape <= 0 then
    Exit(0);
  Result := scale * Exp(Ln(-Ln(_pos01(s))) / shape);
end;

function TRIA(a, c, b: real; s: integer): real;
var u: real;
begin
  if b <= a then
    Exit(a);
  u := _unif01(s);
  if u < (c - a) / (b - a) then
    Result := a + Sqrt(u * (b - a) * (c - a))
  else
    Result := b - Sqrt((1 - u) * (b - a) * (b - c));
end;

function UNIF(a, b: real; s: integer): real;
begin
  Result := a + (b - a) * _unif01(s);
end;

function UNIFI(a, b: real; s: integer): integer;
var lo, hi: integer;
begin
  lo := Round(a);
  hi := Round(b);
  if hi < lo then
    Exit(lo);
  Result := lo + Trunc(_unif01(s) * (hi - lo + 1));
  if Result > hi then
    Result := hi;
end;

function BER(p: real; s: integer): integer;
begin
  if _unif01(s) < p then
    Result := 1
  else
    Result := 0;
end;

function BIN(n, p: real; s: integer): integer;
var i: integer;
begin
  Result := 0;
  for i := 1 to Round(n) do
    Result := Result + BER(p, s);
end;

function POISSON(mean: real; s: integer): integer;
var l, p: real;
begin
  if mean <= 0 then
    Exit(0);
  if mean > 500 then
    Exit(Round(GAUSS(mean, Sqrt(mean), s)));
  l := Exp(-mean);
  p := 1;
  Result := -1;
  repeat
    Inc(Result);
    p := p * _unif01(s);
  until p <= l;
end;

procedure _hazindice(n: integer; var ix: _indice);
var i: integer;
begin
  New(ix);
  for i := 1 to _maxset do
    ix^[i] := 1;
  if n > _maxset then
    n := _maxset;
  for i := 1 to n do
    ix^[i] := i;
end;

procedure _definir(var d: _arreglo; p: pointer; n: integer; r: _indice);
begin
  if n > _maxset then
    n := _maxset;
  if n < 0 then
    n := 0;
  d.n := n;
  d.pv := p;
  d.r := r;
end;

{ Weights come from the model variable; without usable weights every
  value is equally likely. }
procedure _districonj(var d: _arreglo);
var i: integer;
    acc, w: real;
begin
  acc := 0;
  for i := 1 to d.n do
  begin
    w := 0;
    if d.pv <> nil then
      w := d.pv^[i];
    if w > 0 then
      acc := acc + w;
    d.cum[i] := acc;
  end;
  for i := 1 to d.n do
    if acc > 0 then
      d.cum[i] := d.cum[i] / acc
    else
      d.cum[i] := i / d.n;
end;

{ One draw per element: ix^[i] is the position of the value chosen.  A
  draw before the set is defined (a RAND in INIT) gives the first value. }
procedure _seledistriconj(var d: _arreglo; s: integer; var ix: _indice);
var i, k: integer;
    u: real;
begin
  if ix = nil then
    _hazindice(0, ix);
  if d.n < 1 then
    Exit;
  for i := 1 to d.n do
  begin
    u := _unif01(s);
    k := 1;
    while (k < d.n) and (d.cum[k] < u) do
      Inc(k);
    ix^[i] := k;
  end;
end;

initialization
  _seed := _defaultseed;
  _repk := 1;
  _seeds;
end.
