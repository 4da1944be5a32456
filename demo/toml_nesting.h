// How deeply a TOML text nests its tables and values, checked before toml++ parses it.
//
// toml++ walks the finished tree recursively (and so does the tree's destructor), one call per level. It
// limits the nesting of arrays and inline tables, but not of dotted keys and table headers: a key of a few
// ten thousand parts ("a.a.a...") overflows the stack. A form description nests five levels deep, so text
// that goes beyond a small limit is refused here, with its place.
//
// The scan reads just enough TOML to tell keys from values: strings of the four kinds, comments, table
// headers, dotted keys, arrays and inline tables. Where the text stops being TOML the scan stops looking;
// toml++ reports an error at that place or before it, so nothing after it is ever built.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace glimmer {

struct TooDeep {
  std::int64_t line = 0;    // 1-based, of the key, header or bracket that goes too deep
  std::int64_t column = 0;  // 1-based, in characters
};

// The first place where the nesting goes beyond `max_depth` levels, or nothing.
[[nodiscard]] std::optional<TooDeep> FindTooDeepNesting(std::string_view text, int max_depth);

}  // namespace glimmer
