// SPDX-License-Identifier: MIT
#include "demo/form/form_file.h"

#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <system_error>

#include "demo/form/toml_precheck.h"
#include "demo/messages/message_text.h"
#include "host/automation/property_bag.h"
#include "host/gdi/gdi.h"

namespace glimmer {
namespace {

constexpr std::string_view kFormKey = "FormGlimmer";
constexpr std::string_view kControlKey = "LED1";
constexpr std::string_view kEntriesKey = "entries";
// Deeper nesting is refused before toml++ sees it (demo/toml_precheck.h).
constexpr int kMaxNesting = 32;

constexpr std::string_view kHeader =
    "# FormGlimmer, the demo window, and LED1, the sign it hosts. Measures are in twips, 15 to a pixel.\n"
    "# [FormGlimmer.LED1.entries] is LED1's saved state. A bare integer is a 32-bit integer, { int16 = N } "
    "a\n"
    "# 16-bit integer, a float a double, true or false a Boolean, a string a text, { empty = true } no "
    "value.\n"
    "\n";

// Largest sides, in pixels: what the drawing layer can hold, and the widest sign whose size rule stays
// within it (16382 = 3n + 2 is its own snapped width).
constexpr double kMaxSide = gdi::kMaxBitmapSide;
constexpr double kMaxSignWidth = gdi::kMaxBitmapSide - 2;
// The largest client area: the window grows around a sign wider or taller than stored so as to keep its left
// or top margin on the other side too (ClientAreaFor), so the widest sign at the farthest place makes a
// margin, the sign and the margin again. What --save writes then always opens again.
constexpr double kMaxClientSide = 2 * kMaxSide + kMaxSignWidth;

using Failure = Unexpected<DescriptionError>;
template <class T>
using Parsed = Expected<T, DescriptionError>;

std::string Lower(std::string_view key) {
  std::string out(key);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

std::string_view TypeName(toml::node_type type) {
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

// Exact: a whole number in full (2147483647, not 2.14748e+09), anything else in the shortest form that
// reads back as the same double.
std::string Number(double v) {
  if (std::nearbyint(v) == v && std::abs(v) < 1e15) return std::to_string(static_cast<std::int64_t>(v));
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

// Reads one table of the description, naming it and the file in its errors.
class TableReader {
 public:
  TableReader(std::string_view source, const toml::table& table, std::string name)
      : source_(source), table_(table), name_(std::move(name)) {}

  [[nodiscard]] DescriptionError ErrorAt(const toml::source_region& where, std::string what) const {
    return DescriptionError{std::string(source_), static_cast<std::int64_t>(where.begin.line),
                            static_cast<std::int64_t>(where.begin.column), std::move(what)};
  }

  // Every key must be one of `known`.
  template <std::size_t N>
  [[nodiscard]] Expected<void, DescriptionError> OnlyKnown(
      const std::array<std::string_view, N>& known) const {
    for (const auto& [key, node] : table_)
      if (std::find(known.begin(), known.end(), key.str()) == known.end())
        return Failure(
            ErrorAt(key.source(), "unknown setting '" + std::string(key.str()) + "' in [" + name_ + "]"));
    return {};
  }

  [[nodiscard]] Parsed<const toml::node*> Required(std::string_view key, toml::node_type type,
                                                   std::string_view expected) const {
    const toml::node* node = table_.get(key);
    if (node == nullptr)
      return Failure(ErrorAt(table_.source(), "[" + name_ + "] has no '" + std::string(key) + "' setting"));
    if (node->type() != type)
      return Failure(ErrorAt(node->source(), Where(key) + " must be " + std::string(expected) + ", not " +
                                                 std::string(TypeName(node->type()))));
    return node;
  }

  [[nodiscard]] Parsed<std::string> Text(std::string_view key) const {
    const auto node = Required(key, toml::node_type::string, "a string");
    if (!node) return Failure(node.error());
    return (*node)->as_string()->get();
  }

  [[nodiscard]] Parsed<bool> Flag(std::string_view key) const {
    const auto node = Required(key, toml::node_type::boolean, "true or false");
    if (!node) return Failure(node.error());
    return (*node)->as_boolean()->get();
  }

  // One of `names`, as its index.
  template <std::size_t N>
  [[nodiscard]] Parsed<std::size_t> Choice(std::string_view key,
                                           const std::array<std::string_view, N>& names) const {
    const auto text = Text(key);
    if (!text) return Failure(text.error());
    const auto it = std::find(names.begin(), names.end(), *text);
    if (it != names.end()) return static_cast<std::size_t>(it - names.begin());
    std::string list;
    for (const auto name : names)
      list += (list.empty() ? "\"" : " or \"") + std::string(name) + "\"";
    return Failure(
        ErrorAt(table_.get(key)->source(), Where(key) + " must be " + list + ", not \"" + *text + "\""));
  }

  // A measure in twips whose pixels lie within [min_pixels, max_pixels].
  [[nodiscard]] Parsed<double> Twips(std::string_view key, double min_pixels, double max_pixels) const {
    const toml::node* node = table_.get(key);
    if (node != nullptr && node->type() == toml::node_type::integer) {
      return InRange(key, static_cast<double>(node->as_integer()->get()), min_pixels, max_pixels);
    }
    const auto f = Required(key, toml::node_type::floating_point, "a number of twips");
    if (!f) return Failure(f.error());
    return InRange(key, (*f)->as_floating_point()->get(), min_pixels, max_pixels);
  }

  [[nodiscard]] std::string Where(std::string_view key) const { return name_ + "." + std::string(key); }

 private:
  [[nodiscard]] Parsed<double> InRange(std::string_view key, double twips, double min_pixels,
                                       double max_pixels) const {
    const double pixels = twips / kTwipsPerPixel;
    if (std::isfinite(twips) && pixels >= min_pixels && pixels <= max_pixels) return twips;
    return Failure(
        ErrorAt(table_.get(key)->source(),
                Where(key) + " is " + Number(twips) + " twips, an impossible size: it must be from " +
                    Number(min_pixels * kTwipsPerPixel) + " to " + Number(max_pixels * kTwipsPerPixel) +
                    " twips (" + Number(min_pixels) + " to " + Number(max_pixels) + " pixels)"));
  }

  std::string_view source_;
  const toml::table& table_;
  std::string name_;
};

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
        return Failure(reader.ErrorAt(
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
          return Failure(reader.ErrorAt(inner.source(),
                                        where + ": " + std::to_string(v) + " does not fit a 16-bit integer"));
        }
        if (tag.str() == "empty" && inner.is_boolean() && inner.as_boolean()->get()) return PropertyValue();
      }
      break;
    }
    default:
      break;
  }
  return Failure(
      reader.ErrorAt(node.source(), where +
                                        " must be an integer, { int16 = N }, a float, true or false, "
                                        "a string or { empty = true }, not " +
                                        std::string(TypeName(node.type()))));
}

// The host's record of the size must agree with the size.
Expected<void, DescriptionError> CheckExtent(const TableReader& reader, const toml::table& entries,
                                             const MemoryPropertyBag::Entry& entry, double twips,
                                             std::string_view size_key) {
  const toml::node& node = *entries.get(entry.first);
  const std::int32_t* value = entry.second.get_if<std::int32_t>();
  if (value == nullptr)
    return Failure(reader.ErrorAt(node.source(), reader.Where(entry.first) + " must be a 32-bit integer"));
  const std::int32_t expected = TwipsToHimetric(twips);
  if (std::abs(static_cast<std::int64_t>(*value) - expected) > 1)
    return Failure(reader.ErrorAt(
        node.source(), reader.Where(entry.first) + " = " + std::to_string(*value) + " does not match " +
                           std::string(size_key) + " = " + Number(twips) + " twips (that is " +
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
    return Failure(
        TableReader(source, control, name)
            .ErrorAt(node->source(), name + " must be a table, not " + std::string(TypeName(node->type()))));
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
        return Failure(reader.ErrorAt(key->source(), "'" + std::string(k) + "' repeats '" + e.first +
                                                         "': entry keys do not depend on letter case"));
    auto v = EntryValue(reader, k, *value);
    if (!v) return Failure(v.error());
    entries.emplace_back(std::string(k), std::move(*v));
    if (KeysEqual(k, "_extentx")) {
      if (auto s = CheckExtent(reader, table, entries.back(), led1.width, "width"); !s)
        return Failure(s.error());
    } else if (KeysEqual(k, "_extenty")) {
      if (auto s = CheckExtent(reader, table, entries.back(), led1.height, "height"); !s)
        return Failure(s.error());
    }
  }
  return entries;
}

Parsed<ControlDescription> ReadControl(std::string_view source, const toml::table& form_table) {
  const std::string name = std::string(kFormKey) + "." + std::string(kControlKey);
  const TableReader form(source, form_table, std::string(kFormKey));
  const auto node = form.Required(kControlKey, toml::node_type::table, "a table");
  if (!node) return Failure(node.error());
  const toml::table& table = *(*node)->as_table();
  const TableReader reader(source, table, name);
  if (auto s = reader.OnlyKnown(
          std::array<std::string_view, 6>{"class", "left", "top", "width", "height", kEntriesKey});
      !s)
    return Failure(s.error());
  ControlDescription led1;
  const auto class_name = reader.Text("class");
  if (!class_name) return Failure(class_name.error());
  if (*class_name != kLedClassName)
    return Failure(reader.ErrorAt(table.get("class")->source(), name + " is of class \"" + *class_name +
                                                                    "\"; this program hosts only \"" +
                                                                    std::string(kLedClassName) + "\""));
  led1.class_name = *class_name;
  const std::array<std::pair<std::string_view, double*>, 4> measures{
      {{"left", &led1.left}, {"top", &led1.top}, {"width", &led1.width}, {"height", &led1.height}}};
  for (const auto& [key, field] : measures) {
    const auto twips = reader.Twips(key, 0, key == "width" ? kMaxSignWidth : kMaxSide);
    if (!twips) return Failure(twips.error());
    *field = *twips;
  }
  auto entries = ReadEntries(source, table, led1);
  if (!entries) return Failure(entries.error());
  led1.entries = std::move(*entries);
  return led1;
}

Parsed<FormDescription> ReadForm(std::string_view source, const toml::table& root) {
  const TableReader top(source, root, "the file");
  for (const auto& [key, node] : root)
    if (key.str() != kFormKey)
      return Failure(top.ErrorAt(key.source(), "unknown table '" + std::string(key.str()) +
                                                   "': the description holds [FormGlimmer] only"));
  const toml::node* form_node = root.get(kFormKey);
  if (form_node == nullptr)
    return Failure(DescriptionError{std::string(source), 0, 0, "there is no [FormGlimmer] table"});
  if (!form_node->is_table())
    return Failure(top.ErrorAt(
        form_node->source(), "FormGlimmer must be a table, not " + std::string(TypeName(form_node->type()))));
  const toml::table& table = *form_node->as_table();
  const TableReader reader(source, table, std::string(kFormKey));
  if (auto s = reader.OnlyKnown(
          std::array<std::string_view, 8>{"caption", "border_style", "min_button", "max_button",
                                          "start_up_position", "client_width", "client_height", kControlKey});
      !s)
    return Failure(s.error());

  FormDescription form;
  const auto caption = reader.Text("caption");
  if (!caption) return Failure(caption.error());
  form.caption = *caption;
  const auto border =
      reader.Choice("border_style", std::array<std::string_view, 2>{"fixed-single", "sizable"});
  if (!border) return Failure(border.error());
  form.border = *border == 0 ? FormBorder::FixedSingle : FormBorder::Sizable;
  const auto min_button = reader.Flag("min_button");
  if (!min_button) return Failure(min_button.error());
  form.min_button = *min_button;
  const auto max_button = reader.Flag("max_button");
  if (!max_button) return Failure(max_button.error());
  form.max_button = *max_button;
  const auto position =
      reader.Choice("start_up_position", std::array<std::string_view, 2>{"center-screen", "windows-default"});
  if (!position) return Failure(position.error());
  form.start_up_position = *position == 0 ? StartUpPosition::CenterScreen : StartUpPosition::WindowsDefault;
  // A client area needs at least one pixel each way.
  const auto width = reader.Twips("client_width", 1, kMaxClientSide);
  if (!width) return Failure(width.error());
  form.client_width = *width;
  const auto height = reader.Twips("client_height", 1, kMaxClientSide);
  if (!height) return Failure(height.error());
  form.client_height = *height;

  auto led1 = ReadControl(source, table);
  if (!led1) return Failure(led1.error());
  form.led1 = std::move(*led1);
  return form;
}

// A whole number of twips is written as an integer, anything else as a float.
void InsertTwips(toml::table& table, std::string_view key, double twips) {
  if (std::nearbyint(twips) == twips && std::abs(twips) < 1e15)
    table.insert_or_assign(key, static_cast<std::int64_t>(twips));
  else
    table.insert_or_assign(key, twips);
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

std::string DescriptionError::Message() const {
  // The file name and the keys and texts from the file in `what` are shown with their control characters
  // escaped, so that the message stays one line and sends the terminal nothing but text.
  const std::string shown = EscapeControls(what);
  if (line <= 0) return EscapeControls(source) + ": " + shown;
  return EscapeControls(source) + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + shown;
}

Expected<FormDescription, DescriptionError> ParseFormDescription(std::string_view text,
                                                                 std::string_view source) {
  if (auto hazard = PrecheckToml(text, kMaxNesting))
    return Failure(
        DescriptionError{std::string(source), hazard->line, hazard->column, std::move(hazard->what)});
  // toml++ reports syntax errors by exception; they stop here.
  try {
    const toml::table root = toml::parse(text, source);
    return ReadForm(source, root);
  } catch (const toml::parse_error& e) {
    return Failure(DescriptionError{std::string(source), static_cast<std::int64_t>(e.source().begin.line),
                                    static_cast<std::int64_t>(e.source().begin.column),
                                    std::string(e.description())});
  }
}

Expected<FormDescription, DescriptionError> ReadFormFile(const std::filesystem::path& path) {
  const auto text = ReadFormFileText(path);
  if (!text) return Failure(text.error());
  return ParseFormDescription(*text, path.string());
}

Expected<std::string, DescriptionError> ReadFormFileText(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return Failure(DescriptionError{path.string(), 0, 0, "cannot read it: it is a folder"});
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ec.assign(errno, std::generic_category());
    return Failure(DescriptionError{path.string(), 0, 0, "cannot read it: " + ec.message()});
  }
  std::string text(kMaxFormFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return Failure(DescriptionError{path.string(), 0, 0, "cannot read it"});
  if (static_cast<std::size_t>(in.gcount()) > kMaxFormFileBytes)
    return Failure(DescriptionError{path.string(), 0, 0,
                                    "cannot read it: it is longer than " + std::to_string(kMaxFormFileBytes) +
                                        " bytes, and a form description is about a kilobyte"});
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

std::string FormatFormDescription(const FormDescription& form) {
  toml::table led1;
  led1.insert_or_assign("class", form.led1.class_name);
  InsertTwips(led1, "left", form.led1.left);
  InsertTwips(led1, "top", form.led1.top);
  InsertTwips(led1, "width", form.led1.width);
  InsertTwips(led1, "height", form.led1.height);

  toml::table table;
  table.insert_or_assign("caption", form.caption);
  table.insert_or_assign("border_style", form.border == FormBorder::FixedSingle ? "fixed-single" : "sizable");
  table.insert_or_assign("min_button", form.min_button);
  table.insert_or_assign("max_button", form.max_button);
  table.insert_or_assign("start_up_position", form.start_up_position == StartUpPosition::CenterScreen
                                                  ? "center-screen"
                                                  : "windows-default");
  InsertTwips(table, "client_width", form.client_width);
  InsertTwips(table, "client_height", form.client_height);
  table.insert_or_assign(kControlKey, std::move(led1));

  toml::table root;
  root.insert_or_assign(kFormKey, std::move(table));
  std::ostringstream out;
  // The fixed settings through toml++; the entries, whose keys come from the file, last and by hand.
  out << kHeader << toml::toml_formatter(root, toml::format_flags::allow_unicode_strings) << '\n'
      << EntriesText(form.led1.entries);
  return out.str();
}

}  // namespace glimmer
