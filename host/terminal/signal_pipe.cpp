// SPDX-License-Identifier: MIT
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

std::vector<int> SignalPipe::Caught() {
  std::vector<int> signals{SIGHUP,  SIGINT,    SIGQUIT,   SIGUSR1,  SIGUSR2, SIGPIPE,
                           SIGALRM, SIGTERM,   SIGSTKFLT, SIGCONT,  SIGTSTP, SIGXCPU,
                           SIGXFSZ, SIGVTALRM, SIGPROF,   SIGWINCH, SIGPOLL, SIGPWR};
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
    signals.push_back(signal);
  return signals;
}

bool SignalPipe::Ends(int signal) {
  return signal != SIGTSTP && signal != SIGCONT && signal != SIGWINCH;
}

SignalPipe::SignalPipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  read_fd_ = fds[0];
  g_write_fd = fds[1];
  struct sigaction action {};
  action.sa_handler = &OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : Caught()) {
    // A signal that someone ignores or handles already (nohup's SIGHUP, a profiler's SIGPROF) stays theirs:
    // only a signal that would end or stop the program as it stands is taken over.
    struct sigaction current {};
    if (::sigaction(signal, nullptr, &current) != 0) continue;
    const bool by_default = (current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_DFL;
    if (!by_default && signal != SIGWINCH && signal != SIGCONT) continue;
    if (::sigaction(signal, &action, &current) != 0) continue;
    signals_.push_back(signal);
    previous_.push_back(current);
  }
}

SignalPipe::~SignalPipe() {
  if (read_fd_ < 0) return;
  for (std::size_t i = 0; i < signals_.size(); ++i)
    ::sigaction(signals_[i], &previous_[i], nullptr);
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

void SignalPipe::StopProcess() {
  struct sigaction stop {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  struct sigaction ours {};
  ::sigaction(SIGTSTP, &stop, &ours);
  ::raise(SIGTSTP);
  ::sigaction(SIGTSTP, &ours, nullptr);
}

}  // namespace glimmer::terminal
