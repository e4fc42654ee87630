Fragment: the code of node HERE, of type I
NETWORK
  HERE (I) LEAVE ::
@@
  LEAVE (E) ::
INIT
  TSIM := 100;
  ACT(HERE, 0);
@INIT@
DECL
@DECL@
END.
