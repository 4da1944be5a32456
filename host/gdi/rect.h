// SPDX-License-Identifier: MIT
// A rectangle of surface pixels: left <= x < right, top <= y < bottom.
#pragma once

#include <algorithm>
#include <cstdint>

namespace glimmer {

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  [[nodiscard]] constexpr bool empty() const { return right <= left || bottom <= top; }
  [[nodiscard]] constexpr std::int32_t width() const { return empty() ? 0 : right - left; }
  [[nodiscard]] constexpr std::int32_t height() const { return empty() ? 0 : bottom - top; }
  [[nodiscard]] constexpr Rect intersected(const Rect& o) const {
    return Rect{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  [[nodiscard]] constexpr Rect united(const Rect& o) const {
    if (o.empty()) return *this;
    if (empty()) return o;
    return Rect{std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace glimmer
