A post office with two clerks: a customer who finds six or more people
waiting goes away without being served.  Minutes are the unit of time.
NETWORK
  DOOR (I) LOOK ::
     IT := EXPO(1);
  LOOK (D) LINE, AWAY ::
     IF LL(IL_LINE) >= 6 THEN SENDTO(AWAY) ELSE SENDTO(LINE);
  LINE (L) CLERK ::
  CLERK (R) SERVED ::
     STAY := EXPO(1.6);
  SERVED (E) ::
  AWAY (E) ::
INIT
  TSIM := 100000;
  CLERK := 2;
  ACT(DOOR, 0);
DECL
STATISTICS ALLNODES;
END.
