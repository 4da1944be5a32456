// SPDX-License-Identifier: MIT
// The stored form description: the built-in one, the round trip of typed entries, and the errors of bad
// descriptions with their places.
#include "demo/form/form_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "demo/form/built_in_form.h"

namespace glimmer {
namespace {

using Entry = MemoryPropertyBag::Entry;

TEST(FormFile, TheBuiltInDescriptionIsTheDemoWindow) {
  const auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form) << form.error().Message();
  EXPECT_EQ(form->caption, "Glimmer");
  EXPECT_EQ(form->border, FormBorder::FixedSingle);
  EXPECT_FALSE(form->min_button);
  EXPECT_FALSE(form->max_button);
  EXPECT_EQ(form->start_up_position, StartUpPosition::CenterScreen);
  EXPECT_EQ(form->client_width, 3975);
  EXPECT_EQ(form->client_height, 1680);
  EXPECT_EQ(form->led1.class_name, "ProjectGlimmer.LED");
  EXPECT_EQ(form->led1.left, 120);
  EXPECT_EQ(form->led1.top, 120);
  EXPECT_EQ(form->led1.width, 3765);
  EXPECT_EQ(form->led1.height, 480);
  const std::vector<Entry> expected{{"_extentx", std::int32_t{6641}},
                                    {"_extenty", std::int32_t{847}},
                                    {"color", std::int32_t{1}},
                                    {"repeated", True},
                                    {"value", u"GLIMMER"}};
  EXPECT_EQ(form->led1.entries, expected);
}

TEST(FormFile, WritingTheBuiltInDescriptionGivesTheSameFile) {
  const auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form);
  EXPECT_EQ(FormatFormDescription(*form), BuiltInFormText());
}

TEST(FormFile, GlyphsAreWrittenOnlyWhenNotTheDefault) {
  auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form);
  EXPECT_EQ(form->led1.glyphs, GlyphSet::Capitals);
  EXPECT_FALSE(form->led1.upper_case);
  form->led1.glyphs = GlyphSet::Ascii;
  form->led1.upper_case = true;
  const std::string text = FormatFormDescription(*form);
  EXPECT_NE(text.find("\nglyphs = \"ascii\"\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nupper_case = true\n"), std::string::npos) << text;
  const auto back = ParseFormDescription(text, "saved.toml");
  ASSERT_TRUE(back) << back.error().Message();
  EXPECT_EQ(back->led1.glyphs, GlyphSet::Ascii);
  EXPECT_TRUE(back->led1.upper_case);
}

TEST(FormFile, EntriesKeepTheOrderOfTheFileAndKeysAreWrittenInLowerCase) {
  auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form);
  form->led1.entries = {{"Value", u"B"}, {"Delay", std::int16_t{7}}, {"BorderStyle", std::int32_t{0}}};
  const auto back = ParseFormDescription(FormatFormDescription(*form), "saved.toml");
  ASSERT_TRUE(back) << back.error().Message();
  // The writer sorts the keys; the reader keeps the order it finds.
  const std::vector<Entry> expected{
      {"borderstyle", std::int32_t{0}}, {"delay", std::int16_t{7}}, {"value", u"B"}};
  EXPECT_EQ(back->led1.entries, expected);
}

// Every type an entry can have comes back as itself, value and width.
class TypedEntryRoundTrip : public ::testing::TestWithParam<PropertyValue> {};

TEST_P(TypedEntryRoundTrip, ComesBackAsItWas) {
  auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form);
  form->led1.entries = {{"probe", GetParam()}};
  const std::string text = FormatFormDescription(*form);
  const auto back = ParseFormDescription(text, "saved.toml");
  ASSERT_TRUE(back) << back.error().Message() << "\n" << text;
  ASSERT_EQ(back->led1.entries.size(), 1u);
  const PropertyValue& value = back->led1.entries[0].second;
  if (const double* d = GetParam().get_if<double>(); d && std::isnan(*d)) {
    ASSERT_NE(value.get_if<double>(), nullptr);
    EXPECT_TRUE(std::isnan(*value.get_if<double>()));
  } else {
    EXPECT_EQ(value, GetParam()) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, TypedEntryRoundTrip,
    ::testing::Values(PropertyValue(std::int16_t{-32768}), PropertyValue(std::int16_t{0}),
                      PropertyValue(std::int16_t{32767}), PropertyValue(std::int32_t{-2147483647 - 1}),
                      PropertyValue(std::int32_t{1}), PropertyValue(std::int32_t{2147483647}),
                      PropertyValue(0.1), PropertyValue(-2.5e-300), PropertyValue(1e300), PropertyValue(3.0),
                      PropertyValue(std::numeric_limits<double>::infinity()),
                      PropertyValue(std::numeric_limits<double>::quiet_NaN()), PropertyValue(True),
                      PropertyValue(False), PropertyValue(u""), PropertyValue(u"GLIMMER"),
                      PropertyValue(u"\u00e9\u4e2d\U0001F600"),
                      PropertyValue(u"line\nbreak \"quoted\" \\ 'single'"),
                      PropertyValue(u"\x01\x7f\ttab '''"), PropertyValue(u"\nstarts with a newline"),
                      PropertyValue()));

struct BadCase {
  std::string name;
  std::string from;  // replaced in the built-in text...
  std::string to;    // ...by this
  std::int64_t line;
  std::int64_t column;
  std::string says;
};
void PrintTo(const BadCase& c, std::ostream* os) {
  *os << c.name;
}

std::string Edited(const BadCase& c) {
  std::string text(BuiltInFormText());
  const auto at = text.find(c.from);
  EXPECT_NE(at, std::string::npos) << c.from;
  if (at != std::string::npos) text.replace(at, c.from.size(), c.to);
  return text;
}

class BadDescription : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadDescription, IsRefusedWithItsPlace) {
  const BadCase& c = GetParam();
  const auto form = ParseFormDescription(Edited(c), "bad.toml");
  ASSERT_FALSE(form);
  EXPECT_EQ(form.error().source, "bad.toml");
  EXPECT_EQ(form.error().line, c.line) << form.error().Message();
  EXPECT_EQ(form.error().column, c.column) << form.error().Message();
  EXPECT_NE(form.error().what.find(c.says), std::string::npos) << form.error().Message();
  EXPECT_EQ(form.error().Message().rfind("bad.toml:" + std::to_string(c.line) + ":", 0), 0u);
}

// Lines of the built-in text: 5 [FormGlimmer], 6 border_style ... 9 client_width, 14 [FormGlimmer.LED1],
// 15 class ... 19 width, 21 [FormGlimmer.LED1.entries], 22 _extentx ... 26 value.
INSTANTIATE_TEST_SUITE_P(
    Cases, BadDescription,
    ::testing::Values(
        BadCase{"SyntaxError", "caption = \"Glimmer\"", "caption = ", 7, 11, "expected"},
        BadCase{"UnclosedTable", "[FormGlimmer.LED1]", "[FormGlimmer.LED1", 14, 18, ""},
        BadCase{"TextWhereANumberBelongs", "client_width = 3975", "client_width = \"wide\"", 9, 16,
                "FormGlimmer.client_width must be a number of twips, not a string"},
        BadCase{"NumberWhereTextBelongs", "caption = \"Glimmer\"", "caption = 5", 7, 11,
                "FormGlimmer.caption must be a string, not an integer"},
        BadCase{"FlagAsText", "min_button = false", "min_button = \"no\"", 11, 14, "true or false"},
        BadCase{"UnknownChoice", "\"fixed-single\"", "\"thin\"", 6, 16, "\"fixed-single\" or \"sizable\""},
        BadCase{"MissingSetting", "caption = \"Glimmer\"\n", "", 5, 1,
                "[FormGlimmer] has no 'caption' setting"},
        BadCase{"MisspeltSetting", "max_button", "max_buton", 10, 1, "unknown setting 'max_buton'"},
        BadCase{"NegativeClientArea", "client_height = 1680", "client_height = -15", 8, 17,
                "impossible size"},
        // Sizes are given exactly, with the true limits.
        BadCase{"EmptyClientArea", "client_width = 3975", "client_width = 0", 9, 16,
                "client_width is 0 twips, an impossible size: it must be from 15 to 737250 twips (1 to 49150 "
                "pixels)"},
        BadCase{"HugeClientArea", "client_width = 3975", "client_width = 2147483647", 9, 16,
                "client_width is 2147483647 twips, an impossible size"},
        BadCase{"SignTooWide", "width = 3765", "width = 300000", 19, 9,
                "width is 300000 twips, an impossible size: it must be from 0 to 245730 twips (0 to 16382 "
                "pixels)"},
        BadCase{"FractionalSize", "top = 120", "top = -0.125", 18, 7, "top is -0.125 twips"},
        BadCase{"SignLeftOfTheWindow", "left = 120", "left = -0.5", 17, 8, "impossible size"},
        BadCase{"NotANumberSize", "height = 480", "height = nan", 16, 10, "impossible size"},
        BadCase{"OtherClass", "\"ProjectGlimmer.LED\"", "\"ProjectGlimmer.Dial\"", 15, 9,
                "this program hosts only \"ProjectGlimmer.LED\""},
        BadCase{"EntryTooWideFor16Bits", "color = 1", "color = { int16 = 40000 }", 24, 19,
                "40000 does not fit a 16-bit integer"},
        BadCase{"EntryTooWideFor32Bits", "color = 1", "color = 5000000000", 24, 9,
                "does not fit a 32-bit integer"},
        BadCase{"EntryIsAnArray", "color = 1", "color = [1, 2]", 24, 9, "not an array"},
        BadCase{"EntryIsADate", "color = 1", "color = 1979-05-27", 24, 9, "not a date or time"},
        BadCase{"UnknownTypedForm", "color = 1", "color = { int8 = 1 }", 24, 9, "{ int16 = N }"},
        BadCase{"KeysDifferingOnlyInCase", "repeated = true", "repeated = true\nColor = 2", 26, 1,
                "'Color' repeats 'color'"},
        BadCase{"ExtentDisagreesWithWidth", "_extentx = 6641", "_extentx = 7000", 22, 12,
                "does not match width = 3765 twips"},
        BadCase{"ExtentAsText", "_extenty = 847", "_extenty = \"847\"", 23, 12, "must be a 32-bit integer"},
        BadCase{"ExtraTable", "[FormGlimmer]", "[Other]\n[FormGlimmer]", 5, 2, "unknown table 'Other'"},
        // The entries nest 3 deep; 30 more parts make 33.
        BadCase{"NestedTooDeep", "color = 1",
                "color.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a = 1", 24, 1,
                "nest more than 32 levels deep"}),
    [](const auto& test) { return test.param.name; });

// A key or a text from the file with control characters in it (a line break, a terminal's escape) is shown
// escaped: the message is one line of plain text.
class EscapedInMessage : public ::testing::TestWithParam<BadCase> {};

TEST(DescriptionError, ShowsTheFileNameEscapedToo) {
  const auto form = ParseFormDescription("[Other]\n", "a\x1b[2Jb\n.toml");
  ASSERT_FALSE(form);
  EXPECT_EQ(form.error().Message(),
            "a\\u001B[2Jb\\n.toml:1:2: unknown table 'Other': the description holds "
            "[FormGlimmer] only");
}

TEST_P(EscapedInMessage, KeepsTheMessageOnOneLine) {
  const auto form = ParseFormDescription(Edited(GetParam()), "bad.toml");
  ASSERT_FALSE(form);
  const std::string message = form.error().Message();
  EXPECT_EQ(message.find_first_of("\n\x1b"), std::string::npos) << message;
  EXPECT_NE(message.find(GetParam().says), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(Cases, EscapedInMessage,
                         ::testing::Values(BadCase{"UnknownKey", "max_button", "\"a\\nb\\u001b[31m\"", 10, 1,
                                                   "'a\\nb\\u001B[31m'"},
                                           BadCase{"Choice", "\"fixed-single\"", "\"thin\\u001b[2J\\n\"", 6,
                                                   16, "not \"thin\\u001B[2J\\n\""},
                                           BadCase{"EntryKey", "color = 1", "\"c\\r\" = [1]", 24, 9,
                                                   "entries.c\\u000D must be"}),
                         [](const auto& test) { return test.param.name; });

// Keys and texts that TOML writers get wrong: quotes of both kinds, TABs, line breaks, control characters,
// characters that mean something in TOML, and what only looks like an escape.
const std::vector<Entry>& HostileEntries() {
  static const std::vector<Entry> entries{{"it's", u"it's"},
                                          {"x'", u"'"},
                                          {"\t", u"\t"},
                                          {"'color'", u"'''"},
                                          {"''", u"\"\"\""},
                                          {"a\t", u"a\\b"},
                                          {"a\nb", u"\n\r\n"},
                                          {"", u""},
                                          {"\"", u"\x1b[31m\x07"},
                                          {"\u00e9", u"\u00e9\U0001F600"},
                                          {"two words", u" "},
                                          {"a.b", u"a.b = 1"},
                                          {"#", u"# not a comment"},
                                          {"=", u"="},
                                          {"\x7f\x01", u"\x7f\x01"},
                                          {"[x]", u"[x]"},
                                          {"\\u0041", u"\\u0041"},
                                          {"-_09az", u"\\"}};
  return entries;
}

FormDescription WithHostileEntries() {
  auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  EXPECT_TRUE(form);
  form->led1.entries = HostileEntries();
  return *form;
}

TEST(FormFile, HostileKeysAndTextsReadBackAsThemselves) {
  const std::string text = FormatFormDescription(WithHostileEntries());
  const auto back = ParseFormDescription(text, "saved.toml");
  ASSERT_TRUE(back) << back.error().Message() << "\n" << text;
  std::vector<Entry> expected = HostileEntries();
  std::sort(expected.begin(), expected.end(),
            [](const Entry& a, const Entry& b) { return a.first < b.first; });
  EXPECT_EQ(back->led1.entries, expected) << text;
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  for (const unsigned char c : bytes) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  return hex;
}

// A second, independent reader (Python's tomllib) finds the same keys and texts.
TEST(FormFile, HostileKeysAndTextsReadTheSameInAnotherTomlReader) {
  if (std::system("python3 -c 'import tomllib' 2>/dev/null") != 0) GTEST_SKIP() << "no python3 with tomllib";
  const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "hostile.toml";
  std::ofstream(file, std::ios::binary) << FormatFormDescription(WithHostileEntries());
  const std::string command =
      "python3 -c 'import sys, tomllib\n"
      "entries = tomllib.load(open(sys.argv[1], \"rb\"))[\"FormGlimmer\"][\"LED1\"][\"entries\"]\n"
      "for k, v in sorted(entries.items()): print(k.encode().hex(), v.encode().hex())' " +
      file.string();
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string seen;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
    seen += buffer;
  ASSERT_EQ(pclose(pipe), 0) << seen;
  std::vector<std::pair<std::string, std::string>> expected;
  for (const auto& [key, value] : HostileEntries())
    expected.emplace_back(key, ToUtf8(*value.get_if<std::u16string>()));
  std::sort(expected.begin(), expected.end());
  std::string wanted;
  for (const auto& [key, value] : expected)
    wanted += Hex(key) + " " + Hex(value) + "\n";
  EXPECT_EQ(seen, wanted);
}

TEST(FormFile, AFileWithoutTheFormSaysSo) {
  const auto form = ParseFormDescription("# nothing here\n", "empty.toml");
  ASSERT_FALSE(form);
  EXPECT_EQ(form.error().Message(), "empty.toml: there is no [FormGlimmer] table");
}

TEST(FormFile, AMissingFileIsAnErrorWithoutAPlace) {
  const auto form = ReadFormFile("/nonexistent/FormGlimmer.toml");
  ASSERT_FALSE(form);
  EXPECT_EQ(form.error().line, 0);
  EXPECT_EQ(form.error().Message(),
            "/nonexistent/FormGlimmer.toml: cannot read it: No such file or directory");
}

}  // namespace
}  // namespace glimmer
