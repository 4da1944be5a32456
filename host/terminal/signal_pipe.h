// Turns the signals that end or resize a terminal program into bytes on a pipe, so that the event loop
// waits on them like on the keyboard and handles them in its own time, with the terminal restored by the
// usual destructors. Catches SIGINT, SIGTERM, SIGHUP and SIGWINCH for the life of the object and puts the
// previous handlers back afterwards. One at a time in a process.
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

  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGWINCH};

 private:
  int read_fd_ = -1;
  struct sigaction previous_[std::size(kSignals)]{};
};

}  // namespace glimmer::terminal
