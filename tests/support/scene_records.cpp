#include "tests/support/scene_records.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "tests/stand_in/stand_in_renderer.h"

namespace zarn::testing {

SceneRecords::SceneRecords() {
  stand_in::reset();
  unsigned char* options = options_;
  unsigned char* function = function_;
  std::memcpy(state_ + raw::state_options, &options, sizeof options);
  std::memcpy(state_ + raw::state_function, &function, sizeof function);
  std::memcpy(options_ + raw::options_tag, &string_options_tag, sizeof string_options_tag);
  set_connection_offset(words_after);
}

void SceneRecords::remove_render_options() {
  std::memset(state_ + raw::state_options, 0, sizeof(void*));
}

void SceneRecords::set_connection_flag(std::uint8_t flag) { function_[raw::function_flag] = flag; }

void SceneRecords::set_connection_offset(std::int32_t offset) {
  offset_ = offset;
  std::memcpy(function_ + raw::function_offset, &offset, sizeof offset);
}

void SceneRecords::set_connection_word(const void* parameter, std::int32_t word) {
  auto* at = const_cast<unsigned char*>(static_cast<const unsigned char*>(parameter)) + offset_;
  std::memcpy(at, &word, sizeof word);
}

void SceneRecords::connect(const void* parameter, const void* value) {
  set_connection_flag(1);
  set_connection_word(parameter, 1);
  stand_in::answer_phen_eval(parameter, value);
}

std::vector<std::string> SceneRecords::calls(int thread) const {
  const auto state_address = reinterpret_cast<std::uintptr_t>(state_);
  const auto record_address = reinterpret_cast<std::uintptr_t>(arena_ + record_at);
  std::vector<std::string> lines;
  for (stand_in::Call call : stand_in::calls()) {
    if (thread != 0 && call.thread != thread) continue;
    std::string line = call.function;
    bool mapped = false;
    for (auto& v : call.arguments) {
      if (v.kind != 'P') continue;
      if (v.bits == state_address) {
        v = {'T', 0, "state"};
      } else if (v.bits >= record_address && v.bits < record_address + 512) {
        v = {'T', 0, "@" + std::to_string(v.bits - record_address)};
      } else {
        continue;
      }
      mapped = true;
    }
    line = stand_in::describe(call);
    if (mapped) {
      // Addresses are shown bare, not as quoted texts.
      std::string bare;
      for (char c : line)
        if (c != '"') bare += c;
      line = bare;
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace zarn::testing
