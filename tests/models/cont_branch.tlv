A room kept warm by a thermostat, one equation while the heater is on, one while off.
NETWORK
  ROOM (C) ::
     IF ON THEN TEMP' = (40 - TEMP) * 0.2 ELSE
        TEMP' = (5 - TEMP) * 0.1;
  SWITCH (A) ::
     IF TEMP > 22 THEN ON := FALSE;
     IF TEMP < 18 THEN ON := TRUE;
     WRITELN(TIME:6:1, TEMP:8:2, ON:7);
     ACT(SWITCH, 0.5);
INIT
  TSIM := 10;
  TEMP := 12;
  ON := TRUE;
  DT_ROOM := 0.05;
  ACT(ROOM, 0);
  ACT(SWITCH, 0);
DECL
VAR
  TEMP : CONT;
  ON : BOOLEAN;
END.
