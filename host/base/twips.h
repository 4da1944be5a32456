// SPDX-License-Identifier: MIT
// Twips <-> pixels for containers.
//
// A size set in twips reads back in pixels as twips / factor. A size of exactly W pixels that a caller
// formed as W x factor (in double, stored as single precision) must read back as exactly W, also with a
// factor such as 7.5 or 1440/168 whose products a float cannot hold exactly: the conversion therefore
// snaps to the whole number k whenever k x factor, stored as single precision, is the value given.
#pragma once

#include <cmath>

namespace glimmer {

[[nodiscard]] inline double TwipsToPixels(float twips, float twips_per_pixel) {
  const double pixels = static_cast<double>(twips) / static_cast<double>(twips_per_pixel);
  const double whole = std::nearbyint(pixels);
  if (std::isfinite(whole) && static_cast<float>(whole * static_cast<double>(twips_per_pixel)) == twips)
    return whole;
  return pixels;
}

}  // namespace glimmer
