Continuous variables measured as they are integrated: a ramp that runs from 2 to 8 and stands still before and after, and a decay.
NETWORK
  RAMP (C) ::
     X' = 250000;
  FALL (C) ::
     METHOD(RK4);
     Y' = -Y;
  STOP (A) ::
     DEACT(RAMP);
INIT
  TSIM := 10;
  X := 0;
  Y := 1000000;
  DT_RAMP := 0.05;
  DT_FALL := 0.1;
  ACT(RAMP, 2);
  ACT(FALL, 0);
  ACT(STOP, 8);
DECL
VAR X, Y : CONT;
STATISTICS X, Y;
END.
