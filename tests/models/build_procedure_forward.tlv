A bank whose teller calls a user procedure declared FORWARD first; the
procedure's body adds a REAL to an INTEGER.
NETWORK
  ENTRY (I) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
     STAY := EXPO(4);
     COUNTUP(STAY);
  EXIT (E) ::
INIT
  TSIM := 100;
  ACT(ENTRY, 0);
DECL
  VAR SERVED: INTEGER;
  PROCEDURES
    PROCEDURE COUNTUP(X: REAL); FORWARD;
    PROCEDURE COUNTUP;
    BEGIN
      SERVED := SERVED + X
    END;
END.
