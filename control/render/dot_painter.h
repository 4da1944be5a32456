// SPDX-License-Identifier: MIT
// Paints dots straight into a surface's pixels, clipped to it: the same pixels that 2 x 2 solid fills of
// the drawing layer give, without making a brush per dot. The renderer uses it only where it has accounted
// for the brushes those fills would have made (gdi::ReserveBrushes), so that every pixel, and every
// injected brush failure, comes out exactly as dot-by-dot painting gives it.
#pragma once

#include <cstdint>

#include <glimmer/host/gdi/colour.h>
#include <glimmer/host/gdi/gdi_host.h>

namespace glimmer::dot_painter {

// Each paints only the pixels from column `from` on, so that a frame that is mostly the previous one
// shifted can have just its new columns painted.

// One 2 x 2 dot with its top-left pixel at (x, y).
void Dot(const gdi::PixelView& view, std::int32_t x, std::int32_t y, Pixel colour, std::int32_t from = 0);

// The dot grid of `blocks` blocks of 5 x 9 dots: dots at x = 1 + 3j (j < 5 x blocks), y = 1 + 3r (r < 9).
void Grid(const gdi::PixelView& view, std::int32_t blocks, Pixel colour, std::int32_t from = 0);

// A 5 x 7 glyph whose first dot is at (x, y): bit 5r + c of `bits` lit, the others unlit.
void Glyph(const gdi::PixelView& view, std::int32_t x, std::int32_t y, std::uint64_t bits, Pixel lit,
           Pixel unlit, std::int32_t from = 0);

// On the rows 0 <= y < rows, the columns first <= x < last take the pixels `by` columns to their right.
void ShiftLeft(const gdi::PixelView& view, std::int32_t first, std::int32_t last, std::int32_t rows,
               std::int32_t by);

}  // namespace glimmer::dot_painter
