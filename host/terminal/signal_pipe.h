// SPDX-License-Identifier: MIT
// Turns the signals that end, stop, continue or resize a terminal program into bytes on a pipe, so that the
// event loop waits on them like on the keyboard and handles them in its own time, with the terminal
// restored by the usual destructors. For the life of the object it catches every signal that comes from
// outside and would end the process (SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE,
// SIGPOLL, SIGPROF, SIGVTALRM, SIGXCPU, SIGXFSZ, SIGSTKFLT, SIGPWR and the real-time signals), the stop
// from outside (SIGTSTP), SIGCONT and SIGWINCH, and puts the previous handlers back afterwards. A signal
// that is ignored or handled already when the object is made (nohup's SIGHUP) is left as it is. The
// signals of a fault (SIGSEGV and the like) are the terminal session's. One at a time in a process.
#pragma once

#include <csignal>
#include <vector>

namespace glimmer::terminal {

class SignalPipe {
 public:
  SignalPipe();
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  [[nodiscard]] bool ok() const { return read_fd_ >= 0; }
  // Readable when a signal has come.
  [[nodiscard]] int fd() const { return read_fd_; }
  // The signals that came since the last call, in order.
  [[nodiscard]] std::vector<int> Take();

  // The signals it catches when their handling is the default one.
  [[nodiscard]] static std::vector<int> Caught();
  // Whether `signal`, caught here, is one that ends the program (not a stop, a continue or a resize).
  [[nodiscard]] static bool Ends(int signal);
  // Stops the process as SIGTSTP does by default, and returns once it is continued.
  static void StopProcess();

 private:
  int read_fd_ = -1;
  std::vector<int> signals_;
  std::vector<struct sigaction> previous_;
};

}  // namespace glimmer::terminal
