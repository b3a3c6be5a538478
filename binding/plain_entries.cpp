// The plain binding entries, one per catalogue row: each forwards its
// arguments unchanged to the renderer function of its own name.
#include "binding/entry_table.h"
#include "host/renderer_functions.h"

#define MI_PLAIN(slot, name, result, arguments)                                      \
  extern "C" MI_RESULT_##result name(MI_PARAMS arguments) noexcept {                 \
    return ::zarn::binding::forward<MI_RESULT_##result MI_COMMA_IF arguments MI_TYPES \
                                        arguments>(                                  \
        ::zarn::binding::slot_##name MI_COMMA_IF arguments MI_NAMES arguments);      \
  }
#include "binding/catalogue.def"
