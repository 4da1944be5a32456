// SPDX-License-Identifier: MIT
// The demo's frame at one moment of its pass, as a list of dots: what every renderer in the benchmarks draws.
#pragma once

#include <cstdint>
#include <vector>

#include "host/gdi/colour.h"

namespace glimmer::bench {

inline constexpr std::int32_t kWidth = 251;  // the demo sign: 3n + 2 with n = 83
inline constexpr std::int32_t kHeight = 32;
inline constexpr std::int32_t kWindowWidth = kWidth - 4;
inline constexpr std::int32_t kWindowHeight = kHeight - 4;
inline constexpr std::int64_t kMidPassTick = 60;

struct Dot {
  std::int32_t x;
  std::int32_t y;
  Pixel colour;
};

// "GLIMMER" in green on tick kMidPassTick: the unlit grid dots, then the text's dots, in painting order, in
// surface coordinates (the display window starts at 0, 0).
[[nodiscard]] std::vector<Dot> DemoFrameDots();

}  // namespace glimmer::bench
