One desk: arrivals every MEANT on average, service SERVT on average.
NETWORK
  COME (I) DESK ::
     IT := EXPO(MEANT);
  DESK (R) GO ::
     STAY := EXPO(SERVT);
  GO (E) ::
     DONE := DONE + 1;
INIT
  TSIM := 5000;
  EXPER
    MEANT := 2;
    SERVT := 1;
    DESK := 1;
  ENDEXP
  DONE := 0;
  ACT(COME, 0);
DECL
VAR MEANT, SERVT, DONE : REAL;
FACTORS MEANT, SERVT;
RESPONSES DONE;
END.
