// The twelve formatted-message entries.  Each formats its text here and hands
// the renderer the finished text where the renderer takes a format.
#include <cstdarg>
#include <cstdio>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"

namespace zarn::binding {
namespace {

constexpr int message_buffer_size = 1024;  // 1,023 characters and the NUL

// The finished text as the renderer must read it: every '%' doubled, since
// the renderer reads it as a format with no arguments behind it.
struct RendererText {
  char text[2 * (message_buffer_size - 1) + 1];
};

ZARN_PRINTF_FORMAT(2, 0) void finish_text(RendererText& out, const char* format,
                                                   std::va_list arguments) noexcept {
  char message[message_buffer_size];
  // Bounded: text past 1,023 characters is cut, never written past the buffer.
  if (std::vsnprintf(message, sizeof message, format, arguments) < 0) message[0] = '\0';
  char* to = out.text;
  for (const char* from = message; *from != '\0'; ++from) {
    if (*from == '%') *to++ = '%';
    *to++ = *from;
  }
  *to = '\0';
}

}  // namespace
}  // namespace zarn::binding

// A row with one fixed argument takes a format; a row with two takes a
// message number first, which the renderer receives unchanged.
#define MI_FORMATTED(slot, name, result, arguments) \
  MI_CAT(MI_DEFINE_MESSAGE_, MI_COUNT arguments)(name, result)

// Resolves first, then formats: a failed lookup formats nothing.
#define MI_FINISH_MESSAGE(name, result)                \
  using namespace ::zarn::binding;                     \
  void* function = bound_function(slot_##name);        \
  if (function == nullptr) return MI_RESULT_##result(); \
  RendererText finished;                               \
  std::va_list arguments;                              \
  va_start(arguments, format);                         \
  finish_text(finished, format, arguments);            \
  va_end(arguments)

#define MI_DEFINE_MESSAGE_1(name, result)                                             \
  extern "C" MI_RESULT_##result name(const char* format, ...) noexcept {              \
    MI_FINISH_MESSAGE(name, result);                                                  \
    return reinterpret_cast<MI_RESULT_##result (*)(const char*, ...)>(function)(      \
        finished.text);                                                               \
  }

#define MI_DEFINE_MESSAGE_2(name, result)                                                   \
  extern "C" MI_RESULT_##result name(std::int32_t number, const char* format, ...) noexcept { \
    MI_FINISH_MESSAGE(name, result);                                                        \
    return reinterpret_cast<MI_RESULT_##result (*)(std::int32_t, const char*, ...)>(        \
        function)(number, finished.text);                                                   \
  }

#include "binding/catalogue.def"
