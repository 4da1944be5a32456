// SPDX-License-Identifier: MIT
// Injected failures of container operations, for tests: "the next k calls of this operation fail", or "the
// n-th call from now fails". Every call is counted, so that a test can find each step of a procedure.
#pragma once

#include <array>
#include <cstdint>

#include <glimmer/host/base/error.h>

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
    FailAfter(op, 0, times, error);
  }
  // As Fail, once `passing` more calls of `op` have succeeded: FailAfter(op, n - 1) fails the n-th call.
  void FailAfter(Operation op, std::int64_t passing, std::int64_t times = 1,
                 Error error = Error::OperationFailed) {
    auto& s = slots_[static_cast<std::size_t>(op)];
    s.passing = passing;
    s.remaining = times;
    s.error = error;
  }
  // Forgets every armed failure; the call counts stay.
  void Clear() {
    for (auto& s : slots_)
      s = Slot{.calls = s.calls};
  }
  // Whether a failure of `op` is still armed.
  [[nodiscard]] bool armed(Operation op) const { return slots_[static_cast<std::size_t>(op)].remaining != 0; }
  // Calls of `op` so far, failed or not.
  [[nodiscard]] std::int64_t calls(Operation op) const { return slots_[static_cast<std::size_t>(op)].calls; }

  // Called by every operation first; a failure is consumed here.
  [[nodiscard]] Status Check(Operation op) {
    auto& s = slots_[static_cast<std::size_t>(op)];
    ++s.calls;
    if (s.remaining == 0) return {};
    if (s.passing > 0) {
      --s.passing;
      return {};
    }
    if (s.remaining > 0) --s.remaining;
    return Fail(s.error);
  }

 private:
  struct Slot {
    std::int64_t remaining = 0;
    std::int64_t passing = 0;
    Error error = Error::OperationFailed;
    std::int64_t calls = 0;
  };
  static Status Fail(Error e) { return Unexpected<Error>(e); }
  std::array<Slot, static_cast<std::size_t>(Operation::kCount)> slots_{};
};

}  // namespace glimmer
