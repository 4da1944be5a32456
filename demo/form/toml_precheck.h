// SPDX-License-Identifier: MIT
// What toml++ (3.3) cannot read safely, found before it parses the text.
//
// - Nesting. toml++ walks the finished tree recursively (and so does the tree's destructor), one call per
//   level. It limits the nesting of arrays and inline tables, but not of dotted keys and table headers: a
//   key of a few ten thousand parts ("a.a.a...") overflows the stack. A form description nests five levels
//   deep; deeper text is refused.
// - Characters beyond ASCII where toml++ asks whether they are white space: outside strings and comments,
//   and after a backslash in a multi-line basic string (also where the backslash ends a line, at the first
//   character the string goes on with). For some of them (U+00A1 to U+0499, for one) toml++'s answer runs
//   into code marked unreachable, which is undefined behaviour. Outside strings and comments TOML allows
//   no such character anyway.
//
// The check reads just enough TOML to tell keys from values: strings of the four kinds, comments, table
// headers, dotted keys, arrays and inline tables. Where the text stops being TOML the check stops looking:
// toml++ reports an error at that place and reads nothing after it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace glimmer {

struct TomlHazard {
  std::int64_t line = 0;    // 1-based
  std::int64_t column = 0;  // 1-based, in characters
  std::string what;
};

// The first hazard in `text`, nesting beyond `max_depth` levels included, or nothing.
[[nodiscard]] std::optional<TomlHazard> PrecheckToml(std::string_view text, int max_depth);

}  // namespace glimmer
