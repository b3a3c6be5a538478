// A shader call's surroundings: a shader state, function record and render
// options laid out byte by byte at this build's positions (written here
// independently of the library's own declarations), a parameter record with
// room for connection words on either side, and the stand-in renderer.
// Handing the stand-in to a library is left to the user of the records, so
// that a program can drive a library it loaded as well as a linked copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/records.h"

namespace zarn::testing {

namespace raw {
inline constexpr std::size_t state_options = sizeof(void*) == 8 ? 16 : 12;
inline constexpr std::size_t state_function = sizeof(void*) == 8 ? 312 : 256;
inline constexpr std::size_t function_offset = 96;
inline constexpr std::size_t function_flag = 109;
inline constexpr std::size_t options_flag = 764;
inline constexpr std::size_t options_tag = 768;
}  // namespace raw

class SceneRecords {
 public:
  static constexpr std::uint32_t string_options_tag = 0x5170;
  static constexpr std::int32_t words_after = 512;  // default connection offset

  // Resets the stand-in renderer.
  SceneRecords();

  host::ShaderState* state() { return reinterpret_cast<host::ShaderState*>(state_); }
  template <class Record>
  Record& record() {
    return *reinterpret_cast<Record*>(arena_ + record_at);
  }

  void remove_render_options();
  void set_connection_flag(std::uint8_t flag);
  void set_connection_offset(std::int32_t offset);
  // Writes the connection word of the parameter at `parameter`.
  void set_connection_word(const void* parameter, std::int32_t word);
  // Marks the parameter as connected and has mi_phen_eval answer `value`.
  void connect(const void* parameter, const void* value);

  std::uint8_t render_options_flag() const { return options_[raw::options_flag]; }
  void set_render_options_flag(std::uint8_t v) { options_[raw::options_flag] = v; }

  // The renderer calls so far, with the shader state shown as "state" and
  // addresses inside the parameter record as "@offset".  With a thread
  // number, only that thread's calls.
  std::vector<std::string> calls(int thread = 0) const;

 private:
  static constexpr std::size_t record_at = 256;
  std::int32_t offset_ = words_after;
  alignas(16) unsigned char state_[400] = {};
  alignas(16) unsigned char function_[128] = {};
  alignas(16) unsigned char options_[800] = {};
  alignas(16) unsigned char arena_[1024] = {};
};

}  // namespace zarn::testing
