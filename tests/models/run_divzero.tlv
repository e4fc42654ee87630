A queue whose node BREAK divides by zero at time 10.
NETWORK
  ARRIVE (I) SERVE ::
     IT := 1;
  SERVE (R) OUT ::
     STAY := 0.5;
  OUT (E) ::
  BREAK (A) ::
     N := 5 DIV ZERO;
INIT
  TSIM := 100;
  ZERO := 0;
  ACT(ARRIVE, 0);
  ACT(BREAK, 10);
DECL
VAR N, ZERO : INTEGER;
END.
