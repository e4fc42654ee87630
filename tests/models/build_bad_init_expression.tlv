A bank whose INIT multiplies a string.
NETWORK
  ENTRY (I) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
     STAY := EXPO(4);
  EXIT (E) ::
INIT
  TSIM := 100;
  LIMIT := 'ten' * 2;
  ACT(ENTRY, 0);
DECL
  VAR LIMIT: INTEGER;
END.
