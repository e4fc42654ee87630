!! SYNTAX TEST "source.talven" "the first line is the title even when it says NETWORK"
NETWORK of three clinics
!! <------- comment.block.preamble.talven - keyword.control.section.talven
  NODE (G) ::   {not a node yet: still free text}
!!^^^^ comment.block.preamble.talven - entity.name.function.node.talven
 network
!! <~------- keyword.control.section.talven
  Q (L) ::
!!^ entity.name.function.node.talven
