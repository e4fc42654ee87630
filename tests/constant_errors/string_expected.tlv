A bank
NETWORK
  ENTRY (A) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
  EXIT (E) ::
INIT
  TSIM := 100;
DECL
CONST V : ARRAY[1..2] OF STRING[3] = ('a', 2);
END.
