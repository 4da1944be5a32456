// SPDX-License-Identifier: MIT
// A rectangle shape child: its geometry and outline state, and the drawing of its 1-pixel outline.
// Containers hold one per ShapeDesign and draw them above the control's pixels in creation order.
#pragma once

#include <functional>

#include <glimmer/host/container.h>
#include <glimmer/host/control.h>
#include <glimmer/host/gdi/gdi_host.h>
#include <glimmer/host/operation_faults.h>

namespace glimmer {

class RectangleShape final : public Shape {
 public:
  RectangleShape(const ShapeDesign& design, OperationFaults* faults);

  Status BorderStyle(std::int16_t style) override;
  Status Width(float pixels) override;
  Status Height(float pixels) override;

  [[nodiscard]] std::string_view name() const { return name_; }
  [[nodiscard]] std::int16_t index() const { return index_; }
  [[nodiscard]] std::int16_t border_style() const { return border_style_; }
  [[nodiscard]] float left() const { return left_; }
  [[nodiscard]] float top() const { return top_; }
  [[nodiscard]] float width() const { return width_; }
  [[nodiscard]] float height() const { return height_; }
  // The outline's pixel rectangle: position and size rounded to whole pixels.
  [[nodiscard]] Rect bounds() const;

  // Draws the outline onto `pixels`, clipped. A rectangle less than 1 pixel wide or high draws nothing.
  void DrawOnto(const gdi::PixelView& pixels) const;

  // Called after every change that alters what DrawOnto draws (a window repaints then).
  std::function<void()> changed;

 private:
  [[nodiscard]] Status Gate(Operation op);
  void Notify() const;

  std::string_view name_;
  std::int16_t index_ = 0;
  Pixel colour_ = 0;
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::int16_t border_style_ = 1;
  OperationFaults* faults_ = nullptr;
};

}  // namespace glimmer
