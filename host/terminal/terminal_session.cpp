// SPDX-License-Identifier: MIT
#include "host/terminal/terminal_session.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

namespace glimmer::terminal {
namespace {

// The signals of a fault, which end the program where it stands.
constexpr int kFaults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS};

// What the fault handler needs, set before it is armed.
struct Emergency {
  int output_fd = -1;
  const std::string* give_back = nullptr;
  int input_fd = -1;
  const termios* settings = nullptr;
  struct sigaction previous[std::size(kFaults)]{};
};
Emergency g_emergency;
volatile std::sig_atomic_t g_armed = 0;

extern "C" void OnFault(int signal, siginfo_t* info, void* /*context*/) {
  if (g_armed != 0) {
    g_armed = 0;
    (void)!::write(g_emergency.output_fd, g_emergency.give_back->data(), g_emergency.give_back->size());
    if (g_emergency.settings != nullptr)
      (void)::tcsetattr(g_emergency.input_fd, TCSANOW, g_emergency.settings);
  }
  for (std::size_t i = 0; i < std::size(kFaults); ++i)
    if (kFaults[i] == signal) ::sigaction(signal, &g_emergency.previous[i], nullptr);
  // A signal that was sent comes again, to the handler from before; a fault recurs by itself when this
  // handler returns to the instruction that caused it.
  if (info == nullptr || info->si_code <= 0) ::raise(signal);
}

}  // namespace

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::optional<TerminalSize> QueryTerminalSize(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return std::nullopt;
  return TerminalSize{size.ws_col, size.ws_row};
}

TerminalSession::TerminalSession(int input_fd, int output_fd, const TerminalControls& controls)
    : raw_(input_fd), output_fd_(output_fd), controls_(controls) {
  // Without an alternate screen the sign would stay on the screen: clear it away instead.
  const std::string& away = controls_.leave_alternate_screen().empty() ? controls_.clear_screen()
                                                                       : controls_.leave_alternate_screen();
  give_back_ = controls_.reset_colours() + controls_.margins_on() + controls_.show_cursor() + away;
  g_emergency.output_fd = output_fd;
  g_emergency.give_back = &give_back_;
  g_emergency.input_fd = input_fd;
  g_emergency.settings = raw_.saved();
  struct sigaction action {};
  action.sa_sigaction = &OnFault;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_SIGINFO;
  for (std::size_t i = 0; i < std::size(kFaults); ++i)
    ::sigaction(kFaults[i], &action, &g_emergency.previous[i]);
  Take();
}

TerminalSession::~TerminalSession() {
  GiveBack();
  for (std::size_t i = 0; i < std::size(kFaults); ++i)
    ::sigaction(kFaults[i], &g_emergency.previous[i], nullptr);
}

void TerminalSession::Take() {
  (void)WriteAll(output_fd_, controls_.enter_alternate_screen() + controls_.hide_cursor() +
                                 controls_.margins_off() + controls_.clear_screen());
  g_emergency.settings = raw_.saved();
  g_armed = 1;
}

void TerminalSession::GiveBack() {
  g_armed = 0;
  if (suspended_) return;
  (void)WriteAll(output_fd_, give_back_);
  raw_.Leave();
}

void TerminalSession::Suspend() {
  GiveBack();
  suspended_ = true;
}

void TerminalSession::Resume() {
  g_armed = 0;
  raw_.Enter();
  suspended_ = false;
  Take();
}

}  // namespace glimmer::terminal
