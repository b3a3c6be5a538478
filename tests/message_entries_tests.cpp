// The formatted-message entries: the renderer receives the finished text,
// literally and within the 1,024-byte message buffer.
#include <gtest/gtest.h>

#include <string>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"

namespace zarn::testing {
namespace {

class MessageEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    stand_in::reset();
    miSetModuleHandle(stand_in_module());
  }
  // The text the stand-in printed for the only call so far.
  static std::string printed(const char* function) {
    const auto calls = stand_in::calls();
    EXPECT_EQ(calls.size(), 1u);
    if (calls.empty()) return "";
    EXPECT_EQ(calls[0].function, function);
    return calls[0].arguments.back().text;
  }
};

TEST_F(MessageEntries, EveryMessageEntryHandsOverTheFinishedText) {
  struct Case {
    const char* function;
    void (*send)();
  };
  const Case cases[] = {
      {"mi_vdebug", [] { mi_vdebug("%s=%d", "depth", 3); }},
      {"mi_debug", [] { mi_debug("%s=%d", "depth", 3); }},
      {"mi_progress", [] { mi_progress("%s=%d", "depth", 3); }},
      {"mi_info", [] { mi_info("%s=%d", "depth", 3); }},
      {"mi_warning", [] { mi_warning("%s=%d", "depth", 3); }},
      {"mi_error", [] { mi_error("%s=%d", "depth", 3); }},
      {"mi_fatal", [] { mi_fatal("%s=%d", "depth", 3); }},
      {"mi_api_warning", [] { mi_api_warning("%s=%d", "depth", 3); }},
      {"mi_api_error", [] { mi_api_error("%s=%d", "depth", 3); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    stand_in::reset();
    c.send();
    EXPECT_EQ(printed(c.function), "depth=3");
  }
}

TEST_F(MessageEntries, NumberedEntriesPassTheNumberUnchangedBeforeTheText) {
  struct Case {
    const char* function;
    void (*send)();
  };
  const Case cases[] = {
      {"mi_nwarning", [] { mi_nwarning(-7, "code %d", 12); }},
      {"mi_nerror", [] { mi_nerror(-7, "code %d", 12); }},
      {"mi_nfatal", [] { mi_nfatal(-7, "code %d", 12); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function);
    stand_in::reset();
    c.send();
    const auto calls = stand_in::calls();
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(calls[0].arguments.size(), 2u);
    EXPECT_EQ(calls[0].arguments[0].kind, 'I');
    EXPECT_EQ(static_cast<std::int32_t>(calls[0].arguments[0].bits), -7);
    EXPECT_EQ(calls[0].arguments[1].text, "code 12");
  }
}

TEST_F(MessageEntries, PercentSignsReachTheRendererLiterally) {
  mi_error("100%% of %s", "50% %d %s %n");
  EXPECT_EQ(printed("mi_error"), "100% of 50% %d %s %n");
}

TEST_F(MessageEntries, LongTextsAreCutAt1023Characters) {
  struct Case {
    std::size_t length;
    char fill;
    std::size_t expected;
  };
  const Case cases[] = {
      {1022, 'a', 1022}, {1023, 'a', 1023}, {1024, 'a', 1023}, {5000, 'a', 1023},
      {1023, '%', 1023},  // all percent signs: doubled for the renderer, still whole
      {3000, '%', 1023},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.length << " x " << c.fill);
    stand_in::reset();
    const std::string text(c.length, c.fill);
    mi_info("%s", text.c_str());
    EXPECT_EQ(printed("mi_info"), text.substr(0, c.expected));
  }
}

TEST_F(MessageEntries, FailedLookupFormatsNothingAndCallsNothing) {
  miSetModuleHandle(empty_module());
  const std::string written = stderr_of([] { mi_error("%s", "never formatted"); });
  EXPECT_NE(written.find("dlsym failed on \"mi_error\""), std::string::npos);
  EXPECT_TRUE(stand_in::calls().empty());
}

}  // namespace
}  // namespace zarn::testing
