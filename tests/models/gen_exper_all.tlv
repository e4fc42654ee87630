Experiments on every kind of entry, functions on REAL and on INTEGER.
NETWORK
  COME (I) DESK ::
     IT := EXPO(MEANT);
     X := RATE(TIME) + PRICE(2);
     TAB(X, SIZES);
  DESK (R) [1..2] DESK1 ::
     STAY := EXPO(2);
  DESK1 (R) GO ::
     STAY := 1;
  GO (E) ::
INIT
  TSIM := 100;
  EXPER
    MEANT := 3;
    LIM[2] := 4;
    DESK[1] := 2;
    DESK1 := 3;
    RATE := 0, 0 / 1, 2 / 3, 2 / 4, 0;
    PRICE := 1, 10 / 2, 20 / 3, 35;
    SIZES := 0, 10, 1;
  ENDEXP
  ACT(COME, 0);
DECL
VAR MEANT, X : REAL;
    LIM : ARRAY[1..3] OF INTEGER;
GFUNCTIONS
  RATE : POLYG (REAL) : REAL : 4;
  PRICE : DISC (INTEGER) : REAL : 3;
TABLES
  X : SIZES;
END.
