#include "host/headless/headless_container.h"

#include <algorithm>
#include <cmath>

#include "host/property_bag.h"
#include "host/twips.h"

namespace glimmer {
namespace {

std::int32_t SurfaceSide(double pixels) {
  if (!std::isfinite(pixels) || pixels < 1) return 1;
  return static_cast<std::int32_t>(std::min(std::nearbyint(pixels), double{gdi::kMaxBitmapSide}));
}

}  // namespace

HeadlessContainer::HeadlessContainer(const ControlClass& control_class)
    : HeadlessContainer(control_class, Options{}) {}

HeadlessContainer::HeadlessContainer(const ControlClass& control_class, Options options)
    : options_(options),
      back_color_(control_class.design->back_color),
      width_(TwipsToPixels(control_class.design->width_twips, options.twips_per_pixel_x)),
      height_(TwipsToPixels(control_class.design->height_twips, options.twips_per_pixel_y)),
      screen_(SurfaceSide(width_), SurfaceSide(height_), PixelOf(control_class.design->back_color)) {
  for (const auto& child : control_class.design->children) {
    if (const auto* t = std::get_if<TimerDesign>(&child))
      timers_.push_back(std::make_unique<VirtualTimer>(*t, now_, &faults_));
    else
      shapes_.push_back(std::make_unique<RectangleShape>(std::get<ShapeDesign>(child), &faults_));
  }
  control_ = control_class.create(*this);
  (void)Record("UserControl_Initialize", control_->UserControl_Initialize());
}

HeadlessContainer::~HeadlessContainer() {
  for (auto& t : timers_)
    (void)t->Enabled(false);
  if (control_) (void)control_->UserControl_Terminate();
  control_.reset();
}

Status HeadlessContainer::Record(std::string_view callback, Status status) {
  if (!status) callback_errors_.push_back(CallbackError{std::string(callback), status.error()});
  return status;
}

Status HeadlessContainer::InitNew() {
  return Record("UserControl_InitProperties", control_->UserControl_InitProperties());
}
Status HeadlessContainer::Load(PropertyBag& bag) {
  return Record("UserControl_ReadProperties", control_->UserControl_ReadProperties(bag));
}
Status HeadlessContainer::Save(PropertyBag& bag) {
  return Record("UserControl_WriteProperties", control_->UserControl_WriteProperties(bag));
}
Status HeadlessContainer::Site() {
  return DeliverResize();
}

Status HeadlessContainer::Resize(double width_pixels, double height_pixels) {
  if (width_pixels == width_ && height_pixels == height_) return {};
  SetPixelSize(width_pixels, height_pixels);
  return DeliverResize();
}

Status HeadlessContainer::DeliverResize() {
  ++resize_calls_;
  ++resize_depth_;
  max_resize_depth_ = std::max(max_resize_depth_, resize_depth_);
  const Status s = Record("UserControl_Resize", control_->UserControl_Resize());
  --resize_depth_;
  return s;
}

void HeadlessContainer::SetPixelSize(double width, double height) {
  width_ = width;
  height_ = height;
  screen_.Resize(SurfaceSide(width), SurfaceSide(height), BackPixel());
}

Pixel HeadlessContainer::BackPixel() const {
  ColorRef rgb;
  return gdi::OleTranslateColor(back_color_, 0, &rgb) == gdi::S_OK ? PixelOf(rgb) : MakePixel(0, 0, 0);
}

void HeadlessContainer::Advance(std::int64_t milliseconds) {
  const std::int64_t target = now_ + std::max<std::int64_t>(milliseconds, 0);
  for (;;) {
    VirtualTimer* next = nullptr;
    for (auto& t : timers_)
      if (auto due = t->due(); due && *due <= target && (next == nullptr || *due < *next->due()))
        next = t.get();
    if (next == nullptr) break;
    now_ = *next->due();
    next->Fired();
    ++ticks_;
    in_tick_ = true;
    (void)Record(std::string(next->name()) + "_Timer", control_->OnTimer(next->name()));
    in_tick_ = false;
  }
  now_ = target;
}

std::int64_t HeadlessContainer::RunTicks(std::int64_t count) {
  const std::int64_t start = ticks_;
  while (ticks_ - start < count) {
    std::optional<std::int64_t> due;
    for (auto& t : timers_)
      if (auto d = t->due(); d && (!due || *d < *due)) due = d;
    if (!due) break;
    Advance(*due - now_);
  }
  return ticks_ - start;
}

bool HeadlessContainer::timer_running() const {
  return std::any_of(timers_.begin(), timers_.end(), [](const auto& t) { return t->due().has_value(); });
}

Image HeadlessContainer::Frame() const {
  Image image = screen_.snapshot();
  const gdi::PixelView view{image.pixels.data(), image.width, image.height};
  for (const auto& s : shapes_)
    s->DrawOnto(view);
  return image;
}

VirtualTimer* HeadlessContainer::timer(std::string_view name) {
  for (auto& t : timers_)
    if (KeysEqual(t->name(), name)) return t.get();
  return nullptr;
}

RectangleShape* HeadlessContainer::shape(std::string_view name, std::int16_t index) {
  for (auto& s : shapes_)
    if (KeysEqual(s->name(), name) && s->index() == index) return s.get();
  return nullptr;
}

void HeadlessContainer::ClearRecords() {
  events_.clear();
  property_changes_.clear();
  callback_errors_.clear();
  resize_calls_ = 0;
  max_resize_depth_ = 0;
}

Result<float> HeadlessContainer::ScaleWidth() const {
  if (auto s = faults_.Check(Operation::ScaleWidth); !s) return Fail(s.error());
  return static_cast<float>(width_);
}

Result<float> HeadlessContainer::ScaleHeight() const {
  if (auto s = faults_.Check(Operation::ScaleHeight); !s) return Fail(s.error());
  return static_cast<float>(height_);
}

Result<gdi::HDC> HeadlessContainer::hDC() const {
  if (auto s = faults_.Check(Operation::hDC); !s) return Fail(s.error());
  return screen_.dc();
}

Result<ColorRef> HeadlessContainer::BackColor() const {
  if (auto s = faults_.Check(Operation::BackColor); !s) return Fail(s.error());
  return back_color_;
}

Status HeadlessContainer::Cls() {
  if (auto s = faults_.Check(Operation::Cls); !s) return s;
  screen_.Fill(BackPixel());
  return {};
}

Status HeadlessContainer::Enabled(bool on) {
  if (auto s = faults_.Check(Operation::Enabled); !s) return s;
  enabled_ = on;
  return {};
}

Status HeadlessContainer::Width(float twips) {
  if (auto s = faults_.Check(Operation::Width); !s) return s;
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  assigned_width_twips_ = twips;
  const double pixels = TwipsToPixels(twips, options_.twips_per_pixel_x);
  if (pixels == width_) return {};
  SetPixelSize(pixels, height_);
  if (options_.reenter_on_resize) (void)DeliverResize();
  return {};
}

Status HeadlessContainer::Height(float twips) {
  if (auto s = faults_.Check(Operation::Height); !s) return s;
  if (!std::isfinite(twips) || twips < 0) return Fail(Error::InvalidPropertyValue);
  assigned_height_twips_ = twips;
  const double pixels = TwipsToPixels(twips, options_.twips_per_pixel_y);
  if (pixels == height_) return {};
  SetPixelSize(width_, pixels);
  if (options_.reenter_on_resize) (void)DeliverResize();
  return {};
}

Result<float> HeadlessContainer::TwipsPerPixelX() const {
  if (auto s = faults_.Check(Operation::TwipsPerPixelX); !s) return Fail(s.error());
  return options_.twips_per_pixel_x;
}

Result<float> HeadlessContainer::TwipsPerPixelY() const {
  if (auto s = faults_.Check(Operation::TwipsPerPixelY); !s) return Fail(s.error());
  return options_.twips_per_pixel_y;
}

Result<Timer*> HeadlessContainer::TimerChild(std::string_view name) {
  if (VirtualTimer* t = timer(name)) return t;
  return Fail(Error::ObjectRequired);
}

Result<Shape*> HeadlessContainer::ShapeChild(std::string_view name, std::int16_t index) {
  if (RectangleShape* s = shape(name, index)) return s;
  return Fail(Error::ObjectRequired);
}

Status HeadlessContainer::PropertyChanged(std::string_view name) {
  if (auto s = faults_.Check(Operation::PropertyChanged); !s) return s;
  property_changes_.emplace_back(name);
  return {};
}

Status HeadlessContainer::RaiseEvent(DispId event) {
  if (auto s = faults_.Check(Operation::RaiseEvent); !s) return s;
  events_.push_back(EventRecord{event, in_tick_ ? ticks_ : 0, now_});
  if (on_event) on_event(event);
  return {};
}

}  // namespace glimmer
