// SPDX-License-Identifier: MIT
// Colour values.
//
// ColorRef is a colour as the control and its container exchange it: 32 bits laid out 0x00BBGGRR (red in the
// low byte). A container colour may instead name a system colour (high byte 0x80, the index in the low byte);
// only a translation turns that into an RGB value. Pixel is one pixel of a drawing surface, 0xFFRRGGBB, the
// layout that image libraries and toolkits take without conversion.
#pragma once

#include <cstdint>

namespace glimmer {

struct ColorRef {
  std::int32_t value = 0;

  [[nodiscard]] static constexpr ColorRef FromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return ColorRef{static_cast<std::int32_t>(r | (g << 8) | (b << 16))};
  }
  [[nodiscard]] constexpr std::uint8_t red() const { return static_cast<std::uint8_t>(value); }
  [[nodiscard]] constexpr std::uint8_t green() const { return static_cast<std::uint8_t>(value >> 8); }
  [[nodiscard]] constexpr std::uint8_t blue() const { return static_cast<std::uint8_t>(value >> 16); }
  [[nodiscard]] constexpr std::uint8_t high_byte() const {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> 24);
  }
  friend constexpr bool operator==(ColorRef, ColorRef) = default;
};

using Pixel = std::uint32_t;

[[nodiscard]] constexpr Pixel MakePixel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return 0xFF000000u | (Pixel{r} << 16) | (Pixel{g} << 8) | Pixel{b};
}

// The pixel a colour paints. Only the low 24 bits count; the high byte is ignored, so an untranslatable
// colour (-1) paints white, the way the platform's solid brushes treat it.
[[nodiscard]] constexpr Pixel PixelOf(ColorRef c) {
  return MakePixel(c.red(), c.green(), c.blue());
}

[[nodiscard]] constexpr std::uint8_t PixelRed(Pixel p) {
  return static_cast<std::uint8_t>(p >> 16);
}
[[nodiscard]] constexpr std::uint8_t PixelGreen(Pixel p) {
  return static_cast<std::uint8_t>(p >> 8);
}
[[nodiscard]] constexpr std::uint8_t PixelBlue(Pixel p) {
  return static_cast<std::uint8_t>(p);
}

}  // namespace glimmer
