Doors that close and open: while they are closed neither arrivals nor
the end of a service happen; both are held until the doors open.
NETWORK
  ARR (I) DESK ::
     IT := 1;
     N := N + 1;
     ID := N;
     WRITELN('ARRIVAL ', N:3, ' AT ', TIME:7:2);
  DESK (R) OUT ::
     STAY := 1.5;
  OUT (E) ::
     D := D + 1;
     WRITELN('OUT ', ID:3, ' AT ', TIME:7:2);
  DOORS (A) ::
     OPEN := NOT OPEN;
     WRITELN('DOORS AT ', TIME:7:2, ' OPEN ', OPEN, ' ARRIVED ', N:3,
       ' OUT ', D:3, ' IN ', LL(EL_DESK) + LL(IL_DESK):3);
     IF OPEN THEN BEGIN DEBLOCK(ARR); DEBLOCK(DESK) END
     ELSE BEGIN BLOCK(ARR); BLOCK(DESK) END;
     IF OPEN THEN ACT(DOORS, 7.25) ELSE ACT(DOORS, 5);
INIT
  TSIM := 30;
  N := 0;
  D := 0;
  OPEN := TRUE;
  DESK := 1;
  ACT(ARR, 0);
  ACT(DOORS, 5.5);
DECL
VAR N, D : INTEGER;
    OPEN : BOOLEAN;
NODES ARR (ID : INTEGER);
STATISTICS DESK, OUT;
END.
