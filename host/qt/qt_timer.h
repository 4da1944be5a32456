// SPDX-License-Identifier: MIT
// A child timer for the Qt container, served by its thread's ticker (ThreadTicker): one precise wakeup for
// all the timers of the thread, each tick at its own due time.
//
// The same rules as every container's timer: while Enabled and with an Interval above 0 it fires every
// Interval milliseconds; an Interval of 0 fires nothing (a QTimer of 0 would fire on every pass of the
// event loop). Changing Enabled or Interval to a new value starts the wait afresh; the value it already has
// changes nothing; a negative Interval is refused.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include <glimmer/host/container.h>
#include <glimmer/host/control.h>
#include <glimmer/host/qt/thread_ticker.h>

namespace glimmer::qt {

class QtTimer final : public Timer {
 public:
  // `fire` runs on the GUI thread, with this timer, each time the timer elapses; `changed`, when given, each
  // time running() changes.
  QtTimer(const TimerDesign& design, std::function<void(QtTimer&)> fire,
          std::function<void(QtTimer&)> changed = {});
  ~QtTimer() override;
  QtTimer(const QtTimer&) = delete;
  QtTimer& operator=(const QtTimer&) = delete;

  Status Interval(std::int32_t milliseconds) override;
  Result<std::int32_t> Interval() const override;
  Status Enabled(bool on) override;
  Result<bool> Enabled() const override;

  [[nodiscard]] std::string_view name() const { return name_; }
  // Whether ticks are due: Enabled with an Interval above 0.
  [[nodiscard]] bool running() const { return ticker_->scheduler().running(id_); }
  // When the next tick is due on ThreadTicker::Now's clock; nothing while it is not running.
  [[nodiscard]] std::optional<TickScheduler::Time> due() const { return ticker_->scheduler().due(id_); }
  // A host that measures its ticks (the benchmarks) is told after each tick's handler has run.
  void set_observer(std::function<void()> observer) { observer_ = std::move(observer); }
  // How many times the wait has been started afresh, so that hosts and tests can tell a restart apart from a
  // write that changed nothing.
  [[nodiscard]] int starts() const { return starts_; }

 private:
  void Apply();
  void Fire();

  std::string_view name_;
  std::function<void(QtTimer&)> fire_;
  std::function<void(QtTimer&)> changed_;
  std::function<void()> observer_;
  bool enabled_ = false;
  std::int32_t interval_ = 0;
  int starts_ = 0;
  std::shared_ptr<ThreadTicker> ticker_;
  TickScheduler::Id id_;
};

}  // namespace glimmer::qt
