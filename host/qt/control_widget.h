// A Qt 6 widget that hosts one control: the Qt counterpart of the headless container.
//
// The control draws into an in-memory surface (the drawing layer's bitmap); the widget shows those pixels
// 1:1, scaled by a whole factor only on a screen of device pixel ratio 2 or more, never smoothed, and draws
// the control's rectangle shapes over them exactly as the headless container does. Each child timer runs on
// a QTimer of precise type. Callbacks are delivered one at a time on the GUI thread: a timer that elapses
// while a callback is still running (a host's event handler that opens a dialog, say) skips that tick.
//
// The widget's size follows the control's: a size the control assigns itself (in twips) changes the widget
// and raises UserControl_Resize again before the assignment returns. Qt measures widgets in
// device-independent pixels of 1/96 inch, so the container reports 15 twips per pixel whatever the screen.
//
// While the widget is hidden, or its window minimised or not exposed, ticks go on (the control's events and
// timing are its own) but nothing is painted: no repaint is asked for until the widget can be seen again,
// and then it shows the control's current pixels.
//
// Events the control raises reach the host as the eventRaised signal and through on_event, both before the
// raise returns. Placing a control in an application takes a few lines:
//
//   auto* sign = new glimmer::qt::ControlWidget(glimmer::LED::Class());
//   (void)sign->InitNew();  // or Load(bag) for saved state
//   (void)sign->Site();     // the first UserControl_Resize
//   layout->addWidget(sign);
//   QObject::connect(sign, &glimmer::qt::ControlWidget::eventRaised, handler);
#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/container.h"
#include "host/control.h"
#include "host/gdi_host.h"
#include "host/image.h"
#include "host/qt/qt_timer.h"
#include "host/rectangle_shape.h"

namespace glimmer::qt {

class ControlWidget final : public QWidget, public Container, private glimmer::Screen {
  Q_OBJECT

 public:
  struct Options {
    float twips_per_pixel_x = 15.0f;
    float twips_per_pixel_y = 15.0f;
  };
  struct CallbackError {
    std::string callback;
    Error error;
  };

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize.
  explicit ControlWidget(const ControlClass& control_class, QWidget* parent = nullptr);
  ControlWidget(const ControlClass& control_class, Options options, QWidget* parent = nullptr);
  // Stops every timer (no tick reaches a control that is going away), delivers UserControl_Terminate and
  // destroys the control.
  ~ControlWidget() override;
  ControlWidget(const ControlWidget&) = delete;
  ControlWidget& operator=(const ControlWidget&) = delete;

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

  // Stops every child timer, as a window does before it goes away.
  void StopTimers();
  // Delivers one tick of the named timer as if its QTimer had elapsed: only while that timer runs and no
  // other callback is in progress. Returns whether the tick was delivered. Hosts that keep their own time
  // (and tests) drive the control with it.
  bool FireTimer(std::string_view name);
  // Ticks delivered so far.
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  // Times the widget has been painted so far.
  [[nodiscard]] std::int64_t paints() const { return paints_; }
  // Whether a repaint would reach the screen: the widget is visible and its window neither minimised nor
  // unexposed.
  [[nodiscard]] bool OnScreen() const;

  // What the user sees, at one image pixel per control pixel: the control's pixels with its shapes over them.
  [[nodiscard]] Image Frame() const;
  [[nodiscard]] double width_pixels() const { return width_; }
  [[nodiscard]] double height_pixels() const { return height_; }
  [[nodiscard]] QtTimer* timer(std::string_view name);
  [[nodiscard]] RectangleShape* shape(std::string_view name, std::int16_t index);
  [[nodiscard]] const std::vector<CallbackError>& callback_errors() const { return callback_errors_; }
  // The whole factor each control pixel is drawn with: 1, or the integer part of a device pixel ratio of 2
  // or more.
  [[nodiscard]] int pixel_scale() const;

  // The host's event handler; it runs inside RaiseEvent, before the raise returns (after eventRaised).
  std::function<void(DispId)> on_event;

  [[nodiscard]] QSize sizeHint() const override;

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

 signals:
  // A declared event of the control was raised (for the LED, Terminate is 3).
  void eventRaised(int event);
  // The control asked the host to save the named property.
  void propertyChanged(const QString& name);
  // A callback returned an error (its name, and the error's number).
  void callbackFailed(const QString& callback, int error);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Screen
  Result<float> TwipsPerPixelX() const override;
  Result<float> TwipsPerPixelY() const override;

  // Delivers one callback, recording a failure.
  template <class F>
  Status Deliver(std::string_view callback, F&& call);
  Status DeliverResize();
  void Tick(QtTimer& timer);
  void SetPixelSize(double width, double height);
  void FitWidget();
  void ShapesChanged();
  // Asks for a repaint only when it would be seen; a widget that comes back is repainted whole by Qt, or by
  // Reappear.
  void RequestRepaint();
  void Reappear();
  void FollowWindow();
  [[nodiscard]] const QImage& Pixels(const gdi::PixelView& view, qreal ratio);
  [[nodiscard]] const QImage& Rings(std::int32_t width, std::int32_t height, qreal ratio);
  [[nodiscard]] Pixel BackPixel() const;

  Options options_;
  ColorRef back_color_;
  double width_ = 0;
  double height_ = 0;
  gdi::OwnedSurface screen_;
  std::vector<std::unique_ptr<QtTimer>> timers_;
  std::vector<std::unique_ptr<RectangleShape>> shapes_;
  std::unique_ptr<Control> control_;
  // The screen's pixels as an image that shares their memory, made again only when the surface moves.
  QImage pixels_;
  // The shapes' outlines on a transparent layer, redrawn only when a shape or the size changes.
  QImage rings_;
  bool rings_stale_ = true;
  // The top-level window whose state changes are followed.
  QPointer<QWindow> followed_;

  int busy_ = 0;  // callbacks in progress (a resize may nest in another callback)
  std::int64_t ticks_ = 0;
  std::int64_t paints_ = 0;
  std::vector<CallbackError> callback_errors_;
};

}  // namespace glimmer::qt
