#include "tools/preview/values.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

namespace zarn::preview {

std::optional<bool> parse_boolean(std::string_view text) {
  if (text == "on" || text == "true" || text == "1") return true;
  if (text == "off" || text == "false" || text == "0") return false;
  return std::nullopt;
}

std::optional<std::int32_t> parse_integer(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::optional<float> parse_scalar(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  // Out of range is refused rather than rounded to infinity or zero.
  if (text.empty() || error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::optional<std::array<float, 4>> parse_color(std::string_view text, char separator) {
  std::array<float, 4> color{0, 0, 0, 1};
  std::size_t count = 0;
  while (true) {
    const std::size_t at = text.find(separator);
    const std::string_view part = text.substr(0, at);
    if (count == 4) return std::nullopt;
    auto component = parse_scalar(part);
    if (!component) return std::nullopt;
    color[count++] = *component;
    if (at == std::string_view::npos) break;
    text.remove_prefix(at + 1);
  }
  if (count < 3) return std::nullopt;
  return color;
}

std::string_view expected_form(Type type) {
  switch (type) {
    case Type::boolean: return "on, off, true, false, 1 or 0";
    case Type::integer: return "a whole number from -2147483648 to 2147483647";
    case Type::scalar: return "a number such as 0.5, -1, 2e-3, nan or inf";
    case Type::string: return "a text, or @FILE for the contents of a file";
    case Type::color: return "r,g,b or r,g,b,a: three or four numbers";
  }
  return "";
}

namespace {

// What the text would be taken for, to tell a value of another type from a
// malformed one.
std::optional<Type> apparent_type(std::string_view text) {
  if (text == "on" || text == "off" || text == "true" || text == "false") return Type::boolean;
  if (parse_integer(text)) return Type::integer;
  if (parse_scalar(text)) return Type::scalar;
  if (parse_color(text, ',')) return Type::color;
  return std::nullopt;
}

std::string article(Type type) {
  return (type == Type::integer ? "an " : "a ") + std::string(type_name(type));
}

}  // namespace

Parsed parse_argument(const Parameter& parameter, std::string_view text) {
  Value value;
  value.type = parameter.type;
  bool ok = false;
  switch (parameter.type) {
    case Type::boolean:
      if (auto b = parse_boolean(text)) value.boolean = *b, ok = true;
      break;
    case Type::integer:
      if (auto i = parse_integer(text)) value.integer = *i, ok = true;
      break;
    case Type::scalar:
      if (auto s = parse_scalar(text)) value.scalar = *s, ok = true;
      break;
    case Type::color:
      if (auto c = parse_color(text, ',')) value.color = *c, ok = true;
      break;
    case Type::string:
      if (text.size() >= 2 && text.substr(0, 2) == "@@") {
        value.text = text.substr(1);
      } else if (!text.empty() && text.front() == '@') {
        const std::string file(text.substr(1));
        std::ifstream in(file, std::ios::binary);
        if (!in) {
          return {std::nullopt, parameter.name + ": cannot read the file \"" + file +
                                    "\"; expected " + std::string(expected_form(parameter.type))};
        }
        value.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      } else {
        value.text = text;
      }
      ok = true;
      break;
  }
  if (ok) return {value, {}};

  const std::string shown = parameter.name + "=" + std::string(text) + ": ";
  const std::string expected = "; expected " + std::string(expected_form(parameter.type));
  if (parameter.type == Type::integer && text.find_first_of("0123456789") != std::string_view::npos &&
      text.find_first_not_of("+-0123456789") == std::string_view::npos && parse_scalar(text)) {
    return {std::nullopt, shown + "out of range for an integer" + expected};
  }
  // A whole number is a fine scalar, so it never gets here; an integer other
  // than 0 or 1 for a boolean does.
  const auto apparent = apparent_type(text);
  if (apparent && *apparent != parameter.type) {
    return {std::nullopt, shown + parameter.name + " is " + article(parameter.type) + ", not " +
                              article(*apparent) + expected};
  }
  return {std::nullopt,
          shown + "\"" + std::string(text) + "\" is not " + article(parameter.type) + expected};
}

std::string show_scalar(float value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  if (error != std::errc()) return "?";
  return std::string(text, end);
}

}  // namespace zarn::preview
