// SPDX-License-Identifier: MIT
// Every property of the control declared once: its name (also its bag key and the name given to
// PropertyChanged), member identifier, field, initial value, the range a write accepts, the type it is saved
// and reported as, and its description and category. The public accessors, the member table, late-bound
// calls, and the saving and restoring of state are all derived from this list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include <glimmer/control/properties/led_fields.h>
#include <glimmer/host/automation/dispatch.h>
#include <glimmer/host/automation/property_value.h>

namespace glimmer {

template <class T>
struct PropertyDef {
  std::string_view name;
  DispId id;
  T LedFields::*field;
  T initial;                  // the value of a new instance, and the default of its bag entry
  bool (*accepts)(const T&);  // the range test of a property write
  ValueKind type;             // how it is saved and reported
  std::string_view description;
  std::string_view category;
};

namespace property_values {

// Field <-> bag value: a value goes to the bag with its field's own width; the numeric defaults go as 16-bit
// integers (a bag compares numbers whatever their widths).
template <class T>
[[nodiscard]] PropertyValue Saved(const T& v) {
  return PropertyValue(v);
}
template <class T>
[[nodiscard]] PropertyValue BagDefault(const T& v) {
  if constexpr (std::is_same_v<T, std::int32_t>)
    return PropertyValue(static_cast<std::int16_t>(v));
  else
    return PropertyValue(v);
}

template <class T>
[[nodiscard]] Result<T> To(const PropertyValue& v) {
  if constexpr (std::is_same_v<T, std::int32_t>)
    return v.ToInt32();
  else if constexpr (std::is_same_v<T, std::int16_t>)
    return v.ToInt16();
  else if constexpr (std::is_same_v<T, Boolean>)
    return v.ToBoolean();
  else
    return v.ToText();
}

}  // namespace property_values

namespace property_ranges {
template <std::int32_t Lo, std::int32_t Hi>
bool Within(const std::int32_t& v) {
  return v >= Lo && v <= Hi;
}
inline bool NotNegative(const std::int16_t& v) {
  return v >= 0;
}
template <class T>
bool Any(const T&) {
  return true;
}
}  // namespace property_ranges

// The properties in the order of their interface slots and of the saved state.
inline const auto& PropertyList() {
  using namespace property_ranges;
  static const auto list = std::make_tuple(
      PropertyDef<std::int32_t>{"BorderStyle", 0x68030004, &LedFields::BorderStyle, 1, Within<0, 1>,
                                ValueKind::Int32, "Returns/sets the border style for an object.",
                                ";Appearance"},
      PropertyDef<std::int32_t>{"Color", 0x68030003, &LedFields::Color, 0, Within<0, 2>, ValueKind::Int32,
                                "Returns/sets the color of the contents.", ";Appearance"},
      PropertyDef<std::int16_t>{"Delay", 0x68030002, &LedFields::Delay, 50, NotNegative, ValueKind::Int16,
                                "Returns/sets the display delay of the contents.", ";Misc"},
      PropertyDef<Boolean>{"Enabled", 0x68030001, &LedFields::Enabled, True, Any<Boolean>, ValueKind::Boolean,
                           "Returns/sets a value that determines whether an object can respond to "
                           "user-generated events.",
                           ";Behavior"},
      PropertyDef<Boolean>{
          "Repeated", 0x68030000, &LedFields::Repeated, False, Any<Boolean>, ValueKind::Boolean,
          "Returns/sets a value that determines whether display of the contents is repeated.", ";Misc"},
      PropertyDef<std::u16string>{"Value", kDispIdValue, &LedFields::Value, std::u16string(),
                                  Any<std::u16string>, ValueKind::Text,
                                  "Returns/sets the value of an object.", ";Misc"});
  return list;
}

inline const auto& BorderStyleProperty() {
  return std::get<0>(PropertyList());
}
inline const auto& ColorProperty() {
  return std::get<1>(PropertyList());
}
inline const auto& DelayProperty() {
  return std::get<2>(PropertyList());
}
inline const auto& EnabledProperty() {
  return std::get<3>(PropertyList());
}
inline const auto& RepeatedProperty() {
  return std::get<4>(PropertyList());
}
inline const auto& ValueProperty() {
  return std::get<5>(PropertyList());
}

// Calls f(def) for every property, in order.
template <class F>
void ForEachProperty(F&& f) {
  std::apply([&](const auto&... def) { (f(def), ...); }, PropertyList());
}

}  // namespace glimmer
