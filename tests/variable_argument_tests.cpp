// The four entries whose renderer functions take a variable part: the code
// picks the extras, and the renderer function receives a fixed list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"

namespace zarn::testing {
namespace {

const void* address(std::uint64_t wide, std::uint32_t narrow) {
  return reinterpret_cast<const void*>(
      static_cast<std::uintptr_t>(sizeof(void*) == 8 ? wide : narrow));
}

const void* const p1 = address(0x1111'2222'3333'4440ull, 0x33334440u);
const void* const p2 = address(0x5555'6666'7777'8880ull, 0x77778880u);
const void* const extra = address(0xdead'beef'0000'0010ull, 0xdead0010u);

// One recorded argument, as kind and bits.
struct Received {
  char kind;
  std::uint64_t bits;
  bool operator==(const Received&) const = default;
};
Received P(const void* p) { return {'P', reinterpret_cast<std::uintptr_t>(p)}; }
Received I(std::int32_t i) { return {'I', static_cast<std::uint32_t>(i)}; }

std::vector<Received> only_call(const char* function) {
  const auto calls = stand_in::calls();
  EXPECT_EQ(calls.size(), 1u);
  std::vector<Received> out;
  if (calls.empty()) return out;
  EXPECT_EQ(calls[0].function, function);
  for (const auto& v : calls[0].arguments) out.push_back({v.kind, v.bits});
  return out;
}

void PrintTo(const Received& r, std::ostream* os) {
  *os << r.kind << ":0x" << std::hex << r.bits;
}

class VariableArguments : public ::testing::Test {
 protected:
  void SetUp() override {
    stand_in::reset();
    miSetModuleHandle(stand_in_module());
  }
};

TEST_F(VariableArguments, QueryPassesTheExtrasOfItsCode) {
  const struct {
    std::int32_t code;
    std::vector<Received> extras;
  } cases[] = {
      {15, {I(-15)}}, {152, {I(-152)}}, {163, {I(-163)}}, {127, {P(extra)}},
      {165, {P(extra), I(-165)}},
      // Codes without a row of their own take nothing more.
      {16, {}}, {126, {}}, {128, {}}, {164, {}}, {166, {}}, {0, {}}, {-1, {}}, {41, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    stand_in::reset();
    stand_in::set_result("mi_query", 1);
    std::int32_t result = -1;
    switch (c.code) {
      case 127:
        result = mi_query(c.code, p1, 77, p2, extra);
        break;
      case 165:
        result = mi_query(c.code, p1, 77, p2, extra, -165);
        break;
      default:
        result = mi_query(c.code, p1, 77, p2, -c.code);
        break;
    }
    EXPECT_EQ(result, 1);
    std::vector<Received> expected{I(c.code), P(p1), I(77), P(p2)};
    expected.insert(expected.end(), c.extras.begin(), c.extras.end());
    EXPECT_EQ(only_call("mi_query"), expected);
  }
}

TEST_F(VariableArguments, QueryOnThirtyTwoBitsPassesWhateverTheCallerAddedForOtherCodes) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "the 64-bit build passes the four fixed arguments alone";
  stand_in::set_query_further_arguments(3);
  mi_query(41, p1, 77, p2, 10, 20, 30);
  EXPECT_EQ(only_call("mi_query"),
            (std::vector<Received>{I(41), P(p1), I(77), P(p2), I(10), I(20), I(30)}));
}

TEST_F(VariableArguments, SceneCreateAndRecreateReadTheirExtrasByCode) {
  const struct {
    std::int32_t code;
    std::vector<Received> extras;
  } cases[] = {
      {40, {P(extra), I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(8)}},
      {51, {I(1), I(2), I(3), P(extra)}},
      {41, {I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(8)}},
      {0, {I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(8)}},
      {-1, {I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(8)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    for (const bool recreate : {false, true}) {
      stand_in::reset();
      const char* function = recreate ? "mi_scene_recreate" : "mi_scene_create";
      stand_in::set_result(function, reinterpret_cast<std::uintptr_t>(p2));
      void* result = nullptr;
      if (c.code == 40)
        result = recreate ? mi_scene_recreate(-9, 40, extra, 1, 2, 3, 4, 5, 6, 7, 8)
                          : mi_scene_create(p1, 40, extra, 1, 2, 3, 4, 5, 6, 7, 8);
      else if (c.code == 51)
        result = recreate ? mi_scene_recreate(-9, 51, 1, 2, 3, extra)
                          : mi_scene_create(p1, 51, 1, 2, 3, extra);
      else
        result = recreate ? mi_scene_recreate(-9, c.code, 1, 2, 3, 4, 5, 6, 7, 8)
                          : mi_scene_create(p1, c.code, 1, 2, 3, 4, 5, 6, 7, 8);
      EXPECT_EQ(result, p2);
      std::vector<Received> expected{recreate ? I(-9) : P(p1), I(c.code)};
      expected.insert(expected.end(), c.extras.begin(), c.extras.end());
      EXPECT_EQ(only_call(function), expected) << function;
    }
  }
}

TEST_F(VariableArguments, GroweditAlwaysPassesNineArguments) {
  EXPECT_EQ(mi_scene_growedit(-3, 1, 2, 3, 4, 5, 6, 7, -8), nullptr);
  EXPECT_EQ(only_call("mi_scene_growedit"),
            (std::vector<Received>{I(-3), I(1), I(2), I(3), I(4), I(5), I(6), I(7), I(-8)}));
}

TEST_F(VariableArguments, NullExtrasAndNullResultsPassUnchanged) {
  stand_in::set_result("mi_query", 0);
  EXPECT_EQ(mi_query(127, nullptr, 0, nullptr, static_cast<const void*>(nullptr)), 0);
  EXPECT_EQ(only_call("mi_query"),
            (std::vector<Received>{I(127), P(nullptr), I(0), P(nullptr), P(nullptr)}));
}

TEST_F(VariableArguments, ResolutionComesFirstAndIsTheSameForEveryCode) {
  miSetModuleHandle(empty_module());
  char expected[256];
  binding::format_lookup_failure(expected, sizeof expected, "mi_query", empty_module(),
                                 missing_function_error);
  for (const std::int32_t code : {15, 127, 165, 0, -1, 41}) {
    SCOPED_TRACE(code);
    // A failed lookup reads no extras, so none need be passed.
    EXPECT_EQ(stderr_of([&] { EXPECT_EQ(mi_query(code, p1, 0, p2), 0); }), expected);
  }
  binding::format_lookup_failure(expected, sizeof expected, "mi_scene_create", empty_module(),
                                 missing_function_error);
  EXPECT_EQ(stderr_of([] { EXPECT_EQ(mi_scene_create(p1, 40), nullptr); }), expected);
  EXPECT_TRUE(stand_in::calls().empty());

  // Resolved once, whatever the code of the first call.
  miSetModuleHandle(stand_in_module());
  EXPECT_EQ(stderr_of([] { mi_query(3, p1, 0, p2); }), "");
  EXPECT_NE(binding::entry_table[binding::slot_mi_query].load(), nullptr);
  EXPECT_EQ(stderr_of([] { mi_query(15, p1, 0, p2, 1); }), "");
}

}  // namespace
}  // namespace zarn::testing
