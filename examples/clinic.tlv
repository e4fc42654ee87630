A clinic in three modules: reception sorts the patients, two wards treat
them, and the lighter cases go home through the pharmacy.
NETWORK
  ARRIVAL (I) TRIAGE ::
     IT := EXPO(4);
     URGENT := RANDOM < 0.3;
  TRIAGE (D) WARDA, WARDB ::
     IF URGENT THEN SENDTO(WARDA[MIN]) ELSE SENDTO(WARDB);
MODULE
  WARDA (R) [1..2] HOME ::
     STAY := EXPO(20);
  WARDB (R) PHARMACY ::
     STAY := EXPO(6);
MODULE
  PHARMACY (R) HOME ::
     STAY := 2;
  HOME (E) ::
     TREATED := TREATED + 1;
INIT
  TSIM := 480;
  TREATED := 0;
  WARDA[1] := 2;
  WARDA[2] := 2;
  WARDB := 3;
  ACT(ARRIVAL, 0);
DECL
VAR TREATED : INTEGER;
NODES
  ARRIVAL (URGENT : BOOLEAN);
STATISTICS WARDA, WARDB, PHARMACY, HOME;
END.
