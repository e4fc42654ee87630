Messages through lists with many equal times: a three-server desk with a
fixed service time, a queue kept in order, a list sorted, pairs
synchronised and assembled, messages released and taken out by node code,
a machine that puts its last job aside for an urgent one.
NETWORK
  GEN (I) LINE ::
     IT := 1;
     K := K + 1;
     PRIO := K MOD 4;
     TAG := K;
     IF K MOD 5 = 0 THEN ACT(EXTRA, 0, 3);
  EXTRA (I) LINE ::
     PRIO := 9;
     TAG := 1000 + K;
  LINE (L) DESK ::
     ORDER(PRIO, A);
  DESK (R) SPLIT ::
     STAY := 2;
  SPLIT (G) SYN, PAIRS, MACH ::
     IF TAG MOD 3 = 0 THEN SENDTO(SYN)
     ELSE IF TAG MOD 3 = 1 THEN SENDTO(PAIRS)
     ELSE SENDTO(MACH);
  SYN (G) HOLD ::
     SYNCHRONIZE(2, O_PRIO = PRIO) SENDTO(HOLD);
  PAIRS (G) HOLD ::
     ASSEMBLE(ELIM, 2, TRUE) SENDTO(HOLD);
  MACH (R) HOLD ::
     STAY := 3;
     PREEMPTION(PRIO = 9) SENDTO(HOLD);
  HOLD (G) OUT ::
     IF TAG MOD 7 = 0 THEN SORT(EL_HOLD, TAG, D);
     SENDTO(OUT);
  PICK (A) ::
     REL(IL_DESK, O_PRIO = 9) SENDTO(OUT);
     EXTR(IL_LINE, LAST) SENDTO(OUT);
     ACT(PICK, 4.5);
  OUT (E) ::
     WRITELN('OUT ', TAG:5, ' PRIO ', PRIO:2, ' AT ', TIME:7:2,
       ' IN ', TIME - GT:7:2);
INIT
  TSIM := 60;
  K := 0;
  DESK := 3;
  MACH := 1;
  ACT(GEN, 0);
  ACT(PICK, 2.5);
DECL
MESSAGES JOB (PRIO : INTEGER; TAG : INTEGER);
NODES GEN (PRIO : INTEGER; TAG : INTEGER);
      EXTRA (PRIO : INTEGER; TAG : INTEGER);
VAR K : INTEGER;
STATISTICS LINE, DESK, MACH, HOLD, OUT;
END.
