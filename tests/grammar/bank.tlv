!! SYNTAX TEST "source.talven" "a bank: title, sections, node headers, code"
!! <------------------------ comment.block.preamble.talven
Anything before NETWORK is free text.
!! <---------- comment.block.preamble.talven
NETWORK
!! <------- keyword.control.section.talven
  ENTRY (I) TELLER ::
!!^^^^^ entity.name.function.node.talven
!!      ^ punctuation.section.parens.begin.talven
!!       ^ storage.type.node-type.talven
!!          ^^^^^^ entity.name.tag.successor.talven
!!                 ^^ punctuation.separator.node-header.talven
     IT := EXPO(5);
!!   ^^ variable.language.talven
!!      ^^ keyword.operator.talven
!!         ^^^^ support.function.distribution.talven
!!              ^ constant.numeric.talven
  TELLER (R) [1..3] EXIT, AUDIT[2] ::
!!^^^^^^ entity.name.function.node.talven
!!        ^ storage.type.node-type.talven
!!            ^ constant.numeric.talven
!!             ^^ keyword.operator.range.talven
!!               ^ constant.numeric.talven
!!                  ^^^^ entity.name.tag.successor.talven
!!                        ^^^^^ entity.name.tag.successor.talven
!!                              ^ variable.parameter.subscript.talven
     STAY := EXPO(4, 2); { service }
!!   ^^^^ variable.language.talven
!!                       ^^^^^^^^^^^ comment.block.braces.talven
     IF LL(EL_TELLER) > 3 THEN SENDTO(FIRST, IL_QUEUE);
!!   ^^ keyword.control.talven
!!      ^^ support.function.list.talven
!!         ^^^^^^^^^ variable.language.list.talven
!!                        ^^^^ keyword.control.talven
!!                             ^^^^^^ keyword.other.instruction.talven
!!                                    ^^^^^ variable.language.talven
MODULE
!! <------ keyword.control.section.talven
  EXIT (E) ::
!!^^^^ entity.name.function.node.talven
     WRITELN('It''s done', TIME:8:2);
!!   ^^^^^^^ support.function.talven
!!           ^^^ string.quoted.single.talven
!!              ^^ constant.character.escape.talven
!!                         ^^^^ variable.language.talven
#    writeln('pascal line');
!! <- punctuation.definition.passthrough.talven
!!   ^^^^^^^ meta.embedded.line.pascal.talven - support.function.talven
INIT
!! <---- keyword.control.section.talven
  TSIM := 100; ACT(ENTRY, 0);
!!^^^^ variable.language.talven
!!             ^^^ keyword.other.instruction.talven
  (* a comment
!!^^^^^^^^^^^^ comment.block.talven
     over two lines *)
!!   ^^^^^^^^^^^^^^^^^ comment.block.talven
DECL
!! <---- keyword.control.section.talven
VAR
!! <--- storage.type.class.talven
  N: INTEGER;
!!   ^^^^^^^ storage.type.talven
STATISTICS
!! <---------- storage.type.class.talven
END.
!! <---- keyword.control.section.end.talven
