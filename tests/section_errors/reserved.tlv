A node named after a type.
NETWORK
  A (G) ::
  REAL (G) ::
INIT
END.
