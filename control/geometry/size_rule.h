// SPDX-License-Identifier: MIT
// The size rule the control applies on every resize: 32 pixels high and 3n + 2 pixels wide (the smallest
// such width not below the rounded width asked for), with the two border rings following the new size.
#pragma once

#include <glimmer/host/container.h>

namespace glimmer {

// In this order: round ScaleWidth (ties to even) to w; W = 3(w \ 3) + 2 in checked 32-bit arithmetic;
// Width = W x TwipsPerPixelX (formed in double, stored as single precision); Height = TwipsPerPixelY x 32;
// then ShapeBorder(0) to ScaleWidth x ScaleHeight and ShapeBorder(1) to (ScaleWidth - 2) x (ScaleHeight - 2),
// read back after the size has changed. The first failing step ends it and is its result; the steps before
// keep their effect. A container that re-enters from the Width or Height assignment finds the rule already
// met, so the layout comes out the same either way.
[[nodiscard]] Status ApplySizeRule(Container& container);

}  // namespace glimmer
