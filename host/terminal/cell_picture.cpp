// SPDX-License-Identifier: MIT
#include "host/terminal/cell_picture.h"

#include <algorithm>
#include <array>

namespace glimmer::terminal {
namespace {

// Quadrant blocks by the quadrants they fill: 1 upper left, 2 upper right, 4 lower left, 8 lower right.
constexpr std::array<std::string_view, 16> kQuadrants{
    " ",      "\u2598", "\u259D", "\u2580", "\u2596", "\u258C", "\u259E", "\u259B",
    "\u2597", "\u259A", "\u2590", "\u259C", "\u2584", "\u2599", "\u259F", "\u2588"};

// The same shapes in ASCII: a rule along a side, a corner elsewhere.
std::string_view AsciiBlock(int mask) {
  if (mask == 0 || mask == 15) return " ";
  if (mask == 3 || mask == 12) return "-";
  if (mask == 5 || mask == 10) return "|";
  return "+";
}

// Where a cell's pixels lie along one axis of a frame `length` pixels long with `dots` dots: the two
// pixels of the first margin, then the dot of each grid cell, then the two pixels of the far margin.
struct Span {
  std::int32_t near, far;
};
Span SpanOf(int cell, int dots, std::int32_t length) {
  if (cell == 0) return {0, 1};
  if (cell > dots) return {length - 2, length - 1};
  const std::int32_t dot = 3 * cell;  // the grid's cell - 1 has its dot at 3 + 3 (cell - 1)
  return {dot, dot};
}

Cell Block(const Image& frame, Span x, Span y, const CellGlyphs& glyphs) {
  const std::array<Pixel, 4> quadrant{frame.at(x.near, y.near), frame.at(x.far, y.near),
                                      frame.at(x.near, y.far), frame.at(x.far, y.far)};
  const Pixel back = quadrant[0];
  Pixel fore = back;
  int mask = 0;
  for (int i = 0; i < 4; ++i)
    if (quadrant[static_cast<std::size_t>(i)] != back) {
      fore = quadrant[static_cast<std::size_t>(i)];
      mask |= 1 << i;
    }
  return {glyphs.quadrants ? kQuadrants[static_cast<std::size_t>(mask)] : AsciiBlock(mask), fore, back};
}

Cell Dot(const Image& frame, int column, int row, const CellGlyphs& glyphs) {
  return {glyphs.dot, frame.at(3 * column, 3 * row), frame.at(3 * column - 1, 3 * row - 1)};
}

}  // namespace

CellPicture CellPicture::FromFrame(const Image& frame, const CellGlyphs& glyphs) {
  CellPicture picture;
  if (frame.width < 2 || frame.height < 2) return picture;
  const int dot_columns = std::max(0, (frame.width - 5) / 3);
  const int dot_rows = std::max(0, (frame.height - 5) / 3);
  picture.columns_ = dot_columns + 2;
  picture.rows_ = dot_rows + 2;
  picture.cells_.reserve(static_cast<std::size_t>(picture.columns_) *
                         static_cast<std::size_t>(picture.rows_));
  for (int row = 0; row < picture.rows_; ++row)
    for (int column = 0; column < picture.columns_; ++column) {
      const bool dot = column > 0 && column <= dot_columns && row > 0 && row <= dot_rows;
      picture.cells_.push_back(dot ? Dot(frame, column, row, glyphs)
                                   : Block(frame, SpanOf(column, dot_columns, frame.width),
                                           SpanOf(row, dot_rows, frame.height), glyphs));
    }
  return picture;
}

}  // namespace glimmer::terminal
