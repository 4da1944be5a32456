// SPDX-License-Identifier: MIT
// The terminal container on a virtual clock, read back through a terminal emulator: what the screen shows
// after each tick is the headless container's frame of the same tick, one cell per dot, written in one
// piece and never past the terminal's edge.
#include "host/terminal/terminal_container.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/interface/led_members.h"
#include "control/led.h"
#include "host/headless/headless_container.h"
#include "tests/host/terminal/quadrants.h"
#include "tests/support/reference_frame.h"
#include "tests/support/vterm_screen.h"

namespace glimmer::terminal {
namespace {

using testing::VTermScreenModel;

const TerminalControls& Xterm() {
  static const TerminalControls controls = *TerminalControls::ForTerminal("xterm-256color");
  return controls;
}

struct Sign {
  double width = 251;
  std::u16string text = u"GLIMMER";
  std::int32_t color = 1;
  std::int32_t border_style = 1;
  std::int16_t delay = 50;
  const char* term = "xterm-256color";
};
void PrintTo(const Sign& s, std::ostream* os) {
  *os << s.width << " pixels, colour " << s.color << ", border " << s.border_style << ", " << s.delay
      << " ms, " << s.term;
}

// Builds and starts the same sign in any container.
template <class Host>
void Start(Host& host, const Sign& sign) {
  ASSERT_TRUE(host.InitNew());
  ASSERT_TRUE(host.Resize(sign.width, 32));
  auto& led = host.template control_as<LED>();
  ASSERT_TRUE(led.Value(sign.text));
  ASSERT_TRUE(led.Color(sign.color));
  ASSERT_TRUE(led.BorderStyle(sign.border_style));
  ASSERT_TRUE(led.Delay(sign.delay));
  ASSERT_TRUE(led.Repeated(True));
  ASSERT_TRUE(led.Show());
}

// A terminal container whose writes go to an emulated terminal, and are counted.
struct Rig {
  explicit Rig(TerminalSize size, int screen_rows, int screen_columns, CellGlyphs glyphs = kUnicodeGlyphs,
               const TerminalControls& controls = Xterm())
      : screen(screen_rows, screen_columns),
        host(LED::Class(), controls, [this](std::string_view bytes) { Write(bytes); },
             {.size = size, .glyphs = glyphs}) {}
  void Write(std::string_view bytes) {
    ++writes;
    screen.Feed(bytes);
  }
  VTermScreenModel screen;
  int writes = 0;
  TerminalContainer host;
};

// The colour a screen cell shows in one quadrant (0 upper left ... 3 lower right).
Pixel QuadrantColour(const testing::ScreenCell& cell, int quadrant) {
  const auto mask = testing::QuadrantsOf(cell.text);
  EXPECT_TRUE(mask) << "'" << cell.text << "'";
  return (mask.value_or(0) >> quadrant) & 1 ? cell.foreground : cell.background;
}

// Where the screen differs from what the frame says it must show: "" when nowhere. Dots are round dots in
// their pixel's colour on the background's; ring cells show their four ring pixels.
std::string ScreenDifference(const VTermScreenModel& screen, const Image& frame, int visible_columns,
                             int visible_rows) {
  const int columns = (frame.width - 5) / 3 + 2;
  const auto pixel = [&](int cell, int last, int far, int side) {
    if (cell == 0) return side;
    if (cell == last) return far - 1 + side;
    return 3 * cell;
  };
  for (int row = 0; row < visible_rows; ++row)
    for (int column = 0; column < visible_columns; ++column) {
      const testing::ScreenCell cell = screen.At(row, column);
      const std::string where = "cell " + std::to_string(column) + "," + std::to_string(row) + ": ";
      if (row > 0 && row < 10 && column > 0 && column < columns - 1) {
        if (cell.text != "\u25CF") return where + "'" + cell.text + "' is not a dot";
        if (cell.foreground != frame.at(3 * column, 3 * row)) return where + "dot colour";
        if (cell.background != frame.at(3 * column - 1, 3 * row - 1)) return where + "background";
        continue;
      }
      for (int q = 0; q < 4; ++q) {
        const int x = pixel(column, columns - 1, frame.width - 1, q & 1);
        const int y = pixel(row, 10, 31, q >> 1);
        if (QuadrantColour(cell, q) != frame.at(x, y)) return where + "ring quadrant " + std::to_string(q);
      }
    }
  return "";
}

class SameAsHeadless : public ::testing::TestWithParam<Sign> {};

TEST_P(SameAsHeadless, EveryTicksScreenShowsThatTicksFrame) {
  const Sign& sign = GetParam();
  HeadlessContainer headless(LED::Class());
  Start(headless, sign);
  const auto controls = TerminalControls::ForTerminal(sign.term);
  ASSERT_TRUE(controls) << controls.error();
  Rig rig({.columns = 120, .rows = 20}, 20, 120, kUnicodeGlyphs, *controls);
  Start(rig.host, sign);
  const int columns = (static_cast<int>(sign.width) - 5) / 3 + 2;
  int changes = 0;
  Image last;
  for (int tick = 1; tick <= 150; ++tick) {
    headless.Advance(sign.delay);
    rig.host.Advance(sign.delay);
    ASSERT_EQ(rig.host.ticks(), tick);
    rig.host.Present();
    const Image frame = headless.Frame();
    ASSERT_EQ(ScreenDifference(rig.screen, frame, columns, 11), "") << "tick " << tick;
    changes += frame != last;
    last = frame;
  }
  // One write for each tick that changed the picture (the empty grid that ends a pass and the one that
  // starts the next are the same).
  EXPECT_EQ(rig.writes, changes);
  EXPECT_GT(changes, 140);
  // Nothing beyond the picture.
  for (int row = 0; row < 20; ++row)
    for (int column = row < 11 ? columns : 0; column < 120; ++column)
      ASSERT_EQ(rig.screen.At(row, column).text, "") << column << "," << row;
}

INSTANTIATE_TEST_SUITE_P(
    Signs, SameAsHeadless,
    ::testing::Values(Sign{}, Sign{.width = 101, .text = u"A:B-9", .color = 0, .border_style = 0},
                      Sign{.width = 302, .text = u"YELLOW", .color = 2, .delay = 30},
                      // Terminals whose entries carry padding ("$<5>" after every cursor move).
                      Sign{.text = u"VT100", .term = "vt100"}, Sign{.width = 101, .term = "vt102"}));

TEST(TerminalContainer, WritesOnlyWhenTheScreenChanges) {
  Rig rig({.columns = 100, .rows = 20}, 20, 100);
  Start(rig.host, {.text = u""});
  rig.host.Present();  // before the first tick: the control's black area and its rings
  EXPECT_EQ(rig.writes, 1);
  rig.host.Advance(49);
  rig.host.Present();
  EXPECT_EQ(rig.writes, 1);
  rig.host.Advance(1);  // tick 1: the empty grid
  rig.host.Present();
  EXPECT_EQ(rig.writes, 2);
  rig.host.Advance(50);  // tick 2: an empty text shows the same grid
  rig.host.Present();
  EXPECT_EQ(rig.writes, 2);
  // After the screen was cleared, everything is sent again.
  rig.host.Repaint();
  rig.host.Present();
  EXPECT_EQ(rig.writes, 3);
}

// A terminal smaller than the picture: only the cells that fit are written, so nothing wraps onto the next
// line. The emulated screen is larger than the size the container is told, to catch any cell past it.
struct ClipCase {
  int columns;
  int rows;
};
void PrintTo(const ClipCase& c, std::ostream* os) {
  *os << c.columns << " x " << c.rows;
}

class Clipped : public ::testing::TestWithParam<ClipCase> {};

TEST_P(Clipped, ShowsTheTopLeftPartAndNothingBeyond) {
  const ClipCase& c = GetParam();
  HeadlessContainer headless(LED::Class());
  Start(headless, {});
  Rig rig({.columns = c.columns, .rows = c.rows}, 30, 120);
  Start(rig.host, {});
  for (int tick = 1; tick <= 60; ++tick) {
    headless.Advance(50);
    rig.host.Advance(50);
    rig.host.Present();
  }
  const int shown_rows = std::min(c.rows, 11);
  EXPECT_EQ(ScreenDifference(rig.screen, headless.Frame(), c.columns, shown_rows), "");
  for (int row = 0; row < 30; ++row)
    for (int column = row < shown_rows ? c.columns : 0; column < 120; ++column)
      ASSERT_EQ(rig.screen.At(row, column).text, "") << column << "," << row;
}

INSTANTIATE_TEST_SUITE_P(Sizes, Clipped,
                         ::testing::Values(ClipCase{40, 24}, ClipCase{83, 11}, ClipCase{84, 5},
                                           ClipCase{1, 1}));

TEST(TerminalContainer, AGrownTerminalGetsTheWholePicture) {
  HeadlessContainer headless(LED::Class());
  Start(headless, {});
  Rig rig({.columns = 30, .rows = 6}, 20, 100);
  Start(rig.host, {});
  headless.Advance(50 * 30);
  rig.host.Advance(50 * 30);
  rig.host.Present();
  rig.host.SetTerminalSize({.columns = 100, .rows = 20});
  rig.host.Present();
  EXPECT_EQ(ScreenDifference(rig.screen, headless.Frame(), 84, 11), "");
}

TEST(TerminalContainer, TerminateReachesTheHostInsideTheTick) {
  Rig rig({}, 24, 80);
  std::vector<std::int64_t> at;
  rig.host.on_event = [&](DispId event) {
    if (event == kTerminateEvent) at.push_back(rig.host.ticks());
  };
  Start(rig.host, {.text = u"A"});
  rig.host.Advance(50 * 200);
  EXPECT_EQ(at, (std::vector<std::int64_t>{89, 178}));  // 83 + 6 ticks a pass
  EXPECT_EQ(rig.host.next_due(), 50 * 201);
}

}  // namespace
}  // namespace glimmer::terminal
