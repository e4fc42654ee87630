Predators and prey: the Lotka-Volterra equations integrated by a continuous node,
with the populations written every 2 time units and drawn every 0.25.
NETWORK
  POP (C) ::
     PREY' = BIRTH * PREY - EATEN * PREY * PRED;
     PRED' = GROWTH * PREY * PRED - DEATH * PRED;
  SHOW (A) ::
     WRITELN(TIME:8:2, PREY:10:3, PRED:10:3);
     ACT(SHOW, 2);
  PLOT (A) ::
     GRAPH(0, 40; PREY : 0 : 30 : GREEN; PRED : 0 : 30 : RED;
           TITLE 'Predators and prey');
     ACT(PLOT, 0.25);
INIT
  TSIM := 40;
  PREY := 10;
  PRED := 5;
  BIRTH := 1.1;
  EATEN := 0.4;
  GROWTH := 0.1;
  DEATH := 0.4;
  DT_POP := 0.05;
  ACT(POP, 0);
  ACT(SHOW, 0);
  ACT(PLOT, 0.125);
DECL
VAR
  PREY, PRED : CONT;
  BIRTH, EATEN, GROWTH, DEATH : REAL;
END.
