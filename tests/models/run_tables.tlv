Sizes 0.25, 0.75, ... counted in a frequency table; LEVEL and the second copy
of DESK never change.
NETWORK
  ARRIVE (I) DESK ::
     IT := 1;
     SIZE := SIZE + 0.5;
     TAB(SIZE, SIZES);
  DESK (R) [1..2] OUT ::
     STAY := 0.5;
  OUT (E) ::
INIT
  TSIM := 9.5;
  SIZE := -0.25;
  SIZES := 0, 3, 1;
  # LEVEL[1..2] := (7, 7);
  ACT(ARRIVE, 0);
DECL
VAR SIZE : REAL;
    LEVEL : ARRAY[1..2] OF REAL;
TABLES
  SIZE : SIZES;
STATISTICS LEVEL;
END.
