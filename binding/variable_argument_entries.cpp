// The four entries whose renderer functions take a variable part: each reads
// exactly the extras that its code asks for and passes a fixed list on.
// They resolve before they look at the code, so every code resolves alike.
#include <cstdarg>
#include <cstdint>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"

namespace zarn::binding {
namespace {

using I = MI_ARG_I;
using P = MI_ARG_P;

I next_integer(std::va_list& extras) { return va_arg(extras, I); }
P next_pointer(std::va_list& extras) { return va_arg(extras, P); }

// Eight 32-bit extras, read in the order the caller passed them.
struct EightIntegers {
  I value[8];
  explicit EightIntegers(std::va_list& extras) {
    for (I& v : value) v = next_integer(extras);
  }
};

// mi_scene_create and mi_scene_recreate: code 40 takes a pointer and eight
// integers, 51 three integers and a pointer, any other code eight integers.
template <class First>
MI_RESULT_P forward_scene(std::size_t slot, First first, I code, std::va_list& extras) {
  void* function = bound_function(slot);
  if (function == nullptr) return nullptr;
  auto renderer = reinterpret_cast<MI_RESULT_P (*)(First, I, ...)>(function);
  if (code == 40) {
    const P pointer = next_pointer(extras);
    const EightIntegers i(extras);
    return renderer(first, code, pointer, i.value[0], i.value[1], i.value[2], i.value[3],
                    i.value[4], i.value[5], i.value[6], i.value[7]);
  }
  if (code == 51) {
    const I i1 = next_integer(extras);
    const I i2 = next_integer(extras);
    const I i3 = next_integer(extras);
    const P pointer = next_pointer(extras);
    return renderer(first, code, i1, i2, i3, pointer);
  }
  const EightIntegers i(extras);
  return renderer(first, code, i.value[0], i.value[1], i.value[2], i.value[3], i.value[4],
                  i.value[5], i.value[6], i.value[7]);
}

using QueryResult = MI_RESULT_I;

// mi_query: 15, 152 and 163 take one integer, 127 one pointer, 165 a pointer
// and an integer; any other code takes nothing beyond the four fixed ones.
QueryResult forward_query(void* function, I code, P a2, I a3, P a4, std::va_list& extras) {
  auto renderer = reinterpret_cast<QueryResult (*)(I, P, I, P, ...)>(function);
  switch (code) {
    case 15:
    case 152:
    case 163:
      return renderer(code, a2, a3, a4, next_integer(extras));
    case 127:
      return renderer(code, a2, a3, a4, next_pointer(extras));
    case 165: {
      const P pointer = next_pointer(extras);
      const I integer = next_integer(extras);
      return renderer(code, a2, a3, a4, pointer, integer);
    }
    default:
      return renderer(code, a2, a3, a4);
  }
}

}  // namespace
}  // namespace zarn::binding

using namespace zarn::binding;

extern "C" MI_RESULT_P mi_scene_create(P a1, I code, ...) noexcept {
  std::va_list extras;
  va_start(extras, code);
  MI_RESULT_P result = forward_scene(slot_mi_scene_create, a1, code, extras);
  va_end(extras);
  return result;
}

extern "C" MI_RESULT_P mi_scene_recreate(I a1, I code, ...) noexcept {
  std::va_list extras;
  va_start(extras, code);
  MI_RESULT_P result = forward_scene(slot_mi_scene_recreate, a1, code, extras);
  va_end(extras);
  return result;
}

extern "C" MI_RESULT_P mi_scene_growedit(I a1, ...) noexcept {
  void* function = bound_function(slot_mi_scene_growedit);
  if (function == nullptr) return nullptr;
  std::va_list extras;
  va_start(extras, a1);
  const EightIntegers i(extras);
  va_end(extras);
  return reinterpret_cast<MI_RESULT_P (*)(I, ...)>(function)(
      a1, i.value[0], i.value[1], i.value[2], i.value[3], i.value[4], i.value[5], i.value[6],
      i.value[7]);
}

#if defined(__i386__)

// On 32-bit x86 every argument lies on the caller's stack, so a code without
// a row of its own is passed on by a jump that leaves the stack as it is: the
// renderer function sees the four fixed arguments and whatever the caller
// passed after them.  The rows of their own are forwarded in C++ below.
namespace {

QueryResult query_unbound() noexcept { return 0; }

bool query_has_row(I code) {
  return code == 15 || code == 127 || code == 152 || code == 163 || code == 165;
}

QueryResult query_by_row(I code, P a2, I a3, P a4, ...) noexcept {
  void* function = bound_function(slot_mi_query);
  if (function == nullptr) return 0;
  std::va_list extras;
  va_start(extras, a4);
  const QueryResult result = forward_query(function, code, a2, a3, a4, extras);
  va_end(extras);
  return result;
}

}  // namespace

// Where mi_query goes on: the renderer function itself, the row forwarder,
// or the failed-lookup result.  `arguments` is the caller's argument block.
extern "C" ZARN_HIDDEN void* zarn_query_target(const I* arguments) noexcept {
  void* function = bound_function(slot_mi_query);
  if (function == nullptr) return reinterpret_cast<void*>(&query_unbound);
  if (query_has_row(arguments[0])) return reinterpret_cast<void*>(&query_by_row);
  return function;
}

#define ZARN_SYMBOL(name) MI_STRING(__USER_LABEL_PREFIX__) #name
#if defined(_WIN32)
#define ZARN_FUNCTION_TYPE(name)
#else
#define ZARN_FUNCTION_TYPE(name) ".hidden " #name "\n.type " #name ", @function\n"
#endif

asm(".text\n"
    ".globl " ZARN_SYMBOL(mi_query) "\n" ZARN_FUNCTION_TYPE(mi_query)
    ".p2align 4\n"
    ZARN_SYMBOL(mi_query) ":\n"
    "  leal 4(%esp), %eax\n"
    "  pushl %eax\n"
    "  call " ZARN_SYMBOL(zarn_query_target) "\n"
    "  addl $4, %esp\n"
    "  jmp *%eax\n");

#else

extern "C" QueryResult mi_query(I code, P a2, I a3, P a4, ...) noexcept {
  void* function = bound_function(slot_mi_query);
  if (function == nullptr) return 0;
  std::va_list extras;
  va_start(extras, a4);
  const QueryResult result = forward_query(function, code, a2, a3, a4, extras);
  va_end(extras);
  return result;
}

#endif
