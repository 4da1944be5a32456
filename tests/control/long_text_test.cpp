// SPDX-License-Identifier: MIT
// Texts beyond what a 16-bit scroll position can carry through a pass still scroll by whole, end their pass
// on time and cost a bounded amount per tick.
#include <gtest/gtest.h>

#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"

namespace glimmer::testing {
namespace {

std::u16string Text(std::size_t length) {
  static const std::u16string alphabet = u"THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789-:";
  std::u16string text(length, u' ');
  for (std::size_t i = 0; i < length; ++i)
    text[i] = alphabet[(i * 7 + i / 13) % alphabet.size()];
  return text;
}

class LongText : public ::testing::TestWithParam<std::size_t> {};

TEST_P(LongText, PassEndsOnTickNPlusSixLAndTheTextIsShownWhole) {
  const std::size_t length = GetParam();
  const std::u16string text = Text(length);
  LedRig rig({.width = 251, .text = text, .color = 2});
  ASSERT_TRUE(rig.led.Show());
  const std::int64_t pass = 83 + 6 * static_cast<std::int64_t>(length);
  // Look at frames spread over the pass; each must show the text where unbounded arithmetic puts it.
  for (const std::int64_t at :
       {std::int64_t{1}, std::int64_t{2}, pass / 3, pass / 2 + 1, pass - 20, pass - 1}) {
    rig.Tick(at - rig.container.ticks());
    ASSERT_EQ(rig.container.ticks(), at);
    const std::int64_t origin = 247 - 3 * at;
    // Only the characters near the window matter to the picture; the reference lays out those.
    const std::int64_t first = std::max<std::int64_t>(0, (-origin) / 18 - 1);
    const std::u16string near = text.substr(static_cast<std::size_t>(first), 20);
    const Image expected = ExpectedFrame(
        {.width = 251, .text = near, .color = 2, .scroll_x = static_cast<std::int32_t>(origin + 18 * first)});
    ASSERT_EQ(FirstDifference(rig.container.Frame(), expected), "") << "tick " << at;
  }
  rig.Tick(pass - rig.container.ticks() + pass + 1);
  EXPECT_EQ(rig.TerminateTicks(), (std::vector<std::int64_t>{pass, 2 * pass}));
  EXPECT_EQ(rig.led.Value().size(), length);  // the control keeps the whole text
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongText, ::testing::Values(1820, 1821, 5000));

TEST(LongText, AMillionCharactersTickWithoutDelayAndShowTheirStart) {
  const std::u16string text = Text(1'000'000);
  LedRig rig({.width = 251, .text = text});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(200);
  const Image expected = ExpectedFrame({.width = 251, .text = text.substr(0, 40), .scroll_x = 247 - 600});
  EXPECT_EQ(FirstDifference(rig.container.Frame(), expected), "");
  EXPECT_TRUE(rig.TerminateTicks().empty());
}

// A short text written in the middle of a long text's pass continues from the true scroll position, as if
// it had been there all along: its pass ends on tick n + 6L counted from the pass's start, or at once when
// its last character is already out.
struct SwitchCase {
  std::size_t long_length;
  std::int64_t ticks;  // of the long text, before the short one is written
  std::u16string short_text;
  std::int64_t pass_ends;
};
void PrintTo(const SwitchCase& c, std::ostream* os) {
  *os << c.long_length << " characters for " << c.ticks << " ticks";
}

class ShortAfterLong : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ShortAfterLong, ContinuesFromTheTruePosition) {
  const SwitchCase& c = GetParam();
  LedRig rig({.width = 251, .text = std::u16string(c.long_length, u'M'), .repeated = false});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(c.ticks);
  ASSERT_TRUE(rig.led.Value(c.short_text));
  rig.Tick();
  const std::int64_t origin = 247 - 3 * (c.ticks + 1);
  const Image expected = ExpectedFrame({.width = 251,
                                        .text = c.short_text,
                                        .scroll_x = static_cast<std::int32_t>(origin),
                                        .draw_text = c.pass_ends > c.ticks + 1});
  EXPECT_EQ(FirstDifference(rig.container.Frame(), expected), "");
  rig.Tick(400);
  EXPECT_EQ(rig.TerminateTicks(), std::vector<std::int64_t>{c.pass_ends});
  EXPECT_FALSE(rig.container.timer_running());
}

INSTANTIATE_TEST_SUITE_P(Switches, ShortAfterLong,
                         ::testing::Values(SwitchCase{2000, 100, u"HELLO WORLD", 83 + 6 * 11},
                                           SwitchCase{2000, 1000, u"HELLO WORLD", 1001},
                                           SwitchCase{3000, 400, u"AB", 401}));

}  // namespace
}  // namespace glimmer::testing
