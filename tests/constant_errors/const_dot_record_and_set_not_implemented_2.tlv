A bank
NETWORK
  ENTRY (A) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
  EXIT (E) ::
INIT
  TSIM := 100;
DECL
CONST Z : SET OF 1..3 = [1];
END.
