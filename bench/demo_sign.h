// SPDX-License-Identifier: MIT
// The demo's sign in a headless container: 251 x 32 pixels, "GLIMMER" in green, repeating, advanced some
// ticks into its pass.
#pragma once

#include <string>

#include "bench/demo_frame.h"
#include "control/led.h"
#include "host/headless/headless_container.h"

namespace glimmer::bench {

struct DemoSign {
  explicit DemoSign(std::int64_t ticks, std::u16string text = u"GLIMMER") : led(container.control_as<LED>()) {
    (void)container.InitNew();
    (void)container.Resize(kWidth, kHeight);
    (void)led.Value(text);
    (void)led.Color(1);
    (void)led.Repeated(True);
    (void)led.Show();
    container.RunTicks(ticks);
  }
  HeadlessContainer container{LED::Class()};
  LED& led;
};

}  // namespace glimmer::bench
