A shop: clients arrive, wait in a queue ordered by priority, a dispatcher
sends them to the shortest of three counters, a cashier with two desks
serves them; pairs of the same priority are assembled at a packing node.
NETWORK
ARR (I) QUEUE ::
  IT := 2;
  PRIO := TRUNC(TIME) MOD 3;
  REMA := 0;
QUEUE (L) DISP ::
  ORDER(PRIO, D);
DISP (G) CNT[1], PACK, OUT ::
  IF PRIO = 0 THEN SENDTO(PACK)
  ELSE SENDTO(CNT[MIN]);
CNT (G) [1..3] CASH[1] ::
  SENDTO(CASH[FREE]);
CASH (R) [1..2] OUT ::
  STAY := 1.5;
PACK (G) OUT ::
  ASSEMBLE(FIRST, 2, EQUFIELD(PRIO)) SENDTO(OUT);
OUT (E) ::
  SERVED := SERVED + 1;
INIT
  TSIM := 100;
  CASH[1] := 1; CASH[2] := 1;
  ACT(ARR, 0);
DECL
MESSAGES CLIENT (PRIO : INTEGER; REMA : REAL);
NODES ARR (PRIO : INTEGER; REMA : REAL);
VAR SERVED : INTEGER;
END.
