// SPDX-License-Identifier: MIT
#include "host/qt/thread_ticker.h"

#include <chrono>

namespace glimmer::qt {

std::shared_ptr<ThreadTicker> ThreadTicker::ForThisThread() {
  thread_local std::weak_ptr<ThreadTicker> current;
  std::shared_ptr<ThreadTicker> ticker = current.lock();
  if (!ticker) {
    ticker = std::make_shared<ThreadTicker>();
    current = ticker;
  }
  return ticker;
}

ThreadTicker::ThreadTicker()
    : scheduler_([] { return Now(); }, [this](std::optional<TickScheduler::Time> due) { Arm(due); }) {
  wakeup_.setSingleShot(true);
  wakeup_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&wakeup_, &QTimer::timeout, &wakeup_, [this] {
    // A tick may delete the thread's last timer, which held this ticker: it stays until the wakeup is over.
    const std::shared_ptr<ThreadTicker> keep = weak_from_this().lock();
    scheduler_.RunDue();
  });
}

TickScheduler::Time ThreadTicker::Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Qt's timers count whole milliseconds: the wait is rounded up, so that no tick runs before it is due.
void ThreadTicker::Arm(std::optional<TickScheduler::Time> due) {
  if (!due) {
    wakeup_.stop();
    return;
  }
  const TickScheduler::Time wait = *due - Now();
  wakeup_.start(wait <= 0 ? 0 : static_cast<int>((wait + kMillisecond - 1) / kMillisecond));
}

}  // namespace glimmer::qt
