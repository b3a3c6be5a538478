#include "tools/preview/module.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace zarn::preview {

#if defined(_WIN32)

void* load_module(const std::filesystem::path& path, std::string& error) {
  // No message box for a module that is not there or will not load.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(path.wstring().c_str());
  const DWORD code = GetLastError();
  SetErrorMode(previous);
  if (module == nullptr) {
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
      message.pop_back();
    error = "error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
  }
  return module;
}

void* find_function(void* module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

std::filesystem::path program_directory() {
  wchar_t self[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, self, sizeof self / sizeof self[0]);
  return std::filesystem::path(std::wstring(self, length)).parent_path();
}

#else

void* load_module(const std::filesystem::path& path, std::string& error) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : "unknown error";
  }
  return module;
}

void* find_function(void* module, const char* name) { return dlsym(module, name); }

std::filesystem::path program_directory() {
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return std::filesystem::current_path();
  return std::filesystem::path(std::string(self, static_cast<std::size_t>(length))).parent_path();
}

#endif

}  // namespace zarn::preview
