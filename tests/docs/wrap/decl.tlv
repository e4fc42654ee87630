Fragment of the DECL section
NETWORK
  ARRIVE (I) DESK ::
     IT := EXPO(5);
  DESK (R) LEAVE ::
     STAY := EXPO(4);
  LEAVE (E) ::
INIT
  TSIM := 100;
  ACT(ARRIVE, 0);
@INIT@
DECL
@DECL@
@@
END.
