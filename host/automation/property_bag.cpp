// SPDX-License-Identifier: MIT
#include "host/automation/property_bag.h"

#include <algorithm>

namespace glimmer {

bool KeysEqual(std::string_view a, std::string_view b) {
  auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace glimmer
