// SPDX-License-Identifier: MIT
#include "control/geometry/led_design.h"

namespace glimmer {

const ControlDesign& LedDesign() {
  static const ControlDesign design{.back_color = ColorRef{0x000000},
                                    .width_twips = 2400,
                                    .height_twips = 600,
                                    .children = {
                                        TimerDesign{.name = kTimerLED, .enabled = false, .interval = 50},
                                        ShapeDesign{.name = kShapeBorder,
                                                    .index = 0,
                                                    .border_color = ColorRef{0x737373},
                                                    .left = 0,
                                                    .top = 0,
                                                    .width = 160,
                                                    .height = 40,
                                                    .border_style = 1},
                                        ShapeDesign{.name = kShapeBorder,
                                                    .index = 1,
                                                    .border_color = ColorRef{0xFFFFFF},
                                                    .left = 1,
                                                    .top = 1,
                                                    .width = 158,
                                                    .height = 38,
                                                    .border_style = 1},
                                    }};
  return design;
}

}  // namespace glimmer
