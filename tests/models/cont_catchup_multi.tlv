Two levels of one multiple C node read by a queue between their steps.
NETWORK
  SRC (I) Q ::
     IT := 2.5;
  LEVEL (C) [1..2] Q ::
     IF INO = 1 THEN X'[1] = 1;
     IF INO = 2 THEN X'[2] = 2;
  Q (L) DESK ::
  DESK (R) OUT ::
     STAY := 0;
     WRITELN(TIME:8:2, X[1]:8:2, X[2]:8:2);
  OUT (E) ::
INIT
  TSIM := 10;
  X[1] := 0;
  X[2] := 0;
  DT_LEVEL[1] := 1;
  DT_LEVEL[2] := 2;
  ACT(LEVEL[1], 0);
  ACT(LEVEL[2], 0);
  ACT(SRC, 0.5);
DECL
VAR X : ARRAY[1..2] OF CONT;
END.
