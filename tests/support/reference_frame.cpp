// SPDX-License-Identifier: MIT
#include "tests/support/reference_frame.h"

#include <cstdio>

#include "control/tables/glyph_font.h"
#include "control/tables/glyph_font_ascii.h"
#include "control/tables/glyph_font_latin1.h"

namespace glimmer::testing {
namespace {

template <std::size_t N>
const GlyphPattern* FindIn(const std::array<GlyphPattern, N>& font, char16_t ch) {
  for (const GlyphPattern& g : font)
    if (g.key == ch) return &g;
  return nullptr;
}

// The font's own pattern for a character, straight from the fonts of the set.
const GlyphPattern* FindGlyph(char16_t ch, GlyphSet set) {
  const GlyphPattern* g = FindIn(kGlyphFont, ch);
  if (g == nullptr && set != GlyphSet::Capitals) g = FindIn(kAsciiGlyphFont, ch);
  if (g == nullptr && set == GlyphSet::Latin1) g = FindIn(kLatin1GlyphFont, ch);
  return g;
}

}  // namespace

// Lit and unlit colour of each scheme: red, green, yellow; the dim colour has 0x77 where the bright has 0xFF.
constexpr Pixel kSchemes[3][2] = {
    {0xFFFF0000u, 0xFF770000u}, {0xFF00FF00u, 0xFF007700u}, {0xFFFFFF00u, 0xFF777700u}};

Pixel LitColour(std::int32_t color) {
  return color >= 0 && color <= 2 ? kSchemes[color][0] : 0;
}
Pixel UnlitColour(std::int32_t color) {
  return color >= 0 && color <= 2 ? kSchemes[color][1] : 0;
}

Image ExpectedFrame(const Scene& scene) {
  const std::int32_t w = scene.width, h = 32;
  const std::int32_t win_w = w - 4, win_h = h - 4;
  Image image(w, h, kBlack);
  const bool dots = scene.color >= 0 && scene.color <= 2;
  // A dot in surface coordinates lands at +2, +2 on the control, clipped to the display window.
  auto dot = [&](std::int64_t x, std::int64_t y, Pixel colour) {
    for (std::int64_t yy = y; yy < y + 2; ++yy)
      for (std::int64_t xx = x; xx < x + 2; ++xx)
        if (xx >= 0 && yy >= 0 && xx < win_w && yy < win_h)
          image.at(static_cast<std::int32_t>(xx) + 2, static_cast<std::int32_t>(yy) + 2) = colour;
  };
  if (dots && scene.grid) {
    const std::int32_t grid_end = 15 * (win_w / 15 + 1);  // whole blocks of five columns
    for (std::int32_t y = 1; y <= 25; y += 3)
      for (std::int32_t x = 1; x < grid_end; x += 3)
        dot(x, y, UnlitColour(scene.color));
  }
  if (dots && scene.draw_text) {
    for (std::size_t i = 0; i < scene.text.size(); ++i) {
      const GlyphPattern* g = FindGlyph(scene.text[i], scene.glyphs);
      if (g == nullptr) continue;
      const std::int64_t origin = scene.scroll_x + 18 * static_cast<std::int64_t>(i);
      for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 5; ++c)
          dot(origin + 3 + 3 * c, 4 + 3 * r,
              g->rows[r][c] == '#' ? LitColour(scene.color) : UnlitColour(scene.color));
    }
  }
  if (scene.rings) {
    for (std::int32_t x = 0; x < w; ++x)
      image.at(x, 0) = image.at(x, h - 1) = kGrey;
    for (std::int32_t y = 0; y < h; ++y)
      image.at(0, y) = image.at(w - 1, y) = kGrey;
    // The inner ring is (w - 2) x 30 at (1, 1): nothing at all on a control 2 pixels wide.
    for (std::int32_t x = 1; x < w - 1; ++x)
      image.at(x, 1) = image.at(x, h - 2) = kWhite;
    for (std::int32_t y = 1; y < h - 1 && w > 2; ++y)
      image.at(1, y) = image.at(w - 2, y) = kWhite;
  }
  return image;
}

std::string FirstDifference(const Image& actual, const Image& expected) {
  char buffer[160];
  if (actual.width != expected.width || actual.height != expected.height) {
    std::snprintf(buffer, sizeof buffer, "size %dx%d, expected %dx%d", actual.width, actual.height,
                  expected.width, expected.height);
    return buffer;
  }
  for (std::int32_t y = 0; y < actual.height; ++y)
    for (std::int32_t x = 0; x < actual.width; ++x)
      if (actual.at(x, y) != expected.at(x, y)) {
        std::snprintf(buffer, sizeof buffer, "pixel (%d, %d) is %08X, expected %08X", x, y, actual.at(x, y),
                      expected.at(x, y));
        return buffer;
      }
  return "";
}

}  // namespace glimmer::testing
