// SPDX-License-Identifier: MIT
#include "bench/demo_frame.h"

#include "control/tables/glyph_font.h"

namespace glimmer::bench {

std::vector<Dot> DemoFrameDots() {
  const Pixel lit = MakePixel(0, 255, 0), unlit = MakePixel(0, 119, 0);
  std::vector<Dot> dots;
  const std::int32_t blocks = kWindowWidth / 15 + 1;
  for (std::int32_t b = 0; b < blocks; ++b)
    for (std::int32_t r = 0; r < 9; ++r)
      for (std::int32_t c = 0; c < 5; ++c)
        dots.push_back({15 * b + 1 + 3 * c, 1 + 3 * r, unlit});
  const std::int32_t scroll = kWindowWidth - 3 * static_cast<std::int32_t>(kMidPassTick);
  const char16_t text[] = u"GLIMMER";
  for (std::int32_t i = 0; i < 7; ++i)
    for (const GlyphPattern& g : kGlyphFont)
      if (g.key == text[i])
        for (std::int32_t r = 0; r < 7; ++r)
          for (std::int32_t c = 0; c < 5; ++c)
            dots.push_back({scroll + 18 * i + 3 + 3 * c, 4 + 3 * r, g.rows[r][c] == '#' ? lit : unlit});
  return dots;
}

}  // namespace glimmer::bench
