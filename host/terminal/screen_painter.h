// SPDX-License-Identifier: MIT
// Turns pictures into what the terminal is sent: the bytes that bring the screen from the picture painted
// last to the next one, as one string that is written at once, so that a frame never shows half drawn.
//
// The picture sits at the top left of the screen. Only the cells that fit are sent: a terminal narrower or
// lower than the picture shows its top-left part, and no line ever reaches past the last column, so
// nothing wraps. Rows that did not change are not sent again; within a row, the span from its first to its
// last changed cell is. Colours are set only where they change, and reset at the end of every frame so
// that anything else the terminal draws (a resize's clearing, a shell afterwards) finds them as they were.
#pragma once

#include <optional>
#include <string>

#include <glimmer/host/terminal/cell_picture.h>
#include <glimmer/host/terminal/terminal_controls.h>

namespace glimmer::terminal {

struct TerminalSize {
  int columns = 80;
  int rows = 24;
  friend bool operator==(const TerminalSize&, const TerminalSize&) = default;
};

class ScreenPainter {
 public:
  explicit ScreenPainter(const TerminalControls& controls) : controls_(controls) {}

  // The bytes for `picture` on a screen of `size`; empty when nothing visible changed. A new size clears
  // the screen and paints everything.
  [[nodiscard]] std::string Paint(const CellPicture& picture, TerminalSize size);
  // The screen no longer shows the last picture (it was cleared): the next Paint sends every cell.
  void Forget() { last_.reset(); }

 private:
  void PaintRow(const CellPicture& picture, int row, int visible_columns, std::string& out);
  void PaintCell(const Cell& cell, std::string& out);

  const TerminalControls& controls_;
  std::optional<CellPicture> last_;
  TerminalSize last_size_;
  // The colours the terminal draws with while a frame is being sent.
  std::optional<std::pair<Pixel, Pixel>> colours_;
};

}  // namespace glimmer::terminal
