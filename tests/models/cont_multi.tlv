Two cooling bodies, each integrated by its own instance of a multiple continuous node with a step of its own.
NETWORK
  COOL (C) [1..2] ::
     IF INO = 1 THEN BEGIN
        T'[1] = -RATE * (T[1] - ROOM);
        STEPS[1] := STEPS[1] + 1
     END;
     IF INO = 2 THEN BEGIN
        T'[2] = -RATE * (T[2] - ROOM);
        STEPS[2] := STEPS[2] + 1
     END;
  SHOW (A) ::
     WRITELN(TIME:8:2, T[1]:10:4, T[2]:10:4, STEPS[1]:6, STEPS[2]:6);
     IF TIME >= 6 THEN DEACT(COOL[2]);
     ACT(SHOW, 2);
INIT
  TSIM := 10;
  T[1] := 90;
  T[2] := 60;
  ROOM := 20;
  RATE := 0.3;
  STEPS[1] := 0;
  STEPS[2] := 0;
  DT_COOL[1] := 0.05;
  DT_COOL[2] := 0.2;
  ACT(COOL[1], 0);
  ACT(COOL[2], 1);
  ACT(SHOW, 0);
DECL
VAR
  T : ARRAY[1..2] OF CONT;
  STEPS : ARRAY[1..2] OF INTEGER;
  ROOM, RATE : REAL;
END.
