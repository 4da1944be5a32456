// SPDX-License-Identifier: MIT
// The control's design-time description: what a container makes before the control's first callback.
#pragma once

#include <string_view>

#include <glimmer/host/control.h>

namespace glimmer {

inline constexpr std::string_view kTimerLED = "TimerLED";
inline constexpr std::string_view kShapeBorder = "ShapeBorder";

// Black background, pixel scale, 2400 x 600 twips (160 x 40 pixels at 15 twips per pixel) before the first
// resize; then, in this order: TimerLED (disabled, 50 ms), ShapeBorder(0) (mid grey 0x737373, at (0, 0),
// 160 x 40 pixels) and ShapeBorder(1) (white, at (1, 1), 158 x 38 pixels), both solid 1-pixel outlines.
[[nodiscard]] const ControlDesign& LedDesign();

}  // namespace glimmer
