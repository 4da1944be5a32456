// SPDX-License-Identifier: MIT
#include "host/terminal/screen_painter.h"

#include <algorithm>

namespace glimmer::terminal {

std::string ScreenPainter::Paint(const CellPicture& picture, TerminalSize size) {
  std::string out;
  if (size != last_size_ ||
      (last_ && (last_->columns() != picture.columns() || last_->rows() != picture.rows()))) {
    last_.reset();
    last_size_ = size;
  }
  if (!last_) out += controls_.clear_screen();
  colours_.reset();
  const int visible_rows = std::min(picture.rows(), size.rows);
  const int visible_columns = std::min(picture.columns(), size.columns);
  for (int row = 0; row < visible_rows; ++row)
    PaintRow(picture, row, visible_columns, out);
  if (colours_) out += controls_.reset_colours();
  last_ = picture;
  return out;
}

void ScreenPainter::PaintRow(const CellPicture& picture, int row, int visible_columns, std::string& out) {
  int first = 0;
  int last = visible_columns - 1;
  if (last_) {
    while (first <= last && picture.at(first, row) == last_->at(first, row))
      ++first;
    while (last >= first && picture.at(last, row) == last_->at(last, row))
      --last;
  }
  if (first > last) return;
  out += controls_.MoveTo(row, first);
  for (int column = first; column <= last; ++column)
    PaintCell(picture.at(column, row), out);
}

void ScreenPainter::PaintCell(const Cell& cell, std::string& out) {
  const std::pair colours{cell.foreground, cell.background};
  if (colours_ != colours) {
    out += TerminalControls::SetColours(cell.foreground, cell.background);
    colours_ = colours;
  }
  out += cell.text;
}

}  // namespace glimmer::terminal
