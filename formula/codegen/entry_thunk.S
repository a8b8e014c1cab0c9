// zt_call_procedure(const void* code, void* block): calls compiled code with the
// calculation block in RAX. Compiled code may change every general register, so
// the registers a System V callee must preserve are saved around the call.
        .intel_syntax noprefix
        .text
        .globl zt_call_procedure
        .type zt_call_procedure, @function
        .p2align 6  # a cache line of its own: called for every pixel
zt_call_procedure:
        push rbx
        push rbp
        push r12
        push r13
        push r14
        push r15
        mov rax, rsi
        call rdi
        pop r15
        pop r14
        pop r13
        pop r12
        pop rbp
        pop rbx
        ret
        .size zt_call_procedure, .-zt_call_procedure
        .section .note.GNU-stack,"",@progbits
