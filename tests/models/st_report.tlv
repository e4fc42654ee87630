A service desk whose work is measured, tabled, reported, filed and graphed;
job sizes are drawn from a weighted set.
NETWORK
  ARRIVE (I) LINE ::
     IT := EXPO(3);
     RAND(W, 2);
     SIZE := UNIF(1, 5) + RANDV_W[1];
     TAB(SIZE, SIZES);
     TRANS(EL_DESK, LAST, B, EL_DESK, FIRST);
  LINE (L) DESK ::
  DESK (R) LEAVE ::
     STAY := EXPO(4) + SIZE;
  OTHER (I) POOL ::
     IT := EXPO(5);
  POOL (R) [1..2] LEAVE ::
     STAY := 2;
  LEAVE (E) ::
     UPDATE(VAR);
     SERVED := SERVED + 1;
     TOTAL := TOTAL + SIZE;
     LAST[1] := SIZE;
     FILE('served.txt', TIME, SIZE:6:2);
     KEEP(SIZE);
     GRAPH(0, 200; TOTAL : 0 : 1000 : RED; SERVED : 0 : 100; TITLE 'Work done');
     POINT(EL_LEAVE, FIRST, P) SIZE > 4;
     IF SERVED > 1000 THEN EXTFEL(A, ARRIVE, 0, 0, 0);
     IF SERVED = 50 THEN BEGIN
       REPORT;
       % TOTAL : 10 : 2 Work done;
       % SERVED : 6 Served so far;
       % LAST[1..2] : 8 : 1 Last sizes;
       ENDREPORT;
       TRACE; UNTRACE;
     END;
     IF SERVED < 0 THEN BEGIN
       @ TOTAL : 10 : 2 Total to start from;
       @ LAST[1..2] : Last sizes;
     END;
INIT
  TSIM := 200;
  SERVED := 0; TOTAL := 0;
  W[1] := 0.5; W[2] := 0.3; W[3] := 0.2;
  SIZES := 0, 10, 0.5;
  # POOL[1..2] := (1, 2);
  # LAST[1..2] := (0, 0);
  % TSIM : 8 : 1 Run length;
  ACT(ARRIVE, 0);
  ACT(OTHER, 1);
DECL
VAR SERVED : INTEGER;
    TOTAL : REAL;
    LAST : ARRAY[1..2] OF REAL;
    P : GPOINTER;
    W : ARRAY[1..3] OF REAL;
NODES
  ARRIVE (SIZE : REAL);
TABLES
  SIZE : SIZES;
STATISTICS ARRIVE, LINE, DESK, POOL, TOTAL, SERVED, LAST;
PROCEDURES
PROCEDURE KEEP(Y : REAL);
BEGIN
  FILE('kept.txt', Y, TIME);
END;
END.
