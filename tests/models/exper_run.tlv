A desk whose service time and capacity are experiment variables; one arrival a time unit.
NETWORK
  COME (I) DESK ::
     IT := 1;
  DESK (R) GO ::
     STAY := SMEAN;
  GO (E) ::
     DONE := DONE + 1;
  SHOW (A) ::
     WRITELN('SMEAN ', SMEAN:6:2, ' TWICE ', TWICE:6:2, ' DONE ', DONE:4);
INIT
  TSIM := 100;
  EXPER
    SMEAN := 1.8;
    DESK := 1;
  ENDEXP
  TWICE := SMEAN * 2;
  DONE := 0;
  ACT(COME, 0);
  ACT(SHOW, 99.5);
DECL
VAR SMEAN, TWICE : REAL;
    DONE : INTEGER;
END.
