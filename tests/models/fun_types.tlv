Valued functions of other types than REAL, all shown by an output list.
NETWORK
  SHOW (A) ::
     N := LEVEL(X);
     B := OPEN(C);
     WRITELN(N:4, B:6, GRADE(N):8:3);
INIT
  TSIM := 1;
  X := 1.5;
  C := 'b';
  LEVEL := 0, 1 / 1, 2 / 2, 3;
  OPEN := 'a', TRUE / 'b', FALSE;
  GRADE := 1, 0.5 / 2, 0.7 / 3, 0.9;
  RATE := 0, 0 / 1, 2;
  % LEVEL, OPEN, GRADE, RATE;
  ACT(SHOW, 0);
DECL
VAR
  X : REAL;
  N : INTEGER;
  B : BOOLEAN;
  C : CHAR;
GFUNCTIONS
  LEVEL : STAIR (REAL) : INTEGER : 3;
  OPEN : DISC (CHAR) : BOOLEAN : 2;
  GRADE : DISC (INTEGER) : REAL : 3;
  RATE : POLYG (REAL) : REAL : 2;
END.
