// SPDX-License-Identifier: MIT
#include "demo/output/lzw_model.h"

#include <algorithm>

namespace glimmer {

LzwModel::LzwModel(int palette_bits)
    : code_size_(std::max(palette_bits, 2)),
      alphabet_(std::size_t{1} << code_size_),
      clear_code_(static_cast<std::uint16_t>(alphabet_)),
      table_(std::size_t{kLastCode + 1} * alphabet_, kNoCode) {
  Reset();
}

void LzwModel::Reset() {
  Clear();
  current_ = kNoCode;
  bits_sent_ = 0;
  Send();  // every frame's data starts with a clear code
}

void LzwModel::Clear() {
  std::fill(table_.begin(), table_.begin() + static_cast<std::ptrdiff_t>(next_code_ * alphabet_), kNoCode);
  next_code_ = static_cast<std::uint16_t>(clear_code_ + 2);  // after the clear and the end code
  width_ = code_size_ + 1;
}

void LzwModel::Send() {
  bits_sent_ += static_cast<std::uint64_t>(width_);
  // giflib widens the codes once the next new string's code would not fit, up to 12 bits.
  if (next_code_ >= (1u << width_)) ++width_;
}

void LzwModel::EndString(std::uint16_t& slot) {
  Send();
  if (next_code_ >= kLastCode) {
    Send();  // the clear code
    Clear();
  } else {
    slot = next_code_++;
  }
}

std::size_t LzwModel::Finish() {
  if (current_ != kNoCode) Send();
  Send();  // the end code
  current_ = kNoCode;
  const std::size_t data = static_cast<std::size_t>((bits_sent_ + 7) / 8);
  return 1 + data + (data + 254) / 255 + 1;
}

std::size_t LzwModel::Bytes(const std::vector<std::uint8_t>& pixels, int palette_bits) {
  LzwModel model(palette_bits);
  for (const std::uint8_t p : pixels)
    model.Put(p);
  return model.Finish();
}

}  // namespace glimmer
