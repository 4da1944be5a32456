// SPDX-License-Identifier: MIT
// The control and its model side by side through the sequence the fault matrix drives: Show, ticks on a
// background that changes every tick (so that a skipped fill shows), two ends of pass, the second with a
// Terminate handler that calls Clear and Show, then Clear.
//
// The sign is 23 pixels wide (n = 7: two grid blocks, the second partly visible) and shows "a8" in yellow:
// a character without a glyph and one with, so a pass takes 7 + 6 x 2 = 19 ticks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/led_fixture.h"
#include "tests/support/sign_model.h"

namespace glimmer::testing {

inline constexpr std::int32_t kMatrixWidth = 23;
inline constexpr std::int64_t kMatrixPass = 19;
inline constexpr std::int64_t kMatrixTicks = 2 * kMatrixPass + 2;

class MatrixRun {
 public:
  // `handler_end`: the Terminate (counted from 1) whose handler calls Clear and Show; 0 for none.
  explicit MatrixRun(bool repeated = true, int handler_end = 2);

  void Show();
  // One tick of each, when its timer runs. `faults` are the steps that the container faults armed by the
  // caller make the control skip.
  void Tick(const TickFaults& faults = {});
  void Clear();
  // Show, every tick of the sequence, Clear; stops at the first difference and returns it ("" if none).
  [[nodiscard]] std::string RunAll();

  // "" when control and model agree on timer, surface, scroll position, events, live objects and pixels.
  [[nodiscard]] std::string Compare(std::string_view step) const;
  // "" when both made the same number of objects of every kind since the start.
  [[nodiscard]] std::string CompareCreations() const;

  LedRig rig;
  SignModel model;
  std::int64_t ticks = 0;  // ticks of the sequence so far, whether the timer ran or not

 private:
  [[nodiscard]] Pixel Background() const;

  gdi::LiveCounts base_;
  std::uint64_t creations_[3];
  int handler_end_;
  int real_ends_ = 0;
  int model_ends_ = 0;
  std::vector<std::int64_t> model_terminates_;
  bool ran_ = true;
  bool model_ran_ = true;
};

}  // namespace glimmer::testing
