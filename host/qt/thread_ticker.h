// SPDX-License-Identifier: MIT
// The tick scheduler of the current thread on Qt's event loop: one precise single-shot QTimer, armed for the
// earliest due tick of all the child timers of the thread's containers (TickScheduler says how the ticks
// are served). The clock is the steady clock in nanoseconds, so that every timer keeps its own phase.
//
// Shared by the thread's QtTimers: each holds it, and it goes with the last of them.
#pragma once

#include <QTimer>
#include <memory>
#include <optional>

#include <glimmer/host/timing/tick_scheduler.h>

namespace glimmer::qt {

class ThreadTicker final : public std::enable_shared_from_this<ThreadTicker> {
 public:
  // The current thread's ticker, made when the thread has none.
  [[nodiscard]] static std::shared_ptr<ThreadTicker> ForThisThread();
  ThreadTicker();
  ThreadTicker(const ThreadTicker&) = delete;
  ThreadTicker& operator=(const ThreadTicker&) = delete;

  [[nodiscard]] TickScheduler& scheduler() { return scheduler_; }
  [[nodiscard]] static TickScheduler::Time Now();
  static constexpr TickScheduler::Time kMillisecond = 1'000'000;

 private:
  void Arm(std::optional<TickScheduler::Time> due);

  QTimer wakeup_;
  TickScheduler scheduler_;
};

}  // namespace glimmer::qt
