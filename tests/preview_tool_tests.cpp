// zarn-preview run in-process against the built library and the stand-in
// renderer: what it prints for each command, and what it refuses.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/stand_in/stand_in_renderer.h"
#include "tools/preview/declaration.h"
#include "tools/preview/preview.h"

namespace zarn::preview {
namespace {

using Json = nlohmann::json;

struct Outcome {
  int status;
  std::string out, err;
  std::vector<stand_in::Call> calls;  // what reached the stand-in renderer
};

Outcome preview(const std::vector<std::string>& arguments) {
  stand_in::reset();
  std::vector<const char*> argv{"zarn-preview"};
  for (const std::string& a : arguments) argv.push_back(a.c_str());
  std::ostringstream out, err;
  const int status = run(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str(), stand_in::calls()};
}

std::string show(const std::vector<std::string>& arguments) {
  std::string text = "zarn-preview";
  for (const std::string& a : arguments) text += " " + a;
  return text;
}

Json json_of(const Outcome& o) {
  try {
    return Json::parse(o.out);
  } catch (const Json::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << o.out << o.err;
    return Json::object();
  }
}

struct Write {
  std::string option, setter;
  Json value;
};

std::vector<Write> writes_of(const Json& j) {
  std::vector<Write> writes;
  for (const Json& w : j.value("options", Json::array()))
    writes.push_back({w.at("option"), w.at("setter"), w.at("value")});
  return writes;
}

TEST(PreviewSettings, WithNoArgumentsTheDefaultsWriteOnlyTheAlwaysWrittenOptionsOff) {
  const Outcome o = preview({});
  ASSERT_EQ(o.status, exit_ok) << o.err;
  EXPECT_EQ(o.err, "");
  // The table, row by row, in the order the shader wrote them.
  const std::vector<std::string> rows = {
      "option +setter +value",
      "finagather reflection prerejection +set_integer +0",
      "importon +set_integer +0",
      "irradiance particles +set_integer +0",
      "environment lighting mode +set_string +\"off\"",
      "progressive +set_integer +0",
      "ambient occlusion +set_integer +0",
  };
  std::string pattern = "^zarn_tarvo_settings in the stand-in renderer \\(.*" ZARN_PREVIEW_LIBRARY_FILE
                        "\\)\n\n";
  for (const std::string& row : rows) pattern += row + "\n";
  pattern += "\nrender-options flag: 0\nresult: 1\n$";
  EXPECT_TRUE(std::regex_search(o.out, std::regex(pattern))) << o.out;
}

TEST(PreviewSettings, JsonGivesTheSameWritesFlagAndResult) {
  const Outcome o = preview({"settings", "--json", "render_options_flag=on", "importon_enable=on"});
  ASSERT_EQ(o.status, exit_ok) << o.err;
  const Json j = json_of(o);
  EXPECT_EQ(j.at("shader"), "zarn_tarvo_settings");
  EXPECT_EQ(j.at("render_options_flag"), 1);
  EXPECT_EQ(j.at("result"), 1);
  // Every row of the JSON is one set_ call the stand-in saw, in order.
  std::vector<stand_in::Call> setters;
  for (const stand_in::Call& c : o.calls)
    if (c.function.rfind("set_", 0) == 0) setters.push_back(c);
  const std::vector<Write> writes = writes_of(j);
  ASSERT_EQ(writes.size(), setters.size());
  for (std::size_t i = 0; i < writes.size(); ++i) {
    SCOPED_TRACE(writes[i].option);
    EXPECT_EQ(writes[i].setter, setters[i].function);
    EXPECT_EQ(writes[i].option, setters[i].arguments.at(0).text);
  }
}

// The values given reach the shader at their declared positions and types:
// each case's writes must appear in this order among the shader's writes.
struct SettingsCase {
  const char* title;
  std::vector<std::string> arguments;
  std::vector<Write> writes;
};

void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.title; }

class PreviewSettingsValues : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(PreviewSettingsValues, ReachTheShaderAsWritten) {
  std::vector<std::string> arguments{"settings", "--json"};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  SCOPED_TRACE(show(arguments));
  const Outcome o = preview(arguments);
  ASSERT_EQ(o.status, exit_ok) << o.err;
  const std::vector<Write> writes = writes_of(json_of(o));
  std::size_t at = 0;
  for (const Write& expected : GetParam().writes) {
    SCOPED_TRACE(expected.option);
    while (at < writes.size() && writes[at].option != expected.option) ++at;
    ASSERT_LT(at, writes.size()) << "not written, or out of order";
    EXPECT_EQ(writes[at].setter, expected.setter);
    EXPECT_EQ(writes[at].value, expected.value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewSettingsValues,
    ::testing::Values(
        SettingsCase{"importons",
                     {"importon_enable=on", "importon_emitted=+1000000", "importon_density=0.5",
                      "importon_merge=-0.25", "importon_traverse=0"},
                     {{"importon", "set_integer", 1},
                      {"importon emitted", "set_integer", 1000000},
                      {"importon density", "set_float", 0.5},
                      {"importon merge", "set_float", -0.25},
                      {"importon traverse", "set_integer", 0}}},
        SettingsCase{"final gathering",
                     {"finalgather_force=true", "finalgather_reflection_prerejection=-7"},
                     {{"finagather reflection prerejection", "set_integer", -7},
                      {"finalgather mode", "set_string", "force"}}},
        SettingsCase{"irradiance particles",
                     {"irradiance_particles_enable=1", "irradiance_particles_env_scale=2e-3",
                      "irradiance_particles_file=particles.ipm",
                      "irradiance_particles_scale=1.5"},
                     {{"irradiance particles", "set_integer", 1},
                      {"irradiance particles env scale", "set_float", 0.002},
                      {"irradiance particles file", "set_string", "particles.ipm"},
                      {"irradiance particles scale", "set_float", 1.5}}},
        SettingsCase{"environment lighting",
                     {"environment_lighting_mode=1", "environment_lighting_shadow=2",
                      "environment_lighting_approximate_split_vis=3"},
                     {{"environment lighting mode", "set_string", "light"},
                      {"environment lighting shadow", "set_string", "transparent"},
                      {"environment lighting approximate split vis", "set_integer", 3}}},
        SettingsCase{"iray with unlimited time",
                     {"progressive_mode=2", "progressive_max_time=0", "progressive_subsampling_size=4",
                      "progressive_subsampling_scatter=on"},
                     {{"iray", "set_integer", 1},
                      {"progressive", "set_integer", 1},
                      {"progressive subsampling size", "set_integer", 4},
                      {"progressive subsampling mode", "set_string", "sparse"},
                      {"progressive subsampling pattern", "set_string", "scatter"},
                      {"progressive max time", "set_string", "unlimited"}}},
        SettingsCase{"progressive threshold NaN",
                     {"progressive_mode=1", "progressive_error_threshold=nan",
                      "progressive_min_samples=-2"},
                     {{"progressive", "set_integer", 1},
                      {"progressive min samples", "set_integer", -2},
                      {"progressive error threshold", "set_float", "nan"}}},
        SettingsCase{"ambient occlusion without cache",
                     {"ambient_occlusion_mode=2", "ambient_occlusion_rays=128"},
                     {{"ambient occlusion", "set_integer", 1},
                      {"ambient occlusion cache", "set_integer", 0},
                      {"ambient occlusion rays", "set_integer", 128}}},
        SettingsCase{"switches at the end of the record",
                     {"rast_hair_disposable=on", "ray_differential=true"},
                     {{"rast hair disposable", "set_integer", 1},
                      {"ray differential", "set_string", "on"}}}),
    [](const auto& info) {
      std::string name = info.param.title;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

// Every spelling of a boolean, seen through the option it switches.
struct BooleanCase {
  const char* text;
  bool value;
};

void PrintTo(const BooleanCase& c, std::ostream* os) { *os << c.text; }

class PreviewBooleans : public ::testing::TestWithParam<BooleanCase> {};

TEST_P(PreviewBooleans, AreTakenInEverySpelling) {
  const Outcome o = preview({"--json", "settings", std::string("ray_differential=") + GetParam().text});
  ASSERT_EQ(o.status, exit_ok) << o.err;
  bool written = false;
  for (const Write& w : writes_of(json_of(o))) written = written || w.option == "ray differential";
  EXPECT_EQ(written, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Spellings, PreviewBooleans,
                         ::testing::Values(BooleanCase{"on", true}, BooleanCase{"true", true},
                                           BooleanCase{"1", true}, BooleanCase{"off", false},
                                           BooleanCase{"false", false}, BooleanCase{"0", false}),
                         [](const auto& info) { return std::string(info.param.text); });

TEST(PreviewSettings, ParticlesFileTextComesFromTheFileAfterAnAt) {
  const std::string file = "preview_particles_file.txt";
  const std::string text = "map \"a b\"\nsecond line\n";
  std::ofstream(file, std::ios::binary) << text;
  struct {
    std::string argument;
    std::string written;
  } const cases[] = {{"@" + file, text}, {"@@" + file, "@" + file}, {"plain", "plain"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    const Outcome o = preview({"--json", "settings", "irradiance_particles_enable=on",
                               "irradiance_particles_file=" + c.argument});
    ASSERT_EQ(o.status, exit_ok) << o.err;
    bool found = false;
    for (const Write& w : writes_of(json_of(o))) {
      if (w.option != "irradiance particles file") continue;
      found = true;
      EXPECT_EQ(w.value, c.written);
    }
    EXPECT_TRUE(found);
  }
  std::remove(file.c_str());
}

TEST(PreviewSettings, CallsListsEveryRendererCallInOrder) {
  const Outcome o = preview({"settings", "--calls"});
  ASSERT_EQ(o.status, exit_ok) << o.err;
  EXPECT_TRUE(std::regex_search(
      o.out, std::regex("\nrenderer calls:\n  mi_get_shader_interface\\(3\\)\n(.*\n)*"
                        "  mi_api_incremental\\(1\\)\n  mi_api_incremental\\(0\\)\n$")))
      << o.out;
}

// Bad input: one line on stderr naming what is wrong and what is expected,
// exit status 2, nothing on stdout and nothing called.
struct Refusal {
  std::vector<std::string> arguments;
  const char* message;
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << show(c.arguments); }

class PreviewRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(PreviewRefusals, SayWhatIsWrongAndCallNothing) {
  SCOPED_TRACE(show(GetParam().arguments));
  const Outcome o = preview(GetParam().arguments);
  EXPECT_EQ(o.status, exit_usage);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err.rfind("zarn-preview: ", 0), 0u) << o.err;
  EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
  EXPECT_NE(o.err.find(GetParam().message), std::string::npos) << o.err;
  EXPECT_TRUE(o.calls.empty()) << stand_in::describe(o.calls.front());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewRefusals,
    ::testing::Values(
        Refusal{{"settings", "importon_emited=3"},
                "no parameter \"importon_emited\" in zarn_tarvo_settings; did you mean "
                "importon_emitted?"},
        Refusal{{"settings", "Finalgather_Forse=on"}, "did you mean finalgather_force?"},
        Refusal{{"settings", "importon_emitted=12x"},
                "importon_emitted=12x: \"12x\" is not an integer; expected a whole number from "
                "-2147483648 to 2147483647"},
        Refusal{{"settings", "importon_emitted=1.5"},
                "importon_emitted is an integer, not a scalar; expected a whole number"},
        Refusal{{"settings", "importon_emitted=2147483648"}, "out of range for an integer"},
        Refusal{{"settings", "importon_enable=2"},
                "importon_enable is a boolean, not an integer; expected on, off, true, false, 1 "
                "or 0"},
        Refusal{{"settings", "importon_enable=yes"}, "\"yes\" is not a boolean"},
        Refusal{{"settings", "importon_density=on"}, "importon_density is a scalar, not a boolean"},
        Refusal{{"settings", "importon_density=1e99"}, "\"1e99\" is not a scalar"},
        Refusal{{"settings", "importon_enable"}, "is not a parameter setting; expected NAME=VALUE"},
        Refusal{{"settings", "=on"}, "is not a parameter setting"},
        Refusal{{"settings", "importon_enable=on", "importon_enable=off"},
                "importon_enable is given twice"},
        Refusal{{"settings", "irradiance_particles_file=@no/such/file"},
                "cannot read the file \"no/such/file\""},
        Refusal{{"trace-continue", "color=1,2"}, "\"1,2\" is not a color; expected r,g,b or r,g,b,a"},
        Refusal{{"trace-continue", "color=0.5"}, "color is a color, not a scalar"},
        Refusal{{"trace-continue", "continue_ray=maybe"}, "\"maybe\" is not a boolean"},
        Refusal{{"trace-continue", "importon_enable=on"},
                "no parameter \"importon_enable\" in zarn_TraceContinue; did you mean"},
        Refusal{{"--library", "no_such_library", "settings"}, "cannot load the library"},
        Refusal{{"--library", ZARN_PREVIEW_STAND_IN_FILE}, "exports no miSetModuleHandle"},
        Refusal{{"--declaration", "no_such.mi"}, "no_such.mi: cannot be read"},
        Refusal{{"--frobnicate"}, "see zarn-preview --help"},
        Refusal{{"check-module"}, "PATH is required"},
        Refusal{{"check-module", "no_such_module"}, "cannot load the module"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(PreviewSettings, AMisspeltNameAfterAGoodOneStillCallsNothing) {
  // The values are all checked before the library is touched.
  const Outcome o = preview({"settings", "importon_enable=on", "importon_emited=3"});
  EXPECT_EQ(o.status, exit_usage);
  EXPECT_TRUE(o.calls.empty());
}

struct TraceCase {
  std::vector<std::string> arguments;
  bool continued;
  std::vector<double> color;
};

void PrintTo(const TraceCase& c, std::ostream* os) { *os << show(c.arguments); }

class PreviewTraceContinue : public ::testing::TestWithParam<TraceCase> {};

TEST_P(PreviewTraceContinue, ContinuesOrReturnsTheColour) {
  std::vector<std::string> arguments{"trace-continue", "--json"};
  arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
  SCOPED_TRACE(show(arguments));
  const Outcome o = preview(arguments);
  ASSERT_EQ(o.status, exit_ok) << o.err;
  const Json j = json_of(o);
  EXPECT_EQ(j.at("continued"), GetParam().continued);
  EXPECT_EQ(j.at("color"), Json(GetParam().color));
  EXPECT_EQ(j.at("result"), 1);
  bool traced = false;
  for (const stand_in::Call& c : o.calls) traced = traced || c.function == "mi_trace_continue";
  EXPECT_EQ(traced, GetParam().continued);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewTraceContinue,
    ::testing::Values(
        // The declared default continues the ray; the colour is the renderer's.
        TraceCase{{}, true, {0, 0, 0, 0}},
        TraceCase{{"continue_ray=on", "color=1,1,1,1"}, true, {0, 0, 0, 0}},
        TraceCase{{"continue_ray=off", "color=0.25,0.5,0.75,0.125"}, false, {0.25, 0.5, 0.75, 0.125}},
        TraceCase{{"continue_ray=0", "color=1,2,3"}, false, {1, 2, 3, 1}},
        TraceCase{{"continue_ray=off"}, false, {0, 0, 0, 1}}));

TEST(PreviewTraceContinue, TextSaysWhetherTheRayWasContinued) {
  const Outcome off = preview({"trace-continue", "continue_ray=off", "color=0.5,0,1,1"});
  EXPECT_NE(off.out.find("ray continued: no\nresult colour: 0.5 0 1 1\nresult: 1\n"),
            std::string::npos)
      << off.out;
  const Outcome on = preview({"trace-continue"});
  EXPECT_NE(on.out.find("ray continued: yes, through mi_trace_continue\n"), std::string::npos)
      << on.out;
}

struct ModuleCase {
  const char* file;
  std::size_t missing;
  const char* present;  // a catalogue name the module has, or null
  const char* absent;   // one it lacks, or null
};

void PrintTo(const ModuleCase& c, std::ostream* os) { *os << c.file; }

class PreviewCheckModule : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(PreviewCheckModule, ListsTheCatalogueNamesTheModuleLacks) {
  const ModuleCase& c = GetParam();
  const Outcome o = preview({"check-module", "--json", c.file});
  EXPECT_EQ(o.status, c.missing == 0 ? exit_ok : exit_failed) << o.err;
  const Json j = json_of(o);
  EXPECT_EQ(j.at("catalogue_size"), 691);
  EXPECT_EQ(j.at("missing_count"), c.missing);
  const Json& missing = j.at("missing");
  EXPECT_EQ(missing.size(), c.missing);
  if (c.present != nullptr) {
    EXPECT_EQ(std::count(missing.begin(), missing.end(), c.present), 0);
  }
  if (c.absent != nullptr) {
    EXPECT_EQ(std::count(missing.begin(), missing.end(), c.absent), 1);
  }

  const Outcome text = preview({"check-module", c.file});
  const std::string count = c.missing == 0 ? " has all 691 catalogue functions\n"
                                           : " lacks " + std::to_string(c.missing) +
                                                 " of the 691 catalogue functions:\n";
  EXPECT_NE(text.out.find(count), std::string::npos) << text.out;
  if (c.absent != nullptr) {
    EXPECT_NE(text.out.find(std::string("\n  ") + c.absent + "\n"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modules, PreviewCheckModule,
    ::testing::Values(ModuleCase{ZARN_PREVIEW_STAND_IN_FILE, 0, "mi_query", nullptr},
                      ModuleCase{ZARN_PREVIEW_OTHER_RENDERER_FILE, 690, "mi_par_aborted", "mi_error"},
                      ModuleCase{ZARN_PREVIEW_EMPTY_MODULE_FILE, 691, nullptr, "mi_phen_eval"},
                      // The library's own entries are hidden, never exported.
                      ModuleCase{ZARN_PREVIEW_LIBRARY_FILE, 691, nullptr, "mi_error"}),
    [](const auto& info) { return "module" + std::to_string(info.index); });

TEST(PreviewHelp, NamesEveryCommandAndEveryDeclaredParameter) {
  const Outcome o = preview({"--help"});
  EXPECT_EQ(o.status, exit_ok);
  for (const char* word : {"settings", "trace-continue", "check-module", "--json", "--library",
                           "--declaration", "Exit status"})
    EXPECT_NE(o.out.find(word), std::string::npos) << word;

  const Declarations d = read_declarations("zarn_tarvo_settings.mi");
  const struct {
    const char* command;
    const char* shader;
  } commands[] = {{"settings", "zarn_tarvo_settings"}, {"trace-continue", "zarn_TraceContinue"}};
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command);
    const Outcome help = preview({c.command, "--help"});
    EXPECT_EQ(help.status, exit_ok);
    for (const Parameter& p : d.find(c.shader)->parameters) {
      if (p.name.rfind("reserved_", 0) == 0) continue;
      EXPECT_TRUE(std::regex_search(help.out, std::regex("\n  " + p.name + " +" +
                                                         std::string(type_name(p.type)) + " ")))
          << p.name;
    }
  }
}

}  // namespace
}  // namespace zarn::preview
