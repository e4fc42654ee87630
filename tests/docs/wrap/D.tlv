Fragment: the code of node HERE, of type D
NETWORK
  ARRIVE (I) HERE ::
     IT := EXPO(5);
  HERE (D) LEAVE, OTHER ::
@@
  LEAVE (E) ::
  OTHER (E) ::
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
@INIT@
DECL
@DECL@
END.
