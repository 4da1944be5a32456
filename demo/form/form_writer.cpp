// SPDX-License-Identifier: MIT
// Writing a form description: the settings of form_settings.h through toml++, then LED1's entries, whose
// keys come from the file, by hand.
#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <tuple>
#include <type_traits>

#include "demo/form/form_file.h"
#include "demo/form/form_settings.h"
#include "host/automation/property_bag.h"

namespace glimmer {
namespace {

using namespace form_settings;

constexpr std::string_view kHeader =
    "# FormGlimmer, the demo window, and LED1, the sign it hosts. Measures are in twips, 15 to a pixel.\n"
    "# [FormGlimmer.LED1.entries] is LED1's saved state. A bare integer is a 32-bit integer, { int16 = N } "
    "a\n"
    "# 16-bit integer, a float a double, true or false a Boolean, a string a text, { empty = true } no "
    "value.\n"
    "\n";

std::string Lower(std::string_view key) {
  std::string out(key);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

// A whole number of twips is written as an integer, anything else as a float.
void InsertTwips(toml::table& table, std::string_view key, double twips) {
  if (std::nearbyint(twips) == twips && std::abs(twips) < 1e15)
    table.insert_or_assign(key, static_cast<std::int64_t>(twips));
  else
    table.insert_or_assign(key, twips);
}

template <class Owner, class T>
void WriteSetting(toml::table& table, const Setting<Owner, T>& row, const Owner& owner) {
  const T& field = owner.*row.field;
  if (row.optional && field == Owner{}.*row.field) return;
  if constexpr (std::is_same_v<T, double>)
    InsertTwips(table, row.name, field);
  else if constexpr (std::is_enum_v<T>)
    table.insert_or_assign(row.name, ChoiceNames(T{})[static_cast<std::size_t>(field)]);
  else
    table.insert_or_assign(row.name, field);
}

template <class Owner, class... Rows>
toml::table SettingsTable(const std::tuple<Rows...>& rows, const Owner& owner) {
  toml::table table;
  std::apply([&](const auto&... row) { (WriteSetting(table, row, owner), ...); }, rows);
  return table;
}

// A value as toml++ writes it: strings in double quotes with escapes, the one form it writes back correctly
// for every text.
std::string ValueText(const toml::node& value) {
  std::ostringstream out;
  out << toml::toml_formatter(value, toml::format_flags::allow_unicode_strings);
  return out.str();
}

// An entry key: bare when TOML allows it bare, else quoted like a text. toml++ 3.3 writes keys holding a ',
// a TAB or a line break bare, and such keys then read back as another key or not at all.
std::string KeyText(std::string_view key) {
  const auto bare = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
  };
  if (!key.empty() && std::all_of(key.begin(), key.end(), bare)) return std::string(key);
  return ValueText(toml::value<std::string>(std::string(key)));
}

std::string EntryText(const PropertyValue& value) {
  switch (value.kind()) {
    case ValueKind::Empty:
      return "{ empty = true }";
    case ValueKind::Int16:
      return "{ int16 = " + std::to_string(*value.get_if<std::int16_t>()) + " }";
    case ValueKind::Int32:
      return std::to_string(*value.get_if<std::int32_t>());
    case ValueKind::Double:
      return ValueText(toml::value<double>(*value.get_if<double>()));
    case ValueKind::Boolean:
      return value.get_if<Boolean>()->value != 0 ? "true" : "false";
    case ValueKind::Text:
      return ValueText(toml::value<std::string>(ToUtf8(*value.get_if<std::u16string>())));
  }
  return {};
}

// The entries table, keys in lower case and in the order of their bytes; a later entry replaces an earlier
// one of the same key.
std::string EntriesText(const std::vector<MemoryPropertyBag::Entry>& entries) {
  std::map<std::string, const PropertyValue*> sorted;
  for (const auto& [key, value] : entries)
    sorted.insert_or_assign(Lower(key), &value);
  std::string text =
      "\n[" + std::string(kFormKey) + "." + std::string(kControlKey) + "." + std::string(kEntriesKey) + "]\n";
  for (const auto& [key, value] : sorted)
    text += KeyText(key) + " = " + EntryText(*value) + "\n";
  return text;
}

}  // namespace

std::string FormatFormDescription(const FormDescription& form) {
  toml::table table = SettingsTable(kFormSettings, form);
  table.insert_or_assign(kControlKey, SettingsTable(kControlSettings, form.led1));
  toml::table root;
  root.insert_or_assign(kFormKey, std::move(table));
  std::ostringstream out;
  // The fixed settings through toml++; the entries, whose keys come from the file, last and by hand.
  out << kHeader << toml::toml_formatter(root, toml::format_flags::allow_unicode_strings) << '\n'
      << EntriesText(form.led1.entries);
  return out.str();
}

}  // namespace glimmer
