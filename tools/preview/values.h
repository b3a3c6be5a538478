// Parameter values as people write them, on the command line and in the
// declarations' defaults.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/preview/declaration.h"

namespace zarn::preview {

// Each accepts the whole text or nothing.
std::optional<bool> parse_boolean(std::string_view text);  // on off true false 1 0
std::optional<std::int32_t> parse_integer(std::string_view text);
std::optional<float> parse_scalar(std::string_view text);  // also nan, inf
// Three or four numbers, r g b [a], split by `separator`; alpha defaults to 1.
std::optional<std::array<float, 4>> parse_color(std::string_view text, char separator);

// What a value of the type looks like, for messages.
std::string_view expected_form(Type type);

// A command-line value for `parameter`, or a one-line message naming what
// is wrong and what is expected.  A string's text is the value itself, or
// the contents of the file named after an @ (@@ starts a text with @).
struct Parsed {
  std::optional<Value> value;
  std::string error;
};
Parsed parse_argument(const Parameter& parameter, std::string_view text);

// Shortest text that reads back as the same float.
std::string show_scalar(float value);

}  // namespace zarn::preview
