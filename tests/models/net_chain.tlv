A source, a queue, a resource and an exit, linked by default successors.
NETWORK
A1 (I) ::
Q (L) ::
S (R) ::
X (E) ::
INIT
  TSIM := 100;
DECL
END.
