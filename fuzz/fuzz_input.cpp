// SPDX-License-Identifier: MIT
#include "fuzz/fuzz_input.h"

#include <bit>

namespace glimmer::fuzz {

std::uint8_t FuzzInput::Byte() {
  return empty() ? std::uint8_t{0} : bytes_[position_++];
}

std::uint64_t FuzzInput::Bits(int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v = (v << 8) | Byte();
  return v;
}

std::int16_t FuzzInput::Int16() {
  return static_cast<std::int16_t>(Bits(2));
}

std::int32_t FuzzInput::Int32() {
  return static_cast<std::int32_t>(Bits(4));
}

double FuzzInput::Double() {
  return std::bit_cast<double>(Bits(8));
}

std::int64_t FuzzInput::Range(std::int64_t lo, std::int64_t hi) {
  const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
  const int bytes = span <= 0x100 ? 1 : span <= 0x10000 ? 2 : 4;
  return lo + static_cast<std::int64_t>(Bits(bytes) % span);
}

std::u16string FuzzInput::Text(std::int64_t max_length) {
  std::u16string text(static_cast<std::size_t>(Range(0, max_length)), u' ');
  for (char16_t& ch : text) {
    // Mostly characters of the sign's font, so that texts show; now and then any code unit.
    const std::uint8_t b = Byte();
    ch = b < 0xF0 ? static_cast<char16_t>(0x20 + b % 0x3B) : static_cast<char16_t>(Bits(2));
  }
  return text;
}

PropertyValue FuzzInput::Value() {
  switch (Range(0, 5)) {
    case 0:
      return PropertyValue();
    case 1:
      return PropertyValue(Int16());
    case 2:
      return PropertyValue(Int32());
    case 3:
      return PropertyValue(Double());
    case 4: {
      Boolean b;  // any 16-bit pattern, not only True and False
      b.value = Int16();
      return PropertyValue(b);
    }
    default:
      return PropertyValue(Text(24));
  }
}

}  // namespace glimmer::fuzz
