A bank whose teller counts its work in an INTEGER given a REAL.
NETWORK
  ENTRY (I) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
     STAY := EXPO(4);
     SERVED := STAY * 2;
  EXIT (E) ::
INIT
  TSIM := 100;
  ACT(ENTRY, 0);
DECL
  VAR SERVED: INTEGER;
END.
