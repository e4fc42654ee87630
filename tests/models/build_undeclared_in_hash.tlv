A bank whose teller calls, in a Pascal line, a procedure nobody declared.
NETWORK
  ENTRY (I) TELLER ::
     IT := EXPO(5);
  TELLER (R) EXIT ::
     STAY := EXPO(4);
#    NOTIFYCLERK(STAY);
  EXIT (E) ::
INIT
  TSIM := 100;
  ACT(ENTRY, 0);
DECL
END.
