Fragment: the code of node HERE, of type A, beside a bank
NETWORK
  ARRIVE (I) DESK ::
     IT := EXPO(5);
  DESK (R) LEAVE ::
     STAY := EXPO(4);
  LEAVE (E) ::
  HERE (A) ::
@@
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
  ACT(HERE, 0);
@INIT@
DECL
@DECL@
END.
