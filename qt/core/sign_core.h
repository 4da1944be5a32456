// SPDX-License-Identifier: MIT
// SignCore: one LED hosted in the Qt container, everything the Qt faces of the sign share. Reads and writes
// by property in Qt's types, with the one conversion rule (a number must be exactly an integer of the
// control's type, or the write is refused); NOTIFY signals emitted on the face for accepted writes that
// changed a value, found through the face's own meta-object; the pass and click signals; start, clear and
// single steps; the click rule; the frame painted at the screen's device pixel ratio; the size rule for
// sizes given from outside.
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

  bool Start();
  bool Clear();
  bool Advance();
  [[nodiscard]] bool Scrolling() const;

  // The click rule: a left press followed by a left release over the sign emits clicked(); a left double
  // click emits doubleClicked(), and the release that follows it is no click.
  void Press(bool left);
  void Release(bool left, bool inside);
  void DoubleClick(bool left);

  // The sign's size in logical pixels at the view's ratio, and a size given from outside, which goes to the
  // control's size rule (widths beyond the widest sign snap to it).
  [[nodiscard]] QSize Size() const;
  void FitTo(QSizeF logical);
  // Paints the frame at (0, 0) on a painter of the view's ratio, over `area` (logical pixels) filled with the
  // background where the frame does not reach.
  void Paint(QPainter& painter, QSize area);
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

  // Before led_: the control's creation already calls back (with no view yet).
  SignView* view_ = nullptr;
  int calls_ = 0;
  bool disposed_ = false;
  bool fitting_ = false;
  LED& led_;
  ClickTracker clicks_;
  // The values last reported, in Property order, so that NOTIFY comes only for a real change.
  std::array<QVariant, LedSignProperties::kPropertyCount> known_;
};

}  // namespace glimmer::qt
