A bank
NETWORK
  ENTRY (A) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
  EXIT (E) ::
INIT
  TSIM := 100;
DECL
TYPE N = 'A'..5;
END.
