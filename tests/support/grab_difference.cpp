// SPDX-License-Identifier: MIT
#include "tests/support/grab_difference.h"

namespace glimmer::testing {

std::string GrabDifference(const QImage& grab, const Image& frame, int scale) {
  if (grab.width() < frame.width * scale || grab.height() < frame.height * scale)
    return "grab is " + std::to_string(grab.width()) + " x " + std::to_string(grab.height());
  for (int y = 0; y < frame.height * scale; ++y)
    for (int x = 0; x < frame.width * scale; ++x)
      if (grab.pixel(x, y) != frame.at(x / scale, y / scale))
        return "device pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  return "";
}

}  // namespace glimmer::testing
