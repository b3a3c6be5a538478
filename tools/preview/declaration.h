// The shaders' declarations, read from the renderer's scene-description
// file (declare shader ... end declare), with each parameter's byte position
// in the parameter record the renderer lays out from them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zarn::preview {

enum class Type { boolean, integer, scalar, string, color };

std::string_view type_name(Type type);
// Every type takes 4 bytes of the record but a color, which takes 16.
std::size_t type_size(Type type);

// One parameter value; only the member of its type is meaningful.
struct Value {
  Type type = Type::integer;
  bool boolean = false;
  std::int32_t integer = 0;
  float scalar = 0;
  std::array<float, 4> color{};
  std::string text;  // a string parameter's text
};

struct Parameter {
  std::string name;
  Type type;
  std::size_t offset;  // bytes from the start of the record
  std::optional<Value> fallback;  // the declared default
  int line;
};

struct ShaderDeclaration {
  std::string name;
  std::string result_type;
  std::vector<Parameter> parameters;
  std::optional<int> version;
  std::vector<std::string> apply;
  std::size_t record_size = 0;

  const Parameter* find(std::string_view parameter) const;
};

struct Declarations {
  std::vector<ShaderDeclaration> shaders;
  const ShaderDeclaration* find(std::string_view shader) const;
};

// A fault of the file; what() is "file:line: what is wrong".
class DeclarationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `origin` names the text in messages.
Declarations parse_declarations(std::string_view text, const std::string& origin);
Declarations read_declarations(const std::string& path);

}  // namespace zarn::preview
