// Reading a parameter: in place, or through mi_phen_eval when connected.
#include <gtest/gtest.h>

#include <cstdint>

#include "shaders/parameter_evaluation.h"
#include "shaders/parameter_records.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/shader_scene.h"

namespace zarn::testing {
namespace {

using shaders::SettingsParameters;

TEST(ParameterEvaluation, ConnectionFlagAndWordDecideWhereTheValueLies) {
  struct Case {
    std::uint8_t flag;
    std::int32_t word;
    std::int32_t offset;
    bool through_phen_eval;
  };
  const Case cases[] = {
      {0, 1, ShaderScene::words_after, false},    // flag 0: words are not consulted
      {2, 1, ShaderScene::words_after, false},    // only exactly 1 counts
      {255, -1, ShaderScene::words_after, false},
      {1, 0, ShaderScene::words_after, false},    // 0 and -2 mean in place
      {1, -2, ShaderScene::words_after, false},
      {1, -1, ShaderScene::words_after, true},
      {1, 1, ShaderScene::words_after, true},
      {1, 7, -200, true},                         // a word below the parameter
      {1, -2, -200, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "flag " << int(c.flag) << " word " << c.word
                                      << " offset " << c.offset);
    ShaderScene scene;
    auto& p = scene.record<SettingsParameters>();
    p.importon_emitted = 11;
    const std::int32_t evaluated = 22;
    scene.set_connection_flag(c.flag);
    scene.set_connection_offset(c.offset);
    scene.set_connection_word(&p.importon_emitted, c.word);
    stand_in::answer_phen_eval(&p.importon_emitted, &evaluated);

    EXPECT_EQ(shaders::read_parameter(scene.state(), p.importon_emitted),
              c.through_phen_eval ? 22 : 11);
    if (c.through_phen_eval)
      EXPECT_EQ(scene.calls(), (std::vector<std::string>{"mi_phen_eval(state, @72)"}));
    else
      EXPECT_TRUE(scene.calls().empty());
  }
}

TEST(ParameterEvaluation, ConnectedColourComesWholeFromTheEvaluatedValue) {
  ShaderScene scene;
  auto& p = scene.record<shaders::TraceContinueParameters>();
  p.color = {1, 2, 3, 4};
  const host::Colour evaluated{0.25f, 0.5f, 0.75f, -1.0f};
  scene.connect(&p.color, &evaluated);
  const host::Colour c = shaders::read_parameter(scene.state(), p.color);
  EXPECT_EQ(c.red, 0.25f);
  EXPECT_EQ(c.green, 0.5f);
  EXPECT_EQ(c.blue, 0.75f);
  EXPECT_EQ(c.alpha, -1.0f);
}

TEST(ParameterEvaluation, FunctionRecordIsConsultedAnewAtEveryRead) {
  ShaderScene scene;
  auto& p = scene.record<SettingsParameters>();
  p.importon_emitted = 1;
  p.importon_task_size = 2;
  const std::int32_t evaluated = 9;
  scene.connect(&p.importon_emitted, &evaluated);
  scene.set_connection_word(&p.importon_task_size, 1);
  EXPECT_EQ(shaders::read_parameter(scene.state(), p.importon_emitted), 9);
  scene.set_connection_flag(0);
  EXPECT_EQ(shaders::read_parameter(scene.state(), p.importon_task_size), 2);
  EXPECT_EQ(scene.calls().size(), 1u);
}

TEST(ParameterEvaluation, NoValueAddressFromTheRendererReadsAsZero) {
  ShaderScene scene;
  auto& p = scene.record<SettingsParameters>();
  p.importon_density = 3.5f;
  scene.connect(&p.importon_density, nullptr);
  EXPECT_EQ(shaders::read_parameter(scene.state(), p.importon_density), 0.0f);
}

}  // namespace
}  // namespace zarn::testing
