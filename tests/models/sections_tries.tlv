Tries that run into the next lines.
NETWORK
  A (G) ::
     BEGIN 
  B (E) P[2] Q, R ::
     END 
INIT
DECL
END.
