A bank
NETWORK
  ENTRY (A) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
  EXIT (E) ::
INIT
  TSIM := 100;
DECL
CONST V : ARRAY[1..3] OF INTEGER = (1, 'a', 3);
END.
