// All primitives of the runtime, in one object so that the table's references
// (weak, so that a primitive not built reads as missing) pull it in through
// zt_runtime_anchor.
#include "formula/codegen/runtime_macros.inc"

        .section .rodata
        .globl zt_runtime_anchor
zt_runtime_anchor:
        .byte 0

#include "formula/codegen/runtime_techniques.inc"
#include "formula/codegen/runtime_stack.inc"
#include "formula/codegen/runtime_arith.inc"
#include "formula/codegen/runtime_int_bool.inc"
#include "formula/codegen/runtime_complex_functions.inc"
#include "formula/codegen/runtime_float_functions.inc"

        .section .note.GNU-stack,"",@progbits
