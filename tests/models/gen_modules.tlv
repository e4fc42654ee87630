Two modules: a gate with a state part, a plain node, a node of each kind.
NETWORK
  SOURCE (I) GATE ::
     IT := 2;
  GATE (G) LABEL 10; VAR K : INTEGER; ::
     STATE: BEGIN OPENED := NOT OPENED; ACT(GATE, 5) END;
     K := 0;
     10: IF OPENED THEN SENDTO(SINK);
MODULE
  SINK (E) ::
     NDONE := NDONE + 1;
  WATCH (A) ::
     IF NDONE > 100 THEN ENDSIMUL;
     ACT(WATCH, 10);
INIT
  TSIM := 1000;
  OPENED := TRUE;
  NDONE := 0;
  ACT(SOURCE, 0);
  ACT(WATCH, 10);
  ACT(GATE, 5);
DECL
VAR NDONE : INTEGER;
    OPENED : BOOLEAN;
END.
