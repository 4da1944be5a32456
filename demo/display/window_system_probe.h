// SPDX-License-Identifier: MIT
// Whether Qt can open a window here, asked before the program's own QApplication exists. Qt ends the
// process (qFatal) when no platform plugin can start (a Wayland name without a compositor, an X display
// that refuses, a QT_QPA_PLATFORM that cannot run), and it waits for good on a display that accepts the
// connection and never answers. So a child process tries first: it starts Qt's platform plugin, exactly
// as the window would, and says how that went; a child that has not answered within the time limit is
// ended, and the display counts as not answering.
//
// A child that succeeded keeps its connection open until it is released, once the window's own connection
// is made: a display server that resets when its last client leaves (Xvfb does by default) would refuse
// the window's connection in between.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace glimmer {

class WindowSystemProbe {
 public:
  // A few seconds: a display that answers does so in milliseconds.
  static constexpr std::chrono::milliseconds kTimeLimit{5000};

  // Starts the child and waits for its answer, at most `limit`.
  explicit WindowSystemProbe(std::chrono::milliseconds limit = kTimeLimit);
  // Releases the child, if it still waits, and reaps it.
  ~WindowSystemProbe();
  WindowSystemProbe(const WindowSystemProbe&) = delete;
  WindowSystemProbe& operator=(const WindowSystemProbe&) = delete;

  [[nodiscard]] bool reachable() const { return reachable_; }
  // Why not, in one line, when not reachable.
  [[nodiscard]] const std::string& why() const { return why_; }

  // Lets a child that succeeded close its connection and end.
  void Release();

 private:
  void Wait(int answer_fd, std::chrono::milliseconds limit);

  pid_t child_ = -1;
  int release_fd_ = -1;
  bool reachable_ = false;
  std::string why_;
};

// The program's probe, made on the first call and kept: whether a window can open (on false, why not).
[[nodiscard]] bool WindowSystemReachable(std::string* why);
// Once the window's QApplication exists: the program's probe lets its connection go.
void ReleaseWindowSystemProbe();

}  // namespace glimmer
