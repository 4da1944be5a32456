// SPDX-License-Identifier: MIT
#include "host/terminal/terminal_loop.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "host/terminal/terminal_session.h"

namespace glimmer::terminal {
namespace {

constexpr char kCtrlC = 0x03;

}  // namespace

int TerminalLoop::Run() {
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
  };
  Resize();
  for (;;) {
    host_.Advance(elapsed() - host_.now());
    host_.Present();
    const auto due = host_.next_due();
    const int timeout = due ? static_cast<int>(std::clamp<std::int64_t>(*due - elapsed(), 0, 60'000)) : -1;
    pollfd waits[2] = {{signals_.fd(), POLLIN, 0}, {input_fd_, POLLIN, 0}};
    const int ready = ::poll(waits, input_fd_ >= 0 ? 2 : 1, timeout);
    if (ready < 0 && errno != EINTR) return 0;
    if (ready <= 0) continue;
    if (waits[0].revents != 0)
      if (const int signal = SignalEnds()) return signal;
    if (input_fd_ >= 0 && waits[1].revents != 0 && KeyEnds()) return 0;
  }
}

bool TerminalLoop::KeyEnds() {
  char keys[64];
  const ssize_t n = ::read(input_fd_, keys, sizeof keys);
  if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
    input_fd_ = -1;  // no more keys: only a signal ends it now
    return false;
  }
  return std::any_of(keys, keys + std::max<ssize_t>(n, 0),
                     [](char key) { return key == 'q' || key == 'Q' || key == kCtrlC; });
}

int TerminalLoop::SignalEnds() {
  int ending = 0;
  // A stop that a SIGCONT has already followed is over: only the continue is left to do.
  bool stop = false;
  bool resume = false;
  for (const int signal : signals_.Take())
    if (signal == SIGWINCH) {
      Resize();
    } else if (signal == SIGTSTP) {
      stop = true;
    } else if (signal == SIGCONT) {
      stop = false;
      resume = true;
    } else if (ending == 0) {
      ending = signal;
    }
  if (ending != 0) return ending;
  if (stop) Stop();
  if (stop || resume) Continue();
  return 0;
}

void TerminalLoop::Stop() {
  if (session_ != nullptr) session_->Suspend();
  SignalPipe::StopProcess();
}

// Whatever happened while the program was stopped (the shell's own keyboard settings, other output on the
// screen, a new size), the terminal is taken again and the picture sent whole.
void TerminalLoop::Continue() {
  if (session_ != nullptr) session_->Resume();
  host_.Repaint();
  Resize();
}

void TerminalLoop::Resize() {
  if (const auto size = QueryTerminalSize(output_fd_)) host_.SetTerminalSize(*size);
}

}  // namespace glimmer::terminal
