M/M/1: arrivals every 5 on average, service 4 on average (utilisation 0.8).
NETWORK
  ARRIVALS (I) SERVER ::
     IT := EXPO(5);
  SERVER (R) DEPART ::
     STAY := EXPO(4);
  DEPART (E) ::
INIT
  TSIM := 100000;
  ACT(ARRIVALS, 0);
DECL
END.
