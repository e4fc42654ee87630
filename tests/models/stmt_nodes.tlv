node capacities and node calls, across two modules
NETWORK
G1 (G) ::
  R := 3;
  M[2] := 5;
  G2(7);
  X1(IEV) ;
  IF TIME > 0 THEN R := 4 ELSE R := 5;
R (R) ::
M (R) [1..3] ::
G2 (G) ::
MODULE
X1 (G) ::
  G2(1)
  END
INIT
  R := 2;
  X1(0);
DECL
END.
