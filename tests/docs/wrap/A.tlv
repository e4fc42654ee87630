Fragment: the code of node HERE, of type A
NETWORK
  HERE (A) ::
@@
INIT
  TSIM := 100;
  ACT(HERE, 0);
@INIT@
DECL
@DECL@
END.
