A shop: arrivals queue for two clerks, leave and are counted.
NETWORK
  ARRIVE (I) LINE ::
     IT := EXPO(3);
     SIZE := UNIF(1, 5);
  LINE (L) CLERK ::
  CLERK (R) LEAVE ::
     STAY := EXPO(4) + SIZE;
  LEAVE (E) ::
     SERVED := SERVED + 1;
     TOTAL := TOTAL + SIZE;
INIT
  TSIM := 200;
  SERVED := 0; TOTAL := 0;
  CLERK := 2;
  ACT(ARRIVE, 0);
DECL
VAR SERVED : INTEGER;
    TOTAL : REAL;
NODES
  ARRIVE (SIZE : REAL);
END.
