Preemptive-resume priority: two classes of equal share at a resource of
capacity 2.
Class 1 puts a class 2 job out of service; that job resumes where it was.
NETWORK
  ARRIVE (I) QUEUE ::
     IT := EXPO(2.5);
     IF RANDOM < 0.5 THEN PRI := 1 ELSE PRI := 2;
     REMA := 0;
  QUEUE (L) SERV ::
     ORDER(PRI, A);
  SERV (R) OUT ::
     PREEMPTION(PRI < O_PRI, REMA) SENDTO(FIRST, IL_QUEUE);
     STAY := EXPO(4);
  OUT (E) ::
     N[PRI] := N[PRI] + 1;
     W[PRI] := W[PRI] + TIME - GT;
     IF N[1] + N[2] = 200000 THEN BEGIN
       WRITELN('CLASS 1', W[1] / N[1]:9:3);
       WRITELN('CLASS 2', W[2] / N[2]:9:3);
       WRITELN('ALL    ', (W[1] + W[2]) / (N[1] + N[2]):9:3);
       ENDSIMUL
     END;
INIT
  N[1] := 0; N[2] := 0; W[1] := 0; W[2] := 0;
  SERV := 2;
  ACT(ARRIVE, 0);
DECL
VAR N : ARRAY[1..2] OF INTEGER;
    W : ARRAY[1..2] OF REAL;
NODES ARRIVE (PRI : INTEGER; REMA : REAL);
END.
