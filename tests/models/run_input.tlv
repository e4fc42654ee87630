The mean service time is typed in when the run starts.
NETWORK
  ARRIVE (I) SERVE ::
     IT := 5;
  SERVE (R) OUT ::
     STAY := MEAN;
  OUT (E) ::
INIT
  TSIM := 50;
  MEAN := 1;
  @ MEAN : 8 : 2 Mean service;
  WRITELN('MEAN IS', MEAN:6:2);
  ACT(ARRIVE, 0);
DECL
VAR MEAN : REAL;
END.
