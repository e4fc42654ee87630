A bank with one teller.
NETWORK
  ENTRY (I) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
     STAY := EXPO(4);
  EXIT (E) ::
INIT
  TSIM := 100;
  ACT(ENTRY, 0);
DECL
END.
