// SPDX-License-Identifier: MIT
// A control as a container hosts it: the callbacks the container delivers, one at a time on its
// user-interface thread, the late-bound interface, and the design-time description it is built from.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <variant>
#include <vector>

#include <glimmer/host/automation/dispatch.h>
#include <glimmer/host/automation/property_bag.h>
#include <glimmer/host/base/error.h>
#include <glimmer/host/gdi/colour.h>

namespace glimmer {

class Container;

class Control : public Dispatch {
 public:
  // Once, at creation, before any other callback.
  [[nodiscard]] virtual Status UserControl_Initialize() = 0;
  // A new instance without saved state.
  [[nodiscard]] virtual Status UserControl_InitProperties() = 0;
  // An instance re-created from saved state.
  [[nodiscard]] virtual Status UserControl_ReadProperties(PropertyBag& bag) = 0;
  // The host saves.
  [[nodiscard]] virtual Status UserControl_WriteProperties(PropertyBag& bag) = 0;
  // After every size change, also one the control makes itself.
  [[nodiscard]] virtual Status UserControl_Resize() = 0;
  // At destruction.
  [[nodiscard]] virtual Status UserControl_Terminate() = 0;
  // A child timer fired; the control routes it to its <timer>_Timer handler.
  [[nodiscard]] virtual Status OnTimer(std::string_view timer_name) = 0;
};

// Design-time settings of the child objects, made by the container in the order listed.
struct TimerDesign {
  std::string_view name;
  bool enabled = false;
  std::int32_t interval = 0;
};

// Positions and sizes in the control's scale, which is pixels.
struct ShapeDesign {
  std::string_view name;
  std::int16_t index = 0;  // element of a control array of shapes
  ColorRef border_color;
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
  std::int16_t border_style = 1;
};

struct ControlDesign {
  ColorRef back_color;
  float width_twips = 0;  // size before the first resize
  float height_twips = 0;
  std::vector<std::variant<TimerDesign, ShapeDesign>> children;
};

// What a container needs to create a control: its class name, its design and a factory.
struct ControlClass {
  std::string_view name;
  const ControlDesign* design;
  std::unique_ptr<Control> (*create)(Container& container);
};

}  // namespace glimmer
