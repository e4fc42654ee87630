A call centre: calls every EXPO(1), three agents taking EXPO(2.5) a call;
a caller waits at most EXPO(2) for an agent, then hangs up.
NETWORK
  CALLS (I) QUEUE ::
     IT := EXPO(1);
     P := EXPO(2);
     DEADLINE := TIME + P;
     ACT(HANGUP, P);
  QUEUE (L) AGENT ::
  AGENT (R) DONE ::
     STAY := EXPO(2.5);
  DONE (E) ::
     SERVED := SERVED + 1;
  HANGUP (A) GONE ::
     SCAN(IL_QUEUE) IF O_DEADLINE <= TIME THEN SENDTO(GONE);
  GONE (E) ::
     LOST := LOST + 1;
INIT
  TSIM := 500000;
  SERVED := 0; LOST := 0;
  AGENT := 3;
  ACT(CALLS, 0);
DECL
VAR SERVED, LOST : INTEGER;
    P : REAL;
NODES CALLS (DEADLINE : REAL);
END.
