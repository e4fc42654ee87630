Continuous variables measured as they are integrated: a ramp that runs from 2 to 8 and stands still before and after, a decay, and a ramp whose last step (9.9) comes before the run ends at another C node's step (10).
NETWORK
  RAMP (C) ::
     X' = 250000;
  FALL (C) ::
     METHOD(RK4);
     Y' = -Y;
  STOP (A) ::
     DEACT(RAMP);
  LATE (C) ::
     Z' = 1;
  TICK (C) ::
     W' = 0;
INIT
  TSIM := 10;
  X := 0;
  Y := 1000000;
  DT_RAMP := 0.05;
  DT_FALL := 0.1;
  Z := 0;
  W := 0;
  DT_LATE := 0.3;
  DT_TICK := 0.125;
  ACT(LATE, 0);
  ACT(TICK, 0);
  ACT(RAMP, 2);
  ACT(FALL, 0);
  ACT(STOP, 8);
DECL
VAR X, Y, Z, W : CONT;
STATISTICS X, Y, Z;
END.
