// SPDX-License-Identifier: MIT
// Comparing what Qt shows with the control's frame: a grab in device pixels against a frame drawn `scale`
// device pixels per control pixel.
#pragma once

#include <QImage>
#include <string>

#include "host/gdi/image.h"

namespace glimmer::testing {

// Where a grab differs from a frame drawn `scale` device pixels per control pixel, from the grab's top left
// corner: "" when it does not.
[[nodiscard]] std::string GrabDifference(const QImage& grab, const Image& frame, int scale);

}  // namespace glimmer::testing
