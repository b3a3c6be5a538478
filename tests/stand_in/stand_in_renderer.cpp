#include "tests/stand_in/stand_in_renderer.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <atomic>
#include <map>
#include <mutex>
#include <string_view>
#include <type_traits>

#include "host/argument_classes.h"
#include "host/objects.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace stand_in {

int this_thread_number() {
  static std::atomic<int> next{0};
  thread_local const int number = next.fetch_add(1) + 1;
  return number;
}

namespace {

using zarn::host::EightByteValue;

enum Slot : int {
#define MI_ENTRY(slot, name, result, arguments) slot_##name,
#include "binding/catalogue.def"
};

class RecordingAccessor;
class RecordingInterface;

struct State {
  std::mutex lock;
  std::vector<Call> log;
  std::map<std::uint32_t, std::string> texts;
  std::map<const void*, const void*> phen_answers;
  std::map<std::string, std::uint64_t, std::less<>> results;
  bool no_shader_interface = false;
  bool no_options_accessor = false;
  int query_further = 0;
};

State& state() {
  static State s;
  return s;
}

Value value(const void* v) { return {'P', reinterpret_cast<std::uintptr_t>(v), {}}; }
Value value(std::int32_t v) { return {'I', static_cast<std::uint32_t>(v), {}}; }
Value value(std::uint16_t v) { return {'H', v, {}}; }
Value value(std::uint8_t v) { return {'B', v, {}}; }
Value value(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return {'F', bits, {}};
}
Value value(double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  return {'D', bits, {}};
}
Value value(EightByteValue v) {
  return {'Q', (std::uint64_t{v.high} << 32) | v.low, {}};
}
Value text(const char* t) { return {'T', 0, t != nullptr ? t : "(null)"}; }

std::atomic<bool> recording{true};

bool recording_on() { return recording.load(std::memory_order_relaxed); }

void record(const char* function, std::initializer_list<Value> arguments) {
  if (!recording_on()) return;
  State& s = state();
  const int thread = this_thread_number();
  std::lock_guard<std::mutex> hold(s.lock);
  s.log.push_back({function, std::vector<Value>(arguments), thread});
}

std::uint64_t result_bits(const char* function) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  auto found = s.results.find(std::string_view(function));
  return found == s.results.end() ? 0 : found->second;
}

class RecordingAccessor final : public zarn::host::OptionsAccessor {
 public:
  bool set_float(const char* name, float v) override {
    if (recording_on()) record("set_float", {text(name), value(v)});
    return true;
  }
  bool set_integer(const char* name, std::int32_t v) override {
    if (recording_on()) record("set_integer", {text(name), value(v)});
    return true;
  }
  bool set_string(const char* name, const char* v) override {
    if (recording_on()) record("set_string", {text(name), text(v)});
    return true;
  }
  void release() override { record("release options accessor", {}); }

#define STAND_IN_UNUSED(n) \
  void unused_slot_##n() override { record("options accessor slot " #n, {}); }
  STAND_IN_UNUSED(0)
  STAND_IN_UNUSED(1)
  STAND_IN_UNUSED(2)
  STAND_IN_UNUSED(3)
  STAND_IN_UNUSED(7)
  STAND_IN_UNUSED(8)
  STAND_IN_UNUSED(9)
  STAND_IN_UNUSED(10)
  STAND_IN_UNUSED(11)
  STAND_IN_UNUSED(12)
  STAND_IN_UNUSED(13)
  STAND_IN_UNUSED(14)
  STAND_IN_UNUSED(15)
#undef STAND_IN_UNUSED
};

class RecordingInterface final : public zarn::host::ShaderInterface {
 public:
  zarn::host::OptionsAccessor* get_options_accessor(zarn::host::Tag tag) override {
    record("get_options_accessor", {value(static_cast<std::int32_t>(tag))});
    State& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.no_options_accessor ? nullptr : &accessor_;
  }
  void release() override { record("release shader interface", {}); }

#define STAND_IN_UNUSED(n) \
  void unused_slot_##n() override { record("shader interface slot " #n, {}); }
  STAND_IN_UNUSED(0)
  STAND_IN_UNUSED(2)
  STAND_IN_UNUSED(3)
  STAND_IN_UNUSED(4)
  STAND_IN_UNUSED(5)
#undef STAND_IN_UNUSED

 private:
  RecordingAccessor accessor_;
};

RecordingInterface shader_interface;

template <class R>
R from_bits(std::uint64_t bits) {
  if constexpr (std::is_pointer_v<R>) {
    return reinterpret_cast<R>(static_cast<std::uintptr_t>(bits));
  } else {
    R r;
    std::memcpy(&r, &bits, sizeof r);  // little-endian: the low bytes
    return r;
  }
}

// The answer of a plain function: what the shaders rely on for the ones they
// call, the configured bits for every other one.
template <class R>
R answer(int slot, const char* function, std::initializer_list<Value> arguments) {
  const Value* first = arguments.size() > 0 ? arguments.begin() : nullptr;
  const Value* second = arguments.size() > 1 ? arguments.begin() + 1 : nullptr;
  record(function, arguments);
  if constexpr (!std::is_void_v<R>) {
    State& s = state();
    std::lock_guard<std::mutex> hold(s.lock);
    // A configured result wins over the stand-in's own answers.
    if (auto found = s.results.find(std::string_view(function)); found != s.results.end())
      return from_bits<R>(found->second);
    if (slot == slot_mi_get_shader_interface && !s.no_shader_interface)
      return from_bits<R>(reinterpret_cast<std::uintptr_t>(
          static_cast<zarn::host::ShaderInterface*>(&shader_interface)));
    if (slot == slot_mi_phen_eval && second != nullptr) {
      auto found = s.phen_answers.find(
          reinterpret_cast<const void*>(static_cast<std::uintptr_t>(second->bits)));
      if (found != s.phen_answers.end())
        return from_bits<R>(reinterpret_cast<std::uintptr_t>(found->second));
    }
    if (slot == slot_mi_db_access && first != nullptr) {
      auto found = s.texts.find(static_cast<std::uint32_t>(first->bits));
      if (found != s.texts.end())
        return from_bits<R>(reinterpret_cast<std::uintptr_t>(found->second.c_str()));
    }
    return R();
  }
}

std::string hex(std::uint64_t v) {
  char b[32];
  std::snprintf(b, sizeof b, "0x%" PRIx64, v);
  return b;
}

std::string show(const Value& v) {
  char b[64];
  switch (v.kind) {
    case 'I':
      std::snprintf(b, sizeof b, "%" PRId32, static_cast<std::int32_t>(v.bits));
      return b;
    case 'H':
    case 'B':
      return std::to_string(v.bits);
    case 'F': {
      float f;
      const auto bits = static_cast<std::uint32_t>(v.bits);
      std::memcpy(&f, &bits, sizeof f);
      std::snprintf(b, sizeof b, "%.9g", f);
      return b;
    }
    case 'D': {
      double d;
      std::memcpy(&d, &v.bits, sizeof d);
      std::snprintf(b, sizeof b, "%.17g", d);
      return b;
    }
    case 'T':
      return "\"" + v.text + "\"";
    default:
      return hex(v.bits);
  }
}

}  // namespace

void set_recording(bool on) { recording.store(on, std::memory_order_relaxed); }

void reset() {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.log.clear();
  s.texts.clear();
  s.phen_answers.clear();
  s.results.clear();
  s.no_shader_interface = false;
  s.no_options_accessor = false;
  s.query_further = 0;
}

void* module_handle() {
#if defined(_WIN32)
  HMODULE self = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&module_handle), &self);
  return self;
#else
  Dl_info info{};
  dladdr(reinterpret_cast<void*>(&module_handle), &info);
  return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
#endif
}

std::vector<Call> calls() {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  return s.log;
}

std::string describe(const Call& call) {
  const bool operation = call.function.rfind("mi_", 0) != 0;
  std::string line = call.function;
  if (operation && call.function.rfind("set_", 0) == 0) {
    for (const Value& v : call.arguments) line += " " + show(v);
    return line;
  }
  if (operation && call.arguments.empty()) return line;
  line += "(";
  for (std::size_t i = 0; i < call.arguments.size(); ++i)
    line += (i != 0 ? ", " : "") + show(call.arguments[i]);
  return line + ")";
}

std::vector<std::string> call_lines() {
  std::vector<std::string> lines;
  for (const Call& c : calls()) lines.push_back(describe(c));
  return lines;
}

void put_text(std::uint32_t tag, const std::string& text) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.texts[tag] = text;
}

void answer_phen_eval(const void* parameter, const void* value) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.phen_answers[parameter] = value;
}

void set_result(const std::string& function, std::uint64_t bits) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.results[function] = bits;
}

void withhold_shader_interface(bool withhold) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.no_shader_interface = withhold;
}

void withhold_options_accessor(bool withhold) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.no_options_accessor = withhold;
}

void set_query_further_arguments(int count) {
  State& s = state();
  std::lock_guard<std::mutex> hold(s.lock);
  s.query_further = count;
}

}  // namespace stand_in

using stand_in::Value;

// Every plain catalogue function, recording its arguments as received.
#define MI_PLAIN(slot, name, result, arguments)                                          \
  extern "C" STAND_IN_API MI_RESULT_##result name(MI_PARAMS arguments) {                 \
    return stand_in::answer<MI_RESULT_##result>(                                         \
        slot, #name, {STAND_IN_VALUES(MI_NAMES arguments)});                             \
  }
#define STAND_IN_VALUES(...) MI_CAT(STAND_IN_VALUES_, MI_COUNT(__VA_ARGS__))(__VA_ARGS__)
#define STAND_IN_VALUES_0()
#define STAND_IN_VALUES_1(a) stand_in::value(a)
#define STAND_IN_VALUES_2(a, ...) stand_in::value(a), STAND_IN_VALUES_1(__VA_ARGS__)
#define STAND_IN_VALUES_3(a, ...) stand_in::value(a), STAND_IN_VALUES_2(__VA_ARGS__)
#define STAND_IN_VALUES_4(a, ...) stand_in::value(a), STAND_IN_VALUES_3(__VA_ARGS__)
#define STAND_IN_VALUES_5(a, ...) stand_in::value(a), STAND_IN_VALUES_4(__VA_ARGS__)
#define STAND_IN_VALUES_6(a, ...) stand_in::value(a), STAND_IN_VALUES_5(__VA_ARGS__)
#define STAND_IN_VALUES_7(a, ...) stand_in::value(a), STAND_IN_VALUES_6(__VA_ARGS__)
#define STAND_IN_VALUES_8(a, ...) stand_in::value(a), STAND_IN_VALUES_7(__VA_ARGS__)
#define STAND_IN_VALUES_9(a, ...) stand_in::value(a), STAND_IN_VALUES_8(__VA_ARGS__)
#define STAND_IN_VALUES_10(a, ...) stand_in::value(a), STAND_IN_VALUES_9(__VA_ARGS__)
#define STAND_IN_VALUES_11(a, ...) stand_in::value(a), STAND_IN_VALUES_10(__VA_ARGS__)
#define STAND_IN_VALUES_12(a, ...) stand_in::value(a), STAND_IN_VALUES_11(__VA_ARGS__)
#define STAND_IN_VALUES_13(a, ...) stand_in::value(a), STAND_IN_VALUES_12(__VA_ARGS__)

// The message functions read their text as a format, as the renderer does.
#define MI_FORMATTED(slot, name, result, arguments) \
  MI_CAT(STAND_IN_MESSAGE_, MI_COUNT arguments)(name, result)
#define STAND_IN_MESSAGE_1(name, result)                                    \
  extern "C" STAND_IN_API MI_RESULT_##result name(const char* format, ...) { \
    if (!stand_in::recording_on()) return;                                  \
    char text[4096];                                                        \
    std::va_list arguments;                                                 \
    va_start(arguments, format);                                            \
    std::vsnprintf(text, sizeof text, format, arguments);                   \
    va_end(arguments);                                                      \
    stand_in::record(#name, {stand_in::text(text)});                        \
  }
#define STAND_IN_MESSAGE_2(name, result)                                                     \
  extern "C" STAND_IN_API MI_RESULT_##result name(std::int32_t number, const char* format, \
                                                  ...) {                                     \
    if (!stand_in::recording_on()) return;                                                   \
    char text[4096];                                                                         \
    std::va_list arguments;                                                                  \
    va_start(arguments, format);                                                             \
    std::vsnprintf(text, sizeof text, format, arguments);                                    \
    va_end(arguments);                                                                       \
    stand_in::record(#name, {stand_in::value(number), stand_in::text(text)});                \
  }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#include "binding/catalogue.def"
#pragma GCC diagnostic pop

// The variable-argument functions read their extras by their own tables.
namespace {

using I = std::int32_t;
using P = const void*;

void read_integers(std::vector<Value>& into, std::va_list& extras, int count) {
  for (int i = 0; i < count; ++i) into.push_back(stand_in::value(va_arg(extras, I)));
}

void read_scene_extras(std::vector<Value>& into, I code, std::va_list& extras) {
  if (code == 40) {
    into.push_back(stand_in::value(va_arg(extras, P)));
    read_integers(into, extras, 8);
  } else if (code == 51) {
    read_integers(into, extras, 3);
    into.push_back(stand_in::value(va_arg(extras, P)));
  } else {
    read_integers(into, extras, 8);
  }
}

template <class R>
R scene_answer(const char* function, const std::vector<Value>& arguments) {
  if (stand_in::recording_on()) {
    stand_in::State& s = stand_in::state();
    std::lock_guard<std::mutex> hold(s.lock);
    s.log.push_back({function, arguments, stand_in::this_thread_number()});
  }
  return stand_in::from_bits<R>(stand_in::result_bits(function));
}

}  // namespace

extern "C" STAND_IN_API void* mi_scene_create(P a1, I code, ...) {
  if (!stand_in::recording_on()) return stand_in::from_bits<void*>(stand_in::result_bits("mi_scene_create"));
  std::vector<Value> received{stand_in::value(a1), stand_in::value(code)};
  std::va_list extras;
  va_start(extras, code);
  read_scene_extras(received, code, extras);
  va_end(extras);
  return scene_answer<void*>("mi_scene_create", received);
}

extern "C" STAND_IN_API void* mi_scene_recreate(I a1, I code, ...) {
  if (!stand_in::recording_on()) return stand_in::from_bits<void*>(stand_in::result_bits("mi_scene_recreate"));
  std::vector<Value> received{stand_in::value(a1), stand_in::value(code)};
  std::va_list extras;
  va_start(extras, code);
  read_scene_extras(received, code, extras);
  va_end(extras);
  return scene_answer<void*>("mi_scene_recreate", received);
}

extern "C" STAND_IN_API void* mi_scene_growedit(I a1, ...) {
  if (!stand_in::recording_on()) return stand_in::from_bits<void*>(stand_in::result_bits("mi_scene_growedit"));
  std::vector<Value> received{stand_in::value(a1)};
  std::va_list extras;
  va_start(extras, a1);
  read_integers(received, extras, 8);
  va_end(extras);
  return scene_answer<void*>("mi_scene_growedit", received);
}

extern "C" STAND_IN_API I mi_query(I code, P a2, I a3, P a4, ...) {
  if (!stand_in::recording_on()) return stand_in::from_bits<I>(stand_in::result_bits("mi_query"));
  std::vector<Value> received{stand_in::value(code), stand_in::value(a2), stand_in::value(a3),
                              stand_in::value(a4)};
  std::va_list extras;
  va_start(extras, a4);
  switch (code) {
    case 15:
    case 152:
    case 163:
      read_integers(received, extras, 1);
      break;
    case 127:
      received.push_back(stand_in::value(va_arg(extras, P)));
      break;
    case 165:
      received.push_back(stand_in::value(va_arg(extras, P)));
      read_integers(received, extras, 1);
      break;
    default:
      if (sizeof(void*) == 4) {
        int further;
        {
          std::lock_guard<std::mutex> hold(stand_in::state().lock);
          further = stand_in::state().query_further;
        }
        read_integers(received, extras, further);
      }
      break;
  }
  va_end(extras);
  return scene_answer<I>("mi_query", received);
}
