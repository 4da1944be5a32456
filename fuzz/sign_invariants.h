// SPDX-License-Identifier: MIT
// What must hold for a sign in a headless container whatever was done to it: its objects are exactly those
// its state needs (the surface's context and bitmap, and never a brush between calls), its state is one of
// Idle, Running and Stopped (the timer runs only with a whole surface), and every pixel it shows is a dot
// colour, a background it was given, black or a ring colour. Fuzz targets check these after every step.
#pragma once

#include <string>
#include <vector>

#include "control/led.h"
#include "host/gdi/gdi_host.h"
#include "host/headless/headless_container.h"

namespace glimmer::fuzz {

class SignInvariants {
 public:
  // Takes the live objects before the container was made as the baseline.
  explicit SignInvariants(const gdi::LiveCounts& baseline) : baseline_(baseline) {}

  // The container's background colour changed: what it paints becomes an allowed pixel.
  void BackColorSet(ColorRef colour);
  // "" when the state and the objects are right; else what is wrong.
  [[nodiscard]] std::string CheckObjects(HeadlessContainer& container, const LED& led) const;
  [[nodiscard]] std::string CheckPixels(const HeadlessContainer& container) const;
  // Both.
  [[nodiscard]] std::string Check(HeadlessContainer& container, const LED& led) const;

 private:
  gdi::LiveCounts baseline_;
  std::vector<Pixel> backgrounds_;
};

}  // namespace glimmer::fuzz
