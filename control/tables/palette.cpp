// SPDX-License-Identifier: MIT
#include "control/tables/palette.h"

#include <new>

#include "control/tables/table_faults.h"

namespace glimmer {

Result<std::vector<Palette::Element>> Palette::Assemble() {
  if (table_faults::Consume(table_faults::Table::Palette)) return Fail(Error::OutOfMemory);
  try {
    return std::vector<Element>{
        std::int16_t{255},    // red, lit:     0x0000FF
        std::int16_t{119},    // red, unlit:   0x000077
        std::int32_t{65280},  // green, lit:   0x00FF00
        std::int32_t{30464},  // green, unlit: 0x007700
        std::int32_t{65535},  // yellow, lit:  0x00FFFF
        std::int32_t{30583},  // yellow, unlit: 0x007777
    };
  } catch (const std::bad_alloc&) {
    return Fail(Error::OutOfMemory);
  }
}

Result<ColorRef> Palette::Entry(std::int64_t index) const {
  if (index < LowerBound() || index > UpperBound()) return Fail(Error::SubscriptOutOfRange);
  return std::visit([](auto v) { return ColorRef{static_cast<std::int32_t>(v)}; },
                    elements_[static_cast<std::size_t>(index)]);
}

}  // namespace glimmer
