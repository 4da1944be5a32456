// SPDX-License-Identifier: MIT
#include "host/terminal/terminal_controls.h"

#include <curses.h>
#include <term.h>

#include <memory>

namespace glimmer::terminal {
namespace {

// Where tputs puts what it sends: its output routine takes one character and no context.
thread_local std::string* g_output = nullptr;

int Collect(int c) {
  g_output->push_back(static_cast<char>(c));
  return c;
}

// A terminfo string as the terminal is to get it, through terminfo's own output routine: its padding
// ("$<5>", which vt100 and its kin carry) becomes the delay or the pad characters the entry asks for, at
// the speed of a terminal that has none (a pseudo-terminal), and never text on the screen. The entry
// must be the current one.
std::string Sent(const char* sequence) {
  std::string out;
  if (sequence == nullptr) return out;
  g_output = &out;
  (void)tputs(sequence, 1, &Collect);
  g_output = nullptr;
  return out;
}

// A string capability of the current entry; empty when the terminal lacks it.
std::string Capability(const char* name) {
  const char* value = tigetstr(name);
  if (value == nullptr || value == reinterpret_cast<const char*>(-1)) return {};
  return value;
}

// Makes `entry` the current terminfo entry for the life of the object, and the previous one again after.
class CurrentEntry {
 public:
  explicit CurrentEntry(TERMINAL* entry) : previous_(set_curterm(entry)) {}
  ~CurrentEntry() { (void)set_curterm(previous_); }
  CurrentEntry(const CurrentEntry&) = delete;
  CurrentEntry& operator=(const CurrentEntry&) = delete;

 private:
  TERMINAL* previous_;
};

// Loads the entry for `term` without making it current; null when there is none.
std::shared_ptr<TERMINAL> LoadEntry(const std::string& term) {
  TERMINAL* previous = cur_term;
  int status = 0;
  // fd -1: only the database is read; nothing is asked of, or done to, a terminal.
  TERMINAL* entry = setupterm(term.c_str(), -1, &status) == OK ? cur_term : nullptr;
  (void)set_curterm(previous);
  if (entry == nullptr) return nullptr;
  return std::shared_ptr<TERMINAL>(entry, [](TERMINAL* t) { (void)del_curterm(t); });
}

}  // namespace

Expected<TerminalControls, std::string> TerminalControls::ForTerminal(const std::string& term) {
  if (term.empty())
    return Unexpected<std::string>("TERM is not set, so the terminal's control sequences are unknown");
  auto entry = LoadEntry(term);
  if (!entry)
    return Unexpected<std::string>("the terminal type '" + term + "' is not in the terminfo database");
  const CurrentEntry current(entry.get());
  TerminalControls controls;
  controls.entry_ = std::move(entry);
  controls.move_to_ = Capability("cup");
  if (controls.move_to_.empty())
    return Unexpected<std::string>("the terminal '" + term + "' cannot move its cursor");
  controls.reset_colours_ = Sent(Capability("sgr0").c_str());
  controls.clear_screen_ = Sent(Capability("clear").c_str());
  controls.enter_alternate_screen_ = Sent(Capability("smcup").c_str());
  controls.leave_alternate_screen_ = Sent(Capability("rmcup").c_str());
  controls.hide_cursor_ = Sent(Capability("civis").c_str());
  controls.show_cursor_ = Sent(Capability("cnorm").c_str());
  controls.margins_off_ = Sent(Capability("rmam").c_str());
  controls.margins_on_ = Sent(Capability("smam").c_str());
  if (controls.reset_colours_.empty()) controls.reset_colours_ = "\x1b[m";
  return controls;
}

std::string TerminalControls::MoveTo(int row, int column) const {
  const CurrentEntry current(entry_.get());
  // tiparm formats the parameters into the string; tputs handles its padding.
  return Sent(tiparm(move_to_.c_str(), row, column));
}

std::string TerminalControls::SetColours(Pixel foreground, Pixel background) {
  return "\x1b[38;2;" + std::to_string(PixelRed(foreground)) + ';' + std::to_string(PixelGreen(foreground)) +
         ';' + std::to_string(PixelBlue(foreground)) + ";48;2;" + std::to_string(PixelRed(background)) + ';' +
         std::to_string(PixelGreen(background)) + ';' + std::to_string(PixelBlue(background)) + 'm';
}

}  // namespace glimmer::terminal
