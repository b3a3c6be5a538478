// What a call costs: a resolved entry against a direct call and a call
// through the PLT, the first call, a message, and the shaders.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdint>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "shaders/exports.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"
#include "tests/support/shader_scene.h"

extern "C" std::int32_t bench_par_aborted();  // imported from bench_renderer

namespace {

using zarn::testing::load_module;

void* bench_module() {
  static void* module = load_module("bench_renderer.so");
  return module;
}

void ResolvedEntry(benchmark::State& state) {
  miSetModuleHandle(bench_module());
  mi_par_aborted();
  for (auto _ : state) benchmark::DoNotOptimize(mi_par_aborted());
}
BENCHMARK(ResolvedEntry);

void DirectCallThroughPointer(benchmark::State& state) {
  auto function = reinterpret_cast<std::int32_t (*)()>(dlsym(bench_module(), "mi_par_aborted"));
  benchmark::DoNotOptimize(function);
  for (auto _ : state) benchmark::DoNotOptimize(function());
}
BENCHMARK(DirectCallThroughPointer);

void CallThroughPlt(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bench_par_aborted());
}
BENCHMARK(CallThroughPlt);

void ResolvedEntryWithFloats(benchmark::State& state) {
  miSetModuleHandle(bench_module());
  float x = 0.25f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(x);
    benchmark::DoNotOptimize(mi_noise_2d(x, x));
  }
}
BENCHMARK(ResolvedEntryWithFloats);

void FirstCall(benchmark::State& state) {
  miSetModuleHandle(bench_module());
  for (auto _ : state) {
    zarn::binding::entry_table[zarn::binding::slot_mi_par_aborted].store(nullptr);
    benchmark::DoNotOptimize(mi_par_aborted());
  }
}
BENCHMARK(FirstCall);

void FormattedMessage(benchmark::State& state) {
  miSetModuleHandle(bench_module());
  for (auto _ : state) mi_info("%s took %d ms (%.1f%%)", "frame", 42, 12.5);
}
BENCHMARK(FormattedMessage);

void settings_call(benchmark::State& state, bool every_group_on) {
  zarn::testing::ShaderScene scene;
  auto& p = scene.record<zarn::shaders::SettingsParameters>();
  if (every_group_on) {
    p.finalgather_force = p.importon_enable = p.irradiance_particles_enable = 1;
    p.environment_lighting_mode = p.progressive_mode = 2;
    p.progressive_subsampling_size = 4;
    p.ambient_occlusion_mode = p.rast_hair_disposable = p.ray_differential = 1;
    p.irradiance_particles_file = 3;
    stand_in::put_text(3, "particles.ipm");
  }
  stand_in::set_recording(false);
  for (auto _ : state) benchmark::DoNotOptimize(zarn_tarvo_settings(nullptr, scene.state(), &p));
  stand_in::set_recording(true);
}
void SettingsEveryGroupOff(benchmark::State& state) { settings_call(state, false); }
void SettingsEveryGroupOn(benchmark::State& state) { settings_call(state, true); }
BENCHMARK(SettingsEveryGroupOff);
BENCHMARK(SettingsEveryGroupOn);

void trace_continue_call(benchmark::State& state, bool continue_ray) {
  zarn::testing::ShaderScene scene;
  auto& p = scene.record<zarn::shaders::TraceContinueParameters>();
  p.continue_ray = continue_ray;
  zarn::host::Colour result{};
  stand_in::set_recording(false);
  for (auto _ : state) benchmark::DoNotOptimize(zarn_TraceContinue(&result, scene.state(), &p));
  stand_in::set_recording(true);
}
void TraceContinueRay(benchmark::State& state) { trace_continue_call(state, true); }
void TraceContinueColour(benchmark::State& state) { trace_continue_call(state, false); }
BENCHMARK(TraceContinueRay);
BENCHMARK(TraceContinueColour);

}  // namespace

BENCHMARK_MAIN();
