Two decision nodes: one fed by a source with two copies and a plain
source, one fed by a queue.
NETWORK
P1 (I) [1..2] DEC ::
P2 (I) DEC ::
DEC (D) X ::
P3 (I) LQ ::
LQ (L) D2 ::
D2 (D) X ::
X (E) ::
INIT
  F(EL_DEC(P1[2])); F(EL_DEC(P1[J])); F(EL_DEC(P2));
  F(EL_D2(LQ)); F(EL_X(DEC)); F(EL_X(P2));
DECL
END.
