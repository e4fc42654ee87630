A seed written into RN in INIT starts that stream again from it.
NETWORK
  DRAW (A) ::
     WRITELN('DRAWS', NREP:4, RN[1]:12, RN[2]:12,
             EXPO(1):12:8, EXPO(1, 2):12:8);
INIT
  TSIM := 10;
  RN[1] := 12345;
  ACT(DRAW, 1);
DECL
END.
