#include "tools/preview/declaration.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

#include "tools/preview/values.h"

namespace zarn::preview {

std::string_view type_name(Type type) {
  switch (type) {
    case Type::boolean: return "boolean";
    case Type::integer: return "integer";
    case Type::scalar: return "scalar";
    case Type::string: return "string";
    case Type::color: return "color";
  }
  return "";
}

std::size_t type_size(Type type) { return type == Type::color ? 16 : 4; }

const Parameter* ShaderDeclaration::find(std::string_view parameter) const {
  for (const Parameter& p : parameters)
    if (p.name == parameter) return &p;
  return nullptr;
}

const ShaderDeclaration* Declarations::find(std::string_view shader) const {
  for (const ShaderDeclaration& s : shaders)
    if (s.name == shader) return &s;
  return nullptr;
}

namespace {

struct Token {
  enum Kind { word, quoted, punctuation, end } kind;
  std::string text;
  int line;
};

class Reader {
 public:
  Reader(std::string_view text, const std::string& origin) : origin_(origin) { split(text); }

  const Token& peek() const { return tokens_[at_]; }
  Token next() { return tokens_[at_ == tokens_.size() - 1 ? at_ : at_++]; }
  bool next_is(std::string_view word) const {
    return peek().kind == Token::word && peek().text == word;
  }
  bool next_is_punctuation(char c) const {
    return peek().kind == Token::punctuation && peek().text[0] == c;
  }

  [[noreturn]] void fail(const std::string& what, int line) const {
    throw DeclarationError(origin_ + ":" + std::to_string(line) + ": " + what);
  }
  [[noreturn]] void fail_at_next(const std::string& expected) const {
    const Token& t = peek();
    const std::string found = t.kind == Token::end      ? "the end of the file"
                              : t.kind == Token::quoted ? "\"" + t.text + "\""
                                                        : "'" + t.text + "'";
    fail("expected " + expected + ", found " + found, t.line);
  }
  void expect_word(std::string_view word) {
    if (!next_is(word)) fail_at_next("'" + std::string(word) + "'");
    next();
  }
  void expect_punctuation(char c) {
    if (!next_is_punctuation(c)) fail_at_next(std::string("'") + c + "'");
    next();
  }
  std::string expect_quoted(const std::string& what) {
    if (peek().kind != Token::quoted) fail_at_next(what);
    return next().text;
  }

 private:
  void split(std::string_view text) {
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (c == '\n') {
        ++line, ++i;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (c == '#') {
        while (i < text.size() && text[i] != '\n') ++i;
      } else if (c == '"') {
        const int start = line;
        std::string quoted;
        ++i;
        while (i < text.size() && text[i] != '"') {
          if (text[i] == '\n') fail("a quoted name runs past the end of its line", start);
          if (text[i] == '\\' && i + 1 < text.size()) ++i;
          quoted += text[i++];
        }
        if (i == text.size()) fail("a quoted name is not closed", start);
        ++i;
        tokens_.push_back({Token::quoted, quoted, start});
      } else if (c == '(' || c == ')' || c == ',' || c == '{' || c == '}' || c == '[' ||
                 c == ']') {
        tokens_.push_back({Token::punctuation, std::string(1, c), line});
        ++i;
      } else {
        std::string word;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
               std::string_view("()\",{}[]#").find(text[i]) == std::string_view::npos)
          word += text[i++];
        tokens_.push_back({Token::word, word, line});
      }
    }
    tokens_.push_back({Token::end, "", line});
  }

  std::string origin_;
  std::vector<Token> tokens_;
  std::size_t at_ = 0;
};

std::optional<Type> type_of(std::string_view word) {
  for (Type t : {Type::boolean, Type::integer, Type::scalar, Type::string, Type::color})
    if (type_name(t) == word) return t;
  return std::nullopt;
}

Value read_default(Reader& in, const Parameter& p) {
  Value value;
  value.type = p.type;
  const int line = in.peek().line;
  auto bad = [&](const std::string& found) {
    in.fail("the default of \"" + p.name + "\" is " + found + "; expected " +
                std::string(expected_form(p.type)),
            line);
  };
  if (p.type == Type::string) {
    if (in.peek().kind != Token::quoted) in.fail_at_next("a quoted text as the default");
    value.text = in.next().text;
    return value;
  }
  if (p.type == Type::color) {
    // Three or four numbers in a row; a fourth is taken if it is one.
    std::string joined;
    int count = 0;
    while (count < 4 && in.peek().kind == Token::word && parse_scalar(in.peek().text)) {
      joined += (count++ != 0 ? " " : "") + in.next().text;
    }
    auto color = parse_color(joined, ' ');
    if (!color) bad(count == 0 ? "missing" : "'" + joined + "'");
    value.color = *color;
    return value;
  }
  if (in.peek().kind != Token::word) in.fail_at_next("a default value");
  const std::string word = in.next().text;
  bool ok = false;
  if (p.type == Type::boolean) {
    if (auto b = parse_boolean(word)) value.boolean = *b, ok = true;
  } else if (p.type == Type::integer) {
    if (auto i = parse_integer(word)) value.integer = *i, ok = true;
  } else if (auto s = parse_scalar(word)) {
    value.scalar = *s, ok = true;
  }
  if (!ok) bad("'" + word + "'");
  return value;
}

ShaderDeclaration read_shader(Reader& in) {
  ShaderDeclaration shader;
  if (in.peek().kind == Token::word) shader.result_type = in.next().text;
  shader.name = in.expect_quoted("the shader's quoted name");
  in.expect_punctuation('(');
  std::set<std::string> names;
  std::size_t offset = 0;
  while (!in.next_is_punctuation(')')) {
    if (!shader.parameters.empty()) in.expect_punctuation(',');
    const Token type_word = in.peek();
    if (type_word.kind != Token::word) in.fail_at_next("a parameter type");
    in.next();
    const auto type = type_of(type_word.text);
    if (!type) {
      in.fail("parameter type '" + type_word.text +
                  "' is not one the shaders use; expected boolean, integer, scalar, string or color",
              type_word.line);
    }
    Parameter p{in.expect_quoted("the parameter's quoted name"), *type, offset, std::nullopt,
                type_word.line};
    if (!names.insert(p.name).second)
      in.fail("parameter \"" + p.name + "\" is declared twice", p.line);
    if (in.next_is("default")) {
      in.next();
      p.fallback = read_default(in, p);
    }
    offset += type_size(p.type);
    shader.parameters.push_back(std::move(p));
  }
  in.expect_punctuation(')');
  shader.record_size = offset;
  while (!in.next_is("end")) {
    if (in.next_is("version")) {
      const int line = in.next().line;
      const auto version = in.peek().kind == Token::word ? parse_integer(in.peek().text)
                                                         : std::nullopt;
      if (!version) in.fail("expected a whole number after 'version'", line);
      in.next();
      shader.version = *version;
    } else if (in.next_is("apply")) {
      in.next();
      while (true) {
        if (in.peek().kind != Token::word) in.fail_at_next("a shader type after 'apply'");
        shader.apply.push_back(in.next().text);
        if (!in.next_is_punctuation(',')) break;
        in.next();
      }
    } else {
      in.fail_at_next("'version', 'apply' or 'end declare'");
    }
  }
  in.expect_word("end");
  in.expect_word("declare");
  return shader;
}

}  // namespace

Declarations parse_declarations(std::string_view text, const std::string& origin) {
  Reader in(text, origin);
  Declarations declarations;
  while (in.peek().kind != Token::end) {
    const int line = in.peek().line;
    in.expect_word("declare");
    in.expect_word("shader");
    ShaderDeclaration shader = read_shader(in);
    if (declarations.find(shader.name) != nullptr)
      in.fail("shader \"" + shader.name + "\" is declared twice", line);
    declarations.shaders.push_back(std::move(shader));
  }
  return declarations;
}

Declarations read_declarations(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw DeclarationError(path + ": cannot be read");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return parse_declarations(text, path);
}

}  // namespace zarn::preview
