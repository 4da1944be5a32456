// SPDX-License-Identifier: MIT
#include "host/container_base.h"

#include <algorithm>
#include <cmath>

#include "host/automation/property_bag.h"
#include "host/base/twips.h"

namespace glimmer {
namespace {

std::int32_t SurfaceSide(double pixels) {
  if (!std::isfinite(pixels) || pixels < 1) return 1;
  return static_cast<std::int32_t>(std::min(std::nearbyint(pixels), double{gdi::kMaxBitmapSide}));
}

// The pixel a container colour paints: its translation, or, when it has none, what the control's brush
// made from -1 paints (white), so that the area cleared by Cls matches the background of a tick.
Pixel PaintedPixel(ColorRef colour) {
  ColorRef rgb;
  if (gdi::OleTranslateColor(colour, 0, &rgb) != gdi::S_OK) rgb = ColorRef{-1};
  return PixelOf(rgb);
}

}  // namespace

ContainerBase::ContainerBase(const ControlClass& control_class, Options options)
    : options_(options),
      back_color_(control_class.design->back_color),
      width_(TwipsToPixels(control_class.design->width_twips, options.twips_per_pixel_x)),
      height_(TwipsToPixels(control_class.design->height_twips, options.twips_per_pixel_y)),
      screen_(SurfaceSide(width_), SurfaceSide(height_), PaintedPixel(control_class.design->back_color)) {
  for (const auto& child : control_class.design->children) {
    if (const auto* s = std::get_if<ShapeDesign>(&child)) {
      shapes_.push_back(std::make_unique<RectangleShape>(*s, &faults_));
      shapes_.back()->changed = [this] { ShapesChanged(); };
    }
  }
}

ContainerBase::~ContainerBase() {
  control_.reset();
}

void ContainerBase::CreateControl(const ControlClass& control_class) {
  control_ = control_class.create(*this);
  (void)Deliver("UserControl_Initialize", [&] { return control_->UserControl_Initialize(); });
}

void ContainerBase::DestroyControl() {
  StopTimers();
  if (control_) (void)control_->UserControl_Terminate();
  control_.reset();
}

Status ContainerBase::InitNew() {
  return Deliver("UserControl_InitProperties", [&] { return control_->UserControl_InitProperties(); });
}
Status ContainerBase::Load(PropertyBag& bag) {
  return Deliver("UserControl_ReadProperties", [&] { return control_->UserControl_ReadProperties(bag); });
}
Status ContainerBase::Save(PropertyBag& bag) {
  return Deliver("UserControl_WriteProperties", [&] { return control_->UserControl_WriteProperties(bag); });
}
Status ContainerBase::Site() {
  return DeliverResize();
}

Status ContainerBase::Resize(double width_pixels, double height_pixels) {
  if (width_pixels == width_ && height_pixels == height_) return {};
  SetPixelSize(width_pixels, height_pixels);
  return DeliverResize();
}

Status ContainerBase::DeliverResize() {
  ++resize_calls_;
  ++resize_depth_;
  max_resize_depth_ = std::max(max_resize_depth_, resize_depth_);
  const Status s = Deliver("UserControl_Resize", [&] { return control_->UserControl_Resize(); });
  --resize_depth_;
  return s;
}

void ContainerBase::SetPixelSize(double width, double height) {
  width_ = width;
  height_ = height;
  screen_.Resize(SurfaceSide(width), SurfaceSide(height), BackPixel());
  SizeChanged();
}

Pixel ContainerBase::BackPixel() const {
  return PaintedPixel(back_color_);
}

Image ContainerBase::Frame() const {
  Image image = screen_.snapshot();
  const gdi::PixelView view{image.pixels.data(), image.width, image.height};
  for (const auto& s : shapes_)
    s->DrawOnto(view);
  return image;
}

RectangleShape* ContainerBase::shape(std::string_view name, std::int16_t index) {
  for (auto& s : shapes_)
    if (KeysEqual(s->name(), name) && s->index() == index) return s.get();
  return nullptr;
}

Result<float> ContainerBase::ScaleWidth() const {
  if (auto s = faults_.Check(Operation::ScaleWidth); !s) return Fail(s.error());
  return static_cast<float>(width_);
}

Result<float> ContainerBase::ScaleHeight() const {
  if (auto s = faults_.Check(Operation::ScaleHeight); !s) return Fail(s.error());
  return static_cast<float>(height_);
}

Result<gdi::HDC> ContainerBase::hDC() const {
  if (auto s = faults_.Check(Operation::hDC); !s) return Fail(s.error());
  return screen_.dc();
}

Result<ColorRef> ContainerBase::BackColor() const {
  if (auto s = faults_.Check(Operation::BackColor); !s) return Fail(s.error());
  return back_color_;
}

Status ContainerBase::Cls() {
  if (auto s = faults_.Check(Operation::Cls); !s) return s;
  screen_.Fill(BackPixel());
  AreaCleared();
  return {};
}

Status ContainerBase::Enabled(bool on) {
  if (auto s = faults_.Check(Operation::Enabled); !s) return s;
  enabled_ = on;
  EnabledChanged(on);
  return {};
}

// A size that really changes raises UserControl_Resize before the assignment returns; its error is the
// nested callback's own (recorded), not the assignment's.
Status ContainerBase::SetSide(Operation op, float twips, float twips_per_pixel, double* side,
                              float* assigned) {
  if (auto s = faults_.Check(op); !s) return s;
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  *assigned = twips;
  const double pixels = TwipsToPixels(twips, twips_per_pixel);
  if (pixels == *side) return {};
  const bool wide = op == Operation::Width;
  SetPixelSize(wide ? pixels : width_, wide ? height_ : pixels);
  if (options_.reenter_on_resize) (void)DeliverResize();
  return {};
}

Status ContainerBase::Width(float twips) {
  return SetSide(Operation::Width, twips, options_.twips_per_pixel_x, &width_, &assigned_width_twips_);
}

Status ContainerBase::Height(float twips) {
  return SetSide(Operation::Height, twips, options_.twips_per_pixel_y, &height_, &assigned_height_twips_);
}

Result<float> ContainerBase::TwipsPerPixelX() const {
  if (auto s = faults_.Check(Operation::TwipsPerPixelX); !s) return Fail(s.error());
  return options_.twips_per_pixel_x;
}

Result<float> ContainerBase::TwipsPerPixelY() const {
  if (auto s = faults_.Check(Operation::TwipsPerPixelY); !s) return Fail(s.error());
  return options_.twips_per_pixel_y;
}

Result<Shape*> ContainerBase::ShapeChild(std::string_view name, std::int16_t index) {
  if (RectangleShape* s = shape(name, index)) return s;
  return Fail(Error::ObjectRequired);
}

Status ContainerBase::PropertyChanged(std::string_view name) {
  if (auto s = faults_.Check(Operation::PropertyChanged); !s) return s;
  PropertyNoticed(name);
  return {};
}

Status ContainerBase::RaiseEvent(DispId event) {
  if (auto s = faults_.Check(Operation::RaiseEvent); !s) return s;
  EventNoticed(event);
  if (on_event) on_event(event);
  return {};
}

}  // namespace glimmer
