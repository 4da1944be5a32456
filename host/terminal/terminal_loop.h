// SPDX-License-Identifier: MIT
// Runs a TerminalContainer in a real terminal: its virtual clock follows the real one (a steady clock,
// from the start of Run), every wake-up presents what changed, and the loop sleeps in poll() until the
// next tick, a key or a signal. A tick that came due while the process could not run (a stopped or busy
// machine) is not lost: the clock catches up and only the last frame is shown.
//
// q, Q and Ctrl-C end it; so does every signal that ends a program (SIGINT, SIGTERM, SIGHUP, SIGQUIT,
// ...), reported to the caller so that it can end the way the signal asks once the terminal is restored.
// SIGWINCH makes it fetch the new size and repaint. A stop from outside (SIGTSTP) gives the terminal back
// and stops the program as the shell expects; SIGCONT takes the terminal again and repaints it whole.
#pragma once

#include <glimmer/host/terminal/signal_pipe.h>
#include <glimmer/host/terminal/terminal_container.h>
#include <glimmer/host/terminal/terminal_session.h>

namespace glimmer::terminal {

class TerminalLoop {
 public:
  // `input_fd` is read for keys (-1: none); `output_fd` is asked for the terminal's size. `session`, when
  // given, is suspended for a stop and resumed when the program continues.
  TerminalLoop(TerminalContainer& host, int input_fd, int output_fd, SignalPipe& signals,
               TerminalSession* session = nullptr)
      : host_(host), input_fd_(input_fd), output_fd_(output_fd), signals_(signals), session_(session) {}

  // Returns the signal that ended it, or 0 when a key did.
  [[nodiscard]] int Run();

 private:
  // Whether a key that ends the loop was typed; -1 input ends at its end of file.
  [[nodiscard]] bool KeyEnds();
  // The terminating signal that came, or 0; resizes, stops and continues are handled here.
  [[nodiscard]] int SignalEnds();
  void Resize();
  void Stop();
  void Continue();

  TerminalContainer& host_;
  int input_fd_;
  int output_fd_;
  SignalPipe& signals_;
  TerminalSession* session_;
};

}  // namespace glimmer::terminal
