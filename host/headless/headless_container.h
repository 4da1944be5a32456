// A container without a window: the control's area is a pixel buffer in memory, its timers run on a virtual
// clock that the host advances, and everything the control tells its container (PropertyChanged, raised
// events, callback errors, resize nesting) is recorded. Tests, frame recording and benchmarks host the
// control here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/container.h"
#include "host/control.h"
#include "host/gdi_host.h"
#include "host/headless/virtual_timer.h"
#include "host/image.h"
#include "host/operation_faults.h"
#include "host/rectangle_shape.h"

namespace glimmer {

class HeadlessContainer final : public Container, private glimmer::Screen {
 public:
  struct Options {
    float twips_per_pixel_x = 15.0f;
    float twips_per_pixel_y = 15.0f;
    // Whether a size assignment by the control raises UserControl_Resize again before it returns, as
    // window containers do; tests turn it off to show the layout does not depend on it.
    bool reenter_on_resize = true;
  };

  struct EventRecord {
    DispId event;
    std::int64_t tick;  // the tick during which it was raised (0: outside any tick)
    std::int64_t time;  // virtual milliseconds
  };
  struct CallbackError {
    std::string callback;
    Error error;
  };

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize.
  explicit HeadlessContainer(const ControlClass& control_class);
  HeadlessContainer(const ControlClass& control_class, Options options);
  // Stops every timer (no tick reaches a control that is going away), delivers UserControl_Terminate and
  // destroys the control.
  ~HeadlessContainer() override;
  HeadlessContainer(const HeadlessContainer&) = delete;
  HeadlessContainer& operator=(const HeadlessContainer&) = delete;

  [[nodiscard]] Control& control() { return *control_; }
  template <class T>
  [[nodiscard]] T& control_as() {
    return static_cast<T&>(*control_);
  }

  // Host side of creation and saving. Each delivers one callback and returns (and records) its result.
  Status InitNew();
  Status Load(PropertyBag& bag);
  Status Save(PropertyBag& bag);
  // Sites the control: a first UserControl_Resize at its current size.
  Status Site();
  // A host resize in pixels; UserControl_Resize when the size really changes.
  Status Resize(double width_pixels, double height_pixels);

  // The virtual clock. Advance fires every timer tick that falls due up to now + milliseconds.
  void Advance(std::int64_t milliseconds);
  // Advances tick by tick until `count` ticks have run or no timer runs; returns the ticks run.
  std::int64_t RunTicks(std::int64_t count);
  [[nodiscard]] std::int64_t now() const { return now_; }
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  [[nodiscard]] bool timer_running() const;

  // What the user would see: the control's pixels with its shapes drawn over them.
  [[nodiscard]] Image Frame() const;
  // The control's pixels alone.
  [[nodiscard]] Image Pixels() const { return screen_.snapshot(); }
  [[nodiscard]] double width_pixels() const { return width_; }
  [[nodiscard]] double height_pixels() const { return height_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  // The last Width and Height the control assigned, in twips.
  [[nodiscard]] float assigned_width_twips() const { return assigned_width_twips_; }
  [[nodiscard]] float assigned_height_twips() const { return assigned_height_twips_; }
  [[nodiscard]] VirtualTimer* timer(std::string_view name);
  [[nodiscard]] RectangleShape* shape(std::string_view name, std::int16_t index);

  [[nodiscard]] const std::vector<EventRecord>& events() const { return events_; }
  [[nodiscard]] const std::vector<std::string>& property_changes() const { return property_changes_; }
  [[nodiscard]] const std::vector<CallbackError>& callback_errors() const { return callback_errors_; }
  [[nodiscard]] int resize_calls() const { return resize_calls_; }
  [[nodiscard]] int max_resize_depth() const { return max_resize_depth_; }
  void ClearRecords();

  // The host's event handler; it runs inside RaiseEvent, before the raise returns.
  std::function<void(DispId)> on_event;
  // Failures of container operations, for tests.
  [[nodiscard]] OperationFaults& faults() { return faults_; }
  void SetBackColor(ColorRef colour) { back_color_ = colour; }
  void SetTwipsPerPixel(float x, float y) { options_.twips_per_pixel_x = x, options_.twips_per_pixel_y = y; }

  // Container
  Result<float> ScaleWidth() const override;
  Result<float> ScaleHeight() const override;
  Result<gdi::HDC> hDC() const override;
  Result<ColorRef> BackColor() const override;
  Status Cls() override;
  Status Enabled(bool on) override;
  Status Width(float twips) override;
  Status Height(float twips) override;
  const glimmer::Screen& Screen() const override { return *this; }
  Result<Timer*> TimerChild(std::string_view name) override;
  Result<Shape*> ShapeChild(std::string_view name, std::int16_t index) override;
  Status PropertyChanged(std::string_view name) override;
  Status RaiseEvent(DispId event) override;

 private:
  // Screen
  Result<float> TwipsPerPixelX() const override;
  Result<float> TwipsPerPixelY() const override;

  Status Record(std::string_view callback, Status status);
  Status DeliverResize();
  void SetPixelSize(double width, double height);
  [[nodiscard]] Pixel BackPixel() const;

  Options options_;
  mutable OperationFaults faults_;
  ColorRef back_color_;
  double width_ = 0;
  double height_ = 0;
  float assigned_width_twips_ = 0;
  float assigned_height_twips_ = 0;
  bool enabled_ = true;
  gdi::OwnedSurface screen_;
  std::vector<std::unique_ptr<VirtualTimer>> timers_;
  std::vector<std::unique_ptr<RectangleShape>> shapes_;
  std::unique_ptr<Control> control_;

  std::int64_t now_ = 0;
  std::int64_t ticks_ = 0;
  bool in_tick_ = false;
  int resize_depth_ = 0;
  int resize_calls_ = 0;
  int max_resize_depth_ = 0;
  std::vector<EventRecord> events_;
  std::vector<std::string> property_changes_;
  std::vector<CallbackError> callback_errors_;
};

}  // namespace glimmer
