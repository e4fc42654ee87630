A bank with one teller, but its last line lost the point.
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
END
