// SPDX-License-Identifier: MIT
// The scrolling renderer: frames pixel for pixel against an independent picture, pass timing, the
// Idle/Running/Stopped states and what happens when the platform fails.
#include <gtest/gtest.h>

#include "control/interface/led_members.h"
#include "host/automation/memory_property_bag.h"
#include "host/gdi/gdi_host.h"
#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"

namespace glimmer::testing {
namespace {

class RendererTest : public ::testing::Test {
 protected:
  void TearDown() override { gdi::ResetFaults(); }
};

// ScrollX for tick t of a pass on a control W wide: W - 4 - 3t.
std::int32_t ScrollAt(std::int32_t width, std::int64_t tick) {
  return width - 4 - 3 * static_cast<std::int32_t>(tick);
}

TEST_F(RendererTest, FramesMatchTheGeometryTickByTick) {
  LedRig rig({.width = 251, .text = u"GLIMMER", .color = 1});
  ASSERT_TRUE(rig.led.Show());
  for (std::int64_t t = 1; t <= 124; ++t) {
    ASSERT_EQ(rig.Tick(), 1);
    const Image expected =
        ExpectedFrame({.width = 251, .text = u"GLIMMER", .color = 1, .scroll_x = ScrollAt(251, t)});
    ASSERT_EQ(FirstDifference(rig.container.Frame(), expected), "") << "tick " << t;
  }
}

TEST_F(RendererTest, FirstTickShowsTheEmptyGridAndTheTextEntersOnTheSecond) {
  LedRig rig({.width = 302, .text = u"8", .color = 0});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick();
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 302, .text = u"", .color = 0})),
            "");
  rig.Tick();
  // The first glyph column of "8" (rows .###. #...# ...) lies at surface x = 302 - 7 = 295, control x 297.
  const Image frame = rig.container.Frame();
  EXPECT_EQ(frame.at(297, 2 + 4 + 3), LitColour(0));      // row 1 of "8": # at column 0
  EXPECT_EQ(frame.at(297, 2 + 4), UnlitColour(0));        // row 0: . at column 0
  EXPECT_EQ(frame.at(298, 2 + 4 + 3 + 1), LitColour(0));  // the dot is 2 x 2
}

struct PassCase {
  std::int32_t width;
  std::u16string text;
  std::vector<std::int64_t> terminate_ticks;  // within the first 2 passes + 1 tick
};

class PassTiming : public RendererTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(PassTiming, TerminateComesOnTickNPlusSixL) {
  const PassCase& c = GetParam();
  LedRig rig({.width = static_cast<double>(c.width), .text = c.text, .color = 2});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(c.terminate_ticks.back() + 1);
  EXPECT_EQ(rig.TerminateTicks(), c.terminate_ticks);
}

INSTANTIATE_TEST_SUITE_P(Widths, PassTiming,
                         ::testing::Values(PassCase{302, u"A", {106, 212}},
                                           PassCase{302, u"HELLO", {130, 260}},
                                           PassCase{251, u"GLIMMER", {125, 250}},
                                           PassCase{161, u"0-9:", {77, 154}},  // n = 53, L = 4
                                           PassCase{2, u"X", {6, 12}}));       // n = 0: no display at all

TEST_F(RendererTest, EndOfPassFrameShowsTheEmptyGridAndTextComesBackFromTheRight) {
  LedRig rig({.width = 302, .text = u"A", .color = 1});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(106);
  EXPECT_EQ(rig.led.renderer_state().ScrollX, 298);
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 302, .text = u"", .color = 1})),
            "");
  rig.Tick();
  EXPECT_EQ(FirstDifference(rig.container.Frame(),
                            ExpectedFrame({.width = 302, .text = u"A", .color = 1, .scroll_x = 295})),
            "");
}

TEST_F(RendererTest, WithoutRepeatTheTimerStopsAndTheLastFrameStays) {
  LedRig rig({.width = 302, .text = u"A", .color = 1, .repeated = false});
  ASSERT_TRUE(rig.led.Show());
  EXPECT_EQ(rig.Tick(500), 106);  // the timer stopped after the tick that ended the pass
  EXPECT_FALSE(rig.container.timer_running());
  EXPECT_NE(rig.led.renderer_state().MemDC, 0);  // Stopped: the surface stays
  const Image last = rig.container.Frame();
  EXPECT_EQ(FirstDifference(last, ExpectedFrame({.width = 302, .text = u"", .color = 1})), "");

  ASSERT_TRUE(rig.led.Show());  // does nothing while the surface exists
  EXPECT_FALSE(rig.container.timer_running());
  rig.container.Advance(10'000);
  EXPECT_EQ(rig.container.Frame(), last);

  ASSERT_TRUE(rig.led.Clear());
  ASSERT_TRUE(rig.led.Show());  // runs the text again from the right edge
  EXPECT_EQ(rig.led.renderer_state().ScrollX, 298);
  EXPECT_EQ(rig.Tick(500), 106);
  EXPECT_EQ(rig.TerminateTicks(), (std::vector<std::int64_t>{106, 212}));
}

TEST_F(RendererTest, ShowWhileRunningAndClearInAnyStateAreHarmless) {
  const gdi::LiveCounts before = gdi::Live();
  LedRig rig;
  ASSERT_TRUE(rig.led.Clear());  // idle: stops nothing, releases nothing
  ASSERT_TRUE(rig.led.Show());
  const auto state = rig.led.renderer_state();
  rig.Tick(3);
  ASSERT_TRUE(rig.led.Show());  // running: nothing changes
  EXPECT_EQ(rig.led.renderer_state().MemDC, state.MemDC);
  EXPECT_EQ(rig.led.renderer_state().ScrollX, 251 - 4 - 9);
  ASSERT_TRUE(rig.led.Clear());
  ASSERT_TRUE(rig.led.Clear());
  EXPECT_EQ(rig.led.renderer_state().MemDC, 0);
  EXPECT_EQ(rig.led.renderer_state().MemBitmap, 0);
  EXPECT_NE(rig.led.renderer_state().OldBitmap, 0);  // Clear keeps the value
  EXPECT_FALSE(rig.container.timer_running());
  // The area is cleared to black; the rings stay.
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 251, .grid = false})), "");
  // Only the container's own screen area is left alive (it was counted in `before` for no rig).
  EXPECT_EQ(gdi::Live().bitmaps, before.bitmaps + 1);
  EXPECT_EQ(gdi::Live().dcs, before.dcs + 1);
  EXPECT_EQ(gdi::Live().brushes, before.brushes);
}

TEST_F(RendererTest, EmptyTextScrollsDownToTheLowerBoundAndALateTextEndsThePassAtOnce) {
  LedRig rig({.width = 251, .text = u"", .repeated = false});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(20);
  EXPECT_EQ(rig.led.renderer_state().ScrollX, 247 - 60);
  rig.Tick(12000);
  EXPECT_EQ(rig.led.renderer_state().ScrollX, -32768);
  EXPECT_TRUE(rig.TerminateTicks().empty());
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 251, .text = u""})), "");

  ASSERT_TRUE(rig.led.Value(u"LATE"));  // last cell at -32768 + 54: far left of -18
  rig.Tick();
  EXPECT_EQ(rig.TerminateTicks(), (std::vector<std::int64_t>{12021}));
  EXPECT_FALSE(rig.container.timer_running());
  EXPECT_EQ(rig.led.renderer_state().ScrollX, 247);
}

TEST_F(RendererTest, ValueChangeKeepsTheScrollPosition) {
  LedRig rig({.width = 251, .text = u"AAAA"});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(30);
  ASSERT_TRUE(rig.led.Value(u"B"));
  rig.Tick();
  EXPECT_EQ(FirstDifference(rig.container.Frame(),
                            ExpectedFrame({.width = 251, .text = u"B", .scroll_x = ScrollAt(251, 31)})),
            "");
}

TEST_F(RendererTest, CharactersWithoutAGlyphShowAsBlankCells) {
  // Lower case, accents, punctuation other than - and :, and characters beyond ASCII paint nothing.
  const std::u16string text = u"a\u00C9.!?z\u4E2D-:";
  LedRig rig({.width = 251, .text = text, .color = 0});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(40);
  EXPECT_EQ(
      FirstDifference(
          rig.container.Frame(),
          ExpectedFrame({.width = 251, .text = u"       -:", .color = 0, .scroll_x = ScrollAt(251, 40)})),
      "");
}

TEST_F(RendererTest, ColourChangesShowFromTheNextTick) {
  LedRig rig({.width = 251, .text = u"RGB", .color = 0});
  ASSERT_TRUE(rig.led.Show());
  for (std::int32_t color : {1, 2, 0}) {
    ASSERT_TRUE(rig.led.Color(color));
    rig.Tick(10);
    EXPECT_EQ(FirstDifference(rig.container.Frame(),
                              ExpectedFrame({.width = 251,
                                             .text = u"RGB",
                                             .color = color,
                                             .scroll_x = ScrollAt(251, rig.container.ticks())})),
              "");
  }
}

TEST_F(RendererTest, ColourSchemeOutsideThePaletteGivesBackgroundOnlyAndKeepsTheTiming) {
  MemoryPropertyBag bag({{"Color", std::int32_t{5}}, {"Value", u"AB"}, {"Repeated", True}});
  HeadlessContainer container(LED::Class());
  ASSERT_TRUE(container.Load(bag));
  ASSERT_TRUE(container.Resize(302, 32));
  auto& led = container.control_as<LED>();
  ASSERT_EQ(led.Color(), 5);
  ASSERT_TRUE(led.Show());
  const std::uint64_t brushes = gdi::Creations(gdi::ObjectKind::Brush);
  container.RunTicks(124);  // n + 6L = 100 + 12 = 112
  EXPECT_EQ(container.events().size(), 1u);
  EXPECT_EQ(container.events()[0].tick, 112);
  EXPECT_EQ(FirstDifference(container.Frame(), ExpectedFrame({.width = 302, .color = 5})), "");
  // Only the background brushes were made: every dot failed before it made one.
  EXPECT_EQ(gdi::Creations(gdi::ObjectKind::Brush) - brushes, 124u);
}

TEST_F(RendererTest, ASystemBackColorIsTranslatedOnEveryTick) {
  LedRig rig({.width = 251, .text = u""});
  rig.container.SetBackColor(ColorRef{static_cast<std::int32_t>(0x8000000F)});  // button face
  ASSERT_TRUE(rig.led.Show());
  rig.Tick();
  ColorRef face;
  ASSERT_TRUE(gdi::GetSysColor(15, &face));
  EXPECT_EQ(rig.container.Frame().at(2, 2), PixelOf(face));
  ASSERT_TRUE(gdi::SetSysColor(15, ColorRef::FromRgb(1, 2, 3)));
  rig.Tick();
  EXPECT_EQ(rig.container.Frame().at(2, 2), MakePixel(1, 2, 3));
  gdi::ResetSysColors();
  // A colour that names nothing translates to -1, whose brush paints white.
  rig.container.SetBackColor(ColorRef{static_cast<std::int32_t>(0x80000019)});
  rig.Tick();
  EXPECT_EQ(rig.container.Frame().at(2, 2), kWhite);
}

// The tick's background and Clear's cleared area are the same colour, whatever BackColor is: an RGB value,
// a system colour, or one that cannot be translated (-1, whose brush paints white).
struct BackCase {
  std::uint32_t back_color;
  Pixel shown;
};

class BackgroundAgreement : public RendererTest, public ::testing::WithParamInterface<BackCase> {};

TEST_P(BackgroundAgreement, TicksAndClsPaintTheSameColour) {
  LedRig rig({.width = 251, .text = u""});
  rig.container.SetBackColor(ColorRef{static_cast<std::int32_t>(GetParam().back_color)});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick();
  EXPECT_EQ(rig.container.Frame().at(2, 2), GetParam().shown);
  ASSERT_TRUE(rig.led.Clear());
  EXPECT_EQ(rig.container.Frame().at(2, 2), GetParam().shown);
  EXPECT_EQ(rig.container.Frame().at(120, 16), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Colours, BackgroundAgreement,
                         ::testing::Values(BackCase{0x00030201, MakePixel(1, 2, 3)},
                                           BackCase{0x80000002,
                                                    MakePixel(0x99, 0xB4, 0xD1)},  // active caption
                                           BackCase{0x80000019, kWhite},           // names no colour
                                           BackCase{0x01000003, kWhite}));         // a palette index

TEST_F(RendererTest, TerminateHandlerThatClearsStopsTheAnimationAtOnce) {
  LedRig rig({.width = 302, .text = u"A"});
  ASSERT_TRUE(rig.led.Show());
  rig.container.on_event = [&](DispId) { ASSERT_TRUE(rig.led.Clear()); };
  rig.Tick(200);
  EXPECT_EQ(rig.container.ticks(), 106);
  EXPECT_EQ(rig.led.renderer_state().MemDC, 0);
  // The tick's copy found no surface: the control shows the cleared area and the rings.
  EXPECT_EQ(FirstDifference(rig.container.Frame(), ExpectedFrame({.width = 302, .grid = false})), "");
}

TEST_F(RendererTest, TerminateHandlerThatClearsAndShowsStartsANewPass) {
  LedRig rig({.width = 302, .text = u"A", .repeated = false});
  ASSERT_TRUE(rig.led.Show());
  rig.container.on_event = [&](DispId) {
    ASSERT_TRUE(rig.led.Clear());
    ASSERT_TRUE(rig.led.Show());
  };
  rig.Tick(300);
  EXPECT_EQ(rig.TerminateTicks(), (std::vector<std::int64_t>{106, 212}));
  // The ending tick copied the fresh, unpainted (black) surface.
  EXPECT_TRUE(rig.container.timer_running());
}

TEST_F(RendererTest, ShowThatCannotMakeAContextStaysIdle) {
  LedRig rig;
  const gdi::LiveCounts before = gdi::Live();
  gdi::FailNthCreation(gdi::ObjectKind::DC, 1);
  ASSERT_TRUE(rig.led.Show());
  EXPECT_EQ(rig.led.renderer_state().MemDC, 0);
  EXPECT_FALSE(rig.container.timer_running());
  EXPECT_EQ(gdi::Live(), before);
}

TEST_F(RendererTest, ShowThatCannotMakeABitmapIsStoppedUntilClear) {
  LedRig rig;
  const gdi::LiveCounts before = gdi::Live();
  gdi::FailNthCreation(gdi::ObjectKind::Bitmap, 1);
  ASSERT_TRUE(rig.led.Show());
  EXPECT_NE(rig.led.renderer_state().MemDC, 0);
  EXPECT_EQ(rig.led.renderer_state().MemBitmap, 0);
  EXPECT_FALSE(rig.container.timer_running());
  ASSERT_TRUE(rig.led.Show());  // Stopped: nothing
  EXPECT_EQ(gdi::Live().dcs, before.dcs + 1);
  ASSERT_TRUE(rig.led.Clear());
  EXPECT_EQ(gdi::Live(), before);
  ASSERT_TRUE(rig.led.Show());
  EXPECT_TRUE(rig.container.timer_running());
}

TEST_F(RendererTest, NoBrushForTheBackgroundKeepsThePreviousFramesPixels) {
  LedRig rig({.width = 251, .text = u"W"});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(60);
  // A new background colour whose brush cannot be made: the gaps between the dots keep the old background,
  // while grid and text are painted as usual.
  rig.container.SetBackColor(ColorRef::FromRgb(0, 0, 200));
  gdi::FailNthCreation(gdi::ObjectKind::Brush, 1);  // the next tick's background brush
  rig.Tick();
  EXPECT_EQ(FirstDifference(rig.container.Frame(),
                            ExpectedFrame({.width = 251, .text = u"W", .scroll_x = ScrollAt(251, 61)})),
            "");
  rig.Tick();  // with a brush again, the gaps take the new colour
  EXPECT_EQ(rig.container.Frame().at(2, 2), MakePixel(0, 0, 200));
  EXPECT_EQ(rig.container.Frame().at(2 + 3, 2 + 3), MakePixel(0, 0, 200));
}

TEST_F(RendererTest, NoBrushForADotSkipsJustThatDot) {
  LedRig rig({.width = 251, .text = u""});
  ASSERT_TRUE(rig.led.Show());
  // The tick's brushes: 1 background, then the grid block by block, row by row: dot 2 of block 0 is x = 4.
  gdi::FailNthCreation(gdi::ObjectKind::Brush, 1 + 2);
  rig.Tick();
  Image expected = ExpectedFrame({.width = 251, .text = u""});
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx)
      expected.at(2 + 4 + dx, 2 + 1 + dy) = kBlack;
  EXPECT_EQ(FirstDifference(rig.container.Frame(), expected), "");
}

TEST_F(RendererTest, DestroyingARunningControlReleasesItsSurfaceAndStopsItsTimer) {
  const gdi::LiveCounts before = gdi::Live();
  {
    LedRig rig;
    ASSERT_TRUE(rig.led.Show());
    rig.Tick(5);
  }
  EXPECT_EQ(gdi::Live(), before);
}

}  // namespace
}  // namespace glimmer::testing
