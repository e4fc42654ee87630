A ramp stepped every 0.05 and read by a node that is no successor of it, at instants between the steps.
NETWORK
  RAMP (C) ::
     X' = 1.5;
  LOOK (A) ::
     WRITELN(TIME:14:10, X:16:10);
     K := K + 1;
     ACT(LOOK, 0.37 + 0.011 * K);
INIT
  TSIM := 10;
  X := 0;
  K := 0;
  DT_RAMP := 0.05;
  ACT(RAMP, 0);
  ACT(LOOK, 0.013);
DECL
VAR
  X : CONT;
  K : INTEGER;
END.
