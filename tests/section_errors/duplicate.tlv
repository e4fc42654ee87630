Names equal in their first 23 characters.
NETWORK
  ABCDEFGHIJKLMNOPQRSTUVW1 (G) ::
  X (G) ::
  ABCDEFGHIJKLMNOPQRSTUVW2 (G) ::
INIT
END.
