// Makes N calls of one kind, for callgrind to count instructions:
//   instruction_counts MODE N
// Modes: entry, direct, plt (mi_par_aborted three ways); settings-off,
// settings-on, trace-ray, trace-colour (the shaders of the built library,
// loaded as the renderer loads it, against the bench renderer).
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "shaders/parameter_records.h"
#include "tests/support/shader_scene.h"

extern "C" std::int32_t bench_par_aborted();

namespace {

void* beside_me(const char* file) {
  Dl_info self{};
  dladdr(reinterpret_cast<void*>(&beside_me), &self);
  std::string path = self.dli_fname;
  path = path.substr(0, path.find_last_of('/') + 1) + file;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    std::fprintf(stderr, "cannot load %s\n", path.c_str());
    std::exit(2);
  }
  return module;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  const long n = std::atol(argv[2]);
  void* renderer = beside_me("bench_renderer.so");
  void* library = beside_me("zarn_tarvo_settings.so");
  miSetModuleHandle(renderer);
  reinterpret_cast<void (*)(void*)>(dlsym(library, "miSetModuleHandle"))(renderer);
  auto settings = reinterpret_cast<int (*)(void*, void*, const void*)>(
      dlsym(library, "zarn_tarvo_settings"));
  auto trace = reinterpret_cast<int (*)(void*, void*, const void*)>(
      dlsym(library, "zarn_TraceContinue"));
  auto direct = reinterpret_cast<std::int32_t (*)()>(dlsym(renderer, "mi_par_aborted"));

  // The records lie at this build's positions; no connection flag is set.
  alignas(16) static unsigned char state[400], function[128], options[800];
  unsigned char* f = function;
  unsigned char* o = options;
  std::memcpy(state + zarn::testing::raw::state_options, &o, sizeof o);
  std::memcpy(state + zarn::testing::raw::state_function, &f, sizeof f);
  zarn::shaders::SettingsParameters off{}, on{};
  on.finalgather_force = on.importon_enable = on.irradiance_particles_enable = 1;
  on.environment_lighting_mode = on.progressive_mode = 2;
  on.progressive_subsampling_size = 4;
  on.ambient_occlusion_mode = on.rast_hair_disposable = on.ray_differential = 1;
  zarn::shaders::TraceContinueParameters ray{{}, 1}, colour{{1, 2, 3, 4}, 0};
  float result[4];

  // One loop per mode, so that a loop holds nothing but its calls.
  std::int64_t sum = 0;
  if (mode == "entry") {
    for (long i = 0; i < n; ++i) sum += mi_par_aborted();
  } else if (mode == "direct") {
    for (long i = 0; i < n; ++i) sum += direct();
  } else if (mode == "plt") {
    for (long i = 0; i < n; ++i) sum += bench_par_aborted();
  } else if (mode == "settings-off") {
    for (long i = 0; i < n; ++i) sum += settings(nullptr, state, &off);
  } else if (mode == "settings-on") {
    for (long i = 0; i < n; ++i) sum += settings(nullptr, state, &on);
  } else if (mode == "trace-ray") {
    for (long i = 0; i < n; ++i) sum += trace(result, state, &ray);
  } else if (mode == "trace-colour") {
    for (long i = 0; i < n; ++i) sum += trace(result, state, &colour);
  } else {
    return 2;
  }
  std::printf("%lld\n", static_cast<long long>(sum));
  return 0;
}
