// SPDX-License-Identifier: MIT
#include "demo/display/window_system_probe.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace glimmer {
namespace {

// The child's end of the answer pipe, for its message handler.
int g_answer_fd = -1;

void Say(std::string_view line) {
  std::string text(line);
  text += '\n';
  (void)!::write(g_answer_fd, text.data(), text.size());
}

// In the child: what Qt says about its platform plugin goes to the parent, the first line of each
// message; a fatal message ends the child at once, before Qt would abort it.
void PassOnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const std::string category = context.category != nullptr ? context.category : "";
  const std::string text = message.toStdString();
  const std::string first_line = text.substr(0, text.find('\n'));
  if (type == QtFatalMsg) {
    Say("F " + first_line);
    ::_exit(1);
  }
  if (type != QtDebugMsg && type != QtInfoMsg && category.starts_with("qt.qpa")) Say("W " + first_line);
}

[[noreturn]] void RunChild(int answer_fd, int release_fd) {
  g_answer_fd = answer_fd;
  // Nothing of Qt's reaches the terminal: what matters comes through the handler.
  if (const int null = ::open("/dev/null", O_RDWR); null >= 0) {
    ::dup2(null, STDIN_FILENO);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
  }
  qInstallMessageHandler(PassOnQtMessage);
  static int argc = 1;
  static char name[] = "glimmer";
  static char* argv[] = {name, nullptr};
  // Heap-allocated and never destroyed: the child ends with _exit, without Qt's clean-up.
  (void)new QGuiApplication(argc, argv);
  Say("OK");
  char byte;
  while (::read(release_fd, &byte, 1) < 0 && errno == EINTR) {
  }
  ::_exit(0);
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// What the window would open on, as a message names it.
std::string Target() {
  if (const std::string qpa = Variable("QT_QPA_PLATFORM"); !qpa.empty())
    return "the platform '" + qpa + "' that QT_QPA_PLATFORM names";
  if (const std::string x11 = Variable("DISPLAY"); !x11.empty()) return "the display " + x11;
  if (const std::string wayland = Variable("WAYLAND_DISPLAY"); !wayland.empty())
    return "the Wayland display " + wayland;
  return "a display";
}

}  // namespace

WindowSystemProbe::WindowSystemProbe(std::chrono::milliseconds limit) {
  int answer[2];
  int release[2];
  if (::pipe2(answer, O_CLOEXEC) != 0) {
    why_ = "cannot try the display (no pipe)";
    return;
  }
  if (::pipe2(release, O_CLOEXEC) != 0) {
    ::close(answer[0]);
    ::close(answer[1]);
    why_ = "cannot try the display (no pipe)";
    return;
  }
  child_ = ::fork();
  if (child_ == 0) {
    ::close(answer[0]);
    ::close(release[1]);
    RunChild(answer[1], release[0]);
  }
  ::close(answer[1]);
  ::close(release[0]);
  release_fd_ = release[1];
  if (child_ < 0) {
    why_ = "cannot try the display (no process)";
    ::close(answer[0]);
    Release();
    return;
  }
  Wait(answer[0], limit);
  ::close(answer[0]);
  if (!reachable_) Release();
}

WindowSystemProbe::~WindowSystemProbe() {
  Release();
}

void WindowSystemProbe::Wait(int answer_fd, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::string said;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd wait{answer_fd, POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      // No answer in time: the child is stuck in the display's handshake.
      ::kill(child_, SIGKILL);
      why_ = Target() + " does not answer (nothing within " +
             (limit.count() % 1000 == 0 ? std::to_string(limit.count() / 1000) + " s)"
                                        : std::to_string(limit.count()) + " ms)");
      return;
    }
    char buffer[512];
    const ssize_t n = ::read(answer_fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    said.append(buffer, static_cast<std::size_t>(n));
    if (said.find("OK\n") != std::string::npos) {
      reachable_ = true;
      return;
    }
  }
  // The child ended without starting the plugin: Qt's first word on why, if it said one.
  std::string qt_says;
  for (std::size_t at = 0; at < said.size() && qt_says.empty();) {
    const std::size_t end = said.find('\n', at);
    const std::string line = said.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (line.size() > 2) qt_says = line.substr(2);
    at = end == std::string::npos ? said.size() : end + 1;
  }
  why_ = "cannot open " + Target() + (qt_says.empty() ? "" : " (Qt: " + qt_says + ")");
}

void WindowSystemProbe::Release() {
  if (release_fd_ >= 0) {
    ::close(release_fd_);
    release_fd_ = -1;
  }
  if (child_ > 0) {
    while (::waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
  }
}

namespace {

std::unique_ptr<WindowSystemProbe>& ProgramProbe() {
  static std::unique_ptr<WindowSystemProbe> probe;
  return probe;
}

}  // namespace

bool WindowSystemReachable(std::string* why) {
  auto& probe = ProgramProbe();
  if (!probe) probe = std::make_unique<WindowSystemProbe>();
  if (!probe->reachable()) *why = probe->why();
  return probe->reachable();
}

void ReleaseWindowSystemProbe() {
  if (auto& probe = ProgramProbe()) probe->Release();
}

}  // namespace glimmer
