// SPDX-License-Identifier: MIT
// The control's six property fields, in their declared order, with the values a created instance holds
// before its properties are initialised or restored.
#pragma once

#include <cstdint>
#include <string>

#include <glimmer/host/base/boolean.h>

namespace glimmer {

struct LedFields {
  std::int32_t BorderStyle = 0;  // 0: the border rings draw nothing; 1: solid rings
  std::int32_t Color = 0;        // colour scheme: 0 red, 1 green, 2 yellow
  Boolean Enabled;               // whether the control takes mouse and keyboard input
  Boolean Repeated;              // whether a new pass starts after the text has scrolled off
  std::int16_t Delay = 0;        // milliseconds between two ticks
  std::u16string Value;          // the text that scrolls

  // Not a property: counts every store to Value, so the renderer knows when to lay the text out afresh.
  std::uint64_t value_version = 0;
};

}  // namespace glimmer
