// Resolution of binding entries: the module handle, the entry table, the
// two failure messages and forwarding after the first call.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"

namespace zarn::testing {
namespace {

using binding::entry_table;
using binding::host_module;

std::string lookup_failure(const char* name, void* module, int error) {
  char text[256];
  std::snprintf(text, sizeof text, "dlsym failed on \"%s\" (handle: %08x error: %d)\n", name,
                static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(module) & 0xffffffffu),
                error);
  return text;
}

class Binding : public ::testing::Test {
 protected:
  void SetUp() override { stand_in::reset(); }
};

TEST_F(Binding, SlotsOfTheEntriesTheShadersCall) {
  EXPECT_EQ(binding::slot_mi_trace_continue, 75u);
  EXPECT_EQ(binding::slot_mi_phen_eval, 100u);
  EXPECT_EQ(binding::slot_mi_error, 339u);
  EXPECT_EQ(binding::slot_mi_db_access, 419u);
  EXPECT_EQ(binding::slot_mi_db_unpin, 423u);
  EXPECT_EQ(binding::slot_mi_get_shader_interface, 627u);
  EXPECT_EQ(binding::slot_mi_api_incremental, 654u);
  EXPECT_STREQ(binding::entry_names[binding::slot_mi_db_access], "mi_db_access");
}

TEST_F(Binding, FirstCallResolvesSilentlyAndLaterCallsDoNotLookUp) {
  miSetModuleHandle(stand_in_module());
  stand_in::set_result("mi_par_aborted", 7);
  EXPECT_EQ(stderr_of([] { EXPECT_EQ(mi_par_aborted(), 7); }), "");
  void* resolved = entry_table[binding::slot_mi_par_aborted].load();
  ASSERT_NE(resolved, nullptr);

  // A later call goes wherever the slot points: no second lookup replaces it.
  entry_table[binding::slot_mi_par_aborted].store(
      reinterpret_cast<void*>(+[]() -> std::int32_t { return 99; }));
  EXPECT_EQ(mi_par_aborted(), 99);
  EXPECT_EQ(stand_in::calls().size(), 1u);
}

TEST_F(Binding, SetModuleHandleStoresTheHandleAndEmptiesEveryslot) {
  miSetModuleHandle(stand_in_module());
  mi_par_aborted();
  mi_version();
  miSetModuleHandle(other_renderer_module());
  EXPECT_EQ(host_module.load(), other_renderer_module());
  for (std::size_t slot = 0; slot < binding::entry_count; ++slot)
    ASSERT_EQ(entry_table[slot].load(), nullptr) << binding::entry_names[slot];
}

TEST_F(Binding, EachNewModuleHandleResolvesAgainInTheModuleGivenLast) {
  stand_in::set_result("mi_par_aborted", 1);
  miSetModuleHandle(stand_in_module());
  EXPECT_EQ(mi_par_aborted(), 1);
  miSetModuleHandle(other_renderer_module());
  EXPECT_EQ(mi_par_aborted(), 2);
  miSetModuleHandle(stand_in_module());
  EXPECT_EQ(mi_par_aborted(), 1);
}

TEST_F(Binding, CallWithoutModuleHandleReportsTheMissingHandleThenTheFailedLookup) {
  miSetModuleHandle(nullptr);
  std::int32_t result = -1;
  const std::string written = stderr_of([&] { result = mi_par_aborted(); });
  EXPECT_EQ(written, "DYNLOAD: dl_handle null\n" +
                         lookup_failure("mi_par_aborted", nullptr, missing_function_error));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(entry_table[binding::slot_mi_par_aborted].load(), nullptr);
}

TEST_F(Binding, ModuleLackingTheNameReportsEveryCallAndCallsNothing) {
  void* module = empty_module();
  miSetModuleHandle(module);
  const std::string once = lookup_failure("mi_db_access", module, missing_function_error);
  void* result = reinterpret_cast<void*>(1);
  EXPECT_EQ(stderr_of([&] { result = mi_db_access(5); }), once);
  EXPECT_EQ(result, nullptr);
  // No memory of failures: the next call looks up and reports again.
  EXPECT_EQ(stderr_of([] { mi_db_access(5); }), once);
  EXPECT_EQ(stderr_of([] { mi_db_unpin(5); }),
            lookup_failure("mi_db_unpin", module, missing_function_error));
}

TEST_F(Binding, FailedLookupGivesTheZeroOfEachResultType) {
  miSetModuleHandle(empty_module());
  const std::string written = stderr_of([] {
    EXPECT_EQ(mi_get_shader_interface(3), nullptr);  // S
    EXPECT_EQ(mi_trace_continue(nullptr, nullptr), 0);  // I
    EXPECT_EQ(mi_noise_1d(0.5f), 0.0f);                 // F
    mi_api_incremental(1);                              // V
  });
  EXPECT_NE(written.find("\"mi_noise_1d\""), std::string::npos);
}

TEST(LookupFailureMessage, PrintsTheLowThirtyTwoBitsOfTheHandle) {
  struct Case {
    std::uintptr_t handle;
    const char* printed;
  };
  std::vector<Case> cases = {{0x0, "00000000"}, {0x1234, "00001234"}, {0xdeadbeef, "deadbeef"}};
  if (sizeof(void*) == 8) {
    cases.push_back({static_cast<std::uintptr_t>(0xabcd00000000ull), "00000000"});
    cases.push_back({static_cast<std::uintptr_t>(0x12345678abcdef01ull), "abcdef01"});
  }
  for (const Case& c : cases) {
    char text[256];
    binding::format_lookup_failure(text, sizeof text, "mi_version",
                                   reinterpret_cast<void*>(c.handle), -5);
    EXPECT_EQ(std::string(text),
              std::string("dlsym failed on \"mi_version\" (handle: ") + c.printed +
                  " error: -5)\n");
  }
}

TEST(ConcurrentFirstCalls, EveryCallReachesTheRendererAndTheSlotEndsFilled) {
  stand_in::reset();
  miSetModuleHandle(stand_in_module());
  constexpr int threads = 8;
  std::atomic<int> ready{0};
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&] {
      ready.fetch_add(1);
      while (ready.load() < threads) {
      }
      mi_srandom(42);
    });
  }
  for (auto& t : pool) t.join();
  EXPECT_EQ(stand_in::calls().size(), static_cast<std::size_t>(threads));
  EXPECT_NE(entry_table[binding::slot_mi_srandom].load(), nullptr);
}

}  // namespace
}  // namespace zarn::testing
