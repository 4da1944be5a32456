// SPDX-License-Identifier: MIT
// The property bag through which a control saves and restores its state.
#pragma once

#include <string_view>

#include <glimmer/host/automation/property_value.h>
#include <glimmer/host/base/error.h>

namespace glimmer {

class PropertyBag {
 public:
  virtual ~PropertyBag() = default;

  // The stored value of `key`, or `default_value` when the bag holds none. Keys match without regard to
  // letter case.
  [[nodiscard]] virtual Result<PropertyValue> ReadProperty(std::string_view key,
                                                           const PropertyValue& default_value) = 0;

  // Stores `value` under `key`. A bag may leave out a value numerically equal to `default_value`.
  [[nodiscard]] virtual Status WriteProperty(std::string_view key, const PropertyValue& value,
                                             const PropertyValue& default_value) = 0;
};

// ASCII letter case folding, the way bag keys and member names are compared.
[[nodiscard]] bool KeysEqual(std::string_view a, std::string_view b);

}  // namespace glimmer
