A source and an assembly node: no message list at all.
NETWORK
S (I) ::
A1 (A) ::
INIT
  TSIM := 10;
DECL
END.
