// SPDX-License-Identifier: MIT
#include "host/qt/qt_timer.h"

#include <utility>

namespace glimmer::qt {

QtTimer::QtTimer(const TimerDesign& design, std::function<void(QtTimer&)> fire,
                 std::function<void(QtTimer&)> changed)
    : name_(design.name),
      fire_(std::move(fire)),
      enabled_(design.enabled),
      interval_(design.interval),
      ticker_(ThreadTicker::ForThisThread()),
      id_(ticker_->scheduler().Add([this] { Fire(); })) {
  Apply();
  // Told only of changes after the design's own state.
  changed_ = std::move(changed);
}

QtTimer::~QtTimer() {
  ticker_->scheduler().Remove(id_);
}

void QtTimer::Fire() {
  if (!observer_) return fire_(*this);
  // The tick may delete this timer (a handler deletes its sign): nothing of it is touched after it.
  const std::function<void()> observer = observer_;
  fire_(*this);
  observer();
}

Status QtTimer::Interval(std::int32_t milliseconds) {
  if (milliseconds < 0) return Fail(Error::InvalidPropertyValue);
  if (milliseconds != interval_) {
    interval_ = milliseconds;
    Apply();
  }
  return {};
}

Result<std::int32_t> QtTimer::Interval() const {
  return interval_;
}

Status QtTimer::Enabled(bool on) {
  if (on != enabled_) {
    enabled_ = on;
    Apply();
  }
  return {};
}

Result<bool> QtTimer::Enabled() const {
  return enabled_;
}

// Every change starts a full wait.
void QtTimer::Apply() {
  const bool was_running = running();
  TickScheduler& scheduler = ticker_->scheduler();
  if (enabled_ && interval_ > 0) {
    scheduler.Start(id_, std::int64_t{interval_} * ThreadTicker::kMillisecond);
    ++starts_;
  } else {
    scheduler.Stop(id_);
  }
  if (changed_ && running() != was_running) changed_(*this);
}

}  // namespace glimmer::qt
