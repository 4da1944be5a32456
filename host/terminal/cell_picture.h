// SPDX-License-Identifier: MIT
// The sign as a terminal shows it: one character cell per dot, and the rings as a frame of block
// characters around the dots.
//
// The control draws 2 x 2-pixel dots on a 3-pixel pitch, and its display window holds n - 1 columns of 9
// rows of them (a sign 3n + 2 pixels wide). A cell is taller than it is wide, so no whole number of cells
// per pixel keeps the picture's shape; one cell per dot does, near enough, and loses nothing: every pixel
// of the window is either part of a dot or the background between dots. Cell (j, r) of the grid stands
// for the 3 x 3 pixels from (2 + 3j, 2 + 3r): the dot's colour at (3 + 3j, 3 + 3r) on the background's
// colour at (2 + 3j, 2 + 3r), drawn as a round dot. The two-pixel margin around the window, where the
// rings are, becomes one cell on every side: each border cell shows its 2 x 2 ring pixels (the outer ring
// on the outside, the inner one on the inside) as a quadrant block in their two colours. A sign W x 32
// pixels is thus a picture of (W - 5) / 3 + 2 columns by 11 rows: 84 x 11 for the demo's 251 x 32.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <glimmer/host/gdi/colour.h>
#include <glimmer/host/gdi/image.h>

namespace glimmer::terminal {

// The characters a picture is drawn with: Unicode where the terminal's locale is UTF-8, else ASCII.
struct CellGlyphs {
  std::string_view dot;
  bool quadrants = true;  // the block elements U+2596 to U+259F; else '-', '|' and '+'
};
inline constexpr CellGlyphs kUnicodeGlyphs{"\u25CF", true};
inline constexpr CellGlyphs kAsciiGlyphs{"o", false};

struct Cell {
  std::string_view text;  // one column wide
  Pixel foreground = 0;
  Pixel background = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

class CellPicture {
 public:
  CellPicture() = default;
  // The picture of a control's frame (its pixels with the rings).
  [[nodiscard]] static CellPicture FromFrame(const Image& frame, const CellGlyphs& glyphs);

  [[nodiscard]] int columns() const { return columns_; }
  [[nodiscard]] int rows() const { return rows_; }
  [[nodiscard]] const Cell& at(int column, int row) const {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
  }
  friend bool operator==(const CellPicture&, const CellPicture&) = default;

 private:
  int columns_ = 0;
  int rows_ = 0;
  std::vector<Cell> cells_;
};

}  // namespace glimmer::terminal
