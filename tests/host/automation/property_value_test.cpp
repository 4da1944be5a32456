// SPDX-License-Identifier: MIT
// Conversions of bag and late-bound values into the control's field types.
#include "host/automation/property_value.h"

#include <gtest/gtest.h>

namespace glimmer {
namespace {

// What a value converts to, per target: a number, or the error.
struct Conversion {
  const char* name;
  PropertyValue value;
  Result<std::int16_t> int16;
  Result<std::int32_t> int32;
  Result<Boolean> boolean;
};

class Conversions : public ::testing::TestWithParam<Conversion> {};

TEST_P(Conversions, FollowTheRules) {
  const Conversion& c = GetParam();
  EXPECT_EQ(c.value.ToInt16(), c.int16);
  EXPECT_EQ(c.value.ToInt32(), c.int32);
  EXPECT_EQ(c.value.ToBoolean(), c.boolean);
}

const auto kOverflow = Fail(Error::Overflow);
const auto kMismatch = Fail(Error::TypeMismatch);

INSTANTIATE_TEST_SUITE_P(
    Table, Conversions,
    ::testing::Values(Conversion{"int16", std::int16_t{-7}, std::int16_t{-7}, -7, True},
                      Conversion{"int32_small", std::int32_t{50}, std::int16_t{50}, 50, True},
                      Conversion{"int32_zero", std::int32_t{0}, std::int16_t{0}, 0, False},
                      Conversion{"int32_40000", std::int32_t{40000}, kOverflow, 40000, True},
                      Conversion{"int32_min16", std::int32_t{-32768}, std::int16_t{-32768}, -32768, True},
                      Conversion{"int32_below16", std::int32_t{-32769}, kOverflow, -32769, True},
                      Conversion{"true", True, std::int16_t{-1}, -1, True},
                      Conversion{"false", False, std::int16_t{0}, 0, False},
                      Conversion{"double_tie", 2.5, std::int16_t{2}, 2, True},
                      Conversion{"double_big", 3e9, kOverflow, kOverflow, True},
                      Conversion{"text_number", u" -42 ", std::int16_t{-42}, -42, True},
                      Conversion{"text_zero", u"0", std::int16_t{0}, 0, False},
                      Conversion{"text_true", u"tRuE", kMismatch, kMismatch, True},
                      Conversion{"text_words", u"GLIMMER", kMismatch, kMismatch, kMismatch},
                      Conversion{"text_fraction", u"1.5", kMismatch, kMismatch, kMismatch},
                      Conversion{"text_empty", u"", kMismatch, kMismatch, kMismatch},
                      Conversion{"text_huge", u"99999999999999999999999", kOverflow, kOverflow, kMismatch},
                      Conversion{"empty", PropertyValue{}, std::int16_t{0}, 0, False}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(PropertyValue, EveryKindBecomesText) {
  EXPECT_EQ(PropertyValue(std::int16_t{-5}).ToText(), u"-5");
  EXPECT_EQ(PropertyValue(std::int32_t{6641}).ToText(), u"6641");
  EXPECT_EQ(PropertyValue(True).ToText(), u"True");
  EXPECT_EQ(PropertyValue(False).ToText(), u"False");
  EXPECT_EQ(PropertyValue(0.25).ToText(), u"0.25");
  EXPECT_EQ(PropertyValue(u"\u00E9t\u00E9").ToText(), u"\u00E9t\u00E9");
}

TEST(PropertyValue, NumericEqualityIgnoresWidths) {
  EXPECT_TRUE(PropertyValue(std::int32_t{50}).NumericallyEquals(std::int16_t{50}));
  EXPECT_TRUE(PropertyValue(True).NumericallyEquals(std::int16_t{-1}));
  EXPECT_TRUE(PropertyValue(50.0).NumericallyEquals(std::int32_t{50}));
  EXPECT_FALSE(PropertyValue(std::int32_t{1}).NumericallyEquals(std::int16_t{0}));
  EXPECT_FALSE(PropertyValue(u"1").NumericallyEquals(std::int16_t{1}));
  EXPECT_TRUE(PropertyValue(u"").NumericallyEquals(std::u16string()));
}

TEST(Utf8, RoundTripsAndReplacesInvalidSequences) {
  const std::u16string text = u"GLIMMER \u00C9t\u00E9 \u4E2D \U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(FromUtf8("a\xC3"), u"a\uFFFD");                    // truncated
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");            // overlong
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
  EXPECT_EQ(ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");              // lone surrogate
}

}  // namespace
}  // namespace glimmer
