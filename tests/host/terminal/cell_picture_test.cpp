// SPDX-License-Identifier: MIT
// A frame as terminal cells: one cell per dot with the dot's and the background's colours, and the rings as
// quadrant blocks that show each ring pixel's colour.
#include "host/terminal/cell_picture.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/host/terminal/quadrants.h"
#include "tests/support/led_fixture.h"
#include "tests/support/reference_frame.h"

namespace glimmer::terminal {
namespace {

struct SizeCase {
  std::int32_t width;  // the frame's, in pixels; 32 high
  int columns;
  int rows;
};
void PrintTo(const SizeCase& c, std::ostream* os) {
  *os << c.width << " pixels wide";
}

class PictureSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PictureSize, IsOneCellPerVisibleDotAndOneForEachMargin) {
  const CellPicture picture = CellPicture::FromFrame(Image(GetParam().width, 32), kUnicodeGlyphs);
  EXPECT_EQ(picture.columns(), GetParam().columns);
  EXPECT_EQ(picture.rows(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(Widths, PictureSize,
                         ::testing::Values(SizeCase{251, 84, 11},  // the demo: 82 dot columns
                                           SizeCase{302, 101, 11}, SizeCase{8, 3, 11}, SizeCase{5, 2, 11},
                                           SizeCase{2, 2, 11}, SizeCase{1, 0, 0}));

// Pixels of random colours: every dot cell takes its dot's pixel and the background pixel beside it.
TEST(CellPicture, DotCellsShowTheDotOnItsBackground) {
  std::mt19937 random(3);
  Image frame(23, 32);
  for (Pixel& p : frame.pixels)
    p = MakePixel(static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), 9);
  const CellPicture picture = CellPicture::FromFrame(frame, kUnicodeGlyphs);
  ASSERT_EQ(picture.columns(), 8);
  for (int row = 1; row <= 9; ++row)
    for (int column = 1; column <= 6; ++column) {
      const Cell& cell = picture.at(column, row);
      // Grid dot (column - 1, row - 1) has its top-left pixel at (3 + 3j, 3 + 3r).
      EXPECT_EQ(cell.text, "\u25CF");
      EXPECT_EQ(cell.foreground, frame.at(3 * column, 3 * row)) << column << "," << row;
      EXPECT_EQ(cell.background, frame.at(3 * column - 1, 3 * row - 1)) << column << "," << row;
    }
}

// The colour a border cell shows in each quadrant: foreground where its block fills it.
Pixel QuadrantColour(const Cell& cell, int quadrant) {
  const auto mask = testing::QuadrantsOf(cell.text);
  EXPECT_TRUE(mask) << cell.text;
  return (mask.value_or(0) >> quadrant) & 1 ? cell.foreground : cell.background;
}

class RingCells : public ::testing::TestWithParam<bool> {};

TEST_P(RingCells, ShowTheRingPixelsInTheirQuadrants) {
  const bool rings = GetParam();
  testing::LedRig rig({.width = 101, .text = u"HI"});
  ASSERT_TRUE(rig.led.BorderStyle(rings ? 1 : 0));
  ASSERT_TRUE(rig.led.Show());
  rig.Tick(20);
  const Image frame = rig.container.Frame();
  const CellPicture picture = CellPicture::FromFrame(frame, kUnicodeGlyphs);
  const int last_column = picture.columns() - 1;
  const int last_row = picture.rows() - 1;
  // The pixels each border cell stands for, along each axis: 0 and 1, a dot's, or the last two.
  const auto xs = [&](int column) {
    return column == 0             ? std::pair{0, 1}
           : column == last_column ? std::pair{99, 100}
                                   : std::pair{3 * column, 3 * column};
  };
  const auto ys = [&](int row) {
    return row == 0 ? std::pair{0, 1} : row == last_row ? std::pair{30, 31} : std::pair{3 * row, 3 * row};
  };
  for (int row = 0; row <= last_row; ++row)
    for (int column = 0; column <= last_column; ++column) {
      if (row != 0 && row != last_row && column != 0 && column != last_column) continue;
      const Cell& cell = picture.at(column, row);
      const auto [left, right] = xs(column);
      const auto [top, bottom] = ys(row);
      EXPECT_EQ(QuadrantColour(cell, 0), frame.at(left, top)) << column << "," << row;
      EXPECT_EQ(QuadrantColour(cell, 1), frame.at(right, top)) << column << "," << row;
      EXPECT_EQ(QuadrantColour(cell, 2), frame.at(left, bottom)) << column << "," << row;
      EXPECT_EQ(QuadrantColour(cell, 3), frame.at(right, bottom)) << column << "," << row;
    }
  // The corners hold both rings: grey outside, white inside; without rings, black.
  EXPECT_EQ(QuadrantColour(picture.at(0, 0), 0), rings ? testing::kGrey : testing::kBlack);
  EXPECT_EQ(QuadrantColour(picture.at(0, 0), 3), rings ? testing::kWhite : testing::kBlack);
}

INSTANTIATE_TEST_SUITE_P(BorderStyles, RingCells, ::testing::Values(true, false));

TEST(CellPicture, AsciiGlyphsDrawTheSameFrameWithoutUnicode) {
  testing::LedRig rig({.width = 20, .text = u""});
  ASSERT_TRUE(rig.led.Show());
  rig.Tick();
  const CellPicture picture = CellPicture::FromFrame(rig.container.Frame(), kAsciiGlyphs);
  ASSERT_EQ(picture.columns(), 7);
  std::string top, middle;
  for (int column = 0; column < picture.columns(); ++column) {
    top += picture.at(column, 0).text;
    middle += picture.at(column, 5).text;
  }
  EXPECT_EQ(top, "+-----+");
  EXPECT_EQ(middle, "|ooooo|");
  EXPECT_EQ(picture.at(3, 5).foreground, testing::UnlitColour(1));
}

}  // namespace
}  // namespace glimmer::terminal
