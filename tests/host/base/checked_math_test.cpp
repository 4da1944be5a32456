// SPDX-License-Identifier: MIT
#include "host/base/checked_math.h"

#include <gtest/gtest.h>

#include "host/base/twips.h"

namespace glimmer {
namespace {

TEST(CheckedMath, SixteenBitResultsOutsideTheRangeAreOverflow) {
  EXPECT_EQ(Add16(32764, 3), std::int16_t{32767});
  EXPECT_EQ(Add16(32765, 3).error(), Error::Overflow);
  EXPECT_EQ(Sub16(-32765, 3), std::int16_t{-32768});
  EXPECT_EQ(Sub16(-32766, 3).error(), Error::Overflow);
  EXPECT_EQ(Mul16(1820, 18), std::int16_t{32760});
  EXPECT_EQ(Mul16(1821, 18).error(), Error::Overflow);
  EXPECT_EQ(Mul16(-32768, -1).error(), Error::Overflow);
  EXPECT_EQ(Mul32(3, 715827882), 2147483646);
  EXPECT_EQ(Add32(2147483646, 2).error(), Error::Overflow);
}

struct Rounding {
  double in;
  std::int32_t out;
};
class RoundsToNearestEven : public ::testing::TestWithParam<Rounding> {};
TEST_P(RoundsToNearestEven, Value) {
  EXPECT_EQ(RoundTo32(GetParam().in), GetParam().out);
}
INSTANTIATE_TEST_SUITE_P(Ties, RoundsToNearestEven,
                         ::testing::Values(Rounding{250.5, 250}, Rounding{251.5, 252}, Rounding{-2.5, -2},
                                           Rounding{0.5, 0}, Rounding{1.5, 2}, Rounding{247.49, 247},
                                           Rounding{247.51, 248}));

TEST(CheckedMath, RoundingOutsideTheTargetOrNotFiniteIsOverflow) {
  EXPECT_EQ(RoundTo16(32767.4), std::int16_t{32767});
  EXPECT_EQ(RoundTo16(32767.5).error(), Error::Overflow);
  EXPECT_EQ(RoundTo32(3e9).error(), Error::Overflow);
  EXPECT_EQ(RoundTo32(std::nan("")).error(), Error::Overflow);
  EXPECT_EQ(RoundTo32(INFINITY).error(), Error::Overflow);
}

// A width of W pixels formed as W x factor in double and stored as single precision reads back as W.
TEST(Twips, RoundTripIsExactForAnyFactor) {
  for (const float factor :
       {15.0f, 12.0f, 7.5f, 10.0f, 1440.0f / 168.0f, 1440.0f / 144.0f, 1440.0f / 110.0f, 3.3f}) {
    for (std::int32_t w = 0; w <= 20000; w += (w < 400 ? 1 : 37)) {
      const auto twips = static_cast<float>(static_cast<double>(w) * static_cast<double>(factor));
      ASSERT_EQ(TwipsToPixels(twips, factor), w) << "factor " << factor << " width " << w;
    }
  }
  EXPECT_DOUBLE_EQ(TwipsToPixels(100.0f, 15.0f), 100.0 / 15.0);  // a size between pixels stays fractional
}

}  // namespace
}  // namespace glimmer
