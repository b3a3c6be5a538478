// zarn_TraceContinue: continue the ray through the renderer, or return the
// colour parameter.
#include <gtest/gtest.h>

#include <cstring>

#include "shaders/exports.h"
#include "shaders/parameter_records.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/shader_scene.h"


namespace zarn::testing {
namespace {

using shaders::TraceContinueParameters;

class TraceContinue : public ::testing::Test {
 protected:
  ShaderScene scene;
  TraceContinueParameters& p = scene.record<TraceContinueParameters>();
  host::Colour result{-9, -9, -9, -9};

  host::Boolean run() { return zarn_TraceContinue(&result, scene.state(), &p); }
  std::string result_address() const {
    char b[32];
    std::snprintf(b, sizeof b, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(&result)));
    return b;
  }
};

TEST_F(TraceContinue, AnyNonZeroContinueRayHandsTheRayOnAndReturnsItsResult) {
  const struct {
    std::int32_t continue_ray;
    std::uint64_t renderer_result;
  } cases[] = {{1, 1}, {2, 0}, {-1, 1}, {1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.continue_ray);
    stand_in::reset();
    stand_in::set_result("mi_trace_continue", c.renderer_result);
    const host::Colour colour{0.5f, 0.5f, 0.5f, 0.5f};
    scene.connect(&p.color, &colour);  // connected, yet never evaluated
    p.continue_ray = c.continue_ray;
    scene.set_connection_word(&p.continue_ray, 0);
    EXPECT_EQ(run(), static_cast<host::Boolean>(c.renderer_result));
    EXPECT_EQ(scene.calls(),
              (std::vector<std::string>{"mi_trace_continue(" + result_address() + ", state)"}));
    EXPECT_EQ(result.red, -9.0f);
  }
}

TEST_F(TraceContinue, ZeroReturnsTheColourWordForWord) {
  p.color = {2.0f, -0.5f, 1e30f, 0.125f};
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(std::memcmp(&result, &p.color, sizeof result), 0);
  EXPECT_TRUE(scene.calls().empty());
}

TEST_F(TraceContinue, ConnectedParametersAreReadThroughTheRenderer) {
  const host::Boolean no = 0;
  const host::Colour evaluated{0.1f, 0.2f, 0.3f, 0.4f};
  p.continue_ray = 1;  // the record says continue, the connection says not
  p.color = {9, 9, 9, 9};
  scene.connect(&p.continue_ray, &no);
  scene.connect(&p.color, &evaluated);
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(std::memcmp(&result, &evaluated, sizeof result), 0);
  EXPECT_EQ(scene.calls(), (std::vector<std::string>{"mi_phen_eval(state, @16)",
                                                     "mi_phen_eval(state, @0)"}));
}

TEST_F(TraceContinue, WithoutTheConnectionFlagBothAreReadInPlace) {
  p.continue_ray = 0;
  p.color = {1, 2, 3, 4};
  scene.set_connection_flag(0);
  scene.set_connection_word(&p.continue_ray, 1);
  scene.set_connection_word(&p.color, 1);
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(result.alpha, 4.0f);
  EXPECT_TRUE(scene.calls().empty());
}

}  // namespace
}  // namespace zarn::testing
