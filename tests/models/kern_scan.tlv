Messages passed between copies of nodes, back to nodes the scan has
already passed, through a decision node with several sources.
NETWORK
  SRC (I) [1..2] HUB[1] ::
     IT := 1 + INO;
     K := K + 1;
     TAG := K;
     IF K MOD 2 = 0 THEN SENDTO(HUB[1]) ELSE SENDTO(HUB[2]);
  HUB (G) [1..3] HUB, DEC, DESK ::
     WRITELN('HUB', INO:1, ' ', TAG:3, ' ', TIME:6:2);
     IF (INO = 1) AND (TAG MOD 4 = 0) THEN SENDTO(HUB[3])
     ELSE IF TAG MOD 3 = 0 THEN SENDTO(DEC)
     ELSE SENDTO(DESK[FREE]);
  DESK (R) [1..2] BACK ::
     STAY := 0.5 * INO;
  BACK (G) HUB, DEC ::
     WRITELN('BACK ', TAG:3, ' ', TIME:6:2);
     HOPS := HOPS + 1;
     IF HOPS < 3 THEN SENDTO(HUB[1]) ELSE SENDTO(DEC);
  DEC (D) FIN ::
     SELECT(HUB[1..3] : 2; BACK : 1) SENDTO(FIN);
  FIN (E) ::
     WRITELN('FIN ', TAG:3, ' ', TIME:6:2, ' ', HOPS:2);
  WATCH (A) ::
     WRITELN('WATCH ', TIME:6:2);
     ACT(WATCH, 1);
INIT
  TSIM := 40;
  K := 0;
  DESK[1] := 1; DESK[2] := 1;
  ACT(SRC[1], 0);
  ACT(SRC[2], 0.5);
  ACT(WATCH, 0);
DECL
NODES SRC (TAG : INTEGER; HOPS : INTEGER);
VAR K : INTEGER;
END.
