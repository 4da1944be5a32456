// SPDX-License-Identifier: MIT
#include "tests/support/led_fixture.h"

#include <gtest/gtest.h>

#include "control/interface/led_members.h"

namespace glimmer::testing {

LedRig::LedRig(const RigOptions& options)
    : container(LED::Class(), options.container), led(container.control_as<LED>()) {
  EXPECT_TRUE(container.InitNew());
  EXPECT_TRUE(container.Resize(options.width, 40));
  EXPECT_TRUE(container.Site());
  EXPECT_TRUE(led.Value(options.text));
  EXPECT_TRUE(led.Color(options.color));
  EXPECT_TRUE(led.Repeated(Boolean(options.repeated)));
  container.ClearRecords();
}

std::vector<std::int64_t> LedRig::TerminateTicks() const {
  std::vector<std::int64_t> ticks;
  for (const auto& e : container.events())
    if (e.event == kTerminateEvent) ticks.push_back(e.tick);
  return ticks;
}

}  // namespace glimmer::testing
