Fragment: the code of node HERE, of type R
NETWORK
  ARRIVE (I) HERE ::
     IT := EXPO(5);
  HERE (R) LEAVE ::
@@
  LEAVE (E) ::
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
@INIT@
DECL
@DECL@
END.
