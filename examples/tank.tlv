A water tank filled by a pump and drained through a valve.  The pump starts
when the level falls to 2 m and stops when it reaches 8 m; the outflow
follows Torricelli's law.  Minutes are the unit of time.
NETWORK
  WATER (C) ::
     IF (LEVEL <= 2) AND NOT PUMPING THEN BEGIN
        PUMPING := TRUE;
        STARTS := STARTS + 1
     END;
     IF LEVEL >= 8 THEN PUMPING := FALSE;
     IF PUMPING THEN INFLOW := PUMPRATE ELSE INFLOW := 0;
     LEVEL' = (INFLOW - VALVE * SQRT(LEVEL)) / AREA;
  SHOW (A) ::
     WRITELN(TIME:8:1, LEVEL:8:3, PUMPING:7, STARTS:4);
     GRAPH(0, 480; LEVEL : 0 : 10 : BLUE; TITLE 'Level of the tank');
     ACT(SHOW, 5);
INIT
  TSIM := 480;
  LEVEL := 5;
  PUMPING := FALSE;
  STARTS := 0;
  PUMPRATE := 6;
  VALVE := 1.2;
  AREA := 20;
  DT_WATER := 0.1;
  ACT(WATER, 0);
  ACT(SHOW, 0);
DECL
VAR
  LEVEL : CONT;
  INFLOW, PUMPRATE, VALVE, AREA : REAL;
  PUMPING : BOOLEAN;
  STARTS : INTEGER;
END.
