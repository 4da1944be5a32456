// SPDX-License-Identifier: MIT
// Checked integer arithmetic and the rounding the control uses everywhere.
//
// Coordinates and counters on the drawing surface are 16-bit; every addition, subtraction and
// multiplication on them is tested, and a result outside the type's range is an Overflow error.
// Floating-point sizes become integers by rounding to the nearest, a tie going to the even neighbour.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include <glimmer/host/base/error.h>

namespace glimmer {

namespace detail {
template <class T>
[[nodiscard]] constexpr Result<T> narrow(std::int64_t v) {
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) return Fail(Error::Overflow);
  return static_cast<T>(v);
}
}  // namespace detail

[[nodiscard]] constexpr Result<std::int16_t> Add16(std::int16_t a, std::int16_t b) {
  return detail::narrow<std::int16_t>(std::int64_t{a} + b);
}
[[nodiscard]] constexpr Result<std::int16_t> Sub16(std::int16_t a, std::int16_t b) {
  return detail::narrow<std::int16_t>(std::int64_t{a} - b);
}
[[nodiscard]] constexpr Result<std::int16_t> Mul16(std::int16_t a, std::int16_t b) {
  return detail::narrow<std::int16_t>(std::int64_t{a} * b);
}
[[nodiscard]] constexpr Result<std::int32_t> Add32(std::int32_t a, std::int32_t b) {
  return detail::narrow<std::int32_t>(std::int64_t{a} + b);
}
[[nodiscard]] constexpr Result<std::int32_t> Mul32(std::int32_t a, std::int32_t b) {
  return detail::narrow<std::int32_t>(std::int64_t{a} * b);
}

// Rounds to the nearest integer, ties to even, and narrows to T; NaN, infinities and values outside
// T's range are an Overflow error.
template <class T>
[[nodiscard]] Result<T> RoundTo(double v) {
  if (!std::isfinite(v)) return Fail(Error::Overflow);
  const double r = std::nearbyint(v);  // the default rounding mode is to nearest, ties to even
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max()))
    return Fail(Error::Overflow);
  return static_cast<T>(r);
}

[[nodiscard]] inline Result<std::int16_t> RoundTo16(double v) {
  return RoundTo<std::int16_t>(v);
}
[[nodiscard]] inline Result<std::int32_t> RoundTo32(double v) {
  return RoundTo<std::int32_t>(v);
}

}  // namespace glimmer
