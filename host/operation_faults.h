// Injected failures of container operations, for tests: "the next k calls of this operation fail".
#pragma once

#include <array>
#include <cstdint>

#include "host/error.h"

namespace glimmer {

enum class Operation {
  ScaleWidth,
  ScaleHeight,
  hDC,
  BackColor,
  Cls,
  Enabled,
  Width,
  Height,
  TwipsPerPixelX,
  TwipsPerPixelY,
  TimerInterval,
  TimerEnabledRead,
  TimerEnabledWrite,
  ShapeBorderStyle,
  ShapeWidth,
  ShapeHeight,
  PropertyChanged,
  RaiseEvent,
  kCount
};

class OperationFaults {
 public:
  static constexpr std::int64_t kAlways = -1;

  // The next `times` calls of `op` fail with `error` (kAlways: every call until Clear).
  void Fail(Operation op, std::int64_t times = 1, Error error = Error::OperationFailed) {
    auto& s = slots_[static_cast<std::size_t>(op)];
    s.remaining = times;
    s.error = error;
  }
  void Clear() { slots_ = {}; }

  // Called by every operation first; a failure is consumed here.
  [[nodiscard]] Status Check(Operation op) {
    auto& s = slots_[static_cast<std::size_t>(op)];
    if (s.remaining == 0) return {};
    if (s.remaining > 0) --s.remaining;
    return Fail(s.error);
  }

 private:
  struct Slot {
    std::int64_t remaining = 0;
    Error error = Error::OperationFailed;
  };
  static Status Fail(Error e) { return Unexpected<Error>(e); }
  std::array<Slot, static_cast<std::size_t>(Operation::kCount)> slots_{};
};

}  // namespace glimmer
