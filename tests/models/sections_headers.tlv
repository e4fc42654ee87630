Header forms of every kind.
  network
  COLA (G) SERV ::
     X := 1;
  SERV ::
     BEGIN END;
  XCOLA :: WRITE(1);
  GATE::
  W (X) ::
  B2 (g) [1..5] ::
  Q (GG) ::
  MB [2..5] ::
  MN [1..N] ::
  A (G) B2, C[2], D[J] ::
  NOSUB (G) B2 C ::
  C (C) LABEL 10, 20; ::
  D (R) VAR
     I: INTEGER;
  BEGIN
  ELONG (E) CA,
    CB [3], CC ::
  NAMEABCDEFGHIJKLMNOPQRSTUVWXYZ ::
     END;
INIT
  TSIM := 100;
  {a comment
   DECL in a comment}
DECL
VAR X: INTEGER;
END.
