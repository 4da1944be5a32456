// SPDX-License-Identifier: MIT
// Painting dots directly must give exactly what painting each dot through its own brush gives: the same
// pixels, scroll position, events, timer state and brush creations, tick by tick, also when brushes fail.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "host/automation/memory_property_bag.h"
#include "host/gdi/gdi_host.h"
#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"
#include "tests/support/test_access.h"

namespace glimmer::testing {
namespace {

struct Case {
  double width;
  std::u16string text;
  std::int32_t color;
  bool repeated;
  std::int64_t ticks;
};

class DirectPainting : public ::testing::TestWithParam<std::tuple<Case, int>> {
 protected:
  void TearDown() override { gdi::ResetFaults(); }
};

// The whole off-screen surface, also the part outside the display window that no copy shows yet.
Image Surface(LedRig& rig) {
  const gdi::PixelView v = gdi::Pixels(rig.led.renderer_state().MemDC);
  Image image(v.width, v.height);
  if (v) std::copy(v.data, v.data + static_cast<std::ptrdiff_t>(v.width) * v.height, image.pixels.begin());
  return image;
}

// A restored colour scheme may lie outside the palette; writes refuse it, a bag does not.
void ForceColor(LedRig& rig, std::int32_t color) {
  MemoryPropertyBag bag;
  ASSERT_TRUE(rig.container.Save(bag));
  bag.Set("Color", color);
  ASSERT_TRUE(rig.container.Load(bag));
}

TEST_P(DirectPainting, MatchesDotByDotPainting) {
  const auto& [c, failure_rate] = GetParam();
  LedRig direct({.width = c.width, .text = c.text, .repeated = c.repeated});
  LedRig dotwise({.width = c.width, .text = c.text, .repeated = c.repeated});
  TestAccess::SetDirectPainting(dotwise.led.renderer(), false);
  ForceColor(direct, c.color);
  ForceColor(dotwise, c.color);
  ASSERT_TRUE(direct.led.Show());
  ASSERT_TRUE(dotwise.led.Show());
  std::mt19937 random(static_cast<unsigned>(c.ticks * 31 + failure_rate));
  for (std::int64_t t = 1; t <= c.ticks; ++t) {
    // Now and then one brush of the tick fails, the same one in both.
    const bool fail = failure_rate > 0 && static_cast<int>(random() % 100) < failure_rate;
    const std::uint64_t nth = 1 + random() % 1200;
    std::uint64_t made[2];
    LedRig* rigs[] = {&direct, &dotwise};
    for (int k = 0; k < 2; ++k) {
      gdi::ResetFaults();
      if (fail) gdi::FailNthCreation(gdi::ObjectKind::Brush, nth);
      const std::uint64_t before = gdi::Creations(gdi::ObjectKind::Brush);
      rigs[k]->Tick();
      made[k] = gdi::Creations(gdi::ObjectKind::Brush) - before;
    }
    ASSERT_EQ(made[0], made[1]) << "tick " << t;
    ASSERT_EQ(FirstDifference(direct.container.Frame(), dotwise.container.Frame()), "") << "tick " << t;
    ASSERT_EQ(FirstDifference(Surface(direct), Surface(dotwise)), "") << "surface, tick " << t;
    ASSERT_EQ(direct.led.renderer_state().ScrollX, dotwise.led.renderer_state().ScrollX) << "tick " << t;
    ASSERT_EQ(direct.container.timer_running(), dotwise.container.timer_running()) << "tick " << t;
  }
  EXPECT_EQ(direct.TerminateTicks(), dotwise.TerminateTicks());
}

INSTANTIATE_TEST_SUITE_P(
    Spread, DirectPainting,
    ::testing::Combine(::testing::Values(Case{251, u"GLIMMER", 1, true, 260}, Case{302, u"A", 0, false, 120},
                                         Case{161, u"0123456789:-", 2, true, 300}, Case{2, u"X", 1, true, 20},
                                         Case{1000, u"WIDE SIGN", 0, true, 420}, Case{251, u"", 1, true, 40},
                                         Case{251, u"lower \u00E9 case", 2, true, 150},
                                         Case{251, u"BAD", 5, true, 30}, Case{251, u"NEG", -1, true, 30},
                                         Case{163, u"ODD", 1, true, 100},
                                         Case{251, std::u16string(1820, u'8'), 1, true, 60}),
                       ::testing::Values(0, 30)));

// What may happen between two ticks; every rig gets the same.
struct Change {
  const char* name;
  std::function<void(LedRig&)> apply;
  bool moves;  // whether the next tick may still move the last frame
};

const Change kChanges[] = {
    {"Nothing", [](LedRig&) {}, true},
    {"Color", [](LedRig& r) { ASSERT_TRUE(r.led.Color(2)); }, false},
    {"BackColor", [](LedRig& r) { r.container.SetBackColor(ColorRef{0x102030}); }, false},
    {"Value", [](LedRig& r) { ASSERT_TRUE(r.led.Value(u"GLIMMEX")); }, false},
    {"GlyphSet", [](LedRig& r) { ASSERT_TRUE(r.led.GlyphSet(GlyphSet::Latin1)); }, false},
    {"Resize", [](LedRig& r) { ASSERT_TRUE(r.container.Resize(200, 32)); }, false},
    {"ClearAndShow",
     [](LedRig& r) {
       ASSERT_TRUE(r.led.Clear());
       ASSERT_TRUE(r.led.Show());
     },
     false},
    {"BrushFault", [](LedRig&) { gdi::FailNthCreation(gdi::ObjectKind::Brush, 200); }, false},
};

class ChangeBetweenTicks : public ::testing::TestWithParam<Change> {
 protected:
  void TearDown() override { gdi::ResetFaults(); }
};

// A tick that moves the last frame carries a mark on it 3 pixels to the left; one that paints the frame
// whole paints over it. Either way the frame is exactly what painting each dot gives.
TEST_P(ChangeBetweenTicks, GivesTheFrameThatPaintingItWholeGives) {
  const Change& change = GetParam();
  LedRig direct({.text = u"GLIMMER lower"});
  LedRig dotwise({.text = u"GLIMMER lower"});
  TestAccess::SetDirectPainting(dotwise.led.renderer(), false);
  ASSERT_TRUE(direct.led.Show());
  ASSERT_TRUE(dotwise.led.Show());
  direct.Tick(60);
  dotwise.Tick(60);
  // Row 0 holds the background only.
  const Pixel mark = MakePixel(1, 2, 3);
  gdi::Pixels(direct.led.renderer_state().MemDC).row(0)[100] = mark;
  for (LedRig* rig : {&direct, &dotwise}) {
    gdi::ResetFaults();
    change.apply(*rig);
    rig->Tick();
  }
  EXPECT_EQ(gdi::Pixels(direct.led.renderer_state().MemDC).row(0)[97] == mark, change.moves);
  gdi::Pixels(direct.led.renderer_state().MemDC).row(0)[97] =
      gdi::Pixels(dotwise.led.renderer_state().MemDC).row(0)[97];
  EXPECT_EQ(FirstDifference(Surface(direct), Surface(dotwise)), "");
  direct.Tick(3);
  dotwise.Tick(3);
  EXPECT_EQ(FirstDifference(Surface(direct), Surface(dotwise)), "");
  EXPECT_EQ(FirstDifference(direct.container.Frame(), dotwise.container.Frame()), "");
}

INSTANTIATE_TEST_SUITE_P(Table, ChangeBetweenTicks, ::testing::ValuesIn(kChanges),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace glimmer::testing
