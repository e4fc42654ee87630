A post office: three clerks serve one line; every node and the waiting
work are measured.
NETWORK
  DOOR (I) LINE ::
     IT := EXPO(2);
     WORK := UNIF(2, 8);
     PENDING := PENDING + WORK;
  LINE (L) CLERKS ::
  CLERKS (R) OUT ::
     STAY := WORK;
  OUT (E) ::
     SERVED := SERVED + 1;
     PENDING := PENDING - WORK;
  WATCH (A) ::
     IF SERVED >= 500 THEN ENDSIMUL;
     ACT(WATCH, 60);
INIT
  TSIM := 2000;
  CLERKS := 3;
  SERVED := 0;
  PENDING := 0;
  ACT(DOOR, 0);
  ACT(WATCH, 60);
DECL
VAR SERVED : INTEGER;
    PENDING : REAL;
NODES
  DOOR (WORK : REAL);
STATISTICS ALLNODES, PENDING;
END.
