// SPDX-License-Identifier: MIT
// An owned picture of W x H pixels, row after row: what containers hand to tests, PNG writers and windows.
#pragma once

#include <cstdint>
#include <vector>

#include <glimmer/host/gdi/colour.h>

namespace glimmer {

struct Image {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<Pixel> pixels;  // width * height, row-major

  Image() = default;
  Image(std::int32_t w, std::int32_t h, Pixel fill = MakePixel(0, 0, 0))
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

  [[nodiscard]] Pixel at(std::int32_t x, std::int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  Pixel& at(std::int32_t x, std::int32_t y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  friend bool operator==(const Image&, const Image&) = default;
};

}  // namespace glimmer
