// zarn_tarvo_settings: the ordered option writes, the reading rules, the
// database and incremental brackets and the failure paths.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "shaders/exports.h"
#include "shaders/parameter_records.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/shader_scene.h"


namespace zarn::testing {
namespace {

using shaders::SettingsParameters;
using Lines = std::vector<std::string>;

class SettingsShader : public ::testing::Test {
 protected:
  ShaderScene scene;
  SettingsParameters& p = scene.record<SettingsParameters>();

  host::Boolean run() { return zarn_tarvo_settings(nullptr, scene.state(), &p); }

  // Only the option writes, in order.
  Lines writes() const {
    Lines out;
    for (const std::string& line : scene.calls())
      if (line.rfind("set_", 0) == 0) out.push_back(line);
    return out;
  }
};

TEST_F(SettingsShader, RecordOfZerosWritesTheSixAlwaysWrittenOptions) {
  scene.set_render_options_flag(0x7f);
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(scene.calls(), (Lines{
                               "mi_get_shader_interface(3)",
                               "get_options_accessor(20848)",
                               "release shader interface",
                               "set_integer \"finagather reflection prerejection\" 0",
                               "set_integer \"importon\" 0",
                               "set_integer \"irradiance particles\" 0",
                               "set_string \"environment lighting mode\" \"off\"",
                               "set_integer \"progressive\" 0",
                               "set_integer \"ambient occlusion\" 0",
                               "release options accessor",
                               "mi_api_incremental(1)",
                               "mi_api_incremental(0)",
                           }));
  EXPECT_EQ(scene.render_options_flag(), 0);
}

TEST_F(SettingsShader, MissingRenderOptionsReportsAndReturnsZero) {
  scene.remove_render_options();
  scene.set_render_options_flag(0x33);
  p.render_options_flag = 1;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(scene.calls(),
            (Lines{"mi_error(\"-> zarn_tarvo_settings: options structure not found!\")"}));
  EXPECT_EQ(scene.render_options_flag(), 0x33);
}

TEST_F(SettingsShader, EveryGroupOnWritesTheWholeTableInOrder) {
  p.finalgather_reflection_prerejection = 3;
  p.finalgather_force = 1;
  p.importon_enable = 1;
  p.importon_emitted = 100;
  p.importon_density = 0.5f;
  p.importon_merge = 0.25f;
  p.importon_task_size = 4;
  p.importon_trace_depth = 5;
  p.importon_traverse = 6;
  p.irradiance_particles_enable = 1;
  p.irradiance_particles_rays = 7;
  p.irradiance_particles_indirect_passes = 8;
  p.irradiance_particles_interpolate = 9;
  p.irradiance_particles_interppoints = 10;
  p.irradiance_particles_env = 11;
  p.irradiance_particles_env_rays = 12;
  p.irradiance_particles_env_scale = 1.5f;
  p.irradiance_particles_file = 42;
  stand_in::put_text(42, "particles.ipm");
  p.irradiance_particles_rebuild = 13;
  p.irradiance_particles_scale = 2.5f;
  p.environment_lighting_mode = 1;
  p.environment_lighting_quality = 0.75f;
  p.environment_lighting_shadow = 2;
  p.environment_lighting_approximate_split = 14;
  p.environment_lighting_approximate_split_vis = 15;
  p.progressive_mode = 2;
  p.progressive_subsampling_size = 16;
  p.progressive_subsampling_detail = 1;
  p.progressive_subsampling_scatter = 1;
  p.progressive_min_samples = 17;
  p.progressive_max_samples = 18;
  p.progressive_max_time = 600;
  p.progressive_error_threshold = 0.125f;
  p.ambient_occlusion_mode = 1;
  p.ambient_occlusion_cache_density = 19;
  p.ambient_occlusion_cache_points = 20;
  p.ambient_occlusion_rays = 21;
  p.render_options_flag = 1;
  p.rast_hair_disposable = 1;
  p.ray_differential = 1;

  EXPECT_EQ(run(), 1);
  EXPECT_EQ(scene.calls(), (Lines{
                               "mi_get_shader_interface(3)",
                               "get_options_accessor(20848)",
                               "release shader interface",
                               "set_integer \"finagather reflection prerejection\" 3",
                               "set_string \"finalgather mode\" \"force\"",
                               "set_integer \"importon\" 1",
                               "set_integer \"importon emitted\" 100",
                               "set_float \"importon density\" 0.5",
                               "set_float \"importon merge\" 0.25",
                               "set_integer \"importon task size\" 4",
                               "set_integer \"importon trace depth\" 5",
                               "set_integer \"importon traverse\" 6",
                               "set_integer \"irradiance particles\" 1",
                               "set_integer \"irradiance particles rays\" 7",
                               "set_integer \"irradiance particles indirect passes\" 8",
                               "set_integer \"irradiance particles interpolate\" 9",
                               "set_integer \"irradiance particles interppoints\" 10",
                               "set_integer \"irradiance particles env\" 11",
                               "set_float \"irradiance particles env scale\" 1.5",
                               "set_integer \"irradiance particles env rays\" 12",
                               "mi_db_access(42)",
                               "set_string \"irradiance particles file\" \"particles.ipm\"",
                               "mi_db_unpin(42)",
                               "set_integer \"irradiance particles rebuild\" 13",
                               "set_float \"irradiance particles scale\" 2.5",
                               "set_string \"environment lighting mode\" \"light\"",
                               "set_float \"environment lighting quality\" 0.75",
                               "set_string \"environment lighting shadow\" \"transparent\"",
                               "set_integer \"environment lighting approximate split\" 14",
                               "set_integer \"environment lighting approximate split vis\" 15",
                               "set_integer \"iray\" 1",
                               "set_integer \"progressive\" 1",
                               "set_integer \"progressive subsampling size\" 16",
                               "set_string \"progressive subsampling mode\" \"detail\"",
                               "set_string \"progressive subsampling pattern\" \"scatter\"",
                               "set_integer \"progressive min samples\" 17",
                               "set_integer \"progressive max samples\" 18",
                               "set_integer \"progressive max time\" 600",
                               "set_float \"progressive error threshold\" 0.125",
                               "set_integer \"ambient occlusion\" 1",
                               "set_integer \"ambient occlusion cache\" 1",
                               "set_integer \"ambient occlusion cache density\" 19",
                               "set_integer \"ambient occlusion cache points\" 20",
                               "set_integer \"ambient occlusion rays\" 21",
                               "set_integer \"rast hair disposable\" 1",
                               "set_string \"ray differential\" \"on\"",
                               "release options accessor",
                               "mi_api_incremental(1)",
                               "mi_api_incremental(0)",
                           }));
  EXPECT_EQ(scene.render_options_flag(), 1);
}

// One group's parameters and the writes they make, with every other group
// off.  The always-written rows with their off values surround them.
struct GroupCase {
  const char* name;
  std::function<void(SettingsParameters&)> set;
  Lines expected;  // the writes from "environment lighting mode" to "ambient occlusion"
};

Lines with_always_written(const Lines& middle) {
  Lines lines{"set_integer \"finagather reflection prerejection\" 0", "set_integer \"importon\" 0",
              "set_integer \"irradiance particles\" 0"};
  lines.insert(lines.end(), middle.begin(), middle.end());
  return lines;
}

// Progressive rows that a mode other than 0 writes with these values off.
void progressive_quiet(SettingsParameters& p) {
  p.progressive_min_samples = -1;
  p.progressive_max_samples = -1;
  p.progressive_max_time = -1;
  p.progressive_error_threshold = -1.0f;
}

const Lines off_tail = {"set_integer \"progressive\" 0", "set_integer \"ambient occlusion\" 0"};

Lines environment(const char* mode, const Lines& more = {}) {
  Lines l{std::string("set_string \"environment lighting mode\" \"") + mode + "\"",
          "set_float \"environment lighting quality\" 0"};
  l.insert(l.end(), more.begin(), more.end());
  l.push_back("set_integer \"environment lighting approximate split\" 0");
  l.push_back("set_integer \"environment lighting approximate split vis\" 0");
  l.insert(l.end(), off_tail.begin(), off_tail.end());
  return l;
}

Lines progressive(const Lines& rows) {
  Lines l{"set_string \"environment lighting mode\" \"off\""};
  l.insert(l.end(), rows.begin(), rows.end());
  l.push_back("set_integer \"ambient occlusion\" 0");
  return l;
}

Lines ambient(const char* cache) {
  return {"set_string \"environment lighting mode\" \"off\"", "set_integer \"progressive\" 0",
          "set_integer \"ambient occlusion\" 1",
          std::string("set_integer \"ambient occlusion cache\" ") + cache,
          "set_integer \"ambient occlusion cache density\" 0",
          "set_integer \"ambient occlusion cache points\" 0",
          "set_integer \"ambient occlusion rays\" 0"};
}

const Lines shadow_off = {"set_string \"environment lighting shadow\" \"off\""};

class SettingsGroups : public SettingsShader, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(SettingsGroups, WriteWhatTheirValuesAsk) {
  GetParam().set(p);
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(writes(), with_always_written(GetParam().expected));
}

const float nan = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsGroups,
    ::testing::Values(
        GroupCase{"EnvironmentMode2", [](auto& p) { p.environment_lighting_mode = 2; },
                  environment("approximate", shadow_off)},
        GroupCase{"EnvironmentMode7", [](auto& p) { p.environment_lighting_mode = 7; },
                  environment("approximate", shadow_off)},
        GroupCase{"EnvironmentModeMinus1", [](auto& p) { p.environment_lighting_mode = -1; },
                  environment("approximate", shadow_off)},
        GroupCase{"EnvironmentShadowSolid",
                  [](auto& p) {
                    p.environment_lighting_mode = 1;
                    p.environment_lighting_shadow = 1;
                  },
                  environment("light", {"set_string \"environment lighting shadow\" \"solid\""})},
        GroupCase{"EnvironmentShadow3WritesNoShadow",
                  [](auto& p) {
                    p.environment_lighting_mode = 1;
                    p.environment_lighting_shadow = 3;
                  },
                  environment("light")},
        GroupCase{"EnvironmentShadowMinus1WritesNoShadow",
                  [](auto& p) {
                    p.environment_lighting_mode = 1;
                    p.environment_lighting_shadow = -1;
                  },
                  environment("light")},
        GroupCase{"ProgressiveMode1",
                  [](auto& p) {
                    p.progressive_mode = 1;
                    progressive_quiet(p);
                  },
                  progressive({"set_integer \"progressive\" 1"})},
        GroupCase{"ProgressiveMode2IsIray",
                  [](auto& p) {
                    p.progressive_mode = 2;
                    progressive_quiet(p);
                  },
                  progressive({"set_integer \"iray\" 1", "set_integer \"progressive\" 1"})},
        GroupCase{"ProgressiveModeMinus1IsIray",
                  [](auto& p) {
                    p.progressive_mode = -1;
                    progressive_quiet(p);
                  },
                  progressive({"set_integer \"iray\" 1", "set_integer \"progressive\" 1"})},
        GroupCase{"ProgressiveSubsamplingSparseLinear",
                  [](auto& p) {
                    p.progressive_mode = 1;
                    progressive_quiet(p);
                    p.progressive_subsampling_size = 4;
                  },
                  progressive({"set_integer \"progressive\" 1",
                               "set_integer \"progressive subsampling size\" 4",
                               "set_string \"progressive subsampling mode\" \"sparse\"",
                               "set_string \"progressive subsampling pattern\" \"linear\""})},
        GroupCase{"ProgressiveSamplesAndTime",
                  [](auto& p) {
                    p.progressive_mode = 1;
                    progressive_quiet(p);
                    p.progressive_min_samples = -2;
                    p.progressive_max_time = 0;
                  },
                  progressive({"set_integer \"progressive\" 1",
                               "set_integer \"progressive min samples\" -2",
                               "set_string \"progressive max time\" \"unlimited\""})},
        GroupCase{"ProgressiveZerosWriteEveryValueRow",
                  [](auto& p) { p.progressive_mode = 1; },
                  progressive({"set_integer \"progressive\" 1",
                               "set_integer \"progressive min samples\" 0",
                               "set_integer \"progressive max samples\" 0",
                               "set_string \"progressive max time\" \"unlimited\"",
                               "set_float \"progressive error threshold\" 0"})},
        GroupCase{"ProgressiveThresholdMinusZero",
                  [](auto& p) {
                    p.progressive_mode = 1;
                    progressive_quiet(p);
                    p.progressive_error_threshold = -0.0f;
                  },
                  progressive({"set_integer \"progressive\" 1",
                               "set_float \"progressive error threshold\" -0"})},
        GroupCase{"ProgressiveThresholdMinus1Point5",
                  [](auto& p) {
                    p.progressive_mode = 1;
                    progressive_quiet(p);
                    p.progressive_error_threshold = -1.5f;
                  },
                  progressive({"set_integer \"progressive\" 1",
                               "set_float \"progressive error threshold\" -1.5"})},
        GroupCase{"ProgressiveThresholdNaNIsWritten",
                  [](auto& p) {
                    p.progressive_mode = 1;
                    progressive_quiet(p);
                    p.progressive_error_threshold = nan;
                  },
                  progressive({"set_integer \"progressive\" 1",
                               "set_float \"progressive error threshold\" nan"})},
        GroupCase{"AmbientOcclusionMode2TurnsTheCacheOff",
                  [](auto& p) { p.ambient_occlusion_mode = 2; }, ambient("0")},
        GroupCase{"AmbientOcclusionMode1", [](auto& p) { p.ambient_occlusion_mode = 1; },
                  ambient("1")},
        GroupCase{"AmbientOcclusionMode3", [](auto& p) { p.ambient_occlusion_mode = 3; },
                  ambient("1")},
        GroupCase{"AmbientOcclusionModeMinus1", [](auto& p) { p.ambient_occlusion_mode = -1; },
                  ambient("1")},
        GroupCase{"OutOfRangeValuesPassUnchanged",
                  [](auto& p) {
                    p.rast_hair_disposable = -5;
                    p.ray_differential = 2;
                  },
                  {"set_string \"environment lighting mode\" \"off\"",
                   "set_integer \"progressive\" 0", "set_integer \"ambient occlusion\" 0",
                   "set_integer \"rast hair disposable\" 1",
                   "set_string \"ray differential\" \"on\""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsShader, RenderOptionsFlagTakesTheLowByteOnly) {
  const struct {
    std::int32_t value;
    std::uint8_t flag;
  } cases[] = {{1, 1}, {256, 0}, {0x1ff, 0xff}, {-1, 0xff}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    p.render_options_flag = c.value;
    scene.set_render_options_flag(0x55);
    run();
    EXPECT_EQ(scene.render_options_flag(), c.flag);
  }
}

TEST_F(SettingsShader, ConnectedParameterInAGroupThatIsOffIsNeverEvaluated) {
  const std::int32_t emitted = 5000;
  scene.connect(&p.importon_emitted, &emitted);
  scene.connect(&p.progressive_subsampling_detail, &emitted);
  p.progressive_mode = 1;  // subsampling size 0 gates the detail parameter
  run();
  for (const std::string& line : scene.calls())
    EXPECT_EQ(line.find("mi_phen_eval"), std::string::npos) << line;
}

TEST_F(SettingsShader, ConnectedParametersAreEvaluatedJustBeforeTheirWrites) {
  const std::int32_t on = 1;
  const std::uint32_t file_tag = 77;
  const std::int32_t flag = 1;
  stand_in::put_text(77, "from a shader");
  p.irradiance_particles_enable = 1;
  p.irradiance_particles_file = 5;  // the record's own tag is not used
  scene.connect(&p.importon_enable, &on);
  scene.connect(&p.irradiance_particles_file, &file_tag);
  scene.connect(&p.render_options_flag, &flag);
  run();
  const Lines calls = scene.calls();
  auto at = [&](const std::string& line) {
    for (std::size_t i = 0; i < calls.size(); ++i)
      if (calls[i] == line) return static_cast<int>(i);
    ADD_FAILURE() << "missing: " << line;
    return -1;
  };
  EXPECT_EQ(at("mi_phen_eval(state, @68)") + 1, at("set_integer \"importon\" 1"));
  EXPECT_EQ(at("set_integer \"irradiance particles env rays\" 0") + 1,
            at("mi_phen_eval(state, @128)"));
  EXPECT_EQ(at("mi_phen_eval(state, @128)") + 1, at("mi_db_access(77)"));
  EXPECT_EQ(at("mi_db_access(77)") + 1,
            at("set_string \"irradiance particles file\" \"from a shader\""));
  EXPECT_EQ(at("mi_db_unpin(77)") - 1,
            at("set_string \"irradiance particles file\" \"from a shader\""));
  // The flag is read inside the incremental bracket, after the release.
  EXPECT_EQ(at("release options accessor") + 1, at("mi_api_incremental(1)"));
  EXPECT_EQ(at("mi_api_incremental(1)") + 1, at("mi_phen_eval(state, @208)"));
  EXPECT_EQ(at("mi_phen_eval(state, @208)") + 1, at("mi_api_incremental(0)"));
  EXPECT_EQ(scene.render_options_flag(), 1);
}

TEST_F(SettingsShader, MissingDatabaseTextWritesNoFileButStillUnpins) {
  p.irradiance_particles_enable = 1;
  p.irradiance_particles_file = 0;
  run();
  const Lines calls = scene.calls();
  Lines bracket;
  for (const std::string& line : calls)
    if (line.find("mi_db_") == 0 || line.find("particles file") != std::string::npos)
      bracket.push_back(line);
  EXPECT_EQ(bracket, (Lines{"mi_db_access(0)", "mi_db_unpin(0)"}));
}

TEST_F(SettingsShader, MissingRendererObjectsReportAndStopWithoutWrites) {
  stand_in::withhold_shader_interface(true);
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(scene.calls(),
            (Lines{"mi_get_shader_interface(3)",
                   "mi_error(\"-> zarn_tarvo_settings: shader interface not found!\")"}));

  stand_in::reset();
  stand_in::withhold_options_accessor(true);
  scene.set_render_options_flag(0x44);
  p.render_options_flag = 1;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(scene.calls(),
            (Lines{"mi_get_shader_interface(3)", "get_options_accessor(20848)",
                   "release shader interface",
                   "mi_error(\"-> zarn_tarvo_settings: options accessor not found!\")"}));
  EXPECT_EQ(scene.render_options_flag(), 0x44);
}

TEST(Version, BothVersionExportsReturnOne) {
  EXPECT_EQ(zarn_tarvo_settings_version(), 1);
  EXPECT_EQ(zarn_TraceContinue_version(), 1);
}

}  // namespace
}  // namespace zarn::testing
