#include "tools/preview/preview.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/scene_records.h"
#include "tools/preview/declaration.h"
#include "tools/preview/module.h"
#include "tools/preview/values.h"

namespace zarn::preview {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;
using testing::SceneRecords;

constexpr const char* settings_shader = "zarn_tarvo_settings";
constexpr const char* trace_continue_shader = "zarn_TraceContinue";

const char* const catalogue_names[] = {
#define MI_ENTRY(slot, name, result, arguments) #name,
#include "binding/catalogue.def"
};
constexpr std::size_t catalogue_size = sizeof catalogue_names / sizeof catalogue_names[0];

// Bad input: reported on one line, and nothing is called.
struct UsageError {
  std::string what;
};

struct Settings {
  std::string library;
  std::string declaration;
  bool json = false;
  bool calls = false;
  std::vector<std::string> assignments;
  std::string module;
};

// A file given on the command line, or else the one beside the program, or
// else the one in the installed layout's `folder` beside the program's.
fs::path locate(const std::string& given, const char* file, const char* folder) {
  if (!given.empty()) return fs::absolute(given);
  const fs::path here = program_directory();
  const fs::path installed = here.parent_path() / folder / file;
  if (!fs::exists(here / file) && fs::exists(installed)) return installed;
  return here / file;
}

Declarations load_declarations(const Settings& s) {
  const fs::path path = locate(s.declaration, ZARN_DECLARATION_FILE, "include");
  try {
    return read_declarations(path.string());
  } catch (const DeclarationError& e) {
    throw UsageError{std::string(e.what()) + "; expected the shader declarations " +
                     ZARN_DECLARATION_FILE + " beside zarn-preview, or --declaration FILE"};
  }
}

std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

const Parameter& nearest(const ShaderDeclaration& shader, std::string_view name) {
  const Parameter* best = &shader.parameters.front();
  for (const Parameter& p : shader.parameters)
    if (distance(name, p.name) < distance(name, best->name)) best = &p;
  return *best;
}

// The parameter values of one call: the declared defaults, then the
// command line's name=value pairs.
std::map<std::string, Value> values_of(const ShaderDeclaration& shader,
                                       const std::vector<std::string>& assignments) {
  std::map<std::string, Value> values;
  for (const Parameter& p : shader.parameters)
    if (p.fallback) values[p.name] = *p.fallback;
  std::map<std::string, bool> given;
  for (const std::string& a : assignments) {
    const std::size_t equals = a.find('=');
    if (equals == std::string::npos || equals == 0) {
      throw UsageError{"\"" + a + "\" is not a parameter setting; expected NAME=VALUE, e.g. " +
                       shader.parameters.back().name + "=on"};
    }
    const std::string name = a.substr(0, equals);
    const Parameter* p = shader.find(name);
    if (p == nullptr) {
      throw UsageError{"no parameter \"" + name + "\" in " + shader.name + "; did you mean " +
                       nearest(shader, name).name + "? (zarn-preview " +
                       (shader.name == settings_shader ? "settings" : "trace-continue") +
                       " --help lists them)"};
    }
    if (given[name]) throw UsageError{name + " is given twice; expected each parameter once"};
    given[name] = true;
    Parsed parsed = parse_argument(*p, std::string_view(a).substr(equals + 1));
    if (!parsed.value) throw UsageError{parsed.error};
    values[name] = *parsed.value;
  }
  return values;
}

// Writes the values into the scene's parameter record at their declared
// positions, as the renderer would; strings go into the stand-in's database
// under tags of their own.  An unset string stays the null tag.
void fill_record(SceneRecords& scene, const ShaderDeclaration& shader,
                 const std::map<std::string, Value>& values) {
  unsigned char* record = &scene.record<unsigned char>();
  std::uint32_t next_tag = 0x100;
  for (const Parameter& p : shader.parameters) {
    auto found = values.find(p.name);
    if (found == values.end()) continue;
    const Value& v = found->second;
    unsigned char* at = record + p.offset;
    switch (p.type) {
      case Type::boolean: {
        const std::int32_t word = v.boolean ? 1 : 0;
        std::memcpy(at, &word, sizeof word);
        break;
      }
      case Type::integer: std::memcpy(at, &v.integer, sizeof v.integer); break;
      case Type::scalar: std::memcpy(at, &v.scalar, sizeof v.scalar); break;
      case Type::color: std::memcpy(at, v.color.data(), sizeof v.color); break;
      case Type::string: {
        const std::uint32_t tag = next_tag++;
        stand_in::put_text(tag, v.text);
        std::memcpy(at, &tag, sizeof tag);
        break;
      }
    }
  }
}

using Shader = int (*)(void* result, void* state, void* parameters);

struct Library {
  fs::path path;
  Shader shader;
};

// Loads the library and hands it the stand-in renderer's module.
Library load_library(const Settings& s, const char* shader_name) {
  Library library{locate(s.library, ZARN_LIBRARY_FILE, "lib"), nullptr};
  std::string error;
  void* module = load_module(library.path, error);
  if (module == nullptr) {
    throw UsageError{"cannot load the library " + library.path.string() + " (" + error +
                     "); expected the built " + ZARN_LIBRARY_FILE +
                     " beside zarn-preview, or --library FILE"};
  }
  auto set_module = reinterpret_cast<void (*)(void*)>(find_function(module, "miSetModuleHandle"));
  library.shader = reinterpret_cast<Shader>(find_function(module, shader_name));
  if (set_module == nullptr || library.shader == nullptr) {
    throw UsageError{library.path.string() + " exports no " +
                     (set_module == nullptr ? "miSetModuleHandle" : shader_name) +
                     "; expected the zarn_tarvo_settings shader library"};
  }
  set_module(stand_in::module_handle());
  return library;
}

const ShaderDeclaration& declared(const Declarations& d, const Settings& s, const char* name) {
  const ShaderDeclaration* shader = d.find(name);
  if (shader == nullptr) {
    throw UsageError{locate(s.declaration, ZARN_DECLARATION_FILE, "include").string() +
                     " declares no shader \"" + name + "\"; expected the library's declarations"};
  }
  if (shader->record_size > static_cast<std::size_t>(SceneRecords::words_after)) {
    throw UsageError{std::string(name) + " declares " + std::to_string(shader->record_size) +
                     " bytes of parameters; expected at most " +
                     std::to_string(SceneRecords::words_after)};
  }
  return *shader;
}

std::int32_t as_integer(const stand_in::Value& v) { return static_cast<std::int32_t>(v.bits); }
float as_scalar(const stand_in::Value& v) {
  const auto bits = static_cast<std::uint32_t>(v.bits);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// A float as a JSON number where it is finite, read back from its shortest
// text so that 0.2 shows as 0.2; else as its text ("nan", "inf", "-inf").
Json scalar_json(float f) {
  const std::string text = show_scalar(f);
  if (!std::isfinite(f)) return text;
  return std::stod(text);
}

std::string quoted(const std::string& text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '\n') q += "\\n";
    else if (c == '\t') q += "\\t";
    else if (c == '"' || c == '\\') q += std::string("\\") + c;
    else q += c;
  }
  return q + "\"";
}

struct Write {
  std::string option, setter, shown;
  Json value;
};

std::vector<Write> option_writes() {
  std::vector<Write> writes;
  for (const stand_in::Call& call : stand_in::calls()) {
    if (call.function.rfind("set_", 0) != 0 || call.arguments.size() != 2) continue;
    const stand_in::Value& v = call.arguments[1];
    Write w{call.arguments[0].text, call.function, {}, {}};
    if (v.kind == 'I') {
      w.shown = std::to_string(as_integer(v));
      w.value = as_integer(v);
    } else if (v.kind == 'F') {
      w.shown = show_scalar(as_scalar(v));
      w.value = scalar_json(as_scalar(v));
    } else {
      w.shown = quoted(v.text);
      w.value = v.text;
    }
    writes.push_back(std::move(w));
  }
  return writes;
}

void print_table(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<std::size_t> width;
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (width.size() <= i) width.push_back(0);
      width[i] = std::max(width[i], row[i].size());
    }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i)
      line += i + 1 < row.size() ? row[i] + std::string(width[i] - row[i].size() + 2, ' ') : row[i];
    out << line << '\n';
  }
}

void print_calls(std::ostream& out, const SceneRecords& scene) {
  out << "\nrenderer calls:\n";
  for (const std::string& line : scene.calls()) out << "  " << line << '\n';
}

// What both commands do first: read the declaration and the values given,
// load the library, and lay the shader's parameter record out in `scene`.
// Bad input is refused here, before anything is called.
Library prepare(const Settings& s, const char* shader_name, SceneRecords& scene) {
  const Declarations declarations = load_declarations(s);
  const ShaderDeclaration& shader = declared(declarations, s, shader_name);
  const auto values = values_of(shader, s.assignments);
  Library library = load_library(s, shader_name);
  fill_record(scene, shader, values);
  return library;
}

int settings_command(const Settings& s, std::ostream& out) {
  SceneRecords scene;
  const Library library = prepare(s, settings_shader, scene);
  const int result = library.shader(nullptr, scene.state(), &scene.record<unsigned char>());
  const std::vector<Write> writes = option_writes();
  const int flag = scene.render_options_flag();

  if (s.json) {
    Json j;
    j["shader"] = settings_shader;
    j["library"] = library.path.string();
    j["options"] = Json::array();
    for (const Write& w : writes)
      j["options"].push_back({{"option", w.option}, {"setter", w.setter}, {"value", w.value}});
    j["render_options_flag"] = flag;
    j["result"] = result;
    if (s.calls) j["calls"] = scene.calls();
    out << j.dump(2) << '\n';
  } else {
    out << settings_shader << " in the stand-in renderer (" << library.path.string() << ")\n\n";
    std::vector<std::vector<std::string>> rows{{"option", "setter", "value"}};
    for (const Write& w : writes) rows.push_back({w.option, w.setter, w.shown});
    print_table(out, rows);
    out << "\nrender-options flag: " << flag << "\nresult: " << result << '\n';
    if (s.calls) print_calls(out, scene);
  }
  return result == 1 ? exit_ok : exit_failed;
}

int trace_continue_command(const Settings& s, std::ostream& out) {
  SceneRecords scene;
  const Library library = prepare(s, trace_continue_shader, scene);
  // The stand-in continues rays successfully and leaves the colour alone.
  stand_in::set_result("mi_trace_continue", 1);
  alignas(16) float color[4] = {0, 0, 0, 0};
  const int result = library.shader(color, scene.state(), &scene.record<unsigned char>());
  bool continued = false;
  for (const stand_in::Call& call : stand_in::calls())
    continued = continued || call.function == "mi_trace_continue";

  if (s.json) {
    Json j;
    j["shader"] = trace_continue_shader;
    j["library"] = library.path.string();
    j["continued"] = continued;
    j["color"] = Json::array();
    for (float c : color) j["color"].push_back(scalar_json(c));
    j["result"] = result;
    if (s.calls) j["calls"] = scene.calls();
    out << j.dump(2) << '\n';
  } else {
    out << trace_continue_shader << " in the stand-in renderer (" << library.path.string()
        << ")\n\n";
    out << "ray continued: " << (continued ? "yes, through mi_trace_continue" : "no") << '\n';
    out << "result colour: ";
    for (int i = 0; i < 4; ++i) out << (i != 0 ? " " : "") << show_scalar(color[i]);
    out << (continued ? " (the renderer's to fill)" : "") << "\nresult: " << result << '\n';
    if (s.calls) print_calls(out, scene);
  }
  return result != 0 ? exit_ok : exit_failed;
}

int check_module_command(const Settings& s, std::ostream& out) {
  const fs::path path = fs::absolute(s.module);
  std::string error;
  void* module = load_module(path, error);
  if (module == nullptr) {
    throw UsageError{"cannot load the module " + path.string() + " (" + error +
                     "); expected a renderer module: a shared library or DLL"};
  }
  std::vector<std::string> missing;
  for (const char* name : catalogue_names)
    if (find_function(module, name) == nullptr) missing.push_back(name);

  if (s.json) {
    Json j;
    j["module"] = path.string();
    j["catalogue_size"] = catalogue_size;
    j["missing_count"] = missing.size();
    j["missing"] = missing;
    out << j.dump(2) << '\n';
  } else if (missing.empty()) {
    out << path.string() << " has all " << catalogue_size << " catalogue functions\n";
  } else {
    out << path.string() << " lacks " << missing.size() << " of the " << catalogue_size
        << " catalogue functions:\n";
    for (const std::string& name : missing) out << "  " << name << '\n';
  }
  return missing.empty() ? exit_ok : exit_failed;
}

std::string show_value(const Value& v) {
  switch (v.type) {
    case Type::boolean: return v.boolean ? "on" : "off";
    case Type::integer: return std::to_string(v.integer);
    case Type::scalar: return show_scalar(v.scalar);
    case Type::string: return quoted(v.text);
    case Type::color: {
      std::string text;
      for (float c : v.color) text += (text.empty() ? "" : ",") + show_scalar(c);
      return text;
    }
  }
  return "";
}

// The parameters as the declaration gives them, for --help.
std::string parameter_list(const Settings& s, const char* shader_name) {
  std::ostringstream text;
  try {
    const Declarations d = load_declarations(s);
    const ShaderDeclaration& shader = declared(d, s, shader_name);
    text << "Parameters of " << shader_name << " and their defaults, from "
         << locate(s.declaration, ZARN_DECLARATION_FILE, "include").string() << ":\n";
    std::vector<std::vector<std::string>> rows;
    for (const Parameter& p : shader.parameters) {
      // The placeholders hold no parameter of the shader's: it never reads them.
      if (p.name.rfind("reserved_", 0) == 0) continue;
      rows.push_back({"  " + p.name, std::string(type_name(p.type)),
                      p.fallback ? show_value(*p.fallback) : "(none)"});
    }
    print_table(text, rows);
  } catch (const UsageError& e) {
    text << "(no parameter list: " << e.what << ")\n";
  }
  text << "\nValues: boolean " << expected_form(Type::boolean) << "; integer "
       << expected_form(Type::integer) << "; scalar " << expected_form(Type::scalar)
       << "; string " << expected_form(Type::string) << "; color " << expected_form(Type::color)
       << ".\nOptions --json, --calls, --library and --declaration go before or after the "
          "command; see zarn-preview --help.";
  return text.str();
}

}  // namespace

int run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  Settings s;
  CLI::App app{
      "Runs the zarn_tarvo_settings library's shaders in a stand-in renderer and prints what "
      "they do; checks renderer modules against the library's catalogue of renderer "
      "functions. With no command it runs `settings` with the declared defaults.",
      "zarn-preview"};
  app.fallthrough();
  app.set_version_flag("--version", ZARN_VERSION);
  app.add_option("--library", s.library,
                 std::string("the shader library to load (default: ") + ZARN_LIBRARY_FILE +
                     " beside zarn-preview, else in ../lib)");
  app.add_option("--declaration", s.declaration,
                 std::string("the shaders' declarations (default: ") + ZARN_DECLARATION_FILE +
                     " beside zarn-preview, else in ../include)");
  app.add_flag("--json", s.json, "print the result as JSON");
  app.add_flag("--calls", s.calls, "also list every renderer call the shader made");
  app.require_subcommand(0, 1);
  app.footer(
      "Options go before or after the command.\n"
      "Exit status: 0 done (the shader returned true; the module has every function), 1 the "
      "shader returned false or the module lacks functions, 2 bad input or a missing file "
      "(then nothing is called).");

  CLI::App* settings = app.add_subcommand(
      "settings",
      "Builds the zarn_tarvo_settings parameter record from the declared defaults and the "
      "given NAME=VALUE pairs, calls the shader, and prints the render options it writes, in "
      "order, then the render-options flag and the shader's result.");
  settings->add_option("NAME=VALUE", s.assignments, "parameter settings");
  settings->footer([&s] { return parameter_list(s, settings_shader); });

  CLI::App* trace = app.add_subcommand(
      "trace-continue",
      "Calls zarn_TraceContinue with the declared defaults and the given NAME=VALUE pairs "
      "(color=r,g,b,a continue_ray=on|off) and prints whether the ray was continued and the "
      "result colour.");
  trace->add_option("NAME=VALUE", s.assignments, "parameter settings");
  trace->footer([&s] { return parameter_list(s, trace_continue_shader); });

  CLI::App* check = app.add_subcommand(
      "check-module",
      "Loads a renderer module (a shared library or DLL) and lists which of the catalogue's " +
          std::to_string(catalogue_size) + " renderer functions it lacks, with their count.");
  check->add_option("PATH", s.module, "the renderer module")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e, out, err);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e, out, err);
  } catch (const CLI::ParseError& e) {
    err << "zarn-preview: " << e.what() << "; see zarn-preview --help\n";
    return exit_usage;
  }

  try {
    if (check->parsed()) return check_module_command(s, out);
    if (trace->parsed()) return trace_continue_command(s, out);
    return settings_command(s, out);
  } catch (const UsageError& e) {
    err << "zarn-preview: " << e.what << '\n';
    return exit_usage;
  }
}

}  // namespace zarn::preview
