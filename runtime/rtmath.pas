{ rtmath: general functions of the language (MAX, MODUL, RND,
  KEYPRESSED ...) and the evaluation of POLYG, STAIR and SPLINE valued
  functions.  The console procedures a model may call (GETTIME, DELAY,
  GOTOXY ...) are in rtdefs, because their names are not reserved.

  Console functions are kept harmless in a batch run: KEYPRESSED is
  always false and the cursor is only remembered. }
unit rtmath;

{$MODE DELPHI}

interface

uses rtdefs;

type
  _tspl = array[1.._maxspl] of _tvx;

var
  _spb, _spc, _spd: ^_tspl;   { SPLINE coefficients, one row per function }

function MAX(a, b: integer): integer; overload;
function MAX(a, b: real): real; overload;
function MIN(a, b: integer): integer; overload;
function MIN(a, b: real): real; overload;
function MAXI(a, b: integer): integer;
function MINI(a, b: integer): integer;
function MODUL(a, b: real): real;
function RND(s: integer): real;

function KEYPRESSED: boolean;
function READKEY: char;
procedure NOSOUND;
function WHEREX: integer;
function WHEREY: integer;

function _fPOLYGREALREAL(x: real; ax: _tpx; ay: _tpy; n: integer): real;
function _fSTAIRREALREAL(x: real; ax: _tpx; ay: _tpy; n: integer): real;
function _fSPLINEREALREAL(x: real; ax: _tpx; ay: _tpy; n, k: integer): real;
procedure _spline(ax: _tpx; ay: _tpy; n, k: integer);

implementation

uses rtdist;

function MAX(a, b: integer): integer;
begin
  if a > b then Result := a else Result := b;
end;

function MAX(a, b: real): real;
begin
  if a > b then Result := a else Result := b;
end;

function MIN(a, b: integer): integer;
begin
  if a < b then Result := a else Result := b;
end;

function MIN(a, b: real): real;
begin
  if a < b then Result := a else Result := b;
end;

function MAXI(a, b: integer): integer;
begin
  if a > b then Result := a else Result := b;
end;

function MINI(a, b: integer): integer;
begin
  if a < b then Result := a else Result := b;
end;

{ Remainder with the sign of b, also for reals. }
function MODUL(a, b: real): real;
begin
  if b = 0 then
    Result := 0
  else
    Result := a - b * Int(a / b);
  if (Result <> 0) and ((Result < 0) <> (b < 0)) then
    Result := Result + b;
end;

function RND(s: integer): real;
begin
  Result := _unif01(s);
end;

function KEYPRESSED: boolean;
begin
  Result := false;
end;

function READKEY: char;
begin
  if Eof(Input) then
    Result := #13
  else
    Read(Input, Result);
end;

procedure NOSOUND;
begin
end;

function WHEREX: integer;
begin
  Result := _curx;
end;

function WHEREY: integer;
begin
  Result := _cury;
end;

{ First point whose abscissa is not below x, or n. }
function _seg(x: real; ax: _tpx; n: integer): integer;
begin
  Result := 1;
  while (Result < n) and (ax^[Result] < x) do
    Inc(Result);
end;

function _fPOLYGREALREAL(x: real; ax: _tpx; ay: _tpy; n: integer): real;
var j: integer;
    w: real;
begin
  if n < 1 then
    Exit(0);
  if (n = 1) or (x <= ax^[1]) then
    Exit(ay^[1]);
  if x >= ax^[n] then
    Exit(ay^[n]);
  j := _seg(x, ax, n);
  w := ax^[j] - ax^[j - 1];
  if w = 0 then
    Result := ay^[j]
  else
    Result := ay^[j - 1] + (ay^[j] - ay^[j - 1]) * (x - ax^[j - 1]) / w;
end;

{ The value of the last point not beyond x. }
function _fSTAIRREALREAL(x: real; ax: _tpx; ay: _tpy; n: integer): real;
var j: integer;
begin
  if n < 1 then
    Exit(0);
  j := 1;
  while (j < n) and (ax^[j + 1] <= x) do
    Inc(j);
  Result := ay^[j];
end;

{ Natural cubic spline: row k of _spb, _spc, _spd holds the
  coefficients of segment i, y = a + b*d + c*d^2 + e*d^3 with d = x - x_i. }
procedure _spline(ax: _tpx; ay: _tpy; n, k: integer);
var i: integer;
    h, alpha, l, mu, z: array of real;
begin
  if (_spb = nil) or (_spc = nil) or (_spd = nil) or (k < 1) or
    (k > _maxspl) or (n < 2) then
    Exit;
  SetLength(h, n + 1);
  SetLength(alpha, n + 1);
  SetLength(l, n + 1);
  SetLength(mu, n + 1);
  SetLength(z, n + 1);
  for i := 1 to n - 1 do
    h[i] := ax^[i + 1] - ax^[i];
  for i := 2 to n - 1 do
    if (h[i] <> 0) and (h[i - 1] <> 0) then
      alpha[i] := 3 / h[i] * (ay^[i + 1] - ay^[i]) -
        3 / h[i - 1] * (ay^[i] - ay^[i - 1]);
  l[1] := 1;
  mu[1] := 0;
  z[1] := 0;
  for i := 2 to n - 1 do
  begin
    l[i] := 2 * (ax^[i + 1] - ax^[i - 1]) - h[i - 1] * mu[i - 1];
    if l[i] = 0 then
      l[i] := 1;
    mu[i] := h[i] / l[i];
    z[i] := (alpha[i] - h[i - 1] * z[i - 1]) / l[i];
  end;
  _spc^[k][n] := 0;
  for i := n - 1 downto 1 do
  begin
    _spc^[k][i] := z[i] - mu[i] * _spc^[k][i + 1];
    if h[i] = 0 then
    begin
      _spb^[k][i] := 0;
      _spd^[k][i] := 0;
    end
    else
    begin
      _spb^[k][i] := (ay^[i + 1] - ay^[i]) / h[i] -
        h[i] * (_spc^[k][i + 1] + 2 * _spc^[k][i]) / 3;
      _spd^[k][i] := (_spc^[k][i + 1] - _spc^[k][i]) / (3 * h[i]);
    end;
  end;
end;

function _fSPLINEREALREAL(x: real; ax: _tpx; ay: _tpy; n, k: integer): real;
var i: integer;
    d: real;
begin
  if (_spb = nil) or (k < 1) or (k > _maxspl) or (n < 2) then
    Exit(_fPOLYGREALREAL(x, ax, ay, n));
  if x <= ax^[1] then
    Exit(ay^[1]);
  if x >= ax^[n] then
    Exit(ay^[n]);
  i := _seg(x, ax, n) - 1;
  if i < 1 then
    i := 1;
  d := x - ax^[i];
  Result := ay^[i] + d * (_spb^[k][i] + d * (_spc^[k][i] + d * _spd^[k][i]));
end;

end.
