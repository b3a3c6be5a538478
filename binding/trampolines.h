// The plain binding entries' machine code, one small trampoline per
// catalogue row, in the manner of a lazy PLT: load the slot, test it, jump.
// The first call goes to a shared stub that keeps every argument register,
// resolves the slot and jumps on, so that the renderer function receives
// exactly what the caller passed, bit for bit, on that call too.  When the
// lookup fails the stub returns zero in every result register instead.
//
// The instruction set and calling convention are the only things here that
// differ per build; everything above them is shared C++.
#pragma once

#include "host/argument_classes.h"

#define ZARN_SYMBOL(name) MI_STRING(__USER_LABEL_PREFIX__) #name

// x86-64, both conventions: the slot number goes to the stub in r11, which
// neither convention passes arguments in.  ZARN_X64_FUNCTION(_END) give the
// symbol directives of the object format.
#if defined(__x86_64__)
#define ZARN_TRAMPOLINE(slot, name, result)               \
  asm(".text\n" ZARN_X64_FUNCTION(name) ".p2align 4\n"   \
      #name ":\n"                                         \
      "  movq zarn_entry_table+8*" #slot "(%rip), %rax\n" \
      "  testq %rax, %rax\n"                              \
      "  je 1f\n"                                         \
      "  jmp *%rax\n"                                     \
      "1:movl $" #slot ", %r11d\n"                        \
      "  jmp zarn_first_call\n" ZARN_X64_FUNCTION_END(name));
#endif

#if defined(__x86_64__) && !defined(_WIN32)

// x86-64 System V: arguments in rdi rsi rdx rcx r8 r9 and xmm0-7, the rest
// on the stack, which the stub leaves in place.
#define ZARN_X64_FUNCTION(name) \
  ".globl " #name "\n.hidden " #name "\n.type " #name ", @function\n"
#define ZARN_X64_FUNCTION_END(name) ".size " #name ", .-" #name "\n"
#define ZARN_FIRST_CALL_STUB                                                     \
  asm(".text\n"                                                                  \
      ".p2align 4\n"                                                             \
      ".type zarn_first_call, @function\n"                                       \
      "zarn_first_call:\n"                                                       \
      "  .cfi_startproc\n"                                                       \
      "  pushq %rbp\n"                                                           \
      "  .cfi_def_cfa_offset 16\n"                                               \
      "  .cfi_offset %rbp, -16\n"                                                \
      "  movq %rsp, %rbp\n"                                                      \
      "  .cfi_def_cfa_register %rbp\n"                                           \
      "  pushq %rdi\n  pushq %rsi\n  pushq %rdx\n"                               \
      "  pushq %rcx\n  pushq %r8\n  pushq %r9\n"                                 \
      "  subq $128, %rsp\n"                                                      \
      "  movaps %xmm0, 0(%rsp)\n  movaps %xmm1, 16(%rsp)\n"                      \
      "  movaps %xmm2, 32(%rsp)\n  movaps %xmm3, 48(%rsp)\n"                     \
      "  movaps %xmm4, 64(%rsp)\n  movaps %xmm5, 80(%rsp)\n"                     \
      "  movaps %xmm6, 96(%rsp)\n  movaps %xmm7, 112(%rsp)\n"                    \
      "  movl %r11d, %edi\n"                                                     \
      "  call zarn_resolve_slot\n"                                               \
      "  movq %rax, %r11\n"                                                      \
      "  movaps 0(%rsp), %xmm0\n  movaps 16(%rsp), %xmm1\n"                      \
      "  movaps 32(%rsp), %xmm2\n  movaps 48(%rsp), %xmm3\n"                     \
      "  movaps 64(%rsp), %xmm4\n  movaps 80(%rsp), %xmm5\n"                     \
      "  movaps 96(%rsp), %xmm6\n  movaps 112(%rsp), %xmm7\n"                    \
      "  addq $128, %rsp\n"                                                      \
      "  popq %r9\n  popq %r8\n  popq %rcx\n"                                    \
      "  popq %rdx\n  popq %rsi\n  popq %rdi\n"                                  \
      "  popq %rbp\n"                                                            \
      "  .cfi_def_cfa %rsp, 8\n"                                                 \
      "  testq %r11, %r11\n"                                                     \
      "  je 2f\n"                                                                \
      "  jmp *%r11\n"                                                            \
      "2:xorl %eax, %eax\n"                                                      \
      "  xorps %xmm0, %xmm0\n"                                                   \
      "  ret\n"                                                                  \
      "  .cfi_endproc\n"                                                         \
      ".size zarn_first_call, .-zarn_first_call\n");

#elif defined(__x86_64__) && defined(_WIN32)

// x64 Windows: arguments in rcx rdx r8 r9 and xmm0-3, the rest on the
// stack; a callee may use 32 bytes of shadow space above its return address.
#define ZARN_X64_FUNCTION(name) ".globl " #name "\n"
#define ZARN_X64_FUNCTION_END(name)
#define ZARN_FIRST_CALL_STUB                                  \
  asm(".text\n"                                               \
      ".p2align 4\n"                                          \
      "zarn_first_call:\n"                                    \
      "  pushq %rbp\n"                                        \
      "  movq %rsp, %rbp\n"                                   \
      "  pushq %rcx\n  pushq %rdx\n  pushq %r8\n  pushq %r9\n" \
      "  subq $96, %rsp\n"                                    \
      "  movaps %xmm0, 32(%rsp)\n  movaps %xmm1, 48(%rsp)\n"  \
      "  movaps %xmm2, 64(%rsp)\n  movaps %xmm3, 80(%rsp)\n"  \
      "  movl %r11d, %ecx\n"                                  \
      "  call zarn_resolve_slot\n"                            \
      "  movq %rax, %r11\n"                                   \
      "  movaps 32(%rsp), %xmm0\n  movaps 48(%rsp), %xmm1\n"  \
      "  movaps 64(%rsp), %xmm2\n  movaps 80(%rsp), %xmm3\n"  \
      "  addq $96, %rsp\n"                                    \
      "  popq %r9\n  popq %r8\n  popq %rdx\n  popq %rcx\n"    \
      "  popq %rbp\n"                                         \
      "  testq %r11, %r11\n"                                  \
      "  je 2f\n"                                             \
      "  jmp *%r11\n"                                         \
      "2:xorl %eax, %eax\n"                                   \
      "  xorps %xmm0, %xmm0\n"                                \
      "  ret\n");

#elif defined(__i386__)

// 32-bit x86, cdecl: every argument is on the stack, so the trampolines
// never touch them.  A float or double result comes back on the x87 stack,
// so entries with those results have a stub of their own for a failed
// lookup.  Position-independent code finds the table through the GOT base.
#if defined(_WIN32)
#define ZARN_LOAD_SLOT(slot) "  movl " ZARN_SYMBOL(zarn_entry_table) "+4*" #slot ", %eax\n"
#define ZARN_FUNCTION(name) ".globl " ZARN_SYMBOL(name) "\n"
#define ZARN_PC_THUNK
#else
#define ZARN_LOAD_SLOT(slot)                     \
  "  call zarn_pc_thunk\n"                       \
  "  addl $_GLOBAL_OFFSET_TABLE_, %eax\n"        \
  "  movl zarn_entry_table@GOTOFF+4*" #slot "(%eax), %eax\n"
#define ZARN_FUNCTION(name) \
  ".globl " #name "\n.hidden " #name "\n.type " #name ", @function\n"
#define ZARN_PC_THUNK                          \
  asm(".text\n"                                \
      ".p2align 4\n"                           \
      "zarn_pc_thunk:\n"                       \
      "  movl (%esp), %eax\n"                  \
      "  ret\n");
#endif

#define ZARN_FIRST_CALL_FOR_V "zarn_first_call"
#define ZARN_FIRST_CALL_FOR_I "zarn_first_call"
#define ZARN_FIRST_CALL_FOR_P "zarn_first_call"
#define ZARN_FIRST_CALL_FOR_S "zarn_first_call"
#define ZARN_FIRST_CALL_FOR_F "zarn_first_call_x87"
#define ZARN_FIRST_CALL_FOR_D "zarn_first_call_x87"

#define ZARN_TRAMPOLINE(slot, name, result)                          \
  asm(".text\n" ZARN_FUNCTION(name) ".p2align 4\n" ZARN_SYMBOL(name) \
      ":\n" ZARN_LOAD_SLOT(slot) "  testl %eax, %eax\n"              \
      "  je 1f\n"                                                    \
      "  jmp *%eax\n"                                                \
      "1:pushl $" #slot "\n"                                         \
      "  jmp " ZARN_FIRST_CALL_FOR_##result "\n");

// The slot number lies where the return address was; the caller's
// arguments lie above it, untouched.  The resolver is called on a 16-byte
// aligned stack, as compiled code expects.
#define ZARN_FIRST_CALL_BODY                          \
  "  movl (%esp), %eax\n"                             \
  "  pushl %ebp\n"                                    \
  "  movl %esp, %ebp\n"                               \
  "  andl $-16, %esp\n"                               \
  "  subl $12, %esp\n"                                \
  "  pushl %eax\n"                                    \
  "  call " ZARN_SYMBOL(zarn_resolve_slot) "\n"       \
  "  movl %ebp, %esp\n"                               \
  "  popl %ebp\n"                                     \
  "  addl $4, %esp\n"                                 \
  "  testl %eax, %eax\n"                              \
  "  je 2f\n"                                         \
  "  jmp *%eax\n"

#define ZARN_FIRST_CALL_STUB                               \
  ZARN_PC_THUNK                                            \
  asm(".text\n"                                            \
      ".p2align 4\n"                                       \
      "zarn_first_call:\n" ZARN_FIRST_CALL_BODY            \
      "2:xorl %eax, %eax\n"                                \
      "  xorl %edx, %edx\n"                                \
      "  ret\n"                                            \
      ".p2align 4\n"                                       \
      "zarn_first_call_x87:\n" ZARN_FIRST_CALL_BODY        \
      "2:fldz\n"                                           \
      "  ret\n");

#else
#error "binding trampolines exist for x86-64 and 32-bit x86 only"
#endif
