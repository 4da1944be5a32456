#include "host/terminal/terminal_controls.h"

#include <curses.h>
#include <term.h>

#include <memory>

namespace glimmer::terminal {
namespace {

// The terminfo entry loaded for one lookup, released afterwards; whatever entry was current before is
// current again.
class LoadedEntry {
 public:
  explicit LoadedEntry(const std::string& term) : previous_(cur_term) {
    int status = 0;
    // fd -1: only the database is read; nothing is asked of, or done to, a terminal.
    if (setupterm(term.c_str(), -1, &status) == OK) entry_ = cur_term;
  }
  ~LoadedEntry() {
    if (entry_ != nullptr) del_curterm(entry_);
    set_curterm(previous_);
  }
  LoadedEntry(const LoadedEntry&) = delete;
  LoadedEntry& operator=(const LoadedEntry&) = delete;

  [[nodiscard]] bool loaded() const { return entry_ != nullptr; }
  // A string capability; empty when the terminal lacks it.
  [[nodiscard]] static std::string String(const char* name) {
    const char* value = tigetstr(name);
    if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return {};
    return value;
  }

 private:
  TERMINAL* previous_;
  TERMINAL* entry_ = nullptr;
};

}  // namespace

Expected<TerminalControls, std::string> TerminalControls::ForTerminal(const std::string& term) {
  if (term.empty())
    return Unexpected<std::string>("TERM is not set, so the terminal's control sequences are unknown");
  const LoadedEntry entry(term);
  if (!entry.loaded())
    return Unexpected<std::string>("the terminal type '" + term + "' is not in the terminfo database");
  TerminalControls controls;
  controls.move_to_ = LoadedEntry::String("cup");
  if (controls.move_to_.empty())
    return Unexpected<std::string>("the terminal '" + term + "' cannot move its cursor");
  controls.reset_colours_ = LoadedEntry::String("sgr0");
  controls.clear_screen_ = LoadedEntry::String("clear");
  controls.enter_alternate_screen_ = LoadedEntry::String("smcup");
  controls.leave_alternate_screen_ = LoadedEntry::String("rmcup");
  controls.hide_cursor_ = LoadedEntry::String("civis");
  controls.show_cursor_ = LoadedEntry::String("cnorm");
  controls.margins_off_ = LoadedEntry::String("rmam");
  controls.margins_on_ = LoadedEntry::String("smam");
  if (controls.reset_colours_.empty()) controls.reset_colours_ = "\x1b[m";
  return controls;
}

std::string TerminalControls::MoveTo(int row, int column) const {
  // tiparm only formats the parameters into the string; it needs no terminal.
  const char* sequence = tiparm(move_to_.c_str(), row, column);
  return sequence != nullptr ? sequence : "";
}

std::string TerminalControls::SetColours(Pixel foreground, Pixel background) {
  return "\x1b[38;2;" + std::to_string(PixelRed(foreground)) + ';' + std::to_string(PixelGreen(foreground)) +
         ';' + std::to_string(PixelBlue(foreground)) + ";48;2;" + std::to_string(PixelRed(background)) + ';' +
         std::to_string(PixelGreen(background)) + ';' + std::to_string(PixelBlue(background)) + 'm';
}

}  // namespace glimmer::terminal
