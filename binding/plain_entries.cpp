// The plain binding entries, one per catalogue row: each forwards its
// arguments unchanged to the renderer function of its own name.  Their
// prototypes are in host/renderer_functions.h; their bodies are trampolines,
// since a jump is the only forwarding that leaves every argument exactly as
// the caller passed it, whatever its class.
#include "binding/entry_table.h"
#include "binding/trampolines.h"

#define MI_PLAIN(slot, name, result, arguments) ZARN_TRAMPOLINE(slot, name, result)
#include "binding/catalogue.def"

ZARN_FIRST_CALL_STUB
