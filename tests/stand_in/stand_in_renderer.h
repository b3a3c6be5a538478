// A stand-in for the renderer: a module that exports every catalogue
// function with a recording body, holds a small database of tagged texts and
// answers the shaders' calls.  Tests and tools drive it through this API.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(STAND_IN_BUILDING)
#define STAND_IN_API __declspec(dllexport)
#else
#define STAND_IN_API __declspec(dllimport)
#endif
#else
#define STAND_IN_API __attribute__((visibility("default")))
#endif

namespace stand_in {

// One argument as the renderer function received it.  `kind` is the class
// letter (P I H B Q F D), or T for a finished message text.
struct Value {
  char kind;
  std::uint64_t bits;  // the argument's own bits, zero-extended
  std::string text;    // T only
};

struct Call {
  std::string function;  // a catalogue name, or an object operation
  std::vector<Value> arguments;
  int thread = 0;  // this_thread_number() of the calling thread
};

// Forgets every call, text, answer and setting.
STAND_IN_API void reset();

// The stand-in's own module handle, for miSetModuleHandle.
STAND_IN_API void* module_handle();

STAND_IN_API std::vector<Call> calls();

// A small number naming the calling thread, as recorded in Call::thread.
STAND_IN_API int this_thread_number();

// While off, calls are answered but not recorded (and so allocate nothing).
STAND_IN_API void set_recording(bool on);

// The calls as text: `name(arguments)` for functions, and for the objects
// `get_options_accessor(tag)`, `release shader interface`,
// `set_integer "name" value`, `set_float "name" value`,
// `set_string "name" "text"`, `release options accessor`.
STAND_IN_API std::vector<std::string> call_lines();
STAND_IN_API std::string describe(const Call& call);

// mi_db_access answers the text stored under the tag, or null.
STAND_IN_API void put_text(std::uint32_t tag, const std::string& text);

// mi_phen_eval answers `value` for `parameter`; unanswered parameters get null.
STAND_IN_API void answer_phen_eval(const void* parameter, const void* value);

// What a function returns, as bits of its result type (default 0).
STAND_IN_API void set_result(const std::string& function, std::uint64_t bits);

// Makes mi_get_shader_interface or get_options_accessor answer null.
STAND_IN_API void withhold_shader_interface(bool withhold);
STAND_IN_API void withhold_options_accessor(bool withhold);

// On 32-bit builds, how many further 32-bit arguments the stand-in's
// mi_query reads for a code without a row of its own.
STAND_IN_API void set_query_further_arguments(int count);

}  // namespace stand_in
