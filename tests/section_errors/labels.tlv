Labels without commas.
NETWORK
  A (G) ::
  B (G) LABEL 10 20 30; ::
INIT
END.
