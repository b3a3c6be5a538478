// Fuzzes the settings shader with whatever a scene may hold: any parameter
// record, connection flag, connection words and connected values.  Checks
// what holds for every input: the writes follow the table's order with no
// option twice, the always-written rows are there, only connected
// parameters that were read are evaluated, and the database item is
// accessed and unpinned in one pair.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "shaders/exports.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/shader_scene.h"

namespace {

using zarn::shaders::SettingsParameters;
using zarn::testing::ShaderScene;

const char* const write_table[] = {
    "finagather reflection prerejection",
    "finalgather mode",
    "importon",
    "importon emitted",
    "importon density",
    "importon merge",
    "importon task size",
    "importon trace depth",
    "importon traverse",
    "irradiance particles",
    "irradiance particles rays",
    "irradiance particles indirect passes",
    "irradiance particles interpolate",
    "irradiance particles interppoints",
    "irradiance particles env",
    "irradiance particles env scale",
    "irradiance particles env rays",
    "irradiance particles file",
    "irradiance particles rebuild",
    "irradiance particles scale",
    "environment lighting mode",
    "environment lighting quality",
    "environment lighting shadow",
    "environment lighting approximate split",
    "environment lighting approximate split vis",
    "iray",
    "progressive",
    "progressive subsampling size",
    "progressive subsampling mode",
    "progressive subsampling pattern",
    "progressive min samples",
    "progressive max samples",
    "progressive max time",
    "progressive error threshold",
    "ambient occlusion",
    "ambient occlusion cache",
    "ambient occlusion cache density",
    "ambient occlusion cache points",
    "ambient occlusion rays",
    "rast hair disposable",
    "ray differential",
};
constexpr int rows = sizeof write_table / sizeof write_table[0];
constexpr int always_written[] = {0, 2, 9, 20, 26, 34};

void require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

int row_of(const std::string& name) {
  for (int i = 0; i < rows; ++i)
    if (name == write_table[i]) return i;
  return -1;
}

constexpr std::size_t record_size = sizeof(SettingsParameters);
constexpr std::size_t words = record_size / 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Input: record, flag, offset choice, connection words, connected values,
  // then the text of the database item.
  constexpr std::size_t fixed = record_size + 2 + 2 * record_size;
  if (size < fixed) return 0;
  static ShaderScene* scene = new ShaderScene;
  stand_in::reset();
  auto& p = scene->record<SettingsParameters>();
  std::memcpy(&p, data, record_size);
  const std::uint8_t flag = data[record_size] % 4;
  scene->set_connection_flag(flag);
  scene->set_connection_offset(data[record_size + 1] % 2 ? ShaderScene::words_after : -256);
  const std::uint8_t* word_bytes = data + record_size + 2;
  static std::int32_t values[words];
  std::memcpy(values, word_bytes + record_size, record_size);
  auto* base = reinterpret_cast<const unsigned char*>(&p);
  bool connected[words];
  for (std::size_t i = 0; i < words; ++i) {
    std::int32_t word;
    std::memcpy(&word, word_bytes + 4 * i, 4);
    scene->set_connection_word(base + 4 * i, word);
    connected[i] = flag == 1 && word != 0 && word != -2;
    stand_in::answer_phen_eval(base + 4 * i, &values[i]);
  }
  const std::string text(reinterpret_cast<const char*>(data + fixed), size - fixed);
  auto effective = [&](std::size_t offset) {
    std::int32_t v;
    const void* from = connected[offset / 4] ? static_cast<const void*>(&values[offset / 4])
                                             : static_cast<const void*>(base + offset);
    std::memcpy(&v, from, 4);
    return v;
  };
  stand_in::put_text(static_cast<std::uint32_t>(effective(128)), text.c_str());

  require(zarn_tarvo_settings(nullptr, scene->state(), &p) == 1, "result 1");

  int last_row = -1;
  bool written[rows] = {};
  bool evaluated[words] = {};
  int accesses = 0, unpins = 0, access_at = -1, unpin_at = -1;
  std::uint64_t access_tag = 0, unpin_tag = 0;
  const auto calls = stand_in::calls();
  for (int i = 0; i < int(calls.size()); ++i) {
    const auto& call = calls[i];
    if (call.function.rfind("set_", 0) == 0) {
      const int row = row_of(call.arguments[0].text);
      require(row > last_row, "writes in table order, none twice");
      last_row = row;
      written[row] = true;
    } else if (call.function == "mi_phen_eval") {
      const auto offset = call.arguments[1].bits - reinterpret_cast<std::uintptr_t>(base);
      require(offset < record_size && offset % 4 == 0, "evaluates a parameter of the record");
      require(connected[offset / 4], "evaluates connected parameters only");
      require(!evaluated[offset / 4], "evaluates each parameter at most once");
      evaluated[offset / 4] = true;
    } else if (call.function == "mi_db_access") {
      ++accesses, access_at = i, access_tag = call.arguments[0].bits;
    } else if (call.function == "mi_db_unpin") {
      ++unpins, unpin_at = i, unpin_tag = call.arguments[0].bits;
    }
  }
  for (int row : always_written) require(written[row], "always-written rows");

  auto untouched = [&](std::size_t from, std::size_t to) {
    for (std::size_t o = from; o <= to; o += 4)
      if (evaluated[o / 4]) return false;
    return true;
  };
  require(untouched(0, 4) && untouched(12, 60) && untouched(216, 216), "unread ranges");
  if (effective(68) == 0) require(untouched(72, 92), "importons off: not read");
  if (effective(96) == 0) require(untouched(100, 136), "irradiance particles off: not read");
  if (effective(140) == 0) require(untouched(144, 156), "environment lighting off: not read");
  if (effective(160) == 0) require(untouched(164, 188), "progressive off: not read");
  if (effective(160) == 0 || effective(164) == 0)
    require(untouched(168, 172), "no subsampling: not read");
  if (effective(192) == 0) require(untouched(196, 204), "ambient occlusion off: not read");

  require(accesses == unpins && accesses == (effective(96) != 0 ? 1 : 0), "one access, one unpin");
  if (accesses == 1) {
    require(access_tag == unpin_tag && access_at < unpin_at, "unpinned after access, same tag");
    require(access_tag == static_cast<std::uint32_t>(effective(128)), "the evaluated tag");
  }
  require(scene->render_options_flag() == static_cast<std::uint8_t>(effective(208) & 0xff),
          "render-options flag is the low byte");
  return 0;
}
