No node at all.
NETWORK
  X := 1;
INIT
DECL
END.
