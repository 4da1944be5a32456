// SPDX-License-Identifier: MIT
#include "control/render/dot_painter.h"

#include <algorithm>

namespace glimmer::dot_painter {

void Dot(const gdi::PixelView& view, std::int32_t x, std::int32_t y, Pixel colour, std::int32_t from) {
  const std::int32_t x0 = std::max({x, from, 0}), x1 = std::min(x + 2, view.width);
  const std::int32_t y0 = std::max(y, 0), y1 = std::min(y + 2, view.height);
  for (std::int32_t row = y0; row < y1; ++row)
    for (std::int32_t col = x0; col < x1; ++col)
      view.row(row)[col] = colour;
}

void Grid(const gdi::PixelView& view, std::int32_t blocks, Pixel colour, std::int32_t from) {
  if (!view) return;
  // Dots cover the pixels whose x is 1 or 2 modulo 3, from x = 1 up to the end of the last block, on the
  // rows whose y is 1 or 2 modulo 3 below y = 27. The pixels between them keep what they hold.
  const std::int32_t end = std::min<std::int64_t>(std::int64_t{15} * blocks, view.width);
  const std::int32_t rows = std::min(27, view.height);
  // The first dot that reaches column `from`: x = 1 + 3j with x + 1 >= from.
  const std::int32_t first = 1 + 3 * (from <= 2 ? 0 : from / 3);
  for (std::int32_t y = 1; y < rows; ++y) {
    if (y % 3 == 0) continue;
    Pixel* row = view.row(y);
    for (std::int32_t x = first; x < end; x += 3) {
      if (x >= from) row[x] = colour;
      if (x + 1 < end) row[x + 1] = colour;
    }
  }
}

void Glyph(const gdi::PixelView& view, std::int32_t x, std::int32_t y, std::uint64_t bits, Pixel lit,
           Pixel unlit, std::int32_t from) {
  if (!view || x + 14 < std::max(from, 0) || x >= view.width || y + 20 < 0 || y >= view.height) return;
  for (std::int32_t r = 0; r < 7; ++r)
    for (std::int32_t c = 0; c < 5; ++c)
      Dot(view, x + 3 * c, y + 3 * r, (bits >> (5 * r + c)) & 1 ? lit : unlit, from);
}

void ShiftLeft(const gdi::PixelView& view, std::int32_t first, std::int32_t last, std::int32_t rows,
               std::int32_t by) {
  first = std::max(first, 0);
  last = std::min(last, view.width - by);
  if (!view || by <= 0 || first >= last) return;
  for (std::int32_t y = 0; y < std::min(rows, view.height); ++y) {
    Pixel* row = view.row(y);
    std::copy(row + first + by, row + last + by, row + first);
  }
}

}  // namespace glimmer::dot_painter
