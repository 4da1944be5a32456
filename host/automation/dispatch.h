// SPDX-License-Identifier: MIT
// Late-bound calls: a host reaches a control's public members by member identifier (or by name), without
// compiling against the control's class.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include <glimmer/host/automation/property_value.h>
#include <glimmer/host/base/error.h>

namespace glimmer {

using DispId = std::int32_t;
inline constexpr DispId kDispIdValue = 0;  // the default member

enum class MemberKind { Property, Method };
enum class InvokeKind { PropertyGet, PropertyPut, Method };

// One public member as a designer's member list shows it. `type` is the property's type (Empty for methods);
// `category` is "<property page>;<category>", empty for methods.
struct MemberInfo {
  std::string_view name;
  DispId id;
  MemberKind kind;
  ValueKind type;
  std::string_view description;
  std::string_view category;
};

struct EventInfo {
  std::string_view name;
  DispId id;
  std::string_view description;
};

class Dispatch {
 public:
  virtual ~Dispatch() = default;

  [[nodiscard]] virtual std::span<const MemberInfo> Members() const = 0;
  [[nodiscard]] virtual std::span<const EventInfo> Events() const = 0;

  // Reads a property (no arguments), writes one (one argument, converted to the property's type) or calls a
  // method (no arguments). An unknown identifier is MemberNotFound; a wrong kind of call or a wrong number of
  // arguments is WrongArguments; an argument that does not convert is TypeMismatch or Overflow.
  [[nodiscard]] virtual Result<PropertyValue> Invoke(DispId id, InvokeKind kind,
                                                     std::span<const PropertyValue> args) = 0;

  // The identifier of a member named without regard to letter case; MemberNotFound for an unknown name.
  [[nodiscard]] Result<DispId> GetIDOfName(std::string_view name) const;
  [[nodiscard]] const MemberInfo* FindMember(DispId id) const;
  [[nodiscard]] Result<PropertyValue> Invoke(std::string_view name, InvokeKind kind,
                                             std::span<const PropertyValue> args);
};

}  // namespace glimmer
