#include "host/terminal/terminal_session.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace glimmer::terminal {

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
  (void)WriteAll(output_fd_, controls_.enter_alternate_screen() + controls_.hide_cursor() +
                                 controls_.margins_off() + controls_.clear_screen());
}

TerminalSession::~TerminalSession() {
  // Without an alternate screen the sign would stay on the screen: clear it away instead.
  const std::string& away = controls_.leave_alternate_screen().empty() ? controls_.clear_screen()
                                                                       : controls_.leave_alternate_screen();
  (void)WriteAll(output_fd_,
                 controls_.reset_colours() + controls_.margins_on() + controls_.show_cursor() + away);
}

}  // namespace glimmer::terminal
