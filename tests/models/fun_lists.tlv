A queue before one clerk, watched through every function over a list.
NETWORK
  ARRIVE (I) LINE ::
     IT := EXPO(3);
  LINE (L) CLERK ::
  CLERK (R) LEAVE ::
     STAY := EXPO(2.5, 2);
  LEAVE (E) ::
  WATCH (A) ::
     INQ := LL(IL_LINE);
     LONG := MAXL(IL_LINE);
     SHORT := MINL(IL_LINE);
     MEAN := MEDL(IL_LINE) + DMEDL(IL_LINE);
     SEEN := ENTR(IL_LINE);
     IDLE := TFREE(IL_LINE);
     WAIT := MSTL(IL_LINE) + DMSTL(IL_LINE);
     BUSY := (PFIRST(IL_LINE) <> NIL) OR (PLAST(IL_LINE) <> NIL);
     WRITE(TIME:8:2, INQ:4, LONG:4, SHORT:4, MEAN:8:3, SEEN:6);
     WRITELN(IDLE:8:3, WAIT:8:3, BUSY:6);
     ACT(WATCH, 20);
INIT
  TSIM := 100;
  CLERK := 1;
  ACT(ARRIVE, 0);
  ACT(WATCH, 20);
DECL
VAR
  INQ, LONG, SHORT, SEEN : INTEGER;
  MEAN, IDLE, WAIT : REAL;
  BUSY : BOOLEAN;
END.
