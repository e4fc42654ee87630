Three modules.
NETWORK
MODULE
  A1 (I) ::
  A2 (G) ::
  module 2
     WRITE (Y);
  B1 (G) ::
  B2 (G) ::

  MODULE
  C1 (E) ::
INIT
DECL
END.
