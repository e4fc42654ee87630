{ The integrators on equations bound by hand, as a model binds its own:
  every stage is written into the variables themselves (the derivatives
  read the variables, never an argument), one equation alone and the
  same equation inside a group give the same numbers, and each method
  meets the accuracy its order promises against exact solutions.
  Prints "ok" and exits 0 when every check holds. }
program integtest;

{$MODE DELPHI}

uses rtdefs, rtkern;

const
  H = 0.1;

var
  fails: integer;
  { the model's variables, apart as a model's globals are }
  X, Y, U, V: real;
  yvec: array[1..4] of real;
  addr: array[1..4] of PDouble;
  ore: array[1..4] of integer;
  calls: integer;

procedure check(ok: boolean; const what: string);
begin
  if not ok then
  begin
    Inc(fails);
    writeln('FAILED: ', what);
  end;
end;

{ 1: X' = -X   2: Y' = -Y   3: U' = V   4: V' = -U }
function fec(t: real; m: integer): real;
begin
  Inc(calls);
  case m of
    1: Result := -X;
    2: Result := -Y;
    3: Result := V;
    4: Result := -U;
  else
    Result := 0;
  end;
end;

procedure bind;
begin
  addr[1] := @X; addr[2] := @Y; addr[3] := @U; addr[4] := @V;
  ore[1] := 1; ore[2] := 2; ore[3] := 3; ore[4] := 4;
  _hkfec := fec;
  _hky := _prvec(@yvec);
  _hkyp := _ppdvec(@addr);
  _hkore := _pivec(@ore);
  _hkneq := 4;
end;

{ n steps of H from time t0 through integrator step(i, j). }
type
  _tint = procedure(i, j: integer);

procedure run(step: _tint; i, j, n: integer; t0: real);
var k: integer;
begin
  _dt := H;
  for k := 1 to n do
  begin
    time := t0 + k * H;
    step(i, j);
  end;
end;

procedure rk4alone_and_in_group;
var xa: real;
begin
  { X alone, then X and Y together from the same start: X must come out
    bit for bit the same, Y too, as both equations are alike }
  X := 1;
  calls := 0;
  run(_rk4, 1, 1, 10, 0);
  check(calls = 40, 'RK4 takes four slopes per step');
  xa := X;
  X := 1;
  Y := 1;
  run(_rk4, 1, 2, 10, 0);
  check(X = xa, 'RK4: one equation alone and in a group agree');
  check(Y = xa, 'RK4: the second equation of a group as the first');
  { the global error of RK4 at H = 0.1 is about 1e-7 of exp(-1) }
  check(Abs(xa - Exp(-1)) < 1e-6, 'RK4 decay near exp(-1)');
  check(Abs(xa - Exp(-1)) > 1e-12, 'RK4 decay is RK4, not exact');
  { the values the variables held were written back: the integrator
    read X at each step's start from the variable itself }
  check(yvec[1] = 0, 'nothing is copied into the vector');
end;

procedure euler;
var xa, r: real;
    k: integer;
begin
  X := 1;
  run(_eul, 1, 1, 10, 0);
  xa := X;
  r := 1;
  for k := 1 to 10 do
    r := r + _dt * -r;
  check(xa = r, 'Euler decay is (1 - H)^n');
  X := 1;
  Y := 1;
  run(_eul, 1, 2, 10, 0);
  check((X = xa) and (Y = xa), 'Euler: one equation alone and in a group agree');
end;

{ U' = V, V' = -U: each stage of one equation must see the other's stage
  value in its variable; if the stages were kept apart from the
  variables the orbit would drift by the order of H, not H^4. }
procedure coupled;
begin
  U := 1;
  V := 0;
  run(_rk4, 3, 4, 63, 0);
  check(Abs(U - Cos(6.3)) < 1e-5, 'RK4 orbit: U near cos t');
  check(Abs(V + Sin(6.3)) < 1e-5, 'RK4 orbit: V near -sin t');
  U := 1;
  V := 0;
  run(_rkf, 3, 4, 63, 0);
  { held to a hundredth of EABS + EREL |y| per step }
  check(Abs(U - Cos(6.3)) < 1e-4, 'RKF orbit: U near cos t');
  check(Abs(V + Sin(6.3)) < 1e-4, 'RKF orbit: V near -sin t');
  X := 1;
  run(_rkf, 1, 1, 10, 0);
  check(Abs(X - Exp(-1)) < 1e-5, 'RKF decay near exp(-1)');
end;

{ The clock set back (a new replication) starts the integrators afresh:
  the same run again gives the same numbers. }
procedure again;
var xa: real;
begin
  X := 1;
  run(_rkf, 1, 1, 10, 0);
  xa := X;
  X := 1;
  run(_rkf, 1, 1, 10, 0);
  check(X = xa, 'RKF: a run again from the start repeats itself');
  X := 1;
  run(_rk4, 1, 1, 10, 0);
  xa := X;
  X := 1;
  run(_rk4, 1, 1, 10, 0);
  check(X = xa, 'RK4: a run again from the start repeats itself');
end;

{ Measured statistics over the last step of one equation. }
procedure statistics;
var s, s2, lo, hi, hc: real;
begin
  X := 1;
  run(_rk4, 1, 1, 1, 0);
  s := 0; s2 := 0; lo := 1e300; hi := -1e300;
  hc := time - _dt;
  _ystat(1, s, s2, lo, hi, hc);
  { the integral of exp(-t) over [0, 0.1] }
  check(Abs(s - (1 - Exp(-H))) < 1e-6, 'time integral of the variable over the step');
  check((lo = X) and (hi = 1), 'extremes of the step');
end;

begin
  fails := 0;
  EABS := 0.00001;
  EREL := 0.0001;
  bind;
  rk4alone_and_in_group;
  euler;
  coupled;
  again;
  statistics;
  if fails = 0 then
    writeln('ok')
  else
    Halt(1);
end.
