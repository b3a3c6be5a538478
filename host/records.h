// The renderer's records, reduced to the members the library touches, each
// at the byte position the renderer puts it in this build.  The positions
// below are the only place where the two pointer widths differ.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zarn::host {

using Tag = std::uint32_t;  // handle of a renderer database item
using Boolean = std::int32_t;

struct Colour {
  float red, green, blue, alpha;
};

// Byte positions of the members, per build.
namespace positions {
#if UINTPTR_MAX > 0xffffffffu
static_assert(sizeof(void*) == 8);
inline constexpr std::size_t state_render_options = 16;
inline constexpr std::size_t state_function_record = 312;
#else
static_assert(sizeof(void*) == 4);
inline constexpr std::size_t state_render_options = 12;
inline constexpr std::size_t state_function_record = 256;
#endif
inline constexpr std::size_t function_connection_offset = 96;
inline constexpr std::size_t function_connection_flag = 109;
inline constexpr std::size_t options_render_options_flag = 764;
inline constexpr std::size_t options_string_options_tag = 768;
}  // namespace positions

struct FunctionRecord {
  unsigned char unused_0[positions::function_connection_offset];
  std::int32_t connection_offset;  // bytes from a parameter to its connection word
  unsigned char unused_100[positions::function_connection_flag -
                           positions::function_connection_offset - sizeof(std::int32_t)];
  std::uint8_t connection_flag;  // 1: connection words are to be consulted
};

struct RenderOptions {
  unsigned char unused_0[positions::options_render_options_flag];
  std::uint8_t render_options_flag;
  unsigned char unused_765[positions::options_string_options_tag -
                           positions::options_render_options_flag - 1];
  Tag string_options;
};

struct ShaderState {
  unsigned char unused_0[positions::state_render_options];
  RenderOptions* options;  // may be null
  unsigned char unused_after_options[positions::state_function_record -
                                     positions::state_render_options - sizeof(void*)];
  FunctionRecord* function;
};

static_assert(offsetof(FunctionRecord, connection_offset) == positions::function_connection_offset);
static_assert(offsetof(FunctionRecord, connection_flag) == positions::function_connection_flag);
static_assert(offsetof(RenderOptions, render_options_flag) ==
              positions::options_render_options_flag);
static_assert(offsetof(RenderOptions, string_options) == positions::options_string_options_tag);
static_assert(offsetof(ShaderState, options) == positions::state_render_options);
static_assert(offsetof(ShaderState, function) == positions::state_function_record);

}  // namespace zarn::host
