Events at the same instant: priorities, instances, cancellation by node,
by instance and by time, events put in and taken out by node code.
NETWORK
  CLOCK (A) ::
     TICKS := TICKS + 1;
     WRITELN('CLOCK ', TIME:7:2, ' EMPTY ', VOIDFEL);
     ACT(P[3], 0);
     ACT(P[1], 0, 2);
     ACT(P[2], 0, 7);
     ACT(P[1], 0, 2);
     IF TICKS MOD 3 = 0 THEN ACT(Q, 0.5, 9);
     ACT(Q, 0.5);
     ACT(Q, 0.5, 1);
     IF TICKS MOD 4 = 0 THEN EXTFEL(B, Q, 1, TIME + 0.5, 0);
     IF TICKS MOD 5 = 0 THEN PUTFEL(B, W, 2, 0.25, 3);
     IF TICKS MOD 7 = 0 THEN DEACT(Q);
     IF TICKS < 30 THEN ACT(CLOCK, 1);
  P (A) [1..3] ::
     WRITELN('P', INO:1, ' ', TIME:7:2);
     IF INO = 2 THEN ACT(W[1], 0);
     IF INO = 3 THEN ACT(W[1], 0, 4);
     IF INO = 1 THEN ACT(W[2], 0.25);
  Q (A) ::
     WRITELN('Q ', TIME:7:2);
  W (A) [1..2] ::
     WRITELN('W', INO:1, ' ', TIME:7:2);
     IF (INO = 2) AND (TICKS MOD 6 = 0) THEN EXTFEL(A, W, 2, 0, 0);
     IF (INO = 1) AND (TICKS MOD 8 = 0) THEN EXTFEL(A, W, 0, 0, 0);
INIT
  TSIM := 40;
  TICKS := 0;
  ACT(CLOCK, 0);
  ACT(Q, 0);
DECL
VAR TICKS : INTEGER;
END.
