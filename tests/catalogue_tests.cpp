// The catalogue as a whole: the facts its rows must add up to, and every
// entry's behaviour against a module that has none of them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "binding/entry_table.h"
#include "host/renderer_functions.h"
#include "tests/stand_in/stand_in_renderer.h"
#include "tests/support/modules.h"

namespace zarn::testing {
namespace {

struct Row {
  int slot;
  std::string name;
  char kind;  // p plain, m formatted message, c code-dependent, f fixed-count
  std::string shape;
};

std::string letters(const char* arguments) {
  std::string shape;
  for (const char* c = arguments; *c != '\0'; ++c)
    if (*c >= 'A' && *c <= 'Z') shape += *c;
  return shape;
}

const std::vector<Row>& rows() {
  static const std::vector<Row> all = {
#define MI_PLAIN(slot, name, result, arguments) {slot, #name, 'p', letters(#arguments)},
#define MI_FORMATTED(slot, name, result, arguments) {slot, #name, 'm', letters(#arguments)},
#define MI_CODE_DEPENDENT(slot, name, result, arguments) {slot, #name, 'c', letters(#arguments)},
#define MI_FIXED_COUNT(slot, name, result, arguments) {slot, #name, 'f', letters(#arguments)},
#include "binding/catalogue.def"
  };
  return all;
}

int count(bool (*pick)(const Row&)) {
  int n = 0;
  for (const Row& r : rows()) n += pick(r) ? 1 : 0;
  return n;
}

bool has(const Row& r, char c) { return r.shape.find(c) != std::string::npos; }

TEST(Catalogue, RowsAddUpToTheKnownFacts) {
  ASSERT_EQ(rows().size(), 691u);
  for (std::size_t i = 0; i < rows().size(); ++i) ASSERT_EQ(rows()[i].slot, int(i));
  EXPECT_EQ(count([](const Row& r) { return r.kind == 'p'; }), 675);
  EXPECT_EQ(count([](const Row& r) { return r.kind == 'm'; }), 12);
  EXPECT_EQ(count([](const Row& r) { return r.kind == 'c'; }), 3);
  EXPECT_EQ(count([](const Row& r) { return r.kind == 'f'; }), 1);
  EXPECT_EQ(count([](const Row& r) { return has(r, 'F') && !has(r, 'D'); }), 67);
  EXPECT_EQ(count([](const Row& r) { return has(r, 'D') && !has(r, 'F'); }), 9);
  EXPECT_EQ(count([](const Row& r) { return r.shape.empty(); }), 73);
  EXPECT_EQ(count([](const Row& r) { return r.kind == 'p' && r.shape.size() > 4; }), 57);
  EXPECT_EQ(rows()[0].name, "mi_scene_book_max_lines");
  EXPECT_EQ(rows()[256].name, "mi_query");
  EXPECT_EQ(rows()[690].name, "mi_api_error");
  std::set<std::string> names;
  for (const Row& r : rows()) {
    EXPECT_EQ(r.name.rfind("mi_", 0), 0u) << r.name;
    EXPECT_TRUE(names.insert(r.name).second) << "twice: " << r.name;
    EXPECT_STREQ(binding::entry_names[r.slot], r.name.c_str());
  }
}

TEST(Catalogue, NonPlainRowsSitWhereTheyBelong) {
  const struct {
    int slot;
    const char* name;
    char kind;
  } cases[] = {
      {21, "mi_scene_growedit", 'f'}, {23, "mi_scene_recreate", 'c'},
      {24, "mi_scene_create", 'c'},   {256, "mi_query", 'c'},
      {332, "mi_vdebug", 'm'},        {336, "mi_nwarning", 'm'},
      {338, "mi_nerror", 'm'},        {339, "mi_error", 'm'},
      {341, "mi_fatal", 'm'},         {689, "mi_api_warning", 'm'},
      {690, "mi_api_error", 'm'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rows()[c.slot].name, c.name);
    EXPECT_EQ(rows()[c.slot].kind, c.kind) << c.name;
  }
}

// Calls an entry with zero arguments of its own classes.
template <class Result, class... Arguments>
void call_with_zeros(Result (*entry)(Arguments...) noexcept) {
  if constexpr (std::is_void_v<Result>) {
    entry(Arguments{}...);
  } else {
    const Result result = entry(Arguments{}...);
    EXPECT_EQ(result, Result{});
  }
}

struct Entry {
  const char* name;
  void (*call)();
};

const Entry every_entry[] = {
#define MI_PLAIN(slot, name, result, arguments) {#name, [] { call_with_zeros(&name); }},
#define MI_FORMATTED(slot, name, result, arguments) \
  {#name, [] { MI_CAT(CALL_MESSAGE_, MI_COUNT arguments)(name); }},
#define CALL_MESSAGE_1(name) name("%s", "text")
#define CALL_MESSAGE_2(name) name(1, "%s", "text")
#define MI_CODE_DEPENDENT(slot, name, result, arguments) \
  {#name, [] { EXPECT_EQ(CALL_CODE_DEPENDENT_##name, 0); }},
#define CALL_CODE_DEPENDENT_mi_scene_create mi_scene_create(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0) != nullptr
#define CALL_CODE_DEPENDENT_mi_scene_recreate mi_scene_recreate(0, 0, 0, 0, 0, 0, 0, 0, 0, 0) != nullptr
#define CALL_CODE_DEPENDENT_mi_query mi_query(0, nullptr, 0, nullptr)
#define MI_FIXED_COUNT(slot, name, result, arguments) \
  {#name, [] { EXPECT_EQ(name(0, 0, 0, 0, 0, 0, 0, 0, 0), nullptr); }},
#include "binding/catalogue.def"
};

TEST(Catalogue, EveryEntryReportsItsOwnNameWhenTheModuleLacksIt) {
  ASSERT_EQ(std::size(every_entry), 691u);
  void* module = empty_module();
  miSetModuleHandle(module);
  stand_in::reset();
  for (const Entry& e : every_entry) {
    char expected[256];
    binding::format_lookup_failure(expected, sizeof expected, e.name, module,
                                   missing_function_error);
    EXPECT_EQ(stderr_of(e.call), expected);
  }
  for (std::size_t slot = 0; slot < binding::entry_count; ++slot)
    EXPECT_EQ(binding::entry_table[slot].load(), nullptr) << binding::entry_names[slot];
  EXPECT_TRUE(stand_in::calls().empty());
}

}  // namespace
}  // namespace zarn::testing
