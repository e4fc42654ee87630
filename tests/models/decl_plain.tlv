A workshop whose declarations are copied line by line.
NETWORK
  ARRIVE (A) DESK ::
  DESK (R) LEAVE ::
     STAY := EXPO(4);
  LEAVE (E) ::
INIT
  TSIM := 100;
DECL
type
  shade = (light, dark);   { colours of a job }
  table = array[1..4, 0..2] of real;
const limit = 40; (* jobs at most *)
  names : array[1..2] of string[8] = ('first',
                                      'second');
var
  t : table;
END.
