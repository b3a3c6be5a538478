// The host module handle and the entry table: the library's only state.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "binding/visibility.h"
#include "host/argument_classes.h"

namespace zarn::binding {

// Slot numbers, in catalogue order; each row's slot column must agree.
enum EntrySlot : std::size_t {
#define MI_ENTRY(slot, name, result, arguments) slot_##name,
#include "binding/catalogue.def"
  entry_count
};
static_assert(entry_count == 691);

ZARN_HIDDEN extern std::atomic<void*> host_module;

// The slots are read by the plain entries' machine code too, by this name;
// each is one pointer-sized value, read and written whole.
extern "C" ZARN_HIDDEN std::atomic<void*> zarn_entry_table[entry_count];
static_assert(sizeof(std::atomic<void*>) == sizeof(void*));
inline constexpr auto& entry_table = zarn_entry_table;
ZARN_HIDDEN extern const char* const entry_names[entry_count];

// Looks the slot's function up in the host module, stores what it finds and
// reports a failure on stderr.  Kept out of line: it runs once per entry.
ZARN_HIDDEN void* resolve(std::size_t slot) noexcept;

// The lookup-failure message; the handle prints as its low 32 bits in every
// build.  Returns the length written, at most size - 1.
ZARN_HIDDEN int format_lookup_failure(char* text, std::size_t size, const char* name,
                                      void* module, std::int32_t error) noexcept;

// resolve() for the plain entries' first-call stub.
extern "C" ZARN_HIDDEN void* zarn_resolve_slot(std::size_t slot) noexcept;

// The slot's function, resolved on first use; null when the lookup failed.
[[gnu::always_inline]] inline void* bound_function(std::size_t slot) noexcept {
  void* function = entry_table[slot].load(std::memory_order_relaxed);
  if (function == nullptr) [[unlikely]]
    function = resolve(slot);
  return function;
}

}  // namespace zarn::binding

// Export: the renderer's module handle.  Stores it, then empties every slot.
extern "C" ZARN_EXPORT void miSetModuleHandle(void* module);
