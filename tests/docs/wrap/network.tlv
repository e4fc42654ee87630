Fragment of the NETWORK section
NETWORK
@@
INIT
  TSIM := 100;
@INIT@
DECL
@DECL@
END.
