// The one way from C++ into generated code. Compiled procedures take the
// calculation block in RAX and may change any register, so a small assembly thunk
// (entry_thunk.S) moves the block into RAX and keeps every register that the
// System V ABI requires a callee to preserve. Compiled code never calls back.
//
// Thread safety: re-entrant; each thread passes its own calculation block.
#pragma once

extern "C" void zt_call_procedure(const void* code, void* block);

namespace zt {

// Runs the compiled procedure at `code` on the calculation block `block`.
inline void CallProcedure(const void* code, void* block) { zt_call_procedure(code, block); }

}  // namespace zt
