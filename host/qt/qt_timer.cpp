// SPDX-License-Identifier: MIT
#include "host/qt/qt_timer.h"

#include <utility>

namespace glimmer::qt {

QtTimer::QtTimer(const TimerDesign& design, std::function<void(QtTimer&)> fire,
                 std::function<void(QtTimer&)> changed)
    : name_(design.name), enabled_(design.enabled), interval_(design.interval) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this, fire = std::move(fire)] { fire(*this); });
  Apply();
  // Told only of changes after the design's own state.
  changed_ = std::move(changed);
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

// QTimer::start on a running timer stops it first, so every change starts a full wait.
void QtTimer::Apply() {
  const bool was_running = running();
  if (enabled_ && interval_ > 0) {
    timer_.start(interval_);
    ++starts_;
  } else {
    timer_.stop();
  }
  if (changed_ && running() != was_running) changed_(*this);
}

}  // namespace glimmer::qt
