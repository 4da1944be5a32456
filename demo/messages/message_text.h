// SPDX-License-Identifier: MIT
// Text that a message repeats from outside the program (a command-line value, a file name, a key from a
// description, a library's own words) as plain text for a terminal: every control character is shown
// escaped, so that a message can neither send the terminal an escape sequence nor break its line.
#pragma once

#include <string>
#include <string_view>

namespace glimmer {

// `text` with a line break shown as \n, the other C0 controls and DEL as \u001B and the like, the C1
// controls (U+0080 to U+009F) as \u009B and the like, and every byte that is not part of well-formed UTF-8
// as \x9B and the like. Everything else, letters of any script included, stays as it is.
[[nodiscard]] std::string EscapeControls(std::string_view text);

// The same for a whole message of one or more lines: its line breaks stay.
[[nodiscard]] std::string EscapeControlsKeepingLines(std::string_view text);

}  // namespace glimmer
