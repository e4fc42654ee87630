Every random distribution, with the default stream and with a stream of its own.
NETWORK
  DRAW (A) ::
     N := BIN(5, 0.5) + UNIFI(1, 6) + BER(0.5) + POISSON(3);
     M := BIN(5, 0.5, 2) + UNIFI(1, 6, 3) + BER(0.5, 4) + POISSON(3, 5);
     X := ERLG(2, 3) + EXPO(1) + GAUSS(0, 1) + NORM(0, 1) + RANDOM;
     X := X + TRIA(1, 2, 3) + UNIF(0, 1) + BETA(2, 3) + GAMMA(2, 1);
     X := X + LOGNORM(1, 1) + WEIBULL(1, 2) + EXPO(1, 10) + TRIA(1, 2, 3, 6);
     Y := ERLG(2, 3, 7) + GAUSS(0, 1, 8) + LOGNORM(1, 1, 9) + WEIBULL(1, 2, 1);
     WRITELN(TIME:6:1, N:4, M:4, X:10:3, Y:10:3);
     ACT(DRAW, 1);
INIT
  TSIM := 3;
  ACT(DRAW, 0);
DECL
VAR
  N, M : INTEGER;
  X, Y : REAL;
END.
