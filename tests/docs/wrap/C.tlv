Fragment: the code of node HERE, of type C, with continuous X and Y
NETWORK
  HERE (C) ::
@@
INIT
  TSIM := 10;
  X := 1;
  Y := 0;
  DT_HERE := 0.1;
  ACT(HERE, 0);
@INIT@
DECL
VAR X, Y : CONT;
@DECL@
END.
