A message sent back and forth between two nodes that never stops: the
clock cannot go on, and the run says so.
NETWORK
  SRC (I) BOUNCE ::
     IT := 1E30;
  BOUNCE (G) BACK ::
     SENDTO(BACK);
  BACK (G) BOUNCE ::
     SENDTO(BOUNCE);
INIT
  TSIM := 10;
  ACT(SRC, 1);
DECL
END.
