// zt_invoke_primitive(TPrimitiveFrame* frame, const uint8_t* routine, uint16_t cw):
// runs one runtime primitive as a routine. Sets the control word `cw`, pushes the
// frame's FPU operands in order, passes RAX, RDX and RSI, calls the routine, stores
// RAX and pops the requested number of FPU results, records how many registers were left behind,
// empties the FPU stack and restores the caller's control word.
        .intel_syntax noprefix
        .text
        .globl zt_invoke_primitive
        .type zt_invoke_primitive, @function
zt_invoke_primitive:
        push rbx
        push r12
        push r13
        sub rsp, 16
        mov r12, rdi
        mov r13, rsi
        fnstcw word ptr [rsp]
        mov word ptr [rsp + 2], dx
        fldcw word ptr [rsp + 2]
        xor ebx, ebx
1:      cmp ebx, dword ptr [r12 + 128]
        jge 2f
        mov rax, rbx
        shl rax, 4
        fld tbyte ptr [r12 + rax]
        inc ebx
        jmp 1b
2:      mov rax, qword ptr [r12 + 272]
        mov rdx, qword ptr [r12 + 280]
        mov rsi, qword ptr [r12 + 288]
        call r13
        mov qword ptr [r12 + 272], rax
        xor ebx, ebx
3:      cmp ebx, dword ptr [r12 + 132]
        jge 4f
        mov rax, rbx
        shl rax, 4
        fstp tbyte ptr [r12 + 144 + rax]
        inc ebx
        jmp 3b
4:      fnstsw ax
        shr eax, 11
        neg eax
        and eax, 7
        mov dword ptr [r12 + 296], eax
        fninit
        fldcw word ptr [rsp]
        add rsp, 16
        pop r13
        pop r12
        pop rbx
        ret
        .size zt_invoke_primitive, .-zt_invoke_primitive
        .section .note.GNU-stack,"",@progbits
