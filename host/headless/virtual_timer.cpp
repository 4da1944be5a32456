// SPDX-License-Identifier: MIT
#include "host/headless/virtual_timer.h"

namespace glimmer {

VirtualTimer::VirtualTimer(const TimerDesign& design, const std::int64_t& clock, OperationFaults* faults)
    : name_(design.name),
      clock_(clock),
      faults_(faults),
      enabled_(design.enabled),
      interval_(design.interval) {
  Restart();
}

Status VirtualTimer::Interval(std::int32_t milliseconds) {
  if (auto s = Check(Operation::TimerInterval); !s) return s;
  if (milliseconds < 0) return Fail(Error::InvalidPropertyValue);
  if (milliseconds != interval_) {
    interval_ = milliseconds;
    Restart();
  }
  return {};
}

Result<std::int32_t> VirtualTimer::Interval() const {
  return interval_;
}

Status VirtualTimer::Enabled(bool on) {
  if (auto s = Check(Operation::TimerEnabledWrite); !s) return s;
  if (on != enabled_) {
    enabled_ = on;
    Restart();
  }
  return {};
}

Result<bool> VirtualTimer::Enabled() const {
  if (auto s = Check(Operation::TimerEnabledRead); !s) return Fail(s.error());
  return enabled_;
}

Status VirtualTimer::Check(Operation op) const {
  return faults_ != nullptr ? faults_->Check(op) : Status{};
}

std::optional<std::int64_t> VirtualTimer::due() const {
  if (!enabled_ || interval_ <= 0) return std::nullopt;
  return due_;
}

}  // namespace glimmer
