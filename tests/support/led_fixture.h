// SPDX-License-Identifier: MIT
// A sited LED in a headless container, ready for a test: initialised, sized by its size rule, with the given
// text, colour scheme and repeat setting.
#pragma once

#include <cstdint>
#include <string>

#include "control/led.h"
#include "host/headless/headless_container.h"

namespace glimmer::testing {

struct RigOptions {
  double width = 251;  // asked for; the size rule snaps it
  std::u16string text = u"GLIMMER";
  std::int32_t color = 1;
  bool repeated = true;
  HeadlessContainer::Options container;
};

class LedRig {
 public:
  explicit LedRig(const RigOptions& options = {});

  HeadlessContainer container;
  LED& led;

  // Advances by whole ticks; returns how many ran.
  std::int64_t Tick(std::int64_t count = 1) { return container.RunTicks(count); }
  // The ticks (counted from the rig's creation) on which Terminate was raised.
  [[nodiscard]] std::vector<std::int64_t> TerminateTicks() const;
};

}  // namespace glimmer::testing
