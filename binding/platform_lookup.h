// The one place that knows which platform the library runs on: looking a
// function up by name in a loaded module.
#pragma once

#include <cstdint>

#include "binding/visibility.h"

namespace zarn::binding {

struct Lookup {
  void* function;      // null when the module has no such function
  std::int32_t error;  // the platform's error code of a failed lookup
};

// The error code is taken right after the lookup, before any other call.
ZARN_HIDDEN Lookup look_up(void* module, const char* name) noexcept;

}  // namespace zarn::binding
