// SPDX-License-Identifier: MIT
#include "tests/support/vterm_screen.h"

#include <vterm.h>

#include "host/automation/property_value.h"

namespace glimmer::testing {
namespace {

template <class Modes>
int SetTermProp(VTermProp prop, VTermValue* value, void* user) {
  auto* modes = static_cast<Modes*>(user);
  if (prop == VTERM_PROP_ALTSCREEN) modes->alternate_screen = value->boolean != 0;
  if (prop == VTERM_PROP_CURSORVISIBLE) modes->cursor_visible = value->boolean != 0;
  return 1;
}

}  // namespace

VTermScreenModel::VTermScreenModel(int rows, int columns)
    : rows_(rows), columns_(columns), vt_(vterm_new(rows, columns)), screen_(vterm_obtain_screen(vt_)) {
  static const VTermScreenCallbacks callbacks{.settermprop = &SetTermProp<Modes>};
  vterm_set_utf8(vt_, 1);
  vterm_screen_enable_altscreen(screen_, 1);
  vterm_screen_set_callbacks(screen_, &callbacks, &modes_);
  vterm_screen_reset(screen_, 1);
}

VTermScreenModel::~VTermScreenModel() {
  vterm_free(vt_);
}

void VTermScreenModel::Feed(std::string_view bytes) {
  vterm_input_write(vt_, bytes.data(), bytes.size());
}

ScreenCell VTermScreenModel::At(int row, int column) const {
  VTermScreenCell cell{};
  vterm_screen_get_cell(screen_, VTermPos{row, column}, &cell);
  ScreenCell result;
  for (int i = 0; i < VTERM_MAX_CHARS_PER_CELL && cell.chars[i] != 0; ++i)
    AppendUtf8(result.text, static_cast<char32_t>(cell.chars[i]));
  result.default_colours = VTERM_COLOR_IS_DEFAULT_FG(&cell.fg) && VTERM_COLOR_IS_DEFAULT_BG(&cell.bg);
  vterm_screen_convert_color_to_rgb(screen_, &cell.fg);
  vterm_screen_convert_color_to_rgb(screen_, &cell.bg);
  result.foreground = MakePixel(cell.fg.rgb.red, cell.fg.rgb.green, cell.fg.rgb.blue);
  result.background = MakePixel(cell.bg.rgb.red, cell.bg.rgb.green, cell.bg.rgb.blue);
  return result;
}

std::string VTermScreenModel::Row(int row) const {
  std::string text;
  for (int column = 0; column < columns_; ++column) {
    const std::string cell = At(row, column).text;
    text += cell.empty() ? " " : cell;
  }
  return text.erase(text.find_last_not_of(' ') + 1);
}

}  // namespace glimmer::testing
