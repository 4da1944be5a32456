// SPDX-License-Identifier: MIT
// The test's own reading of the block characters a terminal picture uses: which quadrants of the cell a
// character fills with its foreground colour (1 upper left, 2 upper right, 4 lower left, 8 lower right).
#pragma once

#include <optional>
#include <string_view>
#include <utility>

namespace glimmer::testing {

inline std::optional<int> QuadrantsOf(std::string_view glyph) {
  static constexpr std::pair<std::string_view, int> kBlocks[] = {
      {" ", 0}, {"▘", 1}, {"▝", 2},  {"▀", 3},  {"▖", 4},  {"▌", 5},  {"▞", 6},  {"▛", 7},
      {"▗", 8}, {"▚", 9}, {"▐", 10}, {"▜", 11}, {"▄", 12}, {"▙", 13}, {"▟", 14}, {"█", 15}};
  for (const auto& [text, mask] : kBlocks)
    if (text == glyph) return mask;
  return std::nullopt;
}

}  // namespace glimmer::testing
