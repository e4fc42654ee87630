A level that grows by one a time unit, stepped every unit, read between steps.
NETWORK
  SRC (I) Q ::
     IT := 2.5;
  LEVEL (C) Q ::
     X' = 1;
  Q (L) DESK ::
  DESK (R) OUT ::
     STAY := 0;
     WRITELN(TIME:8:2, X:8:2);
  OUT (E) ::
INIT
  TSIM := 10;
  X := 0;
  DT_LEVEL := 1;
  ACT(LEVEL, 0);
  ACT(SRC, 0.5);
DECL
VAR X : CONT;
END.
