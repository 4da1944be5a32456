// SPDX-License-Identifier: MIT
// Puts a terminal into raw input mode for the life of the object and puts back the settings it had.
//
// Keys arrive one by one and unechoed; Ctrl-C, Ctrl-Z and Ctrl-\ arrive as bytes instead of raising
// signals (so that Ctrl-C ends the program the same way q does, and nothing suspends it with the screen
// switched), and Ctrl-S no longer stops the output. Output processing is left as it is.
#pragma once

#include <termios.h>

namespace glimmer::terminal {

class RawMode {
 public:
  // Does nothing to an `fd` that is not a terminal.
  explicit RawMode(int fd);
  ~RawMode();
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;

  [[nodiscard]] bool active() const { return active_; }
  // The settings to put back; null while not raw.
  [[nodiscard]] const termios* saved() const { return active_ ? &saved_ : nullptr; }

  // Puts the saved settings back for now (the program is about to stop).
  void Leave();
  // Raw again. After Leave, the settings the terminal has now are the ones to put back at the end (the
  // shell may have changed them meanwhile); otherwise the raw settings are set once more, over whatever
  // changed them behind the program's back.
  void Enter();

 private:
  void Apply(int when);

  int fd_;
  bool terminal_ = false;
  bool active_ = false;
  termios saved_{};
};

}  // namespace glimmer::terminal
