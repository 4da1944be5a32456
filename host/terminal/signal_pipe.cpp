#include "host/terminal/signal_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace glimmer::terminal {
namespace {

// Written to by the handler, which may do nothing but async-signal-safe calls.
volatile std::sig_atomic_t g_write_fd = -1;

extern "C" void OnSignal(int signal) {
  const int saved_errno = errno;
  const auto byte = static_cast<unsigned char>(signal);
  // A full pipe drops the byte: the loop has that signal waiting already, or many others.
  (void)!::write(g_write_fd, &byte, 1);
  errno = saved_errno;
}

}  // namespace

SignalPipe::SignalPipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_fd_ = fds[0];
  g_write_fd = fds[1];
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &action, &previous_[i]);
}

SignalPipe::~SignalPipe() {
  if (read_fd_ < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &previous_[i], nullptr);
  ::close(g_write_fd);
  g_write_fd = -1;
  ::close(read_fd_);
}

std::vector<int> SignalPipe::Take() {
  std::vector<int> signals;
  unsigned char bytes[64];
  ssize_t n = 0;
  while ((n = ::read(read_fd_, bytes, sizeof bytes)) > 0)
    signals.insert(signals.end(), bytes, bytes + n);
  return signals;
}

}  // namespace glimmer::terminal
