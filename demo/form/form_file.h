// SPDX-License-Identifier: MIT
// The stored form description as a TOML file (read and written with toml++). It is also the host's
// property-bag format: LED1's entries keep their types, so that a 16-bit integer, a 32-bit integer, a
// double, a Boolean and a text each come back as what they were.
//
//   [FormGlimmer]                 caption, border_style ("fixed-single" or "sizable"), min_button,
//                                 max_button, start_up_position ("center-screen" or "windows-default"),
//                                 client_width, client_height (twips)
//   [FormGlimmer.LED1]            class ("ProjectGlimmer.LED"), left, top, width, height (twips); and,
//                                 when not "capitals" and false, glyphs ("capitals", "ascii" or "latin1")
//                                 and upper_case
//   [FormGlimmer.LED1.entries]    key = value: a bare integer is a 32-bit integer, { int16 = N } a 16-bit
//                                 one, a float a double, true/false a Boolean, a string a text, and
//                                 { empty = true } the empty value
//
// Every other setting is required; an unknown one is an error, so that a misspelt key does not pass
// unnoticed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "demo/form/form_description.h"
#include "host/base/expected.h"

namespace glimmer {

struct DescriptionError {
  std::string source;     // the file, as the user named it
  std::int64_t line = 0;  // 1-based; 0 when the place is not known
  std::int64_t column = 0;
  std::string what;

  // "source:line:column: what", or "source: what" without a place.
  [[nodiscard]] std::string Message() const;
};

[[nodiscard]] Expected<FormDescription, DescriptionError> ParseFormDescription(std::string_view text,
                                                                               std::string_view source);
// The largest description file the program reads: a description is about a kilobyte, and a megabyte
// leaves room for any text the sign can scroll. A longer file, or one that never ends (a device, a pipe), is
// refused after reading one byte more than this, so that neither memory nor time grows with it.
inline constexpr std::size_t kMaxFormFileBytes = std::size_t{1} << 20;

// Reads and parses a file; a file that cannot be read, or is longer than kMaxFormFileBytes, is an error
// without a place.
[[nodiscard]] Expected<FormDescription, DescriptionError> ReadFormFile(const std::filesystem::path& path);
// The text of a form file, read as ReadFormFile reads it, for forms of other kinds (Qt Designer's .ui).
[[nodiscard]] Expected<std::string, DescriptionError> ReadFormFileText(const std::filesystem::path& path);

// The description as a file: a comment that explains the format, then the three tables, keys in order.
// Entry keys are written in lower case, as the host keeps them.
[[nodiscard]] std::string FormatFormDescription(const FormDescription& form);

}  // namespace glimmer
