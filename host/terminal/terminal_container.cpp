#include "host/terminal/terminal_container.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "host/property_bag.h"
#include "host/twips.h"

namespace glimmer::terminal {
namespace {

std::int32_t SurfaceSide(double pixels) {
  if (!std::isfinite(pixels) || pixels < 1) return 1;
  return static_cast<std::int32_t>(std::min(std::nearbyint(pixels), double{gdi::kMaxBitmapSide}));
}

}  // namespace

TerminalContainer::TerminalContainer(const ControlClass& control_class, const TerminalControls& controls,
                                     Writer write, Options options)
    : options_(options),
      write_(std::move(write)),
      painter_(controls),
      back_color_(control_class.design->back_color),
      width_(TwipsToPixels(control_class.design->width_twips, kTwipsPerPixel)),
      height_(TwipsToPixels(control_class.design->height_twips, kTwipsPerPixel)),
      screen_(SurfaceSide(width_), SurfaceSide(height_), PixelOf(control_class.design->back_color)) {
  for (const auto& child : control_class.design->children) {
    if (const auto* t = std::get_if<TimerDesign>(&child))
      timers_.push_back(std::make_unique<VirtualTimer>(*t, now_, nullptr));
    else
      shapes_.push_back(std::make_unique<RectangleShape>(std::get<ShapeDesign>(child), nullptr));
  }
  control_ = control_class.create(*this);
  (void)Record("UserControl_Initialize", control_->UserControl_Initialize());
}

TerminalContainer::~TerminalContainer() {
  for (auto& t : timers_)
    (void)t->Enabled(false);
  if (control_) (void)control_->UserControl_Terminate();
  control_.reset();
}

Status TerminalContainer::Record(std::string_view callback, Status status) {
  if (!status) callback_errors_.push_back(CallbackError{std::string(callback), status.error()});
  return status;
}

Status TerminalContainer::InitNew() {
  return Record("UserControl_InitProperties", control_->UserControl_InitProperties());
}
Status TerminalContainer::Load(PropertyBag& bag) {
  return Record("UserControl_ReadProperties", control_->UserControl_ReadProperties(bag));
}
Status TerminalContainer::Save(PropertyBag& bag) {
  return Record("UserControl_WriteProperties", control_->UserControl_WriteProperties(bag));
}
Status TerminalContainer::Site() {
  return DeliverResize();
}

Status TerminalContainer::Resize(double width_pixels, double height_pixels) {
  if (width_pixels == width_ && height_pixels == height_) return {};
  SetPixelSize(width_pixels, height_pixels);
  return DeliverResize();
}

Status TerminalContainer::DeliverResize() {
  return Record("UserControl_Resize", control_->UserControl_Resize());
}

void TerminalContainer::SetPixelSize(double width, double height) {
  width_ = width;
  height_ = height;
  screen_.Resize(SurfaceSide(width), SurfaceSide(height), BackPixel());
}

Pixel TerminalContainer::BackPixel() const {
  ColorRef rgb;
  return gdi::OleTranslateColor(back_color_, 0, &rgb) == gdi::S_OK ? PixelOf(rgb) : MakePixel(0, 0, 0);
}

VirtualTimer* TerminalContainer::NextTimer(std::int64_t until) const {
  VirtualTimer* next = nullptr;
  for (const auto& t : timers_)
    if (auto due = t->due(); due && *due <= until && (next == nullptr || *due < *next->due())) next = t.get();
  return next;
}

void TerminalContainer::Advance(std::int64_t milliseconds) {
  const std::int64_t target = now_ + std::max<std::int64_t>(milliseconds, 0);
  while (VirtualTimer* next = NextTimer(target)) {
    now_ = *next->due();
    next->Fired();
    ++ticks_;
    (void)Record(std::string(next->name()) + "_Timer", control_->OnTimer(next->name()));
  }
  now_ = target;
}

std::optional<std::int64_t> TerminalContainer::next_due() const {
  std::optional<std::int64_t> next;
  for (const auto& t : timers_)
    if (auto due = t->due(); due && (!next || *due < *next)) next = due;
  return next;
}

void TerminalContainer::SetTerminalSize(TerminalSize size) {
  options_.size = size;
  painter_.Forget();
}

void TerminalContainer::Present() {
  const std::string bytes = painter_.Paint(Picture(), options_.size);
  if (!bytes.empty()) write_(bytes);
}

Image TerminalContainer::Frame() const {
  Image image = screen_.snapshot();
  const gdi::PixelView view{image.pixels.data(), image.width, image.height};
  for (const auto& s : shapes_)
    s->DrawOnto(view);
  return image;
}

Result<float> TerminalContainer::ScaleWidth() const {
  return static_cast<float>(width_);
}
Result<float> TerminalContainer::ScaleHeight() const {
  return static_cast<float>(height_);
}
Result<gdi::HDC> TerminalContainer::hDC() const {
  return screen_.dc();
}
Result<ColorRef> TerminalContainer::BackColor() const {
  return back_color_;
}

Status TerminalContainer::Cls() {
  screen_.Fill(BackPixel());
  return {};
}

// A terminal sign takes no mouse input; the flag changes nothing here.
Status TerminalContainer::Enabled(bool) {
  return {};
}

Status TerminalContainer::Width(float twips) {
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  const double pixels = TwipsToPixels(twips, kTwipsPerPixel);
  if (pixels == width_) return {};
  SetPixelSize(pixels, height_);
  (void)DeliverResize();
  return {};
}

Status TerminalContainer::Height(float twips) {
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  const double pixels = TwipsToPixels(twips, kTwipsPerPixel);
  if (pixels == height_) return {};
  SetPixelSize(width_, pixels);
  (void)DeliverResize();
  return {};
}

Result<Timer*> TerminalContainer::TimerChild(std::string_view name) {
  for (auto& t : timers_)
    if (KeysEqual(t->name(), name)) return t.get();
  return Fail(Error::ObjectRequired);
}

Result<Shape*> TerminalContainer::ShapeChild(std::string_view name, std::int16_t index) {
  for (auto& s : shapes_)
    if (KeysEqual(s->name(), name) && s->index() == index) return s.get();
  return Fail(Error::ObjectRequired);
}

// Nothing is saved from a terminal session.
Status TerminalContainer::PropertyChanged(std::string_view) {
  return {};
}

Status TerminalContainer::RaiseEvent(DispId event) {
  if (on_event) on_event(event);
  return {};
}

}  // namespace glimmer::terminal
