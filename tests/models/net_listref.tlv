Lists of nodes with copies, read back through EL_ and IL_ designators.
NETWORK
I0 (I) T ::
T (E) ::
I1 (I) S ::
S (E) [1..3] ::
I2 (I) W ::
W (R) [1..3] NOSUC ::
I3 (I) Q ::
Q (L) [1..2] G2 ::
G2 (G) [1..2] X ::
X (E) ::
INIT
  F(EL_T); F(EL_S[J]); F(EL_S[2]); F(IL_Q[2]); F(IL_Q[J]);
  F(EL_G2[2](Q[2])); F(EL_G2[K](Q[1])); F(XL_T);
  F(EL_S[4]); F(EL_S[R]); F(EL_S 2); F(EL_T(I0 X)); F(EL_ZZ);
DECL
END.
