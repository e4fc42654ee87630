Predators and prey by RKF to a tolerance of 1E-6 and by RK4 with steps 1/8, 1/16 and 1/32, each node counting the derivatives it evaluates.
NETWORK
  FEH (C) ::
     X' = PREYRATE(X, Y, 1);
     Y' = PREDRATE(X, Y);
  RA (C) ::
     METHOD(RK4);
     XA' = PREYRATE(XA, YA, 2);
     YA' = PREDRATE(XA, YA);
  RB (C) ::
     METHOD(RK4);
     XB' = PREYRATE(XB, YB, 3);
     YB' = PREDRATE(XB, YB);
  RC (C) ::
     METHOD(RK4);
     XC' = PREYRATE(XC, YC, 4);
     YC' = PREDRATE(XC, YC);
  SHOW (A) ::
     WRITE(TIME:6:2, X:20:12, Y:20:12, XA:20:12, YA:20:12);
     WRITELN(XB:20:12, YB:20:12, XC:20:12, YC:20:12);
     ACT(SHOW, 2);
  TOTALS (A) ::
     WRITELN('EVALUATIONS ', N[1], ' ', N[2], ' ', N[3], ' ', N[4]);
INIT
  TSIM := 40;
  X := 10; Y := 5; XA := 10; YA := 5; XB := 10; YB := 5; XC := 10; YC := 5;
  N[1] := 0; N[2] := 0; N[3] := 0; N[4] := 0;
  EABS := 1E-6;
  EREL := 1E-6;
  DT_FEH := 2;
  DT_RA := 0.125;
  DT_RB := 0.0625;
  DT_RC := 0.03125;
  ACT(FEH, 0);
  ACT(RA, 0);
  ACT(RB, 0);
  ACT(RC, 0);
  ACT(SHOW, 0);
  ACT(TOTALS, 40);
DECL
VAR
  X, Y, XA, YA, XB, YB, XC, YC : CONT;
  N : ARRAY[1..4] OF INTEGER;
PROCEDURES
FUNCTION PREYRATE(P, Q : REAL; I : INTEGER) : REAL;
BEGIN
  N[I] := N[I] + 1;
  PREYRATE := 1.1 * P - 0.4 * P * Q
END;
FUNCTION PREDRATE(P, Q : REAL) : REAL;
BEGIN
  PREDRATE := 0.1 * P * Q - 0.4 * Q
END;
END.
