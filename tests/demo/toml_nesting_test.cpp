// The nesting check that runs before toml++: where it finds a text too deep, and the strings, comments and
// numbers whose brackets and dots it must not count.
#include "demo/toml_nesting.h"

#include <gtest/gtest.h>

#include <string>

#include "demo/built_in_form.h"

namespace glimmer {
namespace {

struct NestingCase {
  std::string name;
  std::string text;
  int max_depth;
  std::int64_t line;  // 0: not too deep
  std::int64_t column;
};
void PrintTo(const NestingCase& c, std::ostream* os) {
  *os << c.name;
}

class Nesting : public ::testing::TestWithParam<NestingCase> {};

TEST_P(Nesting, IsFoundWhereItGoesTooDeep) {
  const NestingCase& c = GetParam();
  const auto found = FindTooDeepNesting(c.text, c.max_depth);
  if (c.line == 0) {
    EXPECT_FALSE(found) << "found at " << found->line << ":" << found->column;
  } else {
    ASSERT_TRUE(found);
    EXPECT_EQ(found->line, c.line);
    EXPECT_EQ(found->column, c.column);
  }
}

std::string Repeated(const std::string& part, int times, const std::string& separator) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += (i > 0 ? separator : "") + part;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Nesting,
    ::testing::Values(
        NestingCase{"DottedKey", "x = 1\na.b.c = 1\n", 2, 2, 1},
        NestingCase{"DottedKeyAtTheLimit", "a.b.c = 1\n", 3, 0, 0},
        NestingCase{"SpacesAroundTheDots", "a . b\t. c = 1\n", 2, 1, 1},
        NestingCase{"Header", "[a]\n[a.b.c]\n", 2, 2, 1},
        NestingCase{"ArrayOfTablesAddsALevel", "[[a.b]]\n", 2, 1, 1},
        NestingCase{"KeysUnderAHeader", "[a.b]\nc = 1\nd.e = 2\n", 3, 3, 1},
        NestingCase{"ANewHeaderStartsAgain", "[a.b.c]\n[d]\ne.f = 1\n", 3, 0, 0},
        NestingCase{"QuotedPartsWithDots", "\"a.b.c\".'d.e.f' = 1\n", 2, 0, 0},
        NestingCase{"DotsAndBracketsInStrings", "x = \"a.b[c{d\"\ny = 'e.f[[g'\n", 1, 0, 0},
        NestingCase{"EscapedQuoteInAString", "x = \"a\\\"[[[\"\ny.z = 1\n", 1, 2, 1},
        NestingCase{"MultiLineBasicString", "x = \"\"\"\n[[[ \\\"\"\" ]]]\n\"\"\"\ny.z = 1\n", 1, 4, 1},
        NestingCase{"MultiLineLiteralEndingInQuotes", "x = '''a.b[['''''\ny.z = 1\n", 1, 2, 1},
        NestingCase{"Comments", "# [a.b.c.d]\nx = 1 # {[.\n", 1, 0, 0},
        NestingCase{"NumbersAndDates", "x = 1.5e3\ny = 1979-05-27T07:32:00.999Z\nz = 1979-05-27 07:32:00\n",
                    1, 0, 0},
        NestingCase{"ArrayOverLinesWithComments", "x = [\n  [1, # ]\n  [2]],\n]\n", 2, 2, 3},
        NestingCase{"InlineTables", "x = { a = { b = 1 } }\n", 2, 1, 13},
        NestingCase{"InlineTableWithADottedKey", "x = { a.b = 1 }\n", 2, 1, 7},
        NestingCase{"ColumnsCountCharacters", "x = [\"\xC3\xA9\", [[1]]]\n", 2, 1, 11},
        NestingCase{"ByteOrderMark", "\xEF\xBB\xBF# comment\na.b.c = 1\n", 2, 2, 1},
        NestingCase{"WindowsLineEnds", "a = 1\r\nb.c.d = 2\r\n", 2, 2, 1},
        NestingCase{"StopsWhereTheTextStopsBeingToml", "\"unterminated\na.b.c = 1\n", 1, 0, 0},
        // A key of 200,000 parts overflowed toml++'s stack.
        NestingCase{"KeyOfManyParts", Repeated("a", 200000, ".") + " = 1\n", 32, 1, 1},
        NestingCase{"HeaderOfManyParts", "[" + Repeated("a", 200000, ".") + "]\n", 32, 1, 1},
        NestingCase{"ManyArrays", "x = " + std::string(100000, '[') + std::string(100000, ']') + "\n", 32, 1,
                    36},
        NestingCase{"ManyInlineTables", "x = " + Repeated("{a = ", 1000, "") + "1" + std::string(1000, '}'),
                    32, 1, 161}),
    [](const auto& test) { return test.param.name; });

TEST(Nesting, TheDemoDescriptionNestsFourDeep) {
  EXPECT_FALSE(FindTooDeepNesting(BuiltInFormText(), 4));
  const auto found = FindTooDeepNesting(BuiltInFormText(), 3);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->line, 22);  // _extentx, the first entry
  EXPECT_EQ(found->column, 1);
}

}  // namespace
}  // namespace glimmer
