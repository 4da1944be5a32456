// SPDX-License-Identifier: MIT
// Fuzz target: arbitrary sequences of property writes (any value, in range or not), late-bound calls (any
// member identifier, call kind and arguments), Show and Clear, host resizes (NaN, huge and negative sizes
// included), background colours, Terminate handlers, save/restore round trips and ticks, checking the sign's
// invariants after every step. Returns "" or what went wrong.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace glimmer::fuzz {

[[nodiscard]] std::string FuzzSequence(std::span<const std::uint8_t> bytes);

}  // namespace glimmer::fuzz
