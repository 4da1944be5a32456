// SPDX-License-Identifier: MIT
// What every container of this project shares: the control's area (an in-memory surface that the control
// draws on through hDC), its size in pixels with the twips conversion and the nested resize, its rectangle
// shapes drawn over the pixels, the creation of the control from its class, and the delivery and recording of
// callbacks. A concrete container adds its timers and its clock, and how it presents the area (a window, a
// terminal, nothing), through the hooks below.
//
// Every container operation first passes faults(), where tests (and nothing else) can make it fail.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <glimmer/host/container.h>
#include <glimmer/host/control.h>
#include <glimmer/host/gdi/gdi_host.h>
#include <glimmer/host/gdi/image.h>
#include <glimmer/host/operation_faults.h>
#include <glimmer/host/rectangle_shape.h>

namespace glimmer {

class ContainerBase : public Container, private glimmer::Screen {
 public:
  struct Options {
    float twips_per_pixel_x = 15.0f;
    float twips_per_pixel_y = 15.0f;
    // Whether a size assignment by the control raises UserControl_Resize again before it returns, as
    // window containers do; tests turn it off to show the layout does not depend on it.
    bool reenter_on_resize = true;
  };
  struct CallbackError {
    std::string callback;
    Error error;
  };

  ~ContainerBase() override;
  ContainerBase(const ContainerBase&) = delete;
  ContainerBase& operator=(const ContainerBase&) = delete;

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

  // What the user sees: the control's pixels with its shapes drawn over them, one image pixel per pixel.
  [[nodiscard]] Image Frame() const;
  // The control's pixels alone.
  [[nodiscard]] Image Pixels() const { return screen_.snapshot(); }
  [[nodiscard]] double width_pixels() const { return width_; }
  [[nodiscard]] double height_pixels() const { return height_; }
  [[nodiscard]] bool enabled() const { return enabled_; }
  // The last Width and Height the control assigned, in twips.
  [[nodiscard]] float assigned_width_twips() const { return assigned_width_twips_; }
  [[nodiscard]] float assigned_height_twips() const { return assigned_height_twips_; }
  [[nodiscard]] RectangleShape* shape(std::string_view name, std::int16_t index);
  [[nodiscard]] const std::vector<CallbackError>& callback_errors() const { return callback_errors_; }

  // The host's event handler; it runs inside RaiseEvent, before the raise returns.
  std::function<void(DispId)> on_event;
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
  Result<Shape*> ShapeChild(std::string_view name, std::int16_t index) override;
  Status PropertyChanged(std::string_view name) override;
  Status RaiseEvent(DispId event) override;

 protected:
  // Failures of container operations injected by tests (through TestAccess); nothing else fails them.
  [[nodiscard]] OperationFaults& faults() const { return faults_; }
  // Background, size and shapes from the control's design. The concrete container then makes its timers
  // from the design's TimerDesign children and calls CreateControl.
  ContainerBase(const ControlClass& control_class, Options options);
  // Makes the control and delivers UserControl_Initialize.
  void CreateControl(const ControlClass& control_class);
  // Stops every timer (no tick reaches a control that is going away), delivers UserControl_Terminate and
  // destroys the control. A concrete container's destructor calls it first, while its timers still exist.
  void DestroyControl();

  // Delivers one callback: counted as in progress while it runs; a failure is recorded.
  template <class F>
  Status Deliver(std::string_view callback, F&& call) {
    ++busy_;
    const Status status = call();
    --busy_;
    if (!status) callback_errors_.push_back(CallbackError{std::string(callback), status.error()});
    CallbackDone(callback, status);
    return status;
  }
  // Whether a callback is in progress (a tick must not start then).
  [[nodiscard]] bool busy() const { return busy_ > 0; }
  [[nodiscard]] const gdi::OwnedSurface& surface() const { return screen_; }
  [[nodiscard]] const std::vector<std::unique_ptr<RectangleShape>>& shapes() const { return shapes_; }
  // The background colour as a pixel. One that cannot be translated is white, the colour of a brush made
  // from -1, which is what the control's tick paints then: Cls and the tick agree.
  [[nodiscard]] Pixel BackPixel() const;

  // Hooks for the concrete container.
  virtual void StopTimers() = 0;
  virtual void CallbackDone(std::string_view /*callback*/, const Status& /*status*/) {}
  virtual void AreaCleared() {}
  virtual void SizeChanged() {}
  virtual void ShapesChanged() {}
  virtual void EnabledChanged(bool /*on*/) {}
  virtual void PropertyNoticed(std::string_view /*name*/) {}
  virtual void EventNoticed(DispId /*event*/) {}
  void ResetResizeCounts() { resize_calls_ = max_resize_depth_ = 0; }
  void ClearCallbackErrors() { callback_errors_.clear(); }

 private:
  // Tests see the resize counters and inject faults.
  friend class TestAccess;
  // Screen
  Result<float> TwipsPerPixelX() const override;
  Result<float> TwipsPerPixelY() const override;

  Status DeliverResize();
  void SetPixelSize(double width, double height);
  Status SetSide(Operation op, float twips, float twips_per_pixel, double* side, float* assigned);

  Options options_;
  mutable OperationFaults faults_;
  ColorRef back_color_;
  double width_ = 0;
  double height_ = 0;
  float assigned_width_twips_ = 0;
  float assigned_height_twips_ = 0;
  bool enabled_ = true;
  gdi::OwnedSurface screen_;
  std::vector<std::unique_ptr<RectangleShape>> shapes_;
  std::unique_ptr<Control> control_;
  int busy_ = 0;
  int resize_depth_ = 0;
  int resize_calls_ = 0;
  int max_resize_depth_ = 0;
  std::vector<CallbackError> callback_errors_;
};

}  // namespace glimmer
