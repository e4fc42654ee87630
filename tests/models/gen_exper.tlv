Experiments: values read between runs, and the parameter file of factors.
NETWORK
  COME (I) DESK ::
     IT := EXPO(MEANT);
  DESK (R) GO ::
     STAY := EXPO(SERVT);
  GO (E) ::
     DONE := DONE + 1;
INIT
  TSIM := 100;
  EXPER
    MEANT := 3;
    SERVT := 2.5;
    DESK := 2;
  ENDEXP
  DONE := 0;
  ACT(COME, 0);
DECL
VAR MEANT, SERVT, DONE : REAL;
FACTORS MEANT, SERVT;
RESPONSES DONE;
END.
