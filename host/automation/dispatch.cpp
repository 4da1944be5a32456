// SPDX-License-Identifier: MIT
#include "host/automation/dispatch.h"

#include "host/automation/property_bag.h"
#include "host/base/try.h"

namespace glimmer {

Result<DispId> Dispatch::GetIDOfName(std::string_view name) const {
  for (const MemberInfo& m : Members())
    if (KeysEqual(m.name, name)) return m.id;
  return Fail(Error::MemberNotFound);
}

const MemberInfo* Dispatch::FindMember(DispId id) const {
  for (const MemberInfo& m : Members())
    if (m.id == id) return &m;
  return nullptr;
}

Result<PropertyValue> Dispatch::Invoke(std::string_view name, InvokeKind kind,
                                       std::span<const PropertyValue> args) {
  const auto id = TRY(GetIDOfName(name));
  return Invoke(id, kind, args);
}

}  // namespace glimmer
