Two tanks in a row, filled through a valve whose flow arrives with a third-order delay.
NETWORK
  VALVE (C) ::
     METHOD(EUL);
     RETARD(3, FLOW, DELAY, OPEN);
  TANKS (C) ::
     METHOD(RK4);
     H'[1] = (FLOW - K * H[1]) / AREA;
     H'[2] = (K * H[1] - K * H[2]) / AREA;
  WATCH (A) ::
     WRITELN(TIME:8:2, FLOW:10:4, H[1]:10:4, H[2]:10:4);
     IF TIME >= 5 THEN OPEN := 0;
     ACT(WATCH, 1);
INIT
  TSIM := 10;
  OPEN := 2;
  FLOW := 0;
  H[1] := 1;
  H[2] := 0;
  K := 0.5;
  AREA := 2;
  DELAY := 2;
  DT_VALVE := 0.01;
  DT_TANKS := 0.01;
  ACT(VALVE, 0);
  ACT(TANKS, 0);
  ACT(WATCH, 0);
DECL
VAR
  FLOW : RET : 3;
  H : ARRAY[1..2] OF CONT;
  OPEN, K, AREA, DELAY : REAL;
END.
