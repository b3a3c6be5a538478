// Several renderer threads at once: first calls racing on the entry table,
// and both shaders running side by side on their own records.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "shaders/exports.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"
#include "tests/support/shader_scene.h"

namespace zarn::testing {
namespace {

// Starts `count` threads that wait for each other, then run `work(i)`.
void run_together(int count, const std::function<void(int)>& work) {
  std::atomic<int> waiting{count};
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i)
    threads.emplace_back([&, i] {
      waiting.fetch_sub(1);
      while (waiting.load() > 0) std::this_thread::yield();
      work(i);
    });
  for (auto& t : threads) t.join();
}

TEST(Concurrency, FirstCallsOfManyEntriesAtOnceAllResolveAndAllReachTheRenderer) {
  stand_in::reset();
  miSetModuleHandle(stand_in_module());
  constexpr int threads = 6;
  const std::vector<void (*)()> entries = {
      [] { mi_par_aborted(); },      [] { mi_version(); },
      [] { mi_random(); },           [] { mi_noise_1d(0.5f); },
      [] { mi_srandom(3); },         [] { mi_db_unpin(4); },
      [] { mi_api_incremental(0); }, [] { mi_lock({1, 2}); },
      [] { mi_fresnel(1, 2, 3, 4); },
      [] { mi_query(0, nullptr, 0, nullptr); },
      [] { mi_info("%d", 1); },
  };
  run_together(threads, [&](int i) {
    // Each thread walks the entries from its own starting point.
    for (std::size_t k = 0; k < entries.size(); ++k) entries[(k + i) % entries.size()]();
  });
  EXPECT_EQ(stand_in::calls().size(), threads * entries.size());
  for (auto slot : {binding::slot_mi_par_aborted, binding::slot_mi_fresnel, binding::slot_mi_query,
                    binding::slot_mi_info, binding::slot_mi_lock})
    EXPECT_NE(binding::entry_table[slot].load(), nullptr) << binding::entry_names[slot];
}

// One thread's scene: its own parameters, render options and expectations.
struct Worker {
  std::unique_ptr<ShaderScene> scene = std::make_unique<ShaderScene>();
  std::vector<std::string> expected;
};

void configure(ShaderScene& scene, int i) {
  auto& p = scene.record<shaders::SettingsParameters>();
  p.finalgather_reflection_prerejection = i;
  p.importon_enable = i % 2;
  p.importon_emitted = 1000 + i;
  p.environment_lighting_mode = i % 3;
  p.environment_lighting_shadow = i % 4;
  p.progressive_mode = i % 3;
  p.progressive_max_time = i;
  p.ambient_occlusion_mode = i % 3;
  p.ambient_occlusion_rays = 16 * i;
  p.render_options_flag = i % 2;
  auto& t = *reinterpret_cast<shaders::TraceContinueParameters*>(
      &scene.record<shaders::SettingsParameters>() + 1);
  t.color = {float(i), 0.5f, 0.25f, 1};
  t.continue_ray = i % 2;
}

void run_shaders(ShaderScene& scene, host::Colour& colour) {
  auto& p = scene.record<shaders::SettingsParameters>();
  auto* t = reinterpret_cast<const shaders::TraceContinueParameters*>(&p + 1);
  zarn_tarvo_settings(nullptr, scene.state(), &p);
  zarn_TraceContinue(&colour, scene.state(), t);
}

TEST(Concurrency, ShadersSideBySideEachWriteWhatTheirOwnRecordAsks) {
  constexpr int threads = 8;
  constexpr int rounds = 25;
  std::vector<Worker> workers(threads);
  for (int i = 0; i < threads; ++i) configure(*workers[i].scene, i);

  std::vector<host::Colour> colours(threads);
  // What each record asks for, made alone on this thread.
  for (int i = 0; i < threads; ++i) {
    stand_in::reset();
    run_shaders(*workers[i].scene, colours[i]);
    workers[i].expected = workers[i].scene->calls();
  }

  stand_in::reset();
  std::vector<int> numbers(threads);
  run_together(threads, [&](int i) {
    numbers[i] = stand_in::this_thread_number();
    for (int r = 0; r < rounds; ++r) run_shaders(*workers[i].scene, colours[i]);
  });
  for (int i = 0; i < threads; ++i) {
    SCOPED_TRACE(i);
    std::vector<std::string> repeated;
    for (int r = 0; r < rounds; ++r)
      repeated.insert(repeated.end(), workers[i].expected.begin(), workers[i].expected.end());
    EXPECT_EQ(workers[i].scene->calls(numbers[i]), repeated);
    EXPECT_EQ(workers[i].scene->render_options_flag(), i % 2);
    if (i % 2 == 0) {
      EXPECT_EQ(colours[i].red, float(i));
    }
  }
}

}  // namespace
}  // namespace zarn::testing
