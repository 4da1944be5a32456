// A container that shows its control in a text terminal: the terminal counterpart of the headless and Qt
// containers.
//
// The control draws into an in-memory surface, as everywhere; Present turns the control's frame (its pixels
// with its rings) into a CellPicture, one cell per dot, and hands the bytes that update the screen to the
// writer in a single call. The child timers run on a virtual clock that the host advances: the terminal
// loop advances it with the real time, tests by hand. Callbacks are delivered one at a time, on the
// thread that advances the clock; events reach the host through on_event before the raise returns.
//
// The container reports 15 twips per pixel, like the Qt container, so the size rule and the stored layout
// give the same sign as in the window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/container.h"
#include "host/control.h"
#include "host/gdi_host.h"
#include "host/headless/virtual_timer.h"
#include "host/image.h"
#include "host/rectangle_shape.h"
#include "host/terminal/cell_picture.h"
#include "host/terminal/screen_painter.h"
#include "host/terminal/terminal_controls.h"

namespace glimmer::terminal {

class TerminalContainer final : public Container, private glimmer::Screen {
 public:
  using Writer = std::function<void(std::string_view bytes)>;
  struct Options {
    TerminalSize size;
    CellGlyphs glyphs = kUnicodeGlyphs;
  };
  struct CallbackError {
    std::string callback;
    Error error;
  };

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize. `write` gets every update of the screen.
  TerminalContainer(const ControlClass& control_class, const TerminalControls& controls, Writer write,
                    Options options);
  // Stops every timer, delivers UserControl_Terminate and destroys the control.
  ~TerminalContainer() override;
  TerminalContainer(const TerminalContainer&) = delete;
  TerminalContainer& operator=(const TerminalContainer&) = delete;

  [[nodiscard]] Control& control() { return *control_; }
  template <class T>
  [[nodiscard]] T& control_as() {
    return static_cast<T&>(*control_);
  }

  // Host side of creation and saving; each delivers one callback and returns (and records) its result.
  Status InitNew();
  Status Load(PropertyBag& bag);
  Status Save(PropertyBag& bag);
  Status Site();
  Status Resize(double width_pixels, double height_pixels);

  // The virtual clock: fires every tick that falls due up to now + milliseconds.
  void Advance(std::int64_t milliseconds);
  [[nodiscard]] std::int64_t now() const { return now_; }
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  // When the next tick falls due; nothing while no timer runs.
  [[nodiscard]] std::optional<std::int64_t> next_due() const;

  // The screen. A new size, or Repaint after the screen was cleared, sends the whole picture next time.
  void SetTerminalSize(TerminalSize size);
  void Repaint() { painter_.Forget(); }
  // Sends what changed on the screen since the last call, in one write; nothing when nothing did.
  void Present();

  [[nodiscard]] Image Frame() const;
  [[nodiscard]] CellPicture Picture() const { return CellPicture::FromFrame(Frame(), options_.glyphs); }
  [[nodiscard]] double width_pixels() const { return width_; }
  [[nodiscard]] double height_pixels() const { return height_; }
  [[nodiscard]] const std::vector<CallbackError>& callback_errors() const { return callback_errors_; }

  // The host's event handler; it runs inside RaiseEvent.
  std::function<void(DispId)> on_event;

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
  Result<float> TwipsPerPixelX() const override { return kTwipsPerPixel; }
  Result<float> TwipsPerPixelY() const override { return kTwipsPerPixel; }

  static constexpr float kTwipsPerPixel = 15.0f;

  Status Record(std::string_view callback, Status status);
  Status DeliverResize();
  void SetPixelSize(double width, double height);
  [[nodiscard]] Pixel BackPixel() const;
  [[nodiscard]] VirtualTimer* NextTimer(std::int64_t until) const;

  Options options_;
  Writer write_;
  ScreenPainter painter_;
  ColorRef back_color_;
  double width_ = 0;
  double height_ = 0;
  gdi::OwnedSurface screen_;
  std::vector<std::unique_ptr<VirtualTimer>> timers_;
  std::vector<std::unique_ptr<RectangleShape>> shapes_;
  std::unique_ptr<Control> control_;
  std::int64_t now_ = 0;
  std::int64_t ticks_ = 0;
  std::vector<CallbackError> callback_errors_;
};

}  // namespace glimmer::terminal
