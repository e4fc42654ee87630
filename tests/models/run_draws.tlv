The first draws of RANDOM and of two exponential streams in each replication.
NETWORK
  DRAW (A) ::
     WRITELN('DRAWS', NREP:4, RANDOM:12:8, EXPO(1):12:8, EXPO(1, 2):12:8);
INIT
  TSIM := 10;
  ACT(DRAW, 1);
DECL
END.
