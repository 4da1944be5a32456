// SPDX-License-Identifier: MIT
// Fuzz target: the restore of saved state from arbitrary bag contents.
//
// The bytes become a property bag of arbitrary keys (the six property names in any letter case, the host's
// own entries, anything else), kinds and values, with reads of some keys failing. The control restores from
// it (over a created or an initialised instance), is sited at an arbitrary width, shown and ticked; then its
// state is saved and restored into a second control. Returns "" or what went wrong.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace glimmer::fuzz {

[[nodiscard]] std::string FuzzRestore(std::span<const std::uint8_t> bytes);

}  // namespace glimmer::fuzz
