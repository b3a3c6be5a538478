// The C++ types behind the catalogue's argument and result classes, and the
// preprocessor helpers that turn a row's class list into a parameter list.
#pragma once

#include <cstdint>

namespace zarn::host {

class ShaderInterface;

// An 8-byte record passed by value (the renderer's locks): copied whole,
// never through an address.
struct EightByteValue {
  std::uint32_t low;
  std::uint32_t high;
};
static_assert(sizeof(EightByteValue) == 8);

}  // namespace zarn::host

// Argument classes.
#define MI_ARG_P const void*
#define MI_ARG_I std::int32_t
#define MI_ARG_H std::uint16_t
#define MI_ARG_B std::uint8_t
#define MI_ARG_Q ::zarn::host::EightByteValue
#define MI_ARG_F float
#define MI_ARG_D double

// Result classes.
#define MI_RESULT_V void
#define MI_RESULT_I std::int32_t
#define MI_RESULT_P void*
#define MI_RESULT_F float
#define MI_RESULT_D double
#define MI_RESULT_S ::zarn::host::ShaderInterface*

#define MI_CAT(a, b) MI_CAT_(a, b)
#define MI_CAT_(a, b) a##b
#define MI_STRING(x) MI_STRING_(x)
#define MI_STRING_(x) #x

// Number of classes in a list, 0 to 13.
#define MI_COUNT(...) \
  MI_COUNT_(__VA_OPT__(__VA_ARGS__, ) 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0)
#define MI_COUNT_(_1, _2, _3, _4, _5, _6, _7, _8, _9, _10, _11, _12, _13, n, ...) n

// MI_PARAMS(P, I) -> "const void* a1, std::int32_t a2"
// MI_TYPES(P, I)  -> "const void*, std::int32_t"
// MI_NAMES(P, I)  -> "a1, a2"
#define MI_PARAMS(...) MI_CAT(MI_PARAMS_, MI_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define MI_TYPES(...) MI_CAT(MI_TYPES_, MI_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define MI_NAMES(...) MI_CAT(MI_NAMES_, MI_COUNT(__VA_ARGS__))(__VA_ARGS__)

#define MI_PARAMS_0()
#define MI_PARAMS_1(c1) MI_ARG_##c1 a1
#define MI_PARAMS_2(c1, c2) MI_PARAMS_1(c1), MI_ARG_##c2 a2
#define MI_PARAMS_3(c1, c2, c3) MI_PARAMS_2(c1, c2), MI_ARG_##c3 a3
#define MI_PARAMS_4(c1, c2, c3, c4) MI_PARAMS_3(c1, c2, c3), MI_ARG_##c4 a4
#define MI_PARAMS_5(c1, c2, c3, c4, c5) MI_PARAMS_4(c1, c2, c3, c4), MI_ARG_##c5 a5
#define MI_PARAMS_6(c1, c2, c3, c4, c5, c6) MI_PARAMS_5(c1, c2, c3, c4, c5), MI_ARG_##c6 a6
#define MI_PARAMS_7(c1, c2, c3, c4, c5, c6, c7) \
  MI_PARAMS_6(c1, c2, c3, c4, c5, c6), MI_ARG_##c7 a7
#define MI_PARAMS_8(c1, c2, c3, c4, c5, c6, c7, c8) \
  MI_PARAMS_7(c1, c2, c3, c4, c5, c6, c7), MI_ARG_##c8 a8
#define MI_PARAMS_9(c1, c2, c3, c4, c5, c6, c7, c8, c9) \
  MI_PARAMS_8(c1, c2, c3, c4, c5, c6, c7, c8), MI_ARG_##c9 a9
#define MI_PARAMS_10(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10) \
  MI_PARAMS_9(c1, c2, c3, c4, c5, c6, c7, c8, c9), MI_ARG_##c10 a10
#define MI_PARAMS_11(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11) \
  MI_PARAMS_10(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10), MI_ARG_##c11 a11
#define MI_PARAMS_12(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12) \
  MI_PARAMS_11(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11), MI_ARG_##c12 a12
#define MI_PARAMS_13(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13) \
  MI_PARAMS_12(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12), MI_ARG_##c13 a13

#define MI_TYPES_0()
#define MI_TYPES_1(c1) MI_ARG_##c1
#define MI_TYPES_2(c1, c2) MI_TYPES_1(c1), MI_ARG_##c2
#define MI_TYPES_3(c1, c2, c3) MI_TYPES_2(c1, c2), MI_ARG_##c3
#define MI_TYPES_4(c1, c2, c3, c4) MI_TYPES_3(c1, c2, c3), MI_ARG_##c4
#define MI_TYPES_5(c1, c2, c3, c4, c5) MI_TYPES_4(c1, c2, c3, c4), MI_ARG_##c5
#define MI_TYPES_6(c1, c2, c3, c4, c5, c6) MI_TYPES_5(c1, c2, c3, c4, c5), MI_ARG_##c6
#define MI_TYPES_7(c1, c2, c3, c4, c5, c6, c7) MI_TYPES_6(c1, c2, c3, c4, c5, c6), MI_ARG_##c7
#define MI_TYPES_8(c1, c2, c3, c4, c5, c6, c7, c8) \
  MI_TYPES_7(c1, c2, c3, c4, c5, c6, c7), MI_ARG_##c8
#define MI_TYPES_9(c1, c2, c3, c4, c5, c6, c7, c8, c9) \
  MI_TYPES_8(c1, c2, c3, c4, c5, c6, c7, c8), MI_ARG_##c9
#define MI_TYPES_10(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10) \
  MI_TYPES_9(c1, c2, c3, c4, c5, c6, c7, c8, c9), MI_ARG_##c10
#define MI_TYPES_11(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11) \
  MI_TYPES_10(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10), MI_ARG_##c11
#define MI_TYPES_12(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12) \
  MI_TYPES_11(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11), MI_ARG_##c12
#define MI_TYPES_13(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13) \
  MI_TYPES_12(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12), MI_ARG_##c13

#define MI_NAMES_0()
#define MI_NAMES_1(c1) a1
#define MI_NAMES_2(c1, c2) a1, a2
#define MI_NAMES_3(c1, c2, c3) a1, a2, a3
#define MI_NAMES_4(c1, c2, c3, c4) a1, a2, a3, a4
#define MI_NAMES_5(c1, c2, c3, c4, c5) a1, a2, a3, a4, a5
#define MI_NAMES_6(c1, c2, c3, c4, c5, c6) a1, a2, a3, a4, a5, a6
#define MI_NAMES_7(c1, c2, c3, c4, c5, c6, c7) a1, a2, a3, a4, a5, a6, a7
#define MI_NAMES_8(c1, c2, c3, c4, c5, c6, c7, c8) a1, a2, a3, a4, a5, a6, a7, a8
#define MI_NAMES_9(c1, c2, c3, c4, c5, c6, c7, c8, c9) a1, a2, a3, a4, a5, a6, a7, a8, a9
#define MI_NAMES_10(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10) \
  a1, a2, a3, a4, a5, a6, a7, a8, a9, a10
#define MI_NAMES_11(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11) \
  a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11
#define MI_NAMES_12(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12) \
  a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12
#define MI_NAMES_13(c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13) \
  a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13

// A comma when the list is not empty: MI_COMMA_IF (P) -> ",", MI_COMMA_IF () -> "".
#define MI_COMMA_IF(...) __VA_OPT__(, )
