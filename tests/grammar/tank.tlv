!! SYNTAX TEST "source.talven" "continuous nodes: derivatives, METHOD, node variables"
A tank drained through a valve.
!! <------ comment.block.preamble.talven
NETWORK
  TANK (C) ::
!!^^^^ entity.name.function.node.talven
!!      ^ storage.type.node-type.talven
     METHOD(RKF);
!!   ^^^^^^ keyword.other.instruction.talven
     LEVEL' = INFLOW - K * LEVEL;
!!   ^^^^^ variable.other.derivative.talven
!!        ^ keyword.operator.derivative.talven
!!                   ^ keyword.operator.talven
     IF LEVEL > 10 THEN DT_TANK := 0.05 ELSE X' = -1.5E-2;
!!                      ^^^^^^^ variable.language.node.talven
!!                                 ^^^^ constant.numeric.talven
!!                                      ^^^^ keyword.control.talven
!!                                           ^ variable.other.derivative.talven
!!                                              ^ keyword.operator.talven
!!                                                ^ keyword.operator.talven
!!                                                 ^^^^^^ constant.numeric.talven
  GATE (G) :: CASE C OF 'A': X := 1 MOD 2; END;
!!^^^^ entity.name.function.node.talven
!!                      ^^^ string.quoted.single.talven
!!                                  ^^^ keyword.operator.word.talven
INIT
  TSIM := 10;
DECL
VAR
  LEVEL, X: CONT;
!!          ^^^^ storage.type.talven
END.
