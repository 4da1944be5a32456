// SPDX-License-Identifier: MIT
// A terminal session on a real pseudo-terminal: what the terminal looks like (through a terminal emulator)
// and how it is set (termios) during the session and after it, and the loop's ways to end.
#include "host/terminal/terminal_session.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "control/led.h"
#include "host/terminal/signal_pipe.h"
#include "host/terminal/terminal_container.h"
#include "host/terminal/terminal_loop.h"
#include "tests/support/vterm_screen.h"

namespace glimmer::terminal {
namespace {

const TerminalControls& Xterm() {
  static const TerminalControls controls = *TerminalControls::ForTerminal("xterm-256color");
  return controls;
}

// A pseudo-terminal of 24 x 100, and everything written to its terminal side, read from the other side.
class Pty {
 public:
  Pty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    terminal_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    const winsize size{.ws_row = 24, .ws_col = 100, .ws_xpixel = 0, .ws_ypixel = 0};
    ::ioctl(master_, TIOCSWINSZ, &size);
  }
  ~Pty() {
    if (terminal_ >= 0) ::close(terminal_);
    if (master_ >= 0) ::close(master_);
  }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  [[nodiscard]] int terminal() const { return terminal_; }
  // Everything written so far. The bytes pass through the kernel in their own time, so a marker written
  // after them tells when they have all arrived; it is taken out again.
  [[nodiscard]] std::string Output() {
    const std::string marker = "[end of part " + std::to_string(++parts_) + "]";
    EXPECT_TRUE(WriteAll(terminal_, marker));
    std::size_t at = std::string::npos;
    char buffer[4096];
    while ((at = output_.find(marker)) == std::string::npos) {
      pollfd wait{master_, POLLIN, 0};
      if (::poll(&wait, 1, 10'000) <= 0) break;
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    EXPECT_NE(at, std::string::npos) << "the terminal's output stopped";
    if (at != std::string::npos) output_.erase(at, marker.size());
    return output_;
  }
  // Types bytes as if at the keyboard.
  void Type(std::string_view keys) const { (void)!::write(master_, keys.data(), keys.size()); }

 private:
  int master_ = -1;
  int terminal_ = -1;
  int parts_ = 0;
  std::string output_;
};

termios Settings(int fd) {
  termios t{};
  EXPECT_EQ(::tcgetattr(fd, &t), 0);
  return t;
}

bool SameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag &&
         std::equal(std::begin(a.c_cc), std::end(a.c_cc), std::begin(b.c_cc));
}

TEST(TerminalSession, ShowsTheSignOnTheAlternateScreenAndGivesTheTerminalBack) {
  Pty pty;
  ASSERT_GE(pty.terminal(), 0);
  const termios before = Settings(pty.terminal());
  ASSERT_TRUE(WriteAll(pty.terminal(), "$ glimmer --terminal\n"));
  testing::VTermScreenModel screen(24, 100);
  {
    const TerminalSession session(pty.terminal(), pty.terminal(), Xterm());
    const termios during = Settings(pty.terminal());
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO | ISIG), 0u);
    TerminalContainer host(LED::Class(), Xterm(),
                           [&](std::string_view bytes) { ASSERT_TRUE(WriteAll(pty.terminal(), bytes)); },
                           {.size = *QueryTerminalSize(pty.terminal())});
    ASSERT_TRUE(host.InitNew());
    ASSERT_TRUE(host.Resize(251, 32));
    ASSERT_TRUE(host.control_as<LED>().Show());
    host.Advance(50 * 30);
    host.Present();
    screen.Feed(pty.Output());
    EXPECT_TRUE(screen.alternate_screen());
    EXPECT_FALSE(screen.cursor_visible());
    EXPECT_EQ(screen.At(5, 5).text, "\u25CF");
    EXPECT_EQ(screen.Row(0).find("glimmer"), std::string::npos);
  }
  testing::VTermScreenModel after(24, 100);
  after.Feed(pty.Output());
  EXPECT_FALSE(after.alternate_screen());
  EXPECT_TRUE(after.cursor_visible());
  // The screen from before the session, and no trace of the sign or its colours.
  EXPECT_EQ(after.Row(0), "$ glimmer --terminal");
  for (int row = 1; row < 24; ++row)
    EXPECT_EQ(after.Row(row), "") << row;
  EXPECT_TRUE(after.At(0, 0).default_colours);
  const std::size_t sent = pty.Output().size();
  ASSERT_TRUE(WriteAll(pty.terminal(), "next"));
  after.Feed(pty.Output().substr(sent));
  EXPECT_EQ(after.Row(1), "next");
  EXPECT_TRUE(after.At(1, 0).default_colours);
  EXPECT_TRUE(SameSettings(Settings(pty.terminal()), before));
}

TEST(TerminalSession, AskedForItsSizeTheTerminalAnswers) {
  Pty pty;
  ASSERT_GE(pty.terminal(), 0);
  EXPECT_EQ(QueryTerminalSize(pty.terminal()), (TerminalSize{.columns = 100, .rows = 24}));
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  EXPECT_EQ(QueryTerminalSize(pipe_ends[1]), std::nullopt);
  ::close(pipe_ends[0]);
  ::close(pipe_ends[1]);
}

TEST(SignalPipe, TurnsSignalsIntoBytesAndPutsTheOldHandlersBack) {
  struct sigaction original {};
  ::sigaction(SIGTERM, nullptr, &original);
  {
    SignalPipe signals;
    ASSERT_TRUE(signals.ok());
    std::raise(SIGWINCH);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(signals.Take(), (std::vector<int>{SIGWINCH, SIGTERM, SIGINT}));
    EXPECT_EQ(signals.Take(), std::vector<int>{});
  }
  struct sigaction restored {};
  ::sigaction(SIGTERM, nullptr, &restored);
  EXPECT_EQ(restored.sa_handler, original.sa_handler);
}

// The loop on a pseudo-terminal, with keys typed or signals raised before it runs, so that it ends at
// once: what ends it, and what it reports.
struct EndCase {
  std::string name;
  std::string keys;
  int raise = 0;  // a signal raised before the loop runs
  int reported;
  bool ignored = false;  // the signal is ignored when the loop starts, as nohup ignores SIGHUP
};
void PrintTo(const EndCase& c, std::ostream* os) {
  *os << c.name;
}

class LoopEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(LoopEnd, ComesFromAKeyOrASignal) {
  Pty pty;
  ASSERT_GE(pty.terminal(), 0);
  const TerminalSession session(pty.terminal(), pty.terminal(), Xterm());
  TerminalContainer host(LED::Class(), Xterm(),
                         [&](std::string_view bytes) { (void)WriteAll(pty.terminal(), bytes); }, {});
  ASSERT_TRUE(host.InitNew());
  ASSERT_TRUE(host.Site());
  struct sigaction before {};
  if (GetParam().ignored) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(GetParam().raise, &ignore, &before);
  }
  {
    SignalPipe signals;
    pty.Type(GetParam().keys);
    if (GetParam().raise != 0) std::raise(GetParam().raise);
    EXPECT_EQ(TerminalLoop(host, pty.terminal(), pty.terminal(), signals).Run(), GetParam().reported);
  }
  if (GetParam().ignored) ::sigaction(GetParam().raise, &before, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, LoopEnd,
    ::testing::Values(
        EndCase{"q", "q", 0, 0}, EndCase{"CapitalQ", "xyQ", 0, 0}, EndCase{"CtrlC", "\x03", 0, 0},
        EndCase{"SIGINT", "", SIGINT, SIGINT}, EndCase{"SIGTERM", "abc", SIGTERM, SIGTERM},
        EndCase{"SIGHUP", "", SIGHUP, SIGHUP}, EndCase{"ResizeThenQ", "q", SIGWINCH, 0},
        EndCase{"ContinueThenQ", "q", SIGCONT, 0},
        // Every other signal that ends a program ends the loop too, so the terminal is restored.
        EndCase{"SIGQUIT", "", SIGQUIT, SIGQUIT}, EndCase{"SIGUSR1", "", SIGUSR1, SIGUSR1},
        EndCase{"SIGUSR2", "", SIGUSR2, SIGUSR2}, EndCase{"SIGALRM", "", SIGALRM, SIGALRM},
        EndCase{"SIGPIPE", "", SIGPIPE, SIGPIPE}, EndCase{"SIGVTALRM", "", SIGVTALRM, SIGVTALRM},
        EndCase{"SIGXCPU", "", SIGXCPU, SIGXCPU}, EndCase{"SIGPWR", "", SIGPWR, SIGPWR},
        EndCase{"RealTime", "", SIGRTMIN + 3, SIGRTMIN + 3},
        // One that is ignored already stays ignored.
        EndCase{"IgnoredHangupThenQ", "q", SIGHUP, 0, true}),
    [](const ::testing::TestParamInfo<EndCase>& param_info) { return param_info.param.name; });

// A fault cannot wait for the loop: the session gives the terminal back at once, and the fault then takes
// its course (the default's end, or a sanitizer's report and exit).
TEST(TerminalSession, GivesTheTerminalBackOnAFault) {
  Pty pty;
  ASSERT_GE(pty.terminal(), 0);
  const termios before = Settings(pty.terminal());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    const TerminalSession session(pty.terminal(), pty.terminal(), Xterm());
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) || WEXITSTATUS(status) != 0) << status;
  testing::VTermScreenModel screen(24, 100);
  screen.Feed(pty.Output());
  EXPECT_FALSE(screen.alternate_screen());
  EXPECT_TRUE(screen.cursor_visible());
  EXPECT_TRUE(SameSettings(Settings(pty.terminal()), before));
}

}  // namespace
}  // namespace glimmer::terminal
