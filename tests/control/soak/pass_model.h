// SPDX-License-Identifier: MIT
// The pass arithmetic of the sign, tick by tick: where the text is and on which tick Terminate must come,
// through Show, Clear, ends of pass, resizes and writes of Value.
//
// The text's first cell starts at W - 4 (W the control's width at Show or at the end of the previous pass)
// and moves 3 pixels left per tick; the pass ends on the tick on which the last cell's origin,
// position + 18 (L - 1), falls below -17. For a pass that starts at W = 3n + 2 with a text of L characters
// throughout, that is its (n + 6L)-th tick. A write of Value in the middle of a pass keeps the position and
// changes L from the next tick on, so the end moves to the first tick that meets the test with the new L
// (at once, if the new last cell is already far enough left). A resize in the middle of a pass does not
// move its end: the position does not depend on the width; the new width only sets where the next pass
// starts. For texts up to 1820 characters the position stops at -32768.
//
// A text of more than 1820 characters ends its pass by the same rule, counted on a position that is not
// bounded below. Writes of Value that replace such a text, or bring one, during a pass make that pass
// untimed: the model then follows the control's Terminate to its end and times the passes after it.
#pragma once

#include <cstdint>

namespace glimmer::testing {

class PassModel {
 public:
  enum class State { Idle, Running, Stopped };
  static constexpr std::int64_t kLongestTimedText = 1820;

  void Show(std::int32_t width);
  void Clear() { state_ = State::Idle; }
  void ValueWritten(std::int64_t length);
  // One tick; returns whether the pass ends on it (only meaningful while timed()).
  [[nodiscard]] bool Tick();
  // The end of a pass, as the control raised it: the timer follows `repeated`, the text goes back.
  void EndOfPass(bool repeated, std::int32_t width);

  [[nodiscard]] State state() const { return state_; }
  [[nodiscard]] bool timed() const { return timed_; }
  [[nodiscard]] std::int64_t position() const { return position_; }
  // Whether the pass so far has run with one text and started at Show or at an end of pass, and if so the
  // tick count n + 6L at which it must end.
  [[nodiscard]] bool closed_form() const { return timed_ && clean_ && length_ > 0; }
  [[nodiscard]] std::int64_t closed_form_ticks() const { return (start_width_ - 2) / 3 + 6 * length_; }
  [[nodiscard]] std::int64_t pass_ticks() const { return pass_ticks_; }

 private:
  void StartPass(std::int32_t width);

  State state_ = State::Idle;
  std::int64_t position_ = 0;
  std::int64_t length_ = 0;
  std::int32_t start_width_ = 0;
  std::int64_t pass_ticks_ = 0;
  bool timed_ = true;
  bool clean_ = false;
};

}  // namespace glimmer::testing
