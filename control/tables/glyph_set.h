// SPDX-License-Identifier: MIT
// The glyph sets a sign can draw its text with. Capitals, the 39 glyphs of the control's own table, is the
// default; Ascii adds the other printable ASCII characters and Latin1 the Latin-1 supplement as well. Every
// set keeps the 39 capitals first and unchanged, so that a text of capitals looks the same in each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace glimmer {

enum class GlyphSet : std::int32_t { Capitals = 0, Ascii = 1, Latin1 = 2 };

// The names of the sets, as the command line and the form description spell them, in the order of the values.
inline constexpr std::array<std::string_view, 3> kGlyphSetNames = {"capitals", "ascii", "latin1"};

[[nodiscard]] constexpr bool IsGlyphSet(std::int32_t value) {
  return value >= 0 && value < static_cast<std::int32_t>(kGlyphSetNames.size());
}

// The capital of a small letter of Latin-1, for signs that show small letters as capitals; every other
// character as it is. ß and ÿ have no capital in Latin-1 and stay as they are.
[[nodiscard]] constexpr char16_t UpperCaseOf(char16_t ch) {
  if (ch >= u'a' && ch <= u'z') return static_cast<char16_t>(ch - 0x20);
  if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) return static_cast<char16_t>(ch - 0x20);
  return ch;
}

}  // namespace glimmer
