Fragment: the code of node HERE, of type E
NETWORK
  ARRIVE (I) HERE ::
     IT := EXPO(5);
  HERE (E) ::
@@
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
@INIT@
DECL
@DECL@
END.
