#include "tests/support/modules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/stand_in/stand_in_renderer.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace zarn::testing {

void* load_module(const char* file_name) {
#if defined(_WIN32)
  // The program's own folder comes first in the DLL search order.
  void* module = LoadLibraryA(file_name);
#else
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : "";
  path = path.substr(0, path.find_last_of('/') + 1) + file_name;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  if (module == nullptr) {
    ADD_FAILURE() << "cannot load " << file_name;
    std::abort();
  }
  return module;
}

void* stand_in_module() { return stand_in::module_handle(); }
void* other_renderer_module() {
  static void* module = load_module(ZARN_OTHER_RENDERER_FILE);
  return module;
}
void* empty_module() {
  static void* module = load_module(ZARN_EMPTY_MODULE_FILE);
  return module;
}

}  // namespace zarn::testing
