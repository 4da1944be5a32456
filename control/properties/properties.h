// SPDX-License-Identifier: MIT
// The control's properties and saved state: the six fields, the five-step property write, the defaults of a
// new instance, the restore and the save through the property bag, and ApplySettings, which hands Enabled,
// BorderStyle and Delay to the container.
#pragma once

#include <glimmer/control/properties/led_fields.h>
#include <glimmer/control/properties/property_def.h>
#include <glimmer/host/automation/property_bag.h>
#include <glimmer/host/container.h>

namespace glimmer {

class Properties {
 public:
  explicit Properties(Container& container) : container_(container) {}

  [[nodiscard]] const LedFields& fields() const { return fields_; }

  template <class T>
  [[nodiscard]] const T& Read(const PropertyDef<T>& def) const {
    return fields_.*def.field;
  }

  // Range test (a value outside it is ignored, and that is success), store, PropertyChanged, ApplySettings.
  // Steps 2 to 4 run also when the value is the one already held. The first failing step ends the write
  // and is its result; what was done before stays done.
  template <class T>
  [[nodiscard]] Status Write(const PropertyDef<T>& def, T newValue) {
    if (!def.accepts(newValue)) return {};
    Store(def, std::move(newValue));
    if (auto s = container_.PropertyChanged(def.name); !s) return s;
    return ApplySettings();
  }

  // A new instance: every property to its initial value, then ApplySettings (whose error is the result).
  [[nodiscard]] Status InitProperties();
  // Restores every key it can: a key whose read or conversion fails is skipped and its field keeps its value;
  // restored values are not range-tested. Then ApplySettings, whose error ends it quietly. Never fails.
  [[nodiscard]] Status ReadProperties(PropertyBag& bag);
  // Saves every key in order with its default; the first failing write ends the save and is its result.
  [[nodiscard]] Status WriteProperties(PropertyBag& bag) const;
  // Control Enabled, both rings' BorderStyle (as a 16-bit value: Overflow outside it), timer Interval; the
  // first failing step ends it and is its result.
  [[nodiscard]] Status ApplySettings();

 private:
  template <class T>
  void Store(const PropertyDef<T>& def, T value) {
    fields_.*def.field = std::move(value);
    if constexpr (std::is_same_v<T, std::u16string>) ++fields_.value_version;
  }

  Container& container_;
  LedFields fields_;
};

}  // namespace glimmer
