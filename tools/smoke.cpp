// Loads the built library into the stand-in renderer, as the renderer would,
// makes one settings call and prints the options it writes.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "shaders/parameter_records.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/shader_scene.h"

int main() {
  Dl_info self{};
  dladdr(reinterpret_cast<void*>(&main), &self);
  std::string path = self.dli_fname;
  path = path.substr(0, path.find_last_of('/') + 1) + "zarn_tarvo_settings.so";
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
    return 2;
  }
  auto set_module = reinterpret_cast<void (*)(void*)>(dlsym(library, "miSetModuleHandle"));
  auto settings = reinterpret_cast<int (*)(void*, void*, void*)>(dlsym(library, "zarn_tarvo_settings"));

  zarn::testing::ShaderScene scene;
  set_module(stand_in::module_handle());
  auto& p = scene.record<zarn::shaders::SettingsParameters>();
  p.progressive_mode = 2;
  p.progressive_max_time = 0;
  p.progressive_min_samples = p.progressive_max_samples = -1;
  p.progressive_error_threshold = -1.0f;
  p.ambient_occlusion_mode = 1;
  p.ambient_occlusion_rays = 64;
  p.render_options_flag = 1;
  const int result = settings(nullptr, scene.state(), &p);
  for (const std::string& line : scene.calls()) std::printf("%s\n", line.c_str());
  std::printf("render-options flag %d, result %d\n", scene.render_options_flag(), result);
  return result == 1 ? 0 : 1;
}
