// SPDX-License-Identifier: MIT
#include "control/interface/led_members.h"

#include <array>
#include <vector>

#include "control/properties/property_def.h"

namespace glimmer {

std::span<const MemberInfo> LedMembers() {
  static const std::vector<MemberInfo> members = [] {
    std::vector<MemberInfo> m;
    ForEachProperty([&](const auto& def) {
      m.push_back(
          MemberInfo{def.name, def.id, MemberKind::Property, def.type, def.description, def.category});
    });
    m.push_back(MemberInfo{"Clear", kClearId, MemberKind::Method, ValueKind::Empty,
                           "Clears the contents of the control.", ""});
    m.push_back(MemberInfo{"Show", kShowId, MemberKind::Method, ValueKind::Empty,
                           "Shows the contents of the control.", ""});
    return m;
  }();
  return members;
}

std::span<const EventInfo> LedEvents() {
  static constexpr std::array<EventInfo, 3> events = {{
      {"Click", kClickEvent, "Occurs when the user presses and then releases a mouse button over an object."},
      {"DblClick", kDblClickEvent,
       "Occurs when the user presses and releases a mouse button and then presses and releases it again over "
       "an object."},
      {"Terminate", kTerminateEvent, "Occurs when the animation in the control has terminated."},
  }};
  return events;
}

}  // namespace glimmer
