A shop's stock under a reorder point: customers take what they want while it
lasts; when the stock falls to the reorder point an order is placed, and the
goods arrive after a lead time.  Days are the unit of time.
NETWORK
  CUSTOMER (I) COUNTER ::
     IT := EXPO(0.25);
     WANT := UNIFI(1, 3);
  COUNTER (E) ::
     IF WANT <= STOCK THEN BEGIN
        STOCK := STOCK - WANT;
        SOLD := SOLD + WANT
     END
     ELSE BEGIN
        LOST := LOST + WANT - STOCK;
        SOLD := SOLD + STOCK;
        STOCK := 0
     END;
     IF (STOCK <= REORDER) AND NOT ORDERED THEN BEGIN
        ORDERED := TRUE;
        ORDERS := ORDERS + 1;
        ACT(DELIVERY, UNIF(3, 5))
     END;
  DELIVERY (A) ::
     STOCK := STOCK + QUANTITY;
     ORDERED := FALSE;
  SUMMARY (A) ::
     WRITELN('sold ', SOLD:6, '   lost ', LOST:6, '   orders ', ORDERS:4);
     WRITELN('share of demand lost ', LOST / (SOLD + LOST):6:3);
INIT
  TSIM := 365;
  STOCK := 60;
  REORDER := 30;
  QUANTITY := 60;
  ORDERED := FALSE;
  SOLD := 0;
  LOST := 0;
  ORDERS := 0;
  ACT(CUSTOMER, 0);
  ACT(SUMMARY, 365);
DECL
VAR
  STOCK, REORDER, QUANTITY, SOLD, LOST, ORDERS : INTEGER;
  ORDERED : BOOLEAN;
NODES
  CUSTOMER (WANT : INTEGER);
STATISTICS STOCK;
END.
