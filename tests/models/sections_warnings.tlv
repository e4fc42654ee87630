Lines tried before the first node.
NETWORK
  X := 1
  B [1..5] (G) ::
  FIRST ::
  B [1..5] (G) ::
  Y := 2
INIT
DECL
END.
