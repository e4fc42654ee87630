A thermostat: the room warms below 2.5 and cools above, one equation a branch.
NETWORK
  ROOM (C) ::
     IF HEAT THEN X' = 1
     ELSE X' = -1;
  SW (A) ::
     HEAT := X < 2.5;
     WRITELN(TIME:6:2, X:8:3);
     ACT(SW, 1);
INIT
  TSIM := 10;
  X := 0;
  DT_ROOM := 0.1;
  HEAT := TRUE;
  ACT(ROOM, 0);
  ACT(SW, 0);
DECL
VAR X : CONT;
    HEAT : BOOLEAN;
END.
