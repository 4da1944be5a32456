// SPDX-License-Identifier: MIT
// SignCore: one LED hosted in the Qt container, everything the Qt faces of the sign share. Reads and writes
// by property in Qt's types, with the one conversion rule (a number must be exactly an integer of the
// control's type, or the write is refused); NOTIFY signals emitted on the face for accepted writes that
// changed a value, found through the face's own meta-object; the pass and click signals; start, clear and
// single steps; the click rule; the frame painted alike at every device pixel ratio, dimmed when disabled;
// the size rule for sizes given from outside.
//
// A face may be deleted inside a handler of a signal the core emits (passFinished, a NOTIFY, clicked). The
// face then disposes of its core (Dispose): the core forgets the face at once, and goes itself only when the
// outermost call into it returns, so nothing touches freed memory on the way out.
#pragma once

#include <glimmer/qt/core_export.h>
#include <glimmer/qt/led_sign_properties.h>

#include <QImage>
#include <QPainter>
#include <QVariant>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "control/led.h"
#include "host/qt/qt_container.h"
#include "qt/core/click_tracker.h"
#include "qt/core/sign_view.h"

namespace glimmer::qt {

class GLIMMER_QT_CORE_EXPORT SignCore final : public QtContainer {
 public:
  using Property = LedSignProperties::Property;

  // A new sign, as a new control is: the defaults, sited at its design size, which the size rule snaps.
  // `view` is told of changes from then on.
  explicit SignCore(SignView& view);
  ~SignCore() override;
  SignCore(const SignCore&) = delete;
  SignCore& operator=(const SignCore&) = delete;

  // Deletes the core now, or, when called from inside a call into it (a handler of one of its signals),
  // when that call returns; the face is not told anything more either way.
  static void Dispose(SignCore* core);

  [[nodiscard]] QVariant Read(Property property) const;
  // Whether the control took the value; a value that is not exactly of the property's type is refused.
  bool Write(Property property, const QVariant& value);
  // A number as an integer of 32 bits, only when it is exactly one.
  [[nodiscard]] static std::optional<std::int32_t> ExactInt(const QVariant& value);

  // Start goes on where stop() left the text, starts a new pass after one that did not repeat, and
  // otherwise is the control's Show. Stop halts the control's timer and keeps the frame and the place;
  // Restart is the control's Clear and then its Show.
  bool Start();
  bool Stop();
  bool Restart();
  bool Clear();
  bool Advance();
  [[nodiscard]] bool Scrolling() const;
  // Space or Enter on a face that has the keyboard focus: clicked(), as a click of the mouse.
  void KeyClick();

  // The click rule: a left press followed by a left release over the sign emits clicked(); a left double
  // click emits doubleClicked(), and the release that follows it is no click.
  void Press(bool left);
  void Release(bool left, bool inside);
  void DoubleClick(bool left);

  // The sign's size in logical pixels: one control pixel is one logical pixel at every device pixel ratio,
  // so a sign has the same logical size, and shows the same dots, on every screen.
  [[nodiscard]] QSize Size() const;
  // A new sign's size (the size rule's for the control's design size, 161 x 32): what the faces hint to
  // layouts and take as their implicit size.
  [[nodiscard]] QSize NaturalSize() const { return natural_; }
  // A size given to the face from outside (a layout, resize(), QML). The face keeps it; the sign takes the
  // widest width the size rule allows within it: the rule is asked for the width less 2, which it snaps up
  // to the largest 3n + 2 that is not above the width (at least the rule's smallest, at most the widest
  // sign). The height is always the rule's 32, clipped by a face that is lower.
  void FitTo(QSizeF given);
  // Paints the sign at (0, 0) on a painter of device pixel ratio `ratio`, nothing beyond Size(); dimmed
  // (at half opacity over `dim_over`) when that is given, with the focus frame when `focus`. At a whole
  // ratio and not dimmed: the frame as r x r squares straight from the control's pixels, so that a tick
  // repaints only what it changed.
  void Paint(QPainter& painter, qreal ratio, std::optional<QColor> dim_over, bool focus);
  // The sign's pixels as every face draws them at `ratio`, nearest, over Size() from (0, 0): at a whole
  // ratio the control's pixels (each to become an r x r square; device pixel ratio 1), at a fractional one
  // the device pixels of the even grid (DeviceGrid; the image has the ratio as its device pixel ratio).
  // Dimmed when `dim_over` is given: each pixel halfway to that colour, as drawn at half opacity over it;
  // the focus frame drawn in when `focus`.
  [[nodiscard]] QImage FaceImage(qreal ratio, std::optional<QColor> dim_over, bool focus);
  // The frame as an image of the control's pixels with the rings drawn over them.
  [[nodiscard]] QImage FrameImage();

  [[nodiscard]] LED& led() { return led_; }

 protected:
  void Tick(QtTimer& timer) override;
  void CallbackDone(std::string_view callback, const Status& status) override;
  void AreaCleared() override;
  void SizeChanged() override;
  void ShapesChanged() override;
  void EnabledChanged(bool on) override;
  void PropertyNoticed(std::string_view name) override;
  void EventNoticed(DispId event) override;
  void TimerChanged(QtTimer& timer) override;

 private:
  // Counts the calls into the core in progress; the outermost, on its way out, deletes a disposed core.
  class Call {
   public:
    explicit Call(SignCore& core) : core_(core) { ++core_.calls_; }
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    SignCore& core_;
  };

  [[nodiscard]] Status WriteControl(Property property, const QVariant& value);
  void Notify(const char* property, const QVariant& value);
  void Emit(const char* signal);
  void FrameChanged();
  static void Dim(QImage& image, QRgb over);
  // A focus frame over the sign's outer ring, `area` logical pixels, as the faces show keyboard focus.
  static void PaintFocusFrame(QPainter& painter, QSizeF area);
  [[nodiscard]] bool Show();
  [[nodiscard]] QtTimer* LedTimer();
  [[nodiscard]] bool TimerOn();

  // Before led_: the control's creation already calls back (with no view yet).
  SignView* view_ = nullptr;
  int calls_ = 0;
  bool disposed_ = false;
  bool fitting_ = false;
  QSizeF given_{-1, -1};
  QSize natural_;
  // The text was halted by Stop and may go on; the last pass ended without repeating. Either way the
  // control still holds its surface, so its Show would do nothing.
  bool stopped_ = false;
  bool finished_ = false;
  // Inside Restart: the timer stops and starts again, and scrolling is notified once, at the end.
  bool restarting_ = false;
  LED& led_;
  ClickTracker clicks_;
  // The values last reported, in Property order, so that NOTIFY comes only for a real change.
  std::array<QVariant, LedSignProperties::kPropertyCount> known_;
};

}  // namespace glimmer::qt
