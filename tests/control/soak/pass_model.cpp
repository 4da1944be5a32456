// SPDX-License-Identifier: MIT
#include "tests/control/soak/pass_model.h"

namespace glimmer::testing {

void PassModel::StartPass(std::int32_t width) {
  position_ = width - 4;
  start_width_ = width;
  pass_ticks_ = 0;
  timed_ = true;
  clean_ = true;
}

void PassModel::Show(std::int32_t width) {
  if (state_ != State::Idle) return;
  state_ = State::Running;
  StartPass(width);
}

void PassModel::ValueWritten(std::int64_t length) {
  if (state_ != State::Idle && (length_ > kLongestTimedText || length > kLongestTimedText)) timed_ = false;
  clean_ = clean_ && length == length_;
  length_ = length;
}

bool PassModel::Tick() {
  ++pass_ticks_;
  if (length_ > kLongestTimedText || position_ - 3 >= -32768) position_ -= 3;
  return length_ > 0 && position_ + 18 * (length_ - 1) < -17;
}

void PassModel::EndOfPass(bool repeated, std::int32_t width) {
  state_ = repeated ? State::Running : State::Stopped;
  StartPass(width);
}

}  // namespace glimmer::testing
