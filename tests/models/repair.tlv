Machine repair: five machines, each up for EXPO(10) between failures, one
repairer taking EXPO(2) a repair (the finite-source queue M/M/1//5).
NETWORK
  MAKE (I) WORK ::
     K := K + 1;
     IF K < 5 THEN IT := 0 ELSE IT := 1E30;
  WORK (R) QUEUE ::
     STAY := EXPO(10);
  QUEUE (L) FIX ::
  FIX (R) WORK ::
     STAY := EXPO(2);
INIT
  TSIM := 1000000;
  K := 0;
  WORK := 5;
  FIX := 1;
  ACT(MAKE, 0);
DECL
VAR K : INTEGER;
END.
