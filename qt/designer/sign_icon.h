// SPDX-License-Identifier: MIT
// The widget box's icon of the sign: a real frame of a small sign, drawn by the control itself.
#pragma once

#include <QIcon>
#include <QImage>

namespace glimmer::qt {

// The frame of a green sign 32 x 32 pixels (ten dot columns) with a "G" in the middle of its display.
[[nodiscard]] QImage SignIconFrame();

// That frame at its own size and doubled, each pixel a sharp 2 x 2 square.
[[nodiscard]] QIcon SignIcon();

}  // namespace glimmer::qt
