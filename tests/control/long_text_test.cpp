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

TEST(LongText, SwitchingBetweenLongAndShortTextsKeepsScrolling) {
  LedRig rig({.width = 251, .text = Text(3000), .repeated = false});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(400);                      // 16 characters have scrolled out
  ASSERT_TRUE(rig.led.Value(u"AB"));  // short again: laid out from the current position
  rig.Tick();
  const std::int32_t x = rig.led.renderer_state().ScrollX;
  EXPECT_EQ(
      FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 251, .text = u"AB", .scroll_x = x})),
      "");
  rig.Tick(200);
  EXPECT_EQ(rig.TerminateTicks().size(), 1u);
  EXPECT_FALSE(rig.container.timer_running());
}

}  // namespace
}  // namespace glimmer::testing
