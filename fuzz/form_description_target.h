// SPDX-License-Identifier: MIT
// Fuzz target: the reader of the demo window's stored description.
//
// The bytes are a description file. The reader refuses them with a one-line error whose place lies within
// the text, or reads a description that the writer writes and the reader reads back as the same
// description. LED1 is then built from it as the program builds it (headless), shown and ticked a few
// times with the sign's invariants holding, closed and saved as --save saves it: that text reads back as
// the description that was saved, and building LED1 from it and saving again gives the same text. Returns
// "" or what went wrong.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace glimmer::fuzz {

[[nodiscard]] std::string FuzzFormDescription(std::span<const std::uint8_t> bytes);

}  // namespace glimmer::fuzz
