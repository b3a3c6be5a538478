// The reader of shader declarations that the preview tool and the layout
// test rely on: positions, defaults, and the faults it must refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tools/preview/declaration.h"

namespace zarn::preview {
namespace {

TEST(DeclarationReader, PositionsFollowTheOrderWithColoursTakingSixteenBytes) {
  const Declarations d = parse_declarations(R"(
    # a comment, and one after a parameter
    declare shader
      color "s" (
        integer "a",          # 0
        color "c",            # 4
        scalar "b",           # 20
        boolean "e", string "f", color "g"
      )
      version 3
      apply material, shadow
    end declare)",
                                            "t.mi");
  ASSERT_EQ(d.shaders.size(), 1u);
  const ShaderDeclaration& s = d.shaders[0];
  EXPECT_EQ(s.name, "s");
  EXPECT_EQ(s.result_type, "color");
  EXPECT_EQ(s.version, 3);
  EXPECT_EQ(s.apply, (std::vector<std::string>{"material", "shadow"}));
  const std::pair<const char*, std::size_t> expected[] = {{"a", 0},  {"c", 4},  {"b", 20},
                                                          {"e", 24}, {"f", 28}, {"g", 32}};
  for (const auto& [name, offset] : expected) {
    SCOPED_TRACE(name);
    ASSERT_NE(s.find(name), nullptr);
    EXPECT_EQ(s.find(name)->offset, offset);
  }
  EXPECT_EQ(s.record_size, 48u);
}

TEST(DeclarationReader, ReadsDefaultsOfEveryType) {
  const Declarations d = parse_declarations(R"(
    declare shader "s" (
      boolean "on" default on, boolean "off" default false,
      integer "i" default -2147483648, scalar "x" default -1.5e2,
      string "t" default "some text", color "c3" default 0.5 0.25 1,
      color "c4" default 1 2 3 4, integer "none"
    )
    end declare)",
                                            "t.mi");
  const ShaderDeclaration& s = d.shaders.at(0);
  EXPECT_EQ(s.result_type, "");
  EXPECT_FALSE(s.version.has_value());
  EXPECT_TRUE(s.find("on")->fallback->boolean);
  EXPECT_FALSE(s.find("off")->fallback->boolean);
  EXPECT_EQ(s.find("i")->fallback->integer, INT32_MIN);
  EXPECT_EQ(s.find("x")->fallback->scalar, -150.0f);
  EXPECT_EQ(s.find("t")->fallback->text, "some text");
  EXPECT_EQ(s.find("c3")->fallback->color, (std::array<float, 4>{0.5f, 0.25f, 1, 1}));
  EXPECT_EQ(s.find("c4")->fallback->color, (std::array<float, 4>{1, 2, 3, 4}));
  EXPECT_FALSE(s.find("none")->fallback.has_value());
}

struct Fault {
  const char* text;
  const char* message;  // what the error must say, "t.mi:line: ..."
};

void PrintTo(const Fault& c, std::ostream* os) { *os << c.message; }

class DeclarationFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(DeclarationFaults, AreRefusedWithTheirLine) {
  try {
    parse_declarations(GetParam().text, "t.mi");
    ADD_FAILURE() << "accepted";
  } catch (const DeclarationError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeclarationFaults,
    ::testing::Values(
        Fault{"declare shader \"s\" (\n vector \"v\"\n) end declare",
              "t.mi:2: parameter type 'vector' is not one the shaders use"},
        Fault{"declare shader \"s\" (\n integer \"a\"\n integer \"b\") end declare",
              "t.mi:3: expected ','"},
        Fault{"declare shader \"s\" (integer \"a\",\n integer \"a\") end declare",
              "t.mi:2: parameter \"a\" is declared twice"},
        Fault{"declare shader \"s\" (\n boolean \"a\" default maybe) end declare",
              "t.mi:2: the default of \"a\" is 'maybe'; expected on, off"},
        Fault{"declare shader \"s\" (integer \"a\" default 2147483648) end declare",
              "the default of \"a\" is '2147483648'"},
        Fault{"declare shader \"s\" (color \"c\" default 1 2) end declare",
              "the default of \"c\" is '1 2'"},
        Fault{"declare shader \"s\" (integer \"a\")\n version 1", "t.mi:2: expected 'version', "
                                                                  "'apply' or 'end declare', found "
                                                                  "the end of the file"},
        Fault{"declare shader \"s\" (integer \"a\") end declare\n"
              "declare shader \"s\" (integer \"b\") end declare",
              "t.mi:2: shader \"s\" is declared twice"},
        Fault{"link \"x.so\"", "t.mi:1: expected 'declare'"},
        Fault{"declare shader \"s (integer \"a\") end declare",
              "t.mi:1: a quoted name is not closed"},
        Fault{"declare shader \"s\" integer \"a\") end declare", "t.mi:1: expected '('"},
        Fault{"declare shader \"s\" (integer \"a\nb\") end declare",
              "t.mi:1: a quoted name runs past the end of its line"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
}  // namespace zarn::preview
