// SPDX-License-Identifier: MIT
// A terminal given over to a full-screen picture for the life of the object: raw input, the alternate
// screen, no cursor, no automatic margins, a cleared screen. The destructor gives the terminal back as it
// was: colours reset, margins and cursor back on, the alternate screen left (which brings back what the
// screen showed before), and the input settings restored. The program ends the session this way however
// it ends, by q, by Ctrl-C, or by a signal that the SignalPipe turned into an orderly stop.
//
// A stop from outside gives the terminal back the same way for as long as the program is stopped
// (Suspend), and it is taken again when the program continues (Resume). A fault (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT, SIGTRAP, SIGSYS, whether it happens or is sent) cannot wait for the loop: for the life
// of the session a handler gives the terminal back at once, with nothing but async-signal-safe calls, and
// then lets the signal take its course as it would have (the handler that was there before, or the
// default).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <glimmer/host/terminal/raw_mode.h>
#include <glimmer/host/terminal/screen_painter.h>
#include <glimmer/host/terminal/terminal_controls.h>

namespace glimmer::terminal {

// Writes all of `bytes` to `fd` (retrying short writes and interruptions); false when it cannot.
[[nodiscard]] bool WriteAll(int fd, std::string_view bytes);

// The size of the terminal on `fd`; nothing when it is not a terminal or does not say.
[[nodiscard]] std::optional<TerminalSize> QueryTerminalSize(int fd);

class TerminalSession {
 public:
  // `input_fd` gets the raw mode (when a terminal), `output_fd` the screen's sequences. One at a time.
  TerminalSession(int input_fd, int output_fd, const TerminalControls& controls);
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Gives the terminal back as the destructor does, until Resume.
  void Suspend();
  // Takes the terminal again (raw input, alternate screen, no cursor, cleared), after Suspend or after
  // anything else may have changed it; the picture must then be sent whole.
  void Resume();
  [[nodiscard]] bool suspended() const { return suspended_; }

 private:
  void Take();
  void GiveBack();

  RawMode raw_;
  int output_fd_;
  const TerminalControls& controls_;
  // What gives the terminal back, kept ready for the fault handler.
  std::string give_back_;
  bool suspended_ = false;
};

}  // namespace glimmer::terminal
