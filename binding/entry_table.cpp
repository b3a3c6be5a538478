#include "binding/entry_table.h"

#include <cstdint>
#include <cstdio>

#include "binding/platform_lookup.h"

namespace zarn::binding {

// Zero-filled static storage: loading the library runs no code of ours.
std::atomic<void*> host_module{nullptr};
std::atomic<void*> zarn_entry_table[entry_count]{};

const char* const entry_names[entry_count] = {
#define MI_ENTRY(slot, name, result, arguments) #name,
#include "binding/catalogue.def"
};

#define MI_ENTRY(slot, name, result, arguments) \
  static_assert(slot_##name == slot, "catalogue row out of slot order: " #name);
#include "binding/catalogue.def"

namespace {

// One write per message, so that lines from several threads do not mix.
void write_error(const char* text, int length) noexcept {
  if (length <= 0) return;
  std::fwrite(text, 1, static_cast<std::size_t>(length), stderr);
}

}  // namespace

int format_lookup_failure(char* text, std::size_t size, const char* name, void* module,
                          std::int32_t error) noexcept {
  const auto handle =
      static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(module) & 0xffffffffu);
  const int length = std::snprintf(text, size, "dlsym failed on \"%s\" (handle: %08x error: %d)\n",
                                   name, handle, static_cast<int>(error));
  if (length < 0) return 0;
  return length < static_cast<int>(size) ? length : static_cast<int>(size) - 1;
}

void* resolve(std::size_t slot) noexcept {
  void* module = host_module.load(std::memory_order_relaxed);
  if (module == nullptr) {
    static constexpr char missing_handle[] = "DYNLOAD: dl_handle null\n";
    write_error(missing_handle, sizeof missing_handle - 1);
    module = host_module.load(std::memory_order_relaxed);
  }
  const Lookup found = look_up(module, entry_names[slot]);
  entry_table[slot].store(found.function, std::memory_order_relaxed);
  if (found.function == nullptr) {
    char message[256];
    const int length = format_lookup_failure(message, sizeof message, entry_names[slot],
                                             host_module.load(std::memory_order_relaxed),
                                             found.error);
    write_error(message, length);
  }
  return found.function;
}

void* zarn_resolve_slot(std::size_t slot) noexcept { return resolve(slot); }

}  // namespace zarn::binding

// The renderer hands over its module before any shader call; every entry
// then resolves anew against it.
extern "C" ZARN_EXPORT void miSetModuleHandle(void* module) {
  using namespace zarn::binding;
  host_module.store(module, std::memory_order_relaxed);
  for (auto& slot : entry_table) slot.store(nullptr, std::memory_order_relaxed);
}
