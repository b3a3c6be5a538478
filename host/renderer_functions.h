// Every renderer function by its own name and prototype, as the library's
// code calls it.  Each is a binding entry of the library: hidden, never an
// import, and so never found in place of the renderer's own function.
#pragma once

#include <cstdint>

#include "binding/visibility.h"
#include "host/argument_classes.h"
#include "host/objects.h"

extern "C" {

#define MI_PLAIN(slot, name, result, arguments) \
  ZARN_HIDDEN MI_RESULT_##result name(MI_PARAMS arguments) noexcept;
#define MI_FORMATTED(slot, name, result, arguments) \
  MI_CAT(MI_DECLARE_MESSAGE_, MI_COUNT arguments)(name, result)
#define MI_DECLARE_MESSAGE_1(name, result)                              \
  ZARN_HIDDEN MI_RESULT_##result name(const char* format, ...) noexcept \
      ZARN_PRINTF_FORMAT(1, 2);
#define MI_DECLARE_MESSAGE_2(name, result)                                                 \
  ZARN_HIDDEN MI_RESULT_##result name(std::int32_t number, const char* format, ...) noexcept \
      ZARN_PRINTF_FORMAT(2, 3);
#define MI_CODE_DEPENDENT(slot, name, result, arguments) \
  ZARN_HIDDEN MI_RESULT_##result name(MI_PARAMS arguments, ...) noexcept;
#define MI_FIXED_COUNT(slot, name, result, arguments) \
  ZARN_HIDDEN MI_RESULT_##result name(MI_PARAMS arguments, ...) noexcept;
#include "binding/catalogue.def"
#undef MI_DECLARE_MESSAGE_1
#undef MI_DECLARE_MESSAGE_2

}  // extern "C"
