// SPDX-License-Identifier: MIT
#include "host/automation/property_value.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "host/base/checked_math.h"
#include "host/base/try.h"

namespace glimmer {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// A whole decimal number with optional sign and blanks around it; Overflow beyond 64 bits.
Result<std::int64_t> ParseWhole(std::u16string_view t) {
  while (!t.empty() && IsBlank(t.front()))
    t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back()))
    t.remove_suffix(1);
  bool negative = false;
  if (!t.empty() && (t.front() == u'+' || t.front() == u'-')) {
    negative = t.front() == u'-';
    t.remove_prefix(1);
  }
  if (t.empty()) return Fail(Error::TypeMismatch);
  std::uint64_t magnitude = 0;
  bool overflow = false;
  for (const char16_t c : t) {
    if (c < u'0' || c > u'9') return Fail(Error::TypeMismatch);
    if (magnitude > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) overflow = true;
    if (!overflow) magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  if (overflow || magnitude > std::uint64_t{1} << 63) return Fail(Error::Overflow);
  if (!negative && magnitude == std::uint64_t{1} << 63) return Fail(Error::Overflow);
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

template <class T>
Result<T> ToInteger(const PropertyValue& v) {
  switch (v.kind()) {
    case ValueKind::Empty:
      return T{0};
    case ValueKind::Int16:
      return detail::narrow<T>(*v.get_if<std::int16_t>());
    case ValueKind::Int32:
      return detail::narrow<T>(*v.get_if<std::int32_t>());
    case ValueKind::Double:
      return RoundTo<T>(*v.get_if<double>());
    case ValueKind::Boolean:
      return static_cast<T>(v.get_if<Boolean>()->value);
    case ValueKind::Text: {
      const auto whole = TRY(ParseWhole(*v.get_if<std::u16string>()));
      return detail::narrow<T>(whole);
    }
  }
  return Fail(Error::TypeMismatch);
}

}  // namespace

bool PropertyValue::is_number() const {
  return kind() == ValueKind::Int16 || kind() == ValueKind::Int32 || kind() == ValueKind::Double;
}

Result<std::int16_t> PropertyValue::ToInt16() const {
  return ToInteger<std::int16_t>(*this);
}
Result<std::int32_t> PropertyValue::ToInt32() const {
  return ToInteger<std::int32_t>(*this);
}

Result<double> PropertyValue::ToDouble() const {
  if (const double* d = get_if<double>()) return *d;
  if (kind() == ValueKind::Text) {
    const auto whole = TRY(ParseWhole(*get_if<std::u16string>()));
    return static_cast<double>(whole);
  }
  const auto i = TRY(ToInteger<std::int32_t>(*this));
  return static_cast<double>(i);
}

Result<Boolean> PropertyValue::ToBoolean() const {
  switch (kind()) {
    case ValueKind::Empty:
      return False;
    case ValueKind::Boolean:
      return *get_if<Boolean>();
    case ValueKind::Text: {
      const std::u16string& t = *get_if<std::u16string>();
      if (EqualsIgnoringCase(t, u"True")) return True;
      if (EqualsIgnoringCase(t, u"False")) return False;
      const auto whole = ParseWhole(t);
      if (!whole) return Fail(whole.error() == Error::Overflow ? Error::TypeMismatch : whole.error());
      return Boolean(*whole != 0);
    }
    default: {
      const auto d = TRY(ToDouble());
      if (std::isnan(d)) return Fail(Error::TypeMismatch);
      return Boolean(d != 0.0);
    }
  }
}

std::u16string PropertyValue::ToText() const {
  switch (kind()) {
    case ValueKind::Empty:
      return {};
    case ValueKind::Text:
      return *get_if<std::u16string>();
    case ValueKind::Boolean:
      return get_if<Boolean>()->value != 0 ? u"True" : u"False";
    default:
      break;
  }
  char buffer[64];
  std::to_chars_result r{};
  if (const double* d = get_if<double>())
    r = std::to_chars(buffer, buffer + sizeof buffer, *d);
  else
    r = std::to_chars(buffer, buffer + sizeof buffer, *ToInt32());
  return FromUtf8(std::string_view(buffer, static_cast<std::size_t>(r.ptr - buffer)));
}

bool PropertyValue::NumericallyEquals(const PropertyValue& other) const {
  auto numeric = [](const PropertyValue& v) { return v.is_number() || v.kind() == ValueKind::Boolean; };
  if (numeric(*this) && numeric(other)) return *ToDouble() == *other.ToDouble();
  return *this == other;
}

std::string_view KindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::Empty:
      return "empty";
    case ValueKind::Int16:
      return "16-bit integer";
    case ValueKind::Int32:
      return "32-bit integer";
    case ValueKind::Double:
      return "double";
    case ValueKind::Boolean:
      return "Boolean";
    case ValueKind::Text:
      return "text";
  }
  return "unknown";
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::optional<Utf8Char> Utf8At(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return Utf8Char{lead, 1};
  const std::size_t length = lead >= 0xF8 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || text.size() < length) return std::nullopt;
  char32_t value = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = value << 6 | (next & 0x3F);
  }
  constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kLeast[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  return Utf8Char{value, length};
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = Utf8At(text.substr(i));
    if (!c) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (c->value >= 0x10000) {
      const char32_t v = c->value - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
      out += static_cast<char16_t>(c->value);
    }
    i += c->length;
  }
  return out;
}

}  // namespace glimmer
