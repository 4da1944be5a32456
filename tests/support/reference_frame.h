// SPDX-License-Identifier: MIT
// An independent picture of what the sign must show, built from the sign's geometry rules alone: tests
// compare the control's frames with it pixel for pixel.
#pragma once

#include <cstdint>
#include <string>

#include "control/tables/glyph_set.h"
#include "host/gdi/image.h"

namespace glimmer::testing {

struct Scene {
  std::int32_t width = 251;  // the control's width in pixels; it is 32 high
  std::u16string text;
  std::int32_t color = 1;     // 0 red, 1 green, 2 yellow; anything else paints no dot
  std::int32_t scroll_x = 0;  // the first cell's origin for this frame
  bool draw_text = true;      // false for the frame of a tick that ends a pass
  bool rings = true;
  bool grid = true;
  GlyphSet glyphs = GlyphSet::Capitals;  // the font the text is drawn in
};

// The control's area: black, the display window at (2, 2) with background, grid and text, and the rings.
[[nodiscard]] Image ExpectedFrame(const Scene& scene);

// Colours, spelled out independently of the control's tables.
[[nodiscard]] Pixel LitColour(std::int32_t color);
[[nodiscard]] Pixel UnlitColour(std::int32_t color);
inline constexpr Pixel kBlack = 0xFF000000u;
inline constexpr Pixel kGrey = 0xFF737373u;
inline constexpr Pixel kWhite = 0xFFFFFFFFu;

// Where two images differ: "" when equal, else the first differing pixel and the two values.
[[nodiscard]] std::string FirstDifference(const Image& actual, const Image& expected);

}  // namespace glimmer::testing
