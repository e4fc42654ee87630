Decisions: one fed by a single source, one choosing between two queues.
NETWORK
  IN1 (I) D1 ::
     IT := EXPO(2);
  D1 (D) QA, QB ::
     IF RANDOM < 0.5 THEN SENDTO(QA) ELSE SENDTO(QB);
  QA (L) PICK ::
  QB (L) PICK ::
  PICK (D) OUT ::
     SELECT(QA : 1; QB : 1) SENDTO(OUT);
  OUT (E) ::
INIT
  TSIM := 50;
  ACT(IN1, 0);
DECL
END.
