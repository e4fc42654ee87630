A job shop: three kinds of job visit some of four groups of machines, always
in the shop's order (saw, lathe, mill, drill); rush jobs go ahead of the
others in every queue.  Hours are the unit of time.
NETWORK
  ORDERS (I) QSAW, QLATHE ::
     IT := EXPO(0.5);
     KIND := UNIFI(1, 3);
     IF RANDOM < 0.2 THEN RUSH := 1 ELSE RUSH := 0;
     IF KIND = 3 THEN SENDTO(QLATHE) ELSE SENDTO(QSAW);
  QSAW (L) SAW ::
     ORDER(RUSH, D);
  SAW (R) AFTERSAW ::
     STAY := EXPO(0.6);
  AFTERSAW (D) QLATHE, QMILL ::
     IF KIND = 1 THEN SENDTO(QLATHE) ELSE SENDTO(QMILL);
  QLATHE (L) LATHE ::
     ORDER(RUSH, D);
  LATHE (R) AFTERLATHE ::
     STAY := EXPO(1.0);
  AFTERLATHE (D) QMILL, DONE ::
     IF KIND = 1 THEN SENDTO(DONE) ELSE SENDTO(QMILL);
  QMILL (L) MILL ::
     ORDER(RUSH, D);
  MILL (R) AFTERMILL ::
     STAY := EXPO(1.2);
  AFTERMILL (D) QDRILL, DONE ::
     IF KIND = 2 THEN SENDTO(QDRILL) ELSE SENDTO(DONE);
  QDRILL (L) DRILL ::
     ORDER(RUSH, D);
  DRILL (R) DONE ::
     STAY := EXPO(0.8);
  DONE (E) ::
     IF RUSH = 1 THEN BEGIN
        NRUSH := NRUSH + 1;
        TRUSH := TRUSH + (TIME - GT)
     END
     ELSE BEGIN
        NOTHER := NOTHER + 1;
        TOTHER := TOTHER + (TIME - GT)
     END;
  SUMMARY (A) ::
     WRITELN('rush jobs  ', NRUSH:6, '   hours in shop ', TRUSH / NRUSH:7:2);
     WRITELN('other jobs ', NOTHER:6, '   hours in shop ', TOTHER / NOTHER:7:2);
INIT
  TSIM := 2000;
  SAW := 1;
  LATHE := 2;
  MILL := 2;
  DRILL := 1;
  NRUSH := 0;  TRUSH := 0;
  NOTHER := 0; TOTHER := 0;
  ACT(ORDERS, 0);
  ACT(SUMMARY, 2000);
DECL
VAR
  NRUSH, NOTHER : INTEGER;
  TRUSH, TOTHER : REAL;
NODES
  ORDERS (KIND, RUSH : INTEGER);
END.
