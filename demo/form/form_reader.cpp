// SPDX-License-Identifier: MIT
// Reading a form description: the TOML parsed by toml++, then every table checked against the settings it
// may hold (form_settings.h), so that a wrong file is refused with the place and the reason.
#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>
#include <type_traits>

#include "demo/form/form_file.h"
#include "demo/form/form_settings.h"
#include "demo/form/table_reader.h"
#include "demo/form/toml_precheck.h"
#include "host/automation/property_bag.h"
#include "host/base/try.h"

namespace glimmer {
namespace {

using namespace form_settings;

// Deeper nesting is refused before toml++ sees it (demo/toml_precheck.h).
constexpr int kMaxNesting = 32;

template <class Owner, class T>
Parsed<void> ReadSetting(const TableReader& reader, const Setting<Owner, T>& row, Owner& owner) {
  T& field = owner.*row.field;
  if (row.optional && !reader.Has(row.name)) return {};
  if constexpr (std::is_same_v<T, std::string>)
    field = TRY(reader.Text(row.name));
  else if constexpr (std::is_same_v<T, bool>)
    field = TRY(reader.Flag(row.name));
  else if constexpr (std::is_same_v<T, double>)
    field = TRY(reader.Twips(row.name, row.limits.min, row.limits.max));
  else
    field = static_cast<T>(TRY(reader.Choice(row.name, ChoiceNames(T{}))));
  return {};
}

// The rows in order; the first that fails ends it.
template <class Owner, class... Rows>
Parsed<void> ReadSettings(const TableReader& reader, const std::tuple<Rows...>& rows, Owner& owner) {
  Parsed<void> status;
  std::apply([&](const auto&... row) { (void)(... && (status = ReadSetting(reader, row, owner))); }, rows);
  return status;
}

// A saved entry: the typed forms listed in the header.
Parsed<PropertyValue> EntryValue(const TableReader& reader, std::string_view key, const toml::node& node) {
  const std::string where = reader.Where(key);
  switch (node.type()) {
    case toml::node_type::boolean:
      return PropertyValue(Boolean(node.as_boolean()->get()));
    case toml::node_type::string:
      return PropertyValue(FromUtf8(node.as_string()->get()));
    case toml::node_type::floating_point:
      return PropertyValue(node.as_floating_point()->get());
    case toml::node_type::integer: {
      const std::int64_t v = node.as_integer()->get();
      if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return ParseFailure(reader.ErrorAt(
            node.source(),
            where + " = " + std::to_string(v) + " does not fit a 32-bit integer (write it as a float)"));
      return PropertyValue(static_cast<std::int32_t>(v));
    }
    case toml::node_type::table: {
      const toml::table& typed = *node.as_table();
      if (typed.size() == 1) {
        const auto [tag, inner] = *typed.begin();  // a proxy of references, held by value
        if (tag.str() == "int16" && inner.is_integer()) {
          const std::int64_t v = inner.as_integer()->get();
          if (v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max())
            return PropertyValue(static_cast<std::int16_t>(v));
          return ParseFailure(reader.ErrorAt(
              inner.source(), where + ": " + std::to_string(v) + " does not fit a 16-bit integer"));
        }
        if (tag.str() == "empty" && inner.is_boolean() && inner.as_boolean()->get()) return PropertyValue();
      }
      break;
    }
    default:
      break;
  }
  return ParseFailure(
      reader.ErrorAt(node.source(), where +
                                        " must be an integer, { int16 = N }, a float, true or false, "
                                        "a string or { empty = true }, not " +
                                        std::string(TomlTypeName(node.type()))));
}

// The host's record of the size must agree with the size.
Parsed<void> CheckExtent(const TableReader& reader, const toml::table& entries,
                         const MemoryPropertyBag::Entry& entry, double twips, std::string_view size_key) {
  const toml::node& node = *entries.get(entry.first);
  const std::int32_t* value = entry.second.get_if<std::int32_t>();
  if (value == nullptr)
    return ParseFailure(
        reader.ErrorAt(node.source(), reader.Where(entry.first) + " must be a 32-bit integer"));
  const std::int32_t expected = TwipsToHimetric(twips);
  if (std::abs(static_cast<std::int64_t>(*value) - expected) > 1)
    return ParseFailure(reader.ErrorAt(
        node.source(), reader.Where(entry.first) + " = " + std::to_string(*value) + " does not match " +
                           std::string(size_key) + " = " + ExactNumber(twips) + " twips (that is " +
                           std::to_string(expected) + " hundredths of a millimetre)"));
  return {};
}

Parsed<std::vector<MemoryPropertyBag::Entry>> ReadEntries(std::string_view source, const toml::table& control,
                                                          const ControlDescription& led1) {
  const toml::node* node = control.get(kEntriesKey);
  if (node == nullptr) return std::vector<MemoryPropertyBag::Entry>{};
  const std::string name =
      std::string(kFormKey) + "." + std::string(kControlKey) + "." + std::string(kEntriesKey);
  if (!node->is_table())
    return ParseFailure(TableReader(source, control, name)
                            .ErrorAt(node->source(), name + " must be a table, not " +
                                                         std::string(TomlTypeName(node->type()))));
  const toml::table& table = *node->as_table();
  const TableReader reader(source, table, name);
  // toml++ keeps keys sorted; the bag keeps them in the order of the file.
  std::vector<std::pair<const toml::key*, const toml::node*>> in_order;
  for (const auto& [key, value] : table)
    in_order.emplace_back(&key, &value);
  std::sort(in_order.begin(), in_order.end(), [](const auto& a, const auto& b) {
    const auto& pa = a.first->source().begin;
    const auto& pb = b.first->source().begin;
    return pa.line != pb.line ? pa.line < pb.line : pa.column < pb.column;
  });
  std::vector<MemoryPropertyBag::Entry> entries;
  for (const auto& [key, value] : in_order) {
    const std::string_view k = key->str();
    for (const auto& e : entries)
      if (KeysEqual(e.first, k))
        return ParseFailure(reader.ErrorAt(key->source(), "'" + std::string(k) + "' repeats '" + e.first +
                                                              "': entry keys do not depend on letter case"));
    entries.emplace_back(std::string(k), TRY(EntryValue(reader, k, *value)));
    if (KeysEqual(k, "_extentx"))
      TRY(CheckExtent(reader, table, entries.back(), led1.width, "width"));
    else if (KeysEqual(k, "_extenty"))
      TRY(CheckExtent(reader, table, entries.back(), led1.height, "height"));
  }
  return entries;
}

Parsed<ControlDescription> ReadControl(std::string_view source, const toml::table& form_table) {
  const std::string name = std::string(kFormKey) + "." + std::string(kControlKey);
  const TableReader form(source, form_table, std::string(kFormKey));
  const toml::table& table = *TRY(form.Required(kControlKey, toml::node_type::table, "a table"))->as_table();
  const TableReader reader(source, table, name);
  TRY(reader.OnlyKnown(SettingNames(kControlSettings, kEntriesKey)));
  // The class first: a sign of another class is refused whatever else is wrong with it.
  const std::string class_name = TRY(reader.Text(kClassSetting));
  if (class_name != kLedClassName)
    return ParseFailure(
        reader.ErrorAt(table.get(kClassSetting)->source(), name + " is of class \"" + class_name +
                                                               "\"; this program hosts only \"" +
                                                               std::string(kLedClassName) + "\""));
  ControlDescription led1;
  TRY(ReadSettings(reader, kControlSettings, led1));
  led1.entries = TRY(ReadEntries(source, table, led1));
  return led1;
}

Parsed<FormDescription> ReadForm(std::string_view source, const toml::table& root) {
  const TableReader top(source, root, "the file");
  for (const auto& [key, node] : root)
    if (key.str() != kFormKey)
      return ParseFailure(top.ErrorAt(key.source(), "unknown table '" + std::string(key.str()) +
                                                        "': the description holds [FormGlimmer] only"));
  const toml::node* form_node = root.get(kFormKey);
  if (form_node == nullptr)
    return ParseFailure(DescriptionError{std::string(source), 0, 0, "there is no [FormGlimmer] table"});
  if (!form_node->is_table())
    return ParseFailure(top.ErrorAt(form_node->source(), "FormGlimmer must be a table, not " +
                                                             std::string(TomlTypeName(form_node->type()))));
  const toml::table& table = *form_node->as_table();
  const TableReader reader(source, table, std::string(kFormKey));
  TRY(reader.OnlyKnown(SettingNames(kFormSettings, kControlKey)));
  FormDescription form;
  TRY(ReadSettings(reader, kFormSettings, form));
  form.led1 = TRY(ReadControl(source, table));
  return form;
}

}  // namespace

Expected<FormDescription, DescriptionError> ParseFormDescription(std::string_view text,
                                                                 std::string_view source) {
  if (auto hazard = PrecheckToml(text, kMaxNesting))
    return ParseFailure(
        DescriptionError{std::string(source), hazard->line, hazard->column, std::move(hazard->what)});
  // toml++ reports syntax errors by exception; they stop here.
  try {
    const toml::table root = toml::parse(text, source);
    return ReadForm(source, root);
  } catch (const toml::parse_error& e) {
    return ParseFailure(
        DescriptionError{std::string(source), static_cast<std::int64_t>(e.source().begin.line),
                         static_cast<std::int64_t>(e.source().begin.column), std::string(e.description())});
  }
}

}  // namespace glimmer
