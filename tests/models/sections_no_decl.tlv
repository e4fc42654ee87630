No DECL section.
NET
   NetworkS
  SERV (R) ::
INIT
  TSIM := 10;
END.
