Rework: one job every 10, served for 1; the check sends each job back to
the queue once, so every job spends exactly 2 in the system.
NETWORK
  ARRIVE (I) QUEUE ::
     IT := 10;
     PASSES := 0;
  QUEUE (L) SERV ::
  SERV (R) CHECK ::
     STAY := 1;
  CHECK (D) QUEUE, OUT ::
     PASSES := PASSES + 1;
     IF PASSES < 2 THEN SENDTO(QUEUE) ELSE SENDTO(OUT);
  OUT (E) ::
     WRITELN('JOB OUT AT ', TIME:6:2, ' IN SYSTEM ', TIME - GT:5:2);
INIT
  TSIM := 45;
  ACT(ARRIVE, 0);
DECL
NODES ARRIVE (PASSES : INTEGER);
END.
