// SPDX-License-Identifier: MIT
#include "host/rectangle_shape.h"

#include <gtest/gtest.h>

#include <cmath>

namespace glimmer {
namespace {

constexpr Pixel kInk = 0xFFFFFFFFu;

// The outline of `shape` on a w x h black picture, as '#' and '.'.
std::vector<std::string> Draw(const RectangleShape& shape, std::int32_t w, std::int32_t h) {
  Image img(w, h, 0);
  shape.DrawOnto(gdi::PixelView{img.pixels.data(), w, h});
  std::vector<std::string> rows;
  for (std::int32_t y = 0; y < h; ++y) {
    std::string row;
    for (std::int32_t x = 0; x < w; ++x)
      row += img.at(x, y) == kInk ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

RectangleShape Make(float left, float top, float width, float height, std::int16_t style = 1) {
  return RectangleShape(ShapeDesign{.name = "S",
                                    .border_color = ColorRef{0xFFFFFF},
                                    .left = left,
                                    .top = top,
                                    .width = width,
                                    .height = height,
                                    .border_style = style},
                        nullptr);
}

TEST(RectangleShape, DrawsAOnePixelOutlineWithoutFill) {
  EXPECT_EQ(Draw(Make(1, 1, 5, 4), 7, 6),
            (std::vector<std::string>{".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."}));
}

TEST(RectangleShape, ThinAndEmptyRectangles) {
  EXPECT_EQ(Draw(Make(0, 0, 1, 3), 2, 3), (std::vector<std::string>{"#.", "#.", "#."}));
  EXPECT_EQ(Draw(Make(0, 0, 3, 1), 3, 1), (std::vector<std::string>{"###"}));
  EXPECT_EQ(Draw(Make(0, 0, 0, 3), 2, 3), (std::vector<std::string>{"..", "..", ".."}));
  EXPECT_EQ(Draw(Make(0, 0, 3, 3, 0), 3, 3), (std::vector<std::string>{"...", "...", "..."}));
}

TEST(RectangleShape, DottedStyleAlternatesAroundTheOutline) {
  EXPECT_EQ(Draw(Make(0, 0, 4, 3, 3), 4, 3), (std::vector<std::string>{"#.#.", "...#", "#.#."}));
}

TEST(RectangleShape, HugeRectanglesAreClipped) {
  const auto rows = Draw(Make(-1, 1, 1e9f, 1e9f), 4, 3);
  EXPECT_EQ(rows, (std::vector<std::string>{"....", "####", "...."}));
}

TEST(RectangleShape, RefusesStylesAndSizesItCannotDraw) {
  RectangleShape s = Make(0, 0, 3, 3);
  EXPECT_EQ(s.BorderStyle(7).error(), Error::InvalidPropertyValue);
  EXPECT_EQ(s.BorderStyle(-1).error(), Error::InvalidPropertyValue);
  EXPECT_EQ(s.Width(-1).error(), Error::InvalidPropertyValue);
  EXPECT_EQ(s.Height(std::nanf("")).error(), Error::InvalidPropertyValue);
  EXPECT_TRUE(s.BorderStyle(6));
  EXPECT_EQ(s.border_style(), 6);
}

}  // namespace
}  // namespace glimmer
