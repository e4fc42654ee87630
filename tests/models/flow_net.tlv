Message flow: a source, a queue, a scanning node, copies that feed a
resource and a decision node, a continuous node and an exit.
NETWORK
ENT (I) COLA ::
COLA (L) N ::
N (G) M[1], DEC, SAL ::
M (G) [1..3] R1[1], DEC ::
R1 (R) [1..2] SAL ::
C1 (C) ::
DEC (D) SAL ::
SAL (E) ::
INIT
  TSIM := 100;
DECL
MESSAGES CLIENT (PRIO : INTEGER; REMA : REAL; MARK : CHAR);
VAR T : REAL; K : INTEGER; B : BYTE; P : GPOINTER;
END.
