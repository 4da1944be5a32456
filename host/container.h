// SPDX-License-Identifier: MIT
// What a control asks of the container that hosts it: its drawing surface and size, the screen's twips per
// pixel, its child objects (timers and rectangle shapes, made from its design-time description), the
// PropertyChanged notice and the event channel.
//
// Every operation reports failure as an Error; a control decides per procedure whether that ends the
// procedure or is skipped. Everything runs on the container's one user-interface thread.
#pragma once

#include <cstdint>
#include <string_view>

#include <glimmer/host/automation/dispatch.h>
#include <glimmer/host/base/error.h>
#include <glimmer/host/gdi/colour.h>
#include <glimmer/host/gdi/gdi.h>

namespace glimmer {

// A child timer. While Enabled and with an Interval above 0 it fires every Interval milliseconds; an
// Interval of 0 fires nothing. Changing Enabled or Interval to a new value starts the wait afresh; setting
// the value it already has changes nothing. A negative Interval is refused (InvalidPropertyValue).
class Timer {
 public:
  virtual ~Timer() = default;
  [[nodiscard]] virtual Status Interval(std::int32_t milliseconds) = 0;
  [[nodiscard]] virtual Result<std::int32_t> Interval() const = 0;
  [[nodiscard]] virtual Status Enabled(bool on) = 0;
  [[nodiscard]] virtual Result<bool> Enabled() const = 0;
};

// A child rectangle shape: a 1-pixel outline in its colour, no fill, drawn above the control's pixels and
// never erased by Cls. BorderStyle 0 draws nothing, 1 and 6 a solid line, 2 to 5 dashed and dotted lines;
// any other value is refused (InvalidPropertyValue). Sizes are in pixels and may be fractional.
class Shape {
 public:
  virtual ~Shape() = default;
  [[nodiscard]] virtual Status BorderStyle(std::int16_t style) = 0;
  [[nodiscard]] virtual Status Width(float pixels) = 0;
  [[nodiscard]] virtual Status Height(float pixels) = 0;
};

class Screen {
 public:
  virtual ~Screen() = default;
  [[nodiscard]] virtual Result<float> TwipsPerPixelX() const = 0;
  [[nodiscard]] virtual Result<float> TwipsPerPixelY() const = 0;
};

class Container {
 public:
  virtual ~Container() = default;

  // The control's drawing surface, measured in pixels (the control has no frame of its own).
  [[nodiscard]] virtual Result<float> ScaleWidth() const = 0;
  [[nodiscard]] virtual Result<float> ScaleHeight() const = 0;
  [[nodiscard]] virtual Result<gdi::HDC> hDC() const = 0;
  [[nodiscard]] virtual Result<ColorRef> BackColor() const = 0;  // may name a system colour
  [[nodiscard]] virtual Status Cls() = 0;                        // clears the area to BackColor; shapes stay
  [[nodiscard]] virtual Status Enabled(bool on) = 0;             // whether the control takes user input
  // The control's own size in twips. A value that really changes the size raises UserControl_Resize again
  // before the assignment returns; an unchanged size raises nothing.
  [[nodiscard]] virtual Status Width(float twips) = 0;
  [[nodiscard]] virtual Status Height(float twips) = 0;

  [[nodiscard]] virtual const glimmer::Screen& Screen() const = 0;

  // Child objects made from the design-time description; NotFound-style errors for a name it does not hold.
  [[nodiscard]] virtual Result<Timer*> TimerChild(std::string_view name) = 0;
  [[nodiscard]] virtual Result<Shape*> ShapeChild(std::string_view name, std::int16_t index) = 0;

  // The host will save the named property.
  [[nodiscard]] virtual Status PropertyChanged(std::string_view name) = 0;
  // Raises a declared event; the host's handler runs before this returns.
  [[nodiscard]] virtual Status RaiseEvent(DispId event) = 0;
};

}  // namespace glimmer
