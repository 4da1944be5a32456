// SPDX-License-Identifier: MIT
// The control sequences of the terminal that TERM names, from the terminfo database (ncurses' libtinfo):
// moving the cursor, clearing, the alternate screen, hiding the cursor, switching automatic margins off.
// Each is passed through terminfo's own output routine (tputs), which turns the padding some entries carry
// ("$<5>" in vt100's) into what the terminal is to get instead of text.
//
// Colours are the exception. terminfo describes 24-bit colour only in the "-direct" entries that few
// terminals are run under, while almost every terminal in use takes the ISO 8613-6 sequences
// ESC [ 38 ; 2 ; r ; g ; b m and ESC [ 48 ; 2 ; r ; g ; b m whatever TERM says; so those are written
// directly (SetColours). curses' own colour model cannot name exact 24-bit colours on such terminals, which
// is why the sign draws through terminfo rather than through a curses screen.
#pragma once

#include <memory>
#include <string>

#include <glimmer/host/base/expected.h>
#include <glimmer/host/gdi/colour.h>

struct term;  // terminfo's TERMINAL, from <term.h>

namespace glimmer::terminal {

class TerminalControls {
 public:
  // The entry for `term` (TERM); why not, for a message, when there is none or it cannot move the cursor.
  [[nodiscard]] static Expected<TerminalControls, std::string> ForTerminal(const std::string& term);

  // Cursor to (row, column), both from 0.
  [[nodiscard]] std::string MoveTo(int row, int column) const;
  [[nodiscard]] static std::string SetColours(Pixel foreground, Pixel background);
  // Sequences a terminal may lack are empty.
  [[nodiscard]] const std::string& reset_colours() const { return reset_colours_; }
  [[nodiscard]] const std::string& clear_screen() const { return clear_screen_; }
  [[nodiscard]] const std::string& enter_alternate_screen() const { return enter_alternate_screen_; }
  [[nodiscard]] const std::string& leave_alternate_screen() const { return leave_alternate_screen_; }
  [[nodiscard]] const std::string& hide_cursor() const { return hide_cursor_; }
  [[nodiscard]] const std::string& show_cursor() const { return show_cursor_; }
  [[nodiscard]] const std::string& margins_off() const { return margins_off_; }
  [[nodiscard]] const std::string& margins_on() const { return margins_on_; }

 private:
  std::shared_ptr<::term> entry_;  // the terminfo entry, for cup's padding
  std::string move_to_;            // terminfo's cup, with its parameters
  std::string reset_colours_, clear_screen_;
  std::string enter_alternate_screen_, leave_alternate_screen_;
  std::string hide_cursor_, show_cursor_;
  std::string margins_off_, margins_on_;
};

}  // namespace glimmer::terminal
