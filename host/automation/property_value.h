// SPDX-License-Identifier: MIT
// A value as the property bag and late-bound calls carry it: empty, a 16-bit or 32-bit integer, a double,
// a Boolean, or a text of 16-bit characters.
//
// Conversions follow one rule set, used by the restore of saved state and by late-bound property writes:
// - a value converts exactly to its own kind;
// - a number converts to an integer only within the integer's range (a double is first rounded to the
//   nearest, ties to even); outside it the conversion is an Overflow error;
// - a Boolean is -1 or 0 as a number; a number is True for every value but 0;
// - a text converts to a number only when it is a whole decimal number (optional sign, optional blanks around
//   it); to a Boolean when it is "True" or "False" in any letter case, or such a number; otherwise it is a
//   TypeMismatch error;
// - every kind converts to text: numbers in decimal, Booleans as "True" or "False";
// - an empty value is 0, False or the empty text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <glimmer/host/base/boolean.h>
#include <glimmer/host/base/error.h>

namespace glimmer {

enum class ValueKind { Empty, Int16, Int32, Double, Boolean, Text };

class PropertyValue {
 public:
  PropertyValue() = default;
  PropertyValue(std::int16_t v) : v_(v) {}
  PropertyValue(std::int32_t v) : v_(v) {}
  PropertyValue(double v) : v_(v) {}
  PropertyValue(Boolean v) : v_(v) {}
  PropertyValue(std::u16string v) : v_(std::move(v)) {}
  PropertyValue(std::u16string_view v) : v_(std::u16string(v)) {}
  PropertyValue(const char16_t* v) : v_(std::u16string(v)) {}

  [[nodiscard]] ValueKind kind() const { return static_cast<ValueKind>(v_.index()); }
  [[nodiscard]] bool is_number() const;  // Int16, Int32 or Double

  [[nodiscard]] Result<std::int16_t> ToInt16() const;
  [[nodiscard]] Result<std::int32_t> ToInt32() const;
  [[nodiscard]] Result<double> ToDouble() const;
  [[nodiscard]] Result<Boolean> ToBoolean() const;
  [[nodiscard]] std::u16string ToText() const;

  template <class T>
  [[nodiscard]] const T* get_if() const {
    return std::get_if<T>(&v_);
  }

  // Same kind and same value.
  friend bool operator==(const PropertyValue&, const PropertyValue&) = default;
  // Equal as numbers (whatever the widths; a Boolean counts as -1 or 0), or equal texts, or both empty.
  [[nodiscard]] bool NumericallyEquals(const PropertyValue& other) const;

 private:
  std::variant<std::monostate, std::int16_t, std::int32_t, double, Boolean, std::u16string> v_;
};

[[nodiscard]] std::string_view KindName(ValueKind kind);

// UTF-16 <-> UTF-8 for messages, files and command lines. Invalid sequences become U+FFFD.
[[nodiscard]] std::string ToUtf8(std::u16string_view text);
[[nodiscard]] std::u16string FromUtf8(std::string_view text);
// Appends one code point (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The character that starts `text` and its length in bytes, when `text` starts with well-formed UTF-8 (no
// overlong form, no surrogate, nothing beyond U+10FFFF).
struct Utf8Char {
  char32_t value;
  std::size_t length;
};
[[nodiscard]] std::optional<Utf8Char> Utf8At(std::string_view text);

}  // namespace glimmer
