// SPDX-License-Identifier: MIT
// Reads one table of a form description with toml++, naming the table and the file in its errors: every
// refusal of a setting says where it is and what was expected instead.
#pragma once

#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "demo/form/form_file.h"
#include "host/base/expected.h"
#include "host/base/try.h"

namespace glimmer {

template <class T>
using Parsed = Expected<T, DescriptionError>;
using ParseFailure = Unexpected<DescriptionError>;

// "a string", "an integer", ... for messages.
[[nodiscard]] std::string_view TomlTypeName(toml::node_type type);
// Exact: a whole number in full (2147483647, not 2.14748e+09), anything else in the shortest form that
// reads back as the same double.
[[nodiscard]] std::string ExactNumber(double v);

class TableReader {
 public:
  TableReader(std::string_view source, const toml::table& table, std::string name)
      : source_(source), table_(table), name_(std::move(name)) {}

  [[nodiscard]] DescriptionError ErrorAt(const toml::source_region& where, std::string what) const;

  // Every key must be one of `known`.
  template <std::size_t N>
  [[nodiscard]] Parsed<void> OnlyKnown(const std::array<std::string_view, N>& known) const {
    for (const auto& [key, node] : table_)
      if (std::find(known.begin(), known.end(), key.str()) == known.end())
        return ParseFailure(
            ErrorAt(key.source(), "unknown setting '" + std::string(key.str()) + "' in [" + name_ + "]"));
    return {};
  }

  [[nodiscard]] bool Has(std::string_view key) const { return table_.contains(key); }
  [[nodiscard]] Parsed<const toml::node*> Required(std::string_view key, toml::node_type type,
                                                   std::string_view expected) const;
  [[nodiscard]] Parsed<std::string> Text(std::string_view key) const;
  [[nodiscard]] Parsed<bool> Flag(std::string_view key) const;

  // One of `names`, as its index.
  template <std::size_t N>
  [[nodiscard]] Parsed<std::size_t> Choice(std::string_view key,
                                           const std::array<std::string_view, N>& names) const {
    const std::string text = TRY(Text(key));
    const auto it = std::find(names.begin(), names.end(), text);
    if (it != names.end()) return static_cast<std::size_t>(it - names.begin());
    std::string list;
    for (const auto name : names)
      list += (list.empty() ? "\"" : " or \"") + std::string(name) + "\"";
    return ParseFailure(
        ErrorAt(table_.get(key)->source(), Where(key) + " must be " + list + ", not \"" + text + "\""));
  }

  // A measure in twips whose pixels lie within [min_pixels, max_pixels].
  [[nodiscard]] Parsed<double> Twips(std::string_view key, double min_pixels, double max_pixels) const;

  // "table.key", as messages name a setting.
  [[nodiscard]] std::string Where(std::string_view key) const { return name_ + "." + std::string(key); }

 private:
  [[nodiscard]] Parsed<double> InRange(std::string_view key, double twips, double min_pixels,
                                       double max_pixels) const;

  std::string_view source_;
  const toml::table& table_;
  std::string name_;
};

}  // namespace glimmer
