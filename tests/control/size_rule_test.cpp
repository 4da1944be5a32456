// SPDX-License-Identifier: MIT
// The design-time description, the size rule and the border rings.
#include <gtest/gtest.h>

#include <cmath>

#include "control/led.h"
#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"
#include "tests/support/test_access.h"

namespace glimmer::testing {
namespace {

TEST(Design, ANewInstanceStartsAtItsDesignSizeAndIsSnappedWhenSited) {
  HeadlessContainer container(LED::Class());
  EXPECT_EQ(container.width_pixels(), 160);
  EXPECT_EQ(container.height_pixels(), 40);
  const VirtualTimer* timer = container.timer("TimerLED");
  ASSERT_NE(timer, nullptr);
  EXPECT_FALSE(timer->enabled());
  EXPECT_EQ(timer->interval(), 50);
  const RectangleShape* outer = container.shape("ShapeBorder", 0);
  const RectangleShape* inner = container.shape("ShapeBorder", 1);
  ASSERT_TRUE(outer && inner);
  EXPECT_EQ(outer->bounds(), (Rect{0, 0, 160, 40}));
  EXPECT_EQ(inner->bounds(), (Rect{1, 1, 159, 39}));
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.Site());
  EXPECT_EQ(container.width_pixels(), 161);
  EXPECT_EQ(container.height_pixels(), 32);
  EXPECT_EQ(outer->bounds(), (Rect{0, 0, 161, 32}));
  EXPECT_EQ(inner->bounds(), (Rect{1, 1, 160, 31}));
}

struct Snap {
  double asked;
  std::int32_t width;
};
class SizeRule : public ::testing::TestWithParam<std::tuple<Snap, bool>> {};

TEST_P(SizeRule, SnapsTo3nPlus2And32HighWhetherOrNotTheContainerReenters) {
  const auto [snap, reenter] = GetParam();
  HeadlessContainer container(LED::Class(), {.reenter_on_resize = reenter});
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.Resize(snap.asked, 100));
  EXPECT_EQ(container.width_pixels(), snap.width);
  EXPECT_EQ(container.height_pixels(), 32);
  EXPECT_EQ(container.shape("ShapeBorder", 0)->bounds(), (Rect{0, 0, snap.width, 32}));
  EXPECT_EQ(container.shape("ShapeBorder", 1)->bounds(), (Rect{1, 1, snap.width - 1, 31}));
  EXPECT_LE(TestAccess::max_resize_depth(container),
            3);  // the host's resize and at most one run each for width and height
  container.ClearRecords();
  ASSERT_TRUE(
      container.control().UserControl_Resize());  // the rule applied to its own result changes nothing
  EXPECT_EQ(container.width_pixels(), snap.width);
  EXPECT_EQ(TestAccess::resize_calls(container), 0);
  EXPECT_TRUE(container.callback_errors().empty());
}

INSTANTIATE_TEST_SUITE_P(Widths, SizeRule,
                         ::testing::Combine(::testing::Values(Snap{249, 251}, Snap{250, 251}, Snap{251, 251},
                                                              Snap{252, 254}, Snap{250.5, 251},
                                                              Snap{251.5, 254}, Snap{0, 2}, Snap{1, 2},
                                                              Snap{2, 2}, Snap{160, 161}, Snap{3000, 3002}),
                                            ::testing::Bool()));

TEST(SizeRuleTwips, WidthAndHeightAreSetInTwipsForAnyFactor) {
  for (const float factor : {15.0f, 12.0f, 7.5f, 1440.0f / 168.0f}) {
    HeadlessContainer container(LED::Class(), {.twips_per_pixel_x = factor, .twips_per_pixel_y = factor});
    ASSERT_TRUE(container.InitNew());
    ASSERT_TRUE(container.Resize(249, 40));
    EXPECT_EQ(container.width_pixels(), 251) << factor;
    EXPECT_EQ(container.height_pixels(), 32) << factor;
  }
}

TEST(SizeRuleTwips, TheDemoSizeIs3765By480TwipsAt15) {
  HeadlessContainer container(LED::Class());
  ASSERT_TRUE(container.InitNew());
  ASSERT_TRUE(container.Resize(249, 40));
  EXPECT_EQ(container.assigned_width_twips(), 3765.0f);
  EXPECT_EQ(container.assigned_height_twips(), 480.0f);
}

TEST(SizeRuleFailures, TheFirstFailingStepEndsTheRuleAndKeepsWhatWasDone) {
  HeadlessContainer container(LED::Class());
  ASSERT_TRUE(container.InitNew());
  TestAccess::faults(container).Fail(Operation::TwipsPerPixelY, OperationFaults::kAlways);
  EXPECT_EQ(container.Resize(249, 40).error(), Error::OperationFailed);
  EXPECT_EQ(container.width_pixels(), 251);                                       // the width was set
  EXPECT_EQ(container.height_pixels(), 40);                                       // the height was not
  EXPECT_EQ(container.shape("ShapeBorder", 0)->bounds(), (Rect{0, 0, 160, 40}));  // nor the shapes
  // The nested run raised by the width change failed the same way, as its own callback error.
  EXPECT_EQ(container.callback_errors().size(), 2u);
  TestAccess::faults(container).Clear();
  container.SetTwipsPerPixel(15, std::nanf(""));
  EXPECT_EQ(container.Resize(300, 40).error(), Error::Overflow);  // a floating-point fault
  container.SetTwipsPerPixel(15, 15);
  ASSERT_TRUE(container.Resize(300, 50));
  EXPECT_EQ(container.height_pixels(), 32);
}

TEST(Rings, FrameTheDisplayWindowAndBorderStyleShowsOrHidesBoth) {
  LedRig rig({.width = 249, .text = u"HI"});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(50);
  const Image with_rings = rig.container.Frame();
  EXPECT_EQ(FirstDifference(with_rings, ExpectedFrame({.width = 251, .text = u"HI", .scroll_x = 247 - 150})),
            "");
  ASSERT_TRUE(rig.led.BorderStyle(0));
  EXPECT_EQ(
      FirstDifference(rig.container.Frame(),
                      ExpectedFrame({.width = 251, .text = u"HI", .scroll_x = 247 - 150, .rings = false})),
      "");
  ASSERT_TRUE(rig.led.BorderStyle(1));
  ASSERT_TRUE(rig.led.Clear());
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 251, .grid = false})), "");
}

TEST(Rings, AResizeWhileRunningKeepsTheSurfaceAndFramesGoOn) {
  LedRig rig({.width = 251, .text = u"GROW"});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(20);
  const auto surface = rig.led.renderer_state().MemBitmap;
  ASSERT_TRUE(rig.container.Resize(400, 32));
  ASSERT_EQ(rig.container.width_pixels(), 401);
  rig.Tick(200);
  EXPECT_EQ(rig.led.renderer_state().MemBitmap, surface);
  const Image frame = rig.container.Frame();
  // The copy reaches past the 251-pixel surface: those pixels keep what the control's area held (black).
  for (std::int32_t y = 2; y < 30; ++y)
    for (std::int32_t x = 2 + 251; x < 401 - 2; ++x)
      ASSERT_EQ(frame.at(x, y), kBlack) << x << "," << y;
  // The end of a pass puts the text at the new right edge.
  ASSERT_TRUE(rig.container.Resize(100, 32));
  rig.Tick(1000);
  EXPECT_TRUE(rig.container.callback_errors().empty());
}

}  // namespace
}  // namespace glimmer::testing
