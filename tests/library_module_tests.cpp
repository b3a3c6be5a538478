// The built plug-in as the renderer sees it: loaded as a module, its shaders
// found by name and run against the stand-in renderer.
#include <gtest/gtest.h>

#include "shaders/parameter_records.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"
#include "tests/support/shader_scene.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zarn::testing {
namespace {

void* find(void* module, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
  return dlsym(module, name);
#endif
}

TEST(LibraryModule, ExportsTheShadersAndOneVersionFunctionUnderTwoNames) {
  void* library = load_module(ZARN_LIBRARY_FILE);
  ASSERT_NE(find(library, "miSetModuleHandle"), nullptr);
  ASSERT_NE(find(library, "zarn_tarvo_settings"), nullptr);
  ASSERT_NE(find(library, "zarn_TraceContinue"), nullptr);
  void* version = find(library, "zarn_tarvo_settings_version");
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(find(library, "zarn_TraceContinue_version"), version);
  EXPECT_EQ(reinterpret_cast<int (*)()>(version)(), 1);
  // The binding entries are hidden: the renderer's names are not found here.
  EXPECT_EQ(find(library, "mi_error"), nullptr);
  EXPECT_EQ(find(library, "mi_phen_eval"), nullptr);
}

TEST(LibraryModule, SettingsShaderRunsAgainstTheRendererModuleItIsGiven) {
  void* library = load_module(ZARN_LIBRARY_FILE);
  auto set_module = reinterpret_cast<void (*)(void*)>(find(library, "miSetModuleHandle"));
  auto settings = reinterpret_cast<int (*)(void*, void*, void*)>(
      find(library, "zarn_tarvo_settings"));
  ShaderScene scene;  // also hands the stand-in to the test program's own copy
  set_module(stand_in_module());
  scene.record<shaders::SettingsParameters>().ray_differential = 1;
  EXPECT_EQ(settings(nullptr, scene.state(), &scene.record<shaders::SettingsParameters>()), 1);
  const auto calls = scene.calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), "mi_get_shader_interface(3)");
  EXPECT_EQ(calls[calls.size() - 4], "set_string \"ray differential\" \"on\"");
}

}  // namespace
}  // namespace zarn::testing
