// SPDX-License-Identifier: MIT
// The check that runs before toml++: where it finds a text nested too deep or a character beyond ASCII
// that toml++ would ask to be white space, and the strings, comments and numbers whose brackets, dots and
// characters it must let be.
#include "demo/form/toml_precheck.h"

#include <gtest/gtest.h>

#include <string>

#include "demo/form/built_in_form.h"

namespace glimmer {
namespace {

struct HazardCase {
  std::string name;
  std::string text;
  int max_depth;
  std::int64_t line;  // 0: no hazard
  std::int64_t column;
  std::string says = "nest more than";
};
void PrintTo(const HazardCase& c, std::ostream* os) {
  *os << c.name;
}

class Precheck : public ::testing::TestWithParam<HazardCase> {};

TEST_P(Precheck, FindsTheFirstHazardAndItsPlace) {
  const HazardCase& c = GetParam();
  const auto found = PrecheckToml(c.text, c.max_depth);
  if (c.line == 0) {
    EXPECT_FALSE(found) << found->line << ":" << found->column << ": " << found->what;
  } else {
    ASSERT_TRUE(found);
    EXPECT_EQ(found->line, c.line);
    EXPECT_EQ(found->column, c.column);
    EXPECT_NE(found->what.find(c.says), std::string::npos) << found->what;
  }
}

std::string Repeated(const std::string& part, int times, const std::string& separator) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += (i > 0 ? separator : "") + part;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Nesting, Precheck,
    ::testing::Values(
        HazardCase{"DottedKey", "x = 1\na.b.c = 1\n", 2, 2, 1},
        HazardCase{"DottedKeyAtTheLimit", "a.b.c = 1\n", 3, 0, 0},
        HazardCase{"SpacesAroundTheDots", "a . b\t. c = 1\n", 2, 1, 1},
        HazardCase{"Header", "[a]\n[a.b.c]\n", 2, 2, 1},
        HazardCase{"ArrayOfTablesAddsALevel", "[[a.b]]\n", 2, 1, 1},
        HazardCase{"KeysUnderAHeader", "[a.b]\nc = 1\nd.e = 2\n", 3, 3, 1},
        HazardCase{"ANewHeaderStartsAgain", "[a.b.c]\n[d]\ne.f = 1\n", 3, 0, 0},
        HazardCase{"QuotedPartsWithDots", "\"a.b.c\".'d.e.f' = 1\n", 2, 0, 0},
        HazardCase{"DotsAndBracketsInStrings", "x = \"a.b[c{d\"\ny = 'e.f[[g'\n", 1, 0, 0},
        HazardCase{"EscapedQuoteInAString", "x = \"a\\\"[[[\"\ny.z = 1\n", 1, 2, 1},
        HazardCase{"MultiLineBasicString", "x = \"\"\"\n[[[ \\\"\"\" ]]]\n\"\"\"\ny.z = 1\n", 1, 4, 1},
        HazardCase{"MultiLineLiteralEndingInQuotes", "x = '''a.b[['''''\ny.z = 1\n", 1, 2, 1},
        HazardCase{"Comments", "# [a.b.c.d]\nx = 1 # {[.\n", 1, 0, 0},
        HazardCase{"NumbersAndDates", "x = 1.5e3\ny = 1979-05-27T07:32:00.999Z\nz = 1979-05-27 07:32:00\n", 1,
                   0, 0},
        HazardCase{"ArrayOverLinesWithComments", "x = [\n  [1, # ]\n  [2]],\n]\n", 2, 2, 3},
        HazardCase{"InlineTables", "x = { a = { b = 1 } }\n", 2, 1, 13},
        HazardCase{"InlineTableWithADottedKey", "x = { a.b = 1 }\n", 2, 1, 7},
        HazardCase{"ColumnsCountCharacters", "x = [\"\xC3\xA9\", [[1]]]\n", 2, 1, 11},
        HazardCase{"ByteOrderMark", "\xEF\xBB\xBF# comment\na.b.c = 1\n", 2, 2, 1},
        HazardCase{"WindowsLineEnds", "a = 1\r\nb.c.d = 2\r\n", 2, 2, 1},
        HazardCase{"StopsWhereTheTextStopsBeingToml", "\"unterminated\na.b.c = 1\n", 1, 0, 0},
        // A key of 200,000 parts overflowed toml++'s stack.
        HazardCase{"KeyOfManyParts", Repeated("a", 200000, ".") + " = 1\n", 32, 1, 1},
        HazardCase{"HeaderOfManyParts", "[" + Repeated("a", 200000, ".") + "]\n", 32, 1, 1},
        HazardCase{"ManyArrays", "x = " + std::string(100000, '[') + std::string(100000, ']') + "\n", 32, 1,
                   36},
        HazardCase{"EscapedQuotesEndingAMultiLineString", "x = \"\"\"a\\\"\"\"\"\ny.z = 1\n", 1, 2, 1},
        HazardCase{"ManyInlineTables", "x = " + Repeated("{a = ", 1000, "") + "1" + std::string(1000, '}'),
                   32, 1, 161}),
    [](const auto& test) { return test.param.name; });

// Characters beyond ASCII where toml++ asks whether they are white space: some (U+00A1 to U+0499 among
// them) sent it into code marked unreachable.
const std::string kOutside = "may stand only in a string or a comment";
const std::string kBackslash = "cannot follow a backslash in a multi-line string";

INSTANTIATE_TEST_SUITE_P(
    Characters, Precheck,
    ::testing::Values(
        HazardCase{"AfterAValue", "a = 1 \u00a1\n", 9, 1, 7, "'\u00a1' (U+00A1) " + kOutside},
        HazardCase{"InABareKey", "ca\u02e2 = 1\n", 9, 1, 3, "'\u02e2' (U+02E2) " + kOutside},
        HazardCase{"StartingALine", "a = 1\n\u0416 = 1\n", 9, 2, 1, kOutside},
        HazardCase{"AfterAHeader", "[a] \u00e9\n", 9, 1, 5, kOutside},
        HazardCase{"AfterAKey", "a \u00e9 = 1\n", 9, 1, 3, kOutside},
        HazardCase{"InAnArray", "x = [1, \u00e9]\n", 9, 1, 9, kOutside},
        HazardCase{"InAnInlineTable", "x = { \u00e9 = 1 }\n", 9, 1, 7, kOutside},
        HazardCase{"NoBreakSpace", "a =\u00a01\n", 9, 1, 4, "(U+00A0)"},
        HazardCase{"InStringsAndComments",
                   "x = \"\u00e9\" # \u00e9\ny = '''\u00e9\\'''\n\"\u00e9\" = '\u3000'\nz = "
                   "\"\"\"\u00e9\\n\u00e9\"\"\"\n",
                   9, 0, 0},
        HazardCase{"AfterABackslash", "x = \"\"\"a\\\u00e9\"\"\"\n", 9, 1, 10,
                   "'\u00e9' (U+00E9) " + kBackslash},
        HazardCase{"AfterABackslashAndBlanks", "x = \"\"\"a\\  \u00e9\"\"\"\n", 9, 1, 12, kBackslash},
        HazardCase{"WhereABackslashContinuesTheString", "x = \"\"\"a\\\r\n\n   \u00e9\"\"\"\n", 9, 3, 4,
                   kBackslash},
        HazardCase{"InAMultiLineStringAsAKey", "\"\"\"\n\\\u00a1\"\"\" = 1\n", 9, 2, 2, kBackslash},
        HazardCase{"LaterInAContinuedString", "x = \"\"\"a\\\n  b \u00e9\"\"\"\n", 9, 0, 0},
        HazardCase{"InvalidUtf8IsLeftToToml", "a = \xC3\n\xFF\n", 9, 0, 0}),
    [](const auto& test) { return test.param.name; });

TEST(Precheck, TheDemoDescriptionNestsFourDeep) {
  EXPECT_FALSE(PrecheckToml(BuiltInFormText(), 4));
  const auto found = PrecheckToml(BuiltInFormText(), 3);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->line, 22);  // _extentx, the first entry
  EXPECT_EQ(found->column, 1);
}

}  // namespace
}  // namespace glimmer
