// SPDX-License-Identifier: MIT
// A terminal emulator (libvterm) that tests send the terminal container's bytes to, and then read back as
// a person would see the screen: each cell's character and colours, whether the alternate screen is on and
// whether the cursor shows.
#pragma once

#include <string>
#include <string_view>

#include "host/gdi/colour.h"

struct VTerm;
struct VTermScreen;

namespace glimmer::testing {

struct ScreenCell {
  std::string text;  // UTF-8; "" for a cell nothing was written to
  Pixel foreground = 0;
  Pixel background = 0;
  bool default_colours = true;  // neither colour was set
};

class VTermScreenModel {
 public:
  VTermScreenModel(int rows, int columns);
  ~VTermScreenModel();
  VTermScreenModel(const VTermScreenModel&) = delete;
  VTermScreenModel& operator=(const VTermScreenModel&) = delete;

  void Feed(std::string_view bytes);
  [[nodiscard]] ScreenCell At(int row, int column) const;
  // A row's characters, blanks as spaces, trailing blanks dropped.
  [[nodiscard]] std::string Row(int row) const;
  [[nodiscard]] bool alternate_screen() const { return modes_.alternate_screen; }
  [[nodiscard]] bool cursor_visible() const { return modes_.cursor_visible; }
  [[nodiscard]] int rows() const { return rows_; }
  [[nodiscard]] int columns() const { return columns_; }

 private:
  int rows_;
  int columns_;
  VTerm* vt_;
  VTermScreen* screen_;
  // Set by libvterm as the bytes switch them.
  struct Modes {
    bool alternate_screen = false;
    bool cursor_visible = true;
  } modes_;
};

}  // namespace glimmer::testing
