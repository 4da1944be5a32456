// SPDX-License-Identifier: MIT
// The 16-bit Boolean of the control's interface and saved state: True is -1, False is 0.
#pragma once

#include <cstdint>

namespace glimmer {

struct Boolean {
  std::int16_t value = 0;

  constexpr Boolean() = default;
  constexpr explicit Boolean(bool b) : value(b ? std::int16_t{-1} : std::int16_t{0}) {}
  [[nodiscard]] constexpr explicit operator bool() const { return value != 0; }
  friend constexpr bool operator==(Boolean, Boolean) = default;
};

inline constexpr Boolean True{true};
inline constexpr Boolean False{false};

}  // namespace glimmer
