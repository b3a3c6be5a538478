// Fuzzes the formatted-message entries with arbitrary text, '%' signs
// included, around and beyond the 1,023 characters the message buffer
// holds: the renderer must print the text literally, cut at 1,023.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "tests/stand_in/stand_in_renderer.h"

namespace {

void require(bool holds, const char* what) {
  if (!holds) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static const bool ready = [] {
    miSetModuleHandle(stand_in::module_handle());
    return true;
  }();
  (void)ready;
  // Two bytes choose a run of padding that brings the text near the limit.
  const std::size_t pad = (data[0] | (data[1] << 8)) % 1400;
  const char fill = (data[2] & 1) ? '%' : 'a';
  std::string text(pad, fill);
  for (std::size_t i = 3; i < size; ++i) text += data[i] == 0 ? '%' : static_cast<char>(data[i]);
  const std::string expected = text.substr(0, 1023);

  stand_in::reset();
  const int number = static_cast<int>(size) - 500;
  switch (data[2] % 4) {
    case 0:
      mi_info("%s", text.c_str());
      break;
    case 1:
      mi_nerror(number, "%s", text.c_str());
      break;
    case 2:
      mi_api_warning("%.*s%s", 7, text.c_str(), text.size() > 7 ? text.c_str() + 7 : "");
      break;
    default:
      mi_vdebug("%s", text.c_str());
      break;
  }
  const auto calls = stand_in::calls();
  require(calls.size() == 1, "one renderer call");
  require(calls[0].arguments.back().text == expected, "text printed literally, cut at 1,023");
  if (data[2] % 4 == 1)
    require(static_cast<std::int32_t>(calls[0].arguments[0].bits) == number, "number unchanged");
  return 0;
}
