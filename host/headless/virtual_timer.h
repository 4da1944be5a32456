// SPDX-License-Identifier: MIT
// A child timer driven by a virtual clock that the headless container advances: no thread, no sleep.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include <glimmer/host/container.h>
#include <glimmer/host/control.h>
#include <glimmer/host/operation_faults.h>

namespace glimmer {

class VirtualTimer final : public Timer {
 public:
  // `faults` may be null: nothing fails then.
  VirtualTimer(const TimerDesign& design, const std::int64_t& clock, OperationFaults* faults);

  Status Interval(std::int32_t milliseconds) override;
  Result<std::int32_t> Interval() const override;
  Status Enabled(bool on) override;
  Result<bool> Enabled() const override;

  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  [[nodiscard]] std::int32_t interval() const { return interval_; }
  // When it fires next, if it runs.
  [[nodiscard]] std::optional<std::int64_t> due() const;
  // Called as it fires, before the handler runs, so that the handler may restart it.
  void Fired() { due_ += interval_; }

 private:
  void Restart() { due_ = clock_ + interval_; }
  [[nodiscard]] Status Check(Operation op) const;

  std::string_view name_;
  const std::int64_t& clock_;
  OperationFaults* faults_;
  bool enabled_ = false;
  std::int32_t interval_ = 0;
  std::int64_t due_ = 0;
};

}  // namespace glimmer
