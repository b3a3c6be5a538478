// The cheapest renderer module there can be, for measuring what the library
// adds to a call: its functions and objects do nothing but answer.
#include <cstdint>

#include "host/objects.h"

#if defined(_WIN32)
#define BENCH_API __declspec(dllexport)
#else
#define BENCH_API __attribute__((visibility("default")))
#endif

namespace {

class Accessor final : public zarn::host::OptionsAccessor {
 public:
  bool set_float(const char*, float) override { return true; }
  bool set_integer(const char*, std::int32_t) override { return true; }
  bool set_string(const char*, const char*) override { return true; }
  void release() override {}
  void unused_slot_0() override {}
  void unused_slot_1() override {}
  void unused_slot_2() override {}
  void unused_slot_3() override {}
  void unused_slot_7() override {}
  void unused_slot_8() override {}
  void unused_slot_9() override {}
  void unused_slot_10() override {}
  void unused_slot_11() override {}
  void unused_slot_12() override {}
  void unused_slot_13() override {}
  void unused_slot_14() override {}
  void unused_slot_15() override {}
};

class Interface final : public zarn::host::ShaderInterface {
 public:
  zarn::host::OptionsAccessor* get_options_accessor(zarn::host::Tag) override { return &accessor; }
  void release() override {}
  void unused_slot_0() override {}
  void unused_slot_2() override {}
  void unused_slot_3() override {}
  void unused_slot_4() override {}
  void unused_slot_5() override {}
  Accessor accessor;
};

Interface shader_interface;

}  // namespace

extern "C" {
BENCH_API std::int32_t mi_par_aborted() { return 0; }
BENCH_API float mi_noise_2d(float x, float y) { return x + y; }
BENCH_API void mi_info(const char*, ...) {}
BENCH_API zarn::host::ShaderInterface* mi_get_shader_interface(std::int32_t) {
  return &shader_interface;
}
BENCH_API const void* mi_phen_eval(const void*, const void* parameter) { return parameter; }
BENCH_API const void* mi_db_access(std::int32_t) { return "particles.ipm"; }
BENCH_API void mi_db_unpin(std::int32_t) {}
BENCH_API void mi_api_incremental(std::int32_t) {}
BENCH_API std::int32_t mi_trace_continue(void*, void*) { return 1; }

// The same function as mi_par_aborted under a name of its own, for a call
// through the PLT.
BENCH_API std::int32_t bench_par_aborted() { return 0; }
}
