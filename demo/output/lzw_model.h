// SPDX-License-Identifier: MIT
// A model of the LZW coder that giflib runs over a frame's pixels, step for step: the same string table
// (a code for each table entry, then the clear and end codes, then one new string after every code sent,
// up to code 4094, after which it sends a clear code and starts over) and the same code widths. It tells
// the recorder which strings the table holds at any point, so that it can choose the pixels that make
// the fewest codes, and how many bytes giflib will write for a frame, so that it can keep the smaller of
// two ways to write it. It writes nothing: giflib does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glimmer {

class LzwModel {
 public:
  static constexpr std::uint16_t kNoCode = 0xFFFF;

  // The coder of a frame whose colour table holds 2^palette_bits entries (1 to 8 bits).
  explicit LzwModel(int palette_bits);

  // The code of the string matched so far, which the next pixel may extend; kNoCode before the first.
  [[nodiscard]] std::uint16_t current() const { return current_; }
  // The code of the string `code` followed by `pixel`, or kNoCode when the table does not hold it.
  [[nodiscard]] std::uint16_t Next(std::uint16_t code, std::uint8_t pixel) const {
    return table_[static_cast<std::size_t>(code) * alphabet_ + pixel];
  }
  // The code of the one-pixel string.
  [[nodiscard]] static std::uint16_t Single(std::uint8_t pixel) { return pixel; }

  void Put(std::uint8_t pixel) {
    if (current_ != kNoCode) {
      std::uint16_t& next = table_[static_cast<std::size_t>(current_) * alphabet_ + pixel];
      if (next != kNoCode) {
        current_ = next;
        return;
      }
      EndString(next);
    }
    current_ = Single(pixel);
  }
  // Starts a new frame, as after Finish; cheaper than a new model.
  void Reset();
  // Ends the frame: the bytes giflib writes for its pixels (the code size, the data in sub-blocks of at
  // most 255 bytes, each after its length, and the empty block that ends them).
  [[nodiscard]] std::size_t Finish();

  // The bytes of a frame of these pixels, from a fresh model.
  [[nodiscard]] static std::size_t Bytes(const std::vector<std::uint8_t>& pixels, int palette_bits);

 private:
  static constexpr std::uint16_t kLastCode = 4095;  // the table is full when this code is next

  // Sends the current string, which `slot` (its entry for the next pixel) cannot extend, and gives the
  // slot a new code, or starts the table over when it is full.
  void EndString(std::uint16_t& slot);
  // Counts one code of the current width.
  void Send();
  void Clear();

  int code_size_;  // GIF codes start at least 3 bits wide: a code size of 2 or more
  std::size_t alphabet_;
  std::uint16_t clear_code_;
  std::uint16_t next_code_ = 0;
  int width_ = 0;  // bits of the next code sent
  std::uint16_t current_ = kNoCode;
  std::uint64_t bits_sent_ = 0;
  std::vector<std::uint16_t> table_;  // (code, pixel) -> code, kNoCode where there is none
};

}  // namespace glimmer
