// A terminal given over to a full-screen picture for the life of the object: raw input, the alternate
// screen, no cursor, no automatic margins, a cleared screen. The destructor gives the terminal back as it
// was: colours reset, margins and cursor back on, the alternate screen left (which brings back what the
// screen showed before), and the input settings restored. The program ends the session this way however
// it ends, by q, by Ctrl-C, or by a signal that the SignalPipe turned into an orderly stop.
#pragma once

#include <optional>
#include <string_view>

#include "host/terminal/raw_mode.h"
#include "host/terminal/screen_painter.h"
#include "host/terminal/terminal_controls.h"

namespace glimmer::terminal {

// Writes all of `bytes` to `fd` (retrying short writes and interruptions); false when it cannot.
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// The size of the terminal on `fd`; nothing when it is not a terminal or does not say.
[[nodiscard]] std::optional<TerminalSize> QueryTerminalSize(int fd);

class TerminalSession {
 public:
  // `input_fd` gets the raw mode (when a terminal), `output_fd` the screen's sequences.
  TerminalSession(int input_fd, int output_fd, const TerminalControls& controls);
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

 private:
  RawMode raw_;
  int output_fd_;
  const TerminalControls& controls_;
};

}  // namespace glimmer::terminal
