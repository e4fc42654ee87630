Decay X' = -X by RKF to a tolerance of 1E-6 and by RK4 with steps 1/4, 1/8 and 1/16, each node counting the derivatives it evaluates.
NETWORK
  FEH (C) ::
     X' = DECAY(X, 1);
  RA (C) ::
     METHOD(RK4);
     XA' = DECAY(XA, 2);
  RB (C) ::
     METHOD(RK4);
     XB' = DECAY(XB, 3);
  RC (C) ::
     METHOD(RK4);
     XC' = DECAY(XC, 4);
  SHOW (A) ::
     WRITELN(TIME:6:2, X:22:15, XA:22:15, XB:22:15, XC:22:15);
     ACT(SHOW, 1);
  TOTALS (A) ::
     WRITELN('EVALUATIONS ', N[1], ' ', N[2], ' ', N[3], ' ', N[4]);
INIT
  TSIM := 10;
  X := 1; XA := 1; XB := 1; XC := 1;
  N[1] := 0; N[2] := 0; N[3] := 0; N[4] := 0;
  EABS := 1E-6;
  EREL := 1E-6;
  DT_FEH := 1;
  DT_RA := 0.25;
  DT_RB := 0.125;
  DT_RC := 0.0625;
  ACT(FEH, 0);
  ACT(RA, 0);
  ACT(RB, 0);
  ACT(RC, 0);
  ACT(SHOW, 0);
  ACT(TOTALS, 10);
DECL
VAR
  X, XA, XB, XC : CONT;
  N : ARRAY[1..4] OF INTEGER;
PROCEDURES
FUNCTION DECAY(V : REAL; I : INTEGER) : REAL;
BEGIN
  N[I] := N[I] + 1;
  DECAY := -V
END;
END.
