// The library allocates nothing: shader calls and resolved entry calls are
// watched by an allocator that counts every allocation on this thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "shaders/exports.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"
#include "tests/support/shader_scene.h"

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void __libc_free(void*);

namespace {
thread_local bool counting = false;
std::atomic<int> allocations{0};
void note() {
  if (counting) allocations.fetch_add(1);
}
}  // namespace

// Every allocation of the process comes through here, the C library's own
// included (formatting, the dynamic loader).
extern "C" void* malloc(std::size_t n) {
  note();
  return __libc_malloc(n);
}
extern "C" void* calloc(std::size_t n, std::size_t size) {
  note();
  return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, std::size_t n) {
  note();
  return __libc_realloc(p, n);
}
extern "C" void free(void* p) { __libc_free(p); }
void* operator new(std::size_t n) {
  note();
  if (void* p = __libc_malloc(n)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t) noexcept { __libc_free(p); }

namespace zarn::testing {
namespace {

template <class Work>
int allocations_during(Work&& work) {
  allocations.store(0);
  counting = true;
  work();
  counting = false;
  return allocations.load();
}

TEST(Allocation, TheCounterSeesAnAllocation) {
  EXPECT_EQ(allocations_during([] { delete new int(1); }), 1);
  EXPECT_EQ(allocations_during([] { std::free(std::malloc(16)); }), 1);
}

TEST(Allocation, ShaderCallsAndResolvedEntriesAllocateNothing) {
  ShaderScene scene;
  auto& p = scene.record<shaders::SettingsParameters>();
  p.finalgather_force = 1;
  p.importon_enable = 1;
  p.irradiance_particles_enable = 1;
  p.irradiance_particles_file = 9;
  stand_in::put_text(9, "a particles file name longer than any small-string buffer");
  p.environment_lighting_mode = 2;
  p.progressive_mode = 2;
  p.progressive_subsampling_size = 2;
  p.ambient_occlusion_mode = 1;
  p.rast_hair_disposable = 1;
  p.ray_differential = 1;
  const std::int32_t connected = 5;
  scene.connect(&p.importon_emitted, &connected);
  auto& t = *reinterpret_cast<shaders::TraceContinueParameters*>(&p + 1);
  host::Colour colour{};

  auto work = [&] {
    zarn_tarvo_settings(nullptr, scene.state(), &p);
    t.continue_ray = 1;
    zarn_TraceContinue(&colour, scene.state(), &t);
    t.continue_ray = 0;
    zarn_TraceContinue(&colour, scene.state(), &t);
    mi_par_aborted();
    mi_noise_3d(&colour);
    mi_geomo_blend_surfaces(nullptr, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, 0.5, 2, nullptr, nullptr);
    mi_info("formatted %s %d %% %f", "message", 42, 0.25);
    mi_nwarning(3, "%s", "numbered");
    mi_query(15, nullptr, 0, nullptr, 7);
    mi_scene_create(nullptr, 51, 1, 2, 3, nullptr);
    mi_scene_growedit(1, 1, 2, 3, 4, 5, 6, 7, 8);
  };
  work();  // first calls: resolution may allocate in the dynamic loader
  stand_in::set_recording(false);
  const int counted = allocations_during(work);
  stand_in::set_recording(true);
  EXPECT_EQ(counted, 0);
}

}  // namespace
}  // namespace zarn::testing
