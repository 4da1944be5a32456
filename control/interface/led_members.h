// SPDX-License-Identifier: MIT
// The control's public interface as a late-bound caller and a designer's member list see it: properties
// (derived from the property list), the methods Clear and Show, and the events Click, DblClick, Terminate.
#pragma once

#include <span>

#include <glimmer/host/automation/dispatch.h>

namespace glimmer {

inline constexpr DispId kClearId = 0x6003000F;
inline constexpr DispId kShowId = 0x60030010;
inline constexpr DispId kClickEvent = 1;
inline constexpr DispId kDblClickEvent = 2;
inline constexpr DispId kTerminateEvent = 3;

// In slot order: BorderStyle, Color, Delay, Enabled, Repeated, Value, Clear, Show.
[[nodiscard]] std::span<const MemberInfo> LedMembers();
[[nodiscard]] std::span<const EventInfo> LedEvents();

}  // namespace glimmer
