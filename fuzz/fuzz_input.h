// SPDX-License-Identifier: MIT
// Reads a fuzzer's bytes as the values a fuzz target needs. Every read succeeds: past the end it yields
// zeros, so that any byte string is a valid input and short inputs mean short runs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "host/automation/property_value.h"

namespace glimmer::fuzz {

class FuzzInput {
 public:
  explicit FuzzInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  [[nodiscard]] bool empty() const { return position_ >= bytes_.size(); }
  [[nodiscard]] std::uint8_t Byte();
  [[nodiscard]] bool Bool() { return (Byte() & 1) != 0; }
  [[nodiscard]] std::int16_t Int16();
  [[nodiscard]] std::int32_t Int32();
  // Any double, NaN and infinities included.
  [[nodiscard]] double Double();
  // A whole number in lo..hi (hi - lo below 2^32).
  [[nodiscard]] std::int64_t Range(std::int64_t lo, std::int64_t hi);
  // Up to `max_length` 16-bit characters of any value, lone surrogates included.
  [[nodiscard]] std::u16string Text(std::int64_t max_length);
  // A value of any kind, as a bag or a late-bound caller may hand it over.
  [[nodiscard]] PropertyValue Value();

 private:
  std::uint64_t Bits(int bytes);

  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

}  // namespace glimmer::fuzz
