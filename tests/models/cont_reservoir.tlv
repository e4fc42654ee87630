A reservoir whose inflow and outflow are switched at random instants by two G nodes placed after it; each switch adds the volume of the flow just ended to an exact balance.
NETWORK
  TANK (C) ::
     V' = QIN - QOUT;
  RAIN (I) INLET ::
     IT := EXPO(0.7, 2);
  INLET (G) GONE ::
     BAL := BAL + (QIN - QOUT) * (TIME - LAST);
     LAST := TIME;
     QIN := UNIF(0, 3, 3);
     SENDTO(GONE);
  DEMAND (I) OUTLET ::
     IT := EXPO(1.1, 4);
  OUTLET (G) GONE ::
     BAL := BAL + (QIN - QOUT) * (TIME - LAST);
     LAST := TIME;
     QOUT := UNIF(0, 2.5, 5);
     SENDTO(GONE);
  GONE (E) ::
  SHOW (A) ::
     WRITELN(TIME:10:4, V:18:8, BAL + (QIN - QOUT) * (TIME - LAST) + 100:18:8);
     ACT(SHOW, 25);
INIT
  TSIM := 200;
  V := 100;
  BAL := 0;
  LAST := 0;
  QIN := 1;
  QOUT := 1;
  DT_TANK := 0.01;
  ACT(TANK, 0);
  ACT(RAIN, 0.3);
  ACT(DEMAND, 0.5);
  ACT(SHOW, 25);
DECL
VAR
  V : CONT;
  QIN, QOUT, BAL, LAST : REAL;
END.
