#include "binding/platform_lookup.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zarn::binding {

#if defined(_WIN32)

Lookup look_up(void* module, const char* name) noexcept {
  FARPROC function = GetProcAddress(static_cast<HMODULE>(module), name);
  if (function != nullptr) return {reinterpret_cast<void*>(function), 0};
  return {nullptr, static_cast<std::int32_t>(GetLastError())};
}

#else

// ERROR_PROC_NOT_FOUND, so that both platforms report a missing function alike.
constexpr std::int32_t procedure_not_found = 127;

Lookup look_up(void* module, const char* name) noexcept {
  // dlsym with a null handle would search the global scope and could find
  // the library's own entry; an empty handle finds nothing.
  if (module == nullptr) return {nullptr, procedure_not_found};
  void* function = dlsym(module, name);
  return {function, function != nullptr ? 0 : procedure_not_found};
}

#endif

}  // namespace zarn::binding

#if defined(_WIN32)

// The load entry point does what the platform runtime's default one does
// (mingw-w64's does not): thread attach and detach notifications off.  The
// library has nothing to set up at load.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
  return TRUE;
}

#endif
