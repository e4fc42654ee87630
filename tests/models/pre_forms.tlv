Every form of PREEMPTION with a statement, each at a resource of its own:
a compound statement before ";", before " ;", before END and before ELSE,
a single instruction, and the copies of a multiple resource.
NETWORK
  GEN (I) SPLIT ::
     IT := EXPO(1);
     IF RANDOM < 0.5 THEN PRI := 1 ELSE PRI := 2;
     REMA := 0;
     WAY := TRUNC(RANDOM * 6) + 1;
  SPLIT (D) Q1, Q2, Q3, Q4, Q5, Q6 ::
     IF WAY = 1 THEN SENDTO(Q1) ELSE IF WAY = 2 THEN SENDTO(Q2)
     ELSE IF WAY = 3 THEN SENDTO(Q3) ELSE IF WAY = 4 THEN SENDTO(Q4)
     ELSE IF WAY = 5 THEN SENDTO(Q5) ELSE IF RANDOM < 0.5 THEN SENDTO(Q6[1])
     ELSE SENDTO(Q6[2]);
  Q1 (L) R1 ::
     ORDER(PRI, A);
  R1 (R) OUT ::
     PREEMPTION(PRI < O_PRI) BEGIN NP[1] := NP[1] + 1; SENDTO(FIRST, IL_Q1) END;
     STAY := EXPO(4);
  Q2 (L) R2 ::
     ORDER(PRI, A);
  R2 (R) OUT ::
     PREEMPTION(PRI < O_PRI, REMA)
       BEGIN NP[2] := NP[2] + 1; SENDTO(FIRST, IL_Q2) END ;
     STAY := EXPO(4);
  Q3 (L) R3 ::
     ORDER(PRI, A);
  R3 (R) OUT ::
     BEGIN
       PREEMPTION(PRI < O_PRI)
         BEGIN NP[3] := NP[3] + 1; SENDTO(FIRST, IL_Q3) END
     END;
     STAY := EXPO(4);
  Q4 (L) R4 ::
     ORDER(PRI, A);
  R4 (R) OUT ::
     IF PRI = 1 THEN
       PREEMPTION(PRI < O_PRI)
         BEGIN NP[4] := NP[4] + 1; SENDTO(FIRST, IL_Q4) END
     ELSE NX := NX + 1;
     STAY := EXPO(4);
  Q5 (L) R5 ::
     ORDER(PRI, A);
  R5 (R) OUT ::
     PREEMPTION(PRI < O_PRI) SENDTO(FIRST, IL_Q5);
     STAY := EXPO(4);
  Q6 (L) [1..2] R6 ::
     ORDER(PRI, A);
  R6 (R) [1..2] OUT ::
     PREEMPTION(PRI < O_PRI, REMA)
       BEGIN NP[6] := NP[6] + 1; SENDTO(FIRST, IL_Q6[INO]) END;
     STAY := EXPO(4);
  OUT (E) ::
     SERVED := SERVED + 1;
     IF SERVED = 20000 THEN BEGIN
       FOR K := 1 TO 6 DO IF K <> 5 THEN WRITE(NP[K] > 0:6);
       WRITELN;
       ENDSIMUL
     END;
INIT
  FOR K := 1 TO 6 DO NP[K] := 0;
  SERVED := 0;
  NX := 0;
  ACT(GEN, 0);
DECL
VAR NP : ARRAY[1..6] OF INTEGER;
    K, NX, SERVED : INTEGER;
NODES GEN (PRI, WAY : INTEGER; REMA : REAL);
END.
