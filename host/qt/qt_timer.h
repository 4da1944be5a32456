// SPDX-License-Identifier: MIT
// A child timer on a QTimer of precise type, for the Qt container.
//
// The same rules as every container's timer: while Enabled and with an Interval above 0 it fires every
// Interval milliseconds; an Interval of 0 fires nothing (a QTimer of 0 would fire on every pass of the
// event loop). Changing Enabled or Interval to a new value starts the wait afresh; the value it already has
// changes nothing; a negative Interval is refused.
#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>
#include <string_view>

#include <glimmer/host/container.h>
#include <glimmer/host/control.h>

namespace glimmer::qt {

class QtTimer final : public Timer {
 public:
  // `fire` runs on the GUI thread, with this timer, each time the timer elapses; `changed`, when given, each
  // time running() changes.
  QtTimer(const TimerDesign& design, std::function<void(QtTimer&)> fire,
          std::function<void(QtTimer&)> changed = {});

  Status Interval(std::int32_t milliseconds) override;
  Result<std::int32_t> Interval() const override;
  Status Enabled(bool on) override;
  Result<bool> Enabled() const override;

  [[nodiscard]] std::string_view name() const { return name_; }
  // Whether ticks are due: Enabled with an Interval above 0.
  [[nodiscard]] bool running() const { return timer_.isActive(); }
  [[nodiscard]] const QTimer& qtimer() const { return timer_; }
  // How many times the wait has been started afresh, so that hosts and tests can tell a restart apart from a
  // write that changed nothing.
  [[nodiscard]] int starts() const { return starts_; }

 private:
  void Apply();

  std::string_view name_;
  std::function<void(QtTimer&)> changed_;
  bool enabled_ = false;
  std::int32_t interval_ = 0;
  int starts_ = 0;
  QTimer timer_;
};

}  // namespace glimmer::qt
