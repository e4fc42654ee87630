A laboratory: samples queue FIFO or LIFO, pairs are assembled and taken
apart again, copies go to a decision node that selects from its sources,
a machine puts its last sample out of service for a more urgent one.
NETWORK
GEN (I) Q1 ::
  IT := 1;
  PRIO := TRUNC(TIME) MOD 2;
  REMA := 0;
Q1 (L) SPLIT ::
  IF PRIO = 0 THEN FIFO ELSE LIFO;
SPLIT (G) PAIR, DEC, MACH ::
  IF PRIO = 0 THEN SENDTO(PAIR)
  ELSE BEGIN COPYMESS SENDTO(DEC); SENDTO(MACH) END;
PAIR (G) UNPACK ::
  ASSEMBLE(FIRST, 2, EQUFIELD(PRIO)) SENDTO(UNPACK);
UNPACK (G) DEC ::
  DISASSEMBLE SENDTO(DEC);
  SENDTO(DEC);
MACH (R) DEC ::
  STAY := 3;
  PREEMPTION(TIME > 50, REMA) SENDTO(DEC);
GEN2 (I) DEC ::
  IT := 3;
  CREATE(CLIENT) SENDTO(DEC);
  SCAN(EL_DEC(SPLIT)) IF O_PRIO = 1 THEN SORT(EL_DEC(SPLIT), REMA, D);
DEC (D) OUT ::
  SELECT(SPLIT, UNPACK, MACH : 5; GEN2 : 2) SENDTO(OUT);
OUT (E) ::
  SERVED := SERVED + 1;
INIT
  TSIM := 100;
  MACH := 1;
  ACT(GEN, 0);
  ACT(GEN2, 0.5);
DECL
MESSAGES CLIENT (PRIO : INTEGER; REMA : REAL);
NODES GEN (PRIO : INTEGER; REMA : REAL);
      GEN2 (PRIO : INTEGER; REMA : REAL);
VAR SERVED : INTEGER;
END.
