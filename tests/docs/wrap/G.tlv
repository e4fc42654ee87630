Fragment: the code of node HERE, of type G
NETWORK
  ARRIVE (I) HERE ::
     IT := EXPO(5);
  HERE (G) LEAVE ::
@@
  LEAVE (E) ::
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
@INIT@
DECL
@DECL@
END.
