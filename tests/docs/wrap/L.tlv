Fragment: the code of node HERE, of type L
NETWORK
  ARRIVE (I) HERE ::
     IT := EXPO(5);
  HERE (L) DESK ::
@@
  DESK (R) LEAVE ::
     STAY := EXPO(4);
  LEAVE (E) ::
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
@INIT@
DECL
@DECL@
END.
