// The display probe against window systems that cannot be used: a Wayland name without a compositor, an X
// display that refuses, one that accepts the connection and never answers, a platform that cannot start;
// and one that can (Qt's offscreen platform).
#include "demo/display/window_system_probe.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "tests/support/files.h"

namespace glimmer {
namespace {

// An X display number nothing uses, held by a Unix socket that accepts connections and never answers. It
// is the abstract name libxcb tries first on Linux, so nothing is left behind in the file system.
class SilentDisplay {
 public:
  SilentDisplay() {
    for (int n = 90; n < 400 && fd_ < 0; ++n) {
      if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock") ||
          std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)))
        continue;
      const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      const std::string name = "/tmp/.X11-unix/X" + std::to_string(n);
      name.copy(address.sun_path + 1, name.size());
      const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
      if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(fd, 8) == 0) {
        fd_ = fd;
        number_ = n;
      } else {
        ::close(fd);
      }
    }
  }
  ~SilentDisplay() {
    if (fd_ >= 0) ::close(fd_);
  }
  SilentDisplay(const SilentDisplay&) = delete;
  SilentDisplay& operator=(const SilentDisplay&) = delete;

  [[nodiscard]] int number() const { return number_; }

 private:
  int fd_ = -1;
  int number_ = -1;
};

// An X display number with no server: no lock file, no socket.
int UnusedDisplay() {
  for (int n = 400;; ++n)
    if (!std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock") &&
        !std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)))
      return n;
}

// The variables that steer Qt's choice, set as a case says and put back afterwards.
class Environment {
 public:
  explicit Environment(const std::map<std::string, std::optional<std::string>>& values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
      Set(name, value);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : saved_)
      Set(name, value);
  }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  static void Set(const std::string& name, const std::optional<std::string>& value) {
    if (value)
      ::setenv(name.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name.c_str());
  }
  std::map<std::string, std::optional<std::string>> saved_;
};

struct ProbeCase {
  std::string name;
  std::string display;  // DISPLAY: "" unset, "unused" or "silent" for a display number of that kind
  std::optional<std::string> wayland;
  std::optional<std::string> platform;  // QT_QPA_PLATFORM
  bool reachable;
  std::string why;  // the start of the reason, "{}" for the display number
};
void PrintTo(const ProbeCase& c, std::ostream* os) {
  *os << c.name;
}

class Probe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(Probe, TellsWhetherAWindowCanOpen) {
  const ProbeCase& c = GetParam();
  SilentDisplay silent;
  const int number = c.display == "silent" ? silent.number() : UnusedDisplay();
  ASSERT_GE(number, 0);
  const std::string tmp = ::testing::TempDir();
  const Environment environment(
      {{"DISPLAY",
        c.display.empty() ? std::nullopt : std::optional<std::string>(":" + std::to_string(number))},
       {"WAYLAND_DISPLAY", c.wayland},
       {"QT_QPA_PLATFORM", c.platform},
       {"XDG_RUNTIME_DIR", tmp},
       {"XDG_SESSION_TYPE", std::nullopt}});
  // A display that never answers is given a short limit: it never answers, however long the wait.
  const WindowSystemProbe probe(c.display == "silent" ? std::chrono::milliseconds(300)
                                                      : WindowSystemProbe::kTimeLimit);
  EXPECT_EQ(probe.reachable(), c.reachable) << probe.why();
  std::string why = c.why;
  for (auto at = why.find("{}"); at != std::string::npos; at = why.find("{}"))
    why.replace(at, 2, std::to_string(number));
  EXPECT_EQ(probe.why().substr(0, why.size()), why);
}

INSTANTIATE_TEST_SUITE_P(
    WindowSystems, Probe,
    ::testing::Values(
        ProbeCase{"WaylandWithoutCompositor", "", "wayland-9", std::nullopt, false,
                  "cannot open the Wayland display wayland-9 (Qt: "},
        ProbeCase{"XDisplayWithoutServer", "unused", std::nullopt, std::nullopt, false,
                  "cannot open the display :{} (Qt: could not connect to display :{}"},
        ProbeCase{"XDisplayThatNeverAnswers", "silent", std::nullopt, std::nullopt, false,
                  "the display :{} does not answer (nothing within 300 ms)"},
        ProbeCase{
            "PlatformThatCannotStart", "unused", std::nullopt, "no-such-platform", false,
            "cannot open the platform 'no-such-platform' that QT_QPA_PLATFORM names (Qt: Could not find "
            "the Qt platform plugin \"no-such-platform\""},
        ProbeCase{"PlatformThatStarts", "", std::nullopt, "offscreen", true, ""}),
    testing::NameOf<ProbeCase>);

TEST(ProbeRelease, LetsTheChildGoAndIsHarmlessTwice) {
  const Environment environment(
      {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_RUNTIME_DIR", ::testing::TempDir()}});
  WindowSystemProbe probe;
  ASSERT_TRUE(probe.reachable()) << probe.why();
  probe.Release();
  probe.Release();
  EXPECT_TRUE(probe.reachable());
}

}  // namespace
}  // namespace glimmer
