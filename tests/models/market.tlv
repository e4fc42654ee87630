A supermarket with two lanes: each customer joins the lane with the fewest
customers, waiting or at the cashier; both cashiers work alike.
NETWORK
  DOOR (I) LANE ::
     IT := EXPO(1);
     SENDTO(LANE[MIN]);
  LANE (L) [1..2] CASH ::
     N[INO] := N[INO] + 1;
     J := 3 - INO;
     IF (LL(IL_LANE[INO]) + U_CASH[INO] > 0)
       AND (LL(IL_LANE[J]) + U_CASH[J] = 0) THEN BAD := BAD + 1;
  CASH (R) [1..2] OUT ::
     STAY := EXPO(1.6);
  OUT (E) ::
     DONE := DONE + 1;
     W := W + TIME - GT;
     IF DONE = 100000 THEN BEGIN
       WRITELN('LANE 1 ', N[1] / (N[1] + N[2]):8:4);
       WRITELN('LANE 2 ', N[2] / (N[1] + N[2]):8:4);
       WRITELN('WAITED WITH A LANE IDLE ', BAD:6);
       WRITELN('IN SYSTEM ', W / DONE:8:3);
       ENDSIMUL
     END;
INIT
  N[1] := 0; N[2] := 0; BAD := 0; DONE := 0; W := 0;
  ACT(DOOR, 0);
DECL
VAR N : ARRAY[1..2] OF INTEGER;
    BAD, DONE, J : INTEGER;
    W : REAL;
END.
