Valued functions of every class: a polygon, a spline, a staircase, a discrete table and an empirical distribution.
NETWORK
  SHOW (A) ::
     X := X + 0.5;
     Y1 := RATE(X);
     Y2 := SMOOTH(X);
     Y3 := STEPS(X);
     Y4 := PRICE(N);
     Y5 := SIZE + SIZE(2);
     WRITELN(X:6:2, Y1:8:3, Y2:8:3, Y3:8:3, Y4:8:3, Y5:8:3);
     N := N + 1;
     IF N > 3 THEN N := 1;
     ACT(SHOW, 1);
INIT
  TSIM := 6;
  RATE := 0, 0 / 1, 2 / 3, 2 / 4, 0;
  SMOOTH := 0, 0 / 1, 1 / 2, 4 / 3, 9;
  STEPS := 0, 1 / 2, 5 / 4, 3;
  PRICE := 1, 10 / 2, 20 / 3, 35;
  SIZE := 1, 0.5 / 2, 0.3 / 3, 0.2;
  X := 0;
  N := 1;
  ACT(SHOW, 0);
DECL
VAR
  X, Y1, Y2, Y3, Y4, Y5 : REAL;
  N : INTEGER;
GFUNCTIONS
  RATE : POLYG (REAL) : REAL : 4;
  SMOOTH : SPLINE (REAL) : REAL : 4;
  STEPS : STAIR (REAL) : REAL : 3;
  PRICE : DISC (INTEGER) : REAL : 3;
  SIZE : FREQ (REAL) : REAL : 3;
END.
