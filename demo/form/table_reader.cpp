// SPDX-License-Identifier: MIT
#include "demo/form/table_reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "demo/form/form_description.h"

namespace glimmer {

std::string_view TomlTypeName(toml::node_type type) {
  switch (type) {
    case toml::node_type::table:
      return "a table";
    case toml::node_type::array:
      return "an array";
    case toml::node_type::string:
      return "a string";
    case toml::node_type::integer:
      return "an integer";
    case toml::node_type::floating_point:
      return "a float";
    case toml::node_type::boolean:
      return "a Boolean";
    case toml::node_type::date:
    case toml::node_type::time:
    case toml::node_type::date_time:
      return "a date or time";
    case toml::node_type::none:
      break;
  }
  return "nothing";
}

std::string ExactNumber(double v) {
  if (std::nearbyint(v) == v && std::abs(v) < 1e15) return std::to_string(static_cast<std::int64_t>(v));
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

DescriptionError TableReader::ErrorAt(const toml::source_region& where, std::string what) const {
  return DescriptionError{std::string(source_), static_cast<std::int64_t>(where.begin.line),
                          static_cast<std::int64_t>(where.begin.column), std::move(what)};
}

Parsed<const toml::node*> TableReader::Required(std::string_view key, toml::node_type type,
                                                std::string_view expected) const {
  const toml::node* node = table_.get(key);
  if (node == nullptr)
    return ParseFailure(
        ErrorAt(table_.source(), "[" + name_ + "] has no '" + std::string(key) + "' setting"));
  if (node->type() != type)
    return ParseFailure(ErrorAt(node->source(), Where(key) + " must be " + std::string(expected) + ", not " +
                                                    std::string(TomlTypeName(node->type()))));
  return node;
}

Parsed<std::string> TableReader::Text(std::string_view key) const {
  return TRY(Required(key, toml::node_type::string, "a string"))->as_string()->get();
}

Parsed<bool> TableReader::Flag(std::string_view key) const {
  return TRY(Required(key, toml::node_type::boolean, "true or false"))->as_boolean()->get();
}

Parsed<double> TableReader::Twips(std::string_view key, double min_pixels, double max_pixels) const {
  const toml::node* node = table_.get(key);
  if (node != nullptr && node->type() == toml::node_type::integer)
    return InRange(key, static_cast<double>(node->as_integer()->get()), min_pixels, max_pixels);
  const toml::node* f = TRY(Required(key, toml::node_type::floating_point, "a number of twips"));
  return InRange(key, f->as_floating_point()->get(), min_pixels, max_pixels);
}

Parsed<double> TableReader::InRange(std::string_view key, double twips, double min_pixels,
                                    double max_pixels) const {
  const double pixels = twips / kTwipsPerPixel;
  if (std::isfinite(twips) && pixels >= min_pixels && pixels <= max_pixels) return twips;
  return ParseFailure(ErrorAt(
      table_.get(key)->source(),
      Where(key) + " is " + ExactNumber(twips) + " twips, an impossible size: it must be from " +
          ExactNumber(min_pixels * kTwipsPerPixel) + " to " + ExactNumber(max_pixels * kTwipsPerPixel) +
          " twips (" + ExactNumber(min_pixels) + " to " + ExactNumber(max_pixels) + " pixels)"));
}

}  // namespace glimmer
