// SPDX-License-Identifier: MIT
// The sign as a Qt Quick item: the type LedSign of the QML module Glimmer (`import Glimmer`).
//
//   LedSign {
//       text: "HELLO"
//       color: LedSign.Green
//       repeated: true
//       onPassFinished: ++passes
//       Component.onCompleted: start()
//   }
//
// It is a container of this project for one LED (QtContainer, the core the LedSign widget's container is
// built on: the same precise timers, ticks and frames) and speaks to the control through the widget's
// property layer (LedSignBinding), so that the names, types, refusals and notifications are the widget's:
//
//   text         string   the text, UTF-16 as the control keeps it
//   color        enum     LedSign.Red, LedSign.Green or LedSign.Yellow
//   delay        int      milliseconds per step, 0 to 32767 (0: the text stands still)
//   repeated     bool     start the text again after every pass
//   borderStyle  int      1 shows the grey and white rings, 0 hides them
//   enabled      bool     the item's own, kept in step with the control's Enabled both ways
//   scrolling    bool     read only: the text is moving
//
// A write the control refuses leaves the property as it was and emits nothing; the change signals come
// when the control accepted a write and the value differs from before. Methods start(), clear() and
// advance() (one step now, for hosts that keep their own time); signals passFinished() (inside the step
// that ends the pass), clicked() and doubleClicked() (left button, while enabled).
//
// Pixels: the control's pixels, exactly, as one texture sampled nearest: one control pixel on one logical
// pixel, drawn as a whole square of device pixels on a screen of device pixel ratio 2 or more (the
// container's rule). The implicit size is the sign's size by the control's size rule (161 x 32 when new);
// a width given to the item goes to the size rule, which snaps it up to the next 3n + 2, and the sign is
// drawn at its own size from the item's top left corner, whatever height the item has. While the item
// cannot be seen (not visible, no window, the window hidden or minimised) the sign ticks on but nothing is
// drawn; it shows its current frame when it is seen again.
//
// Accessibility: Accessible.role is StaticText and Accessible.name the whole text (not the slice on
// display), unless the item's user has given Accessible.name a value of their own.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <glimmer/qt/led_sign_properties.h>

#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <cstdint>
#include <optional>

#include "host/qt/qt_container.h"
#include "qt/widget/click_tracker.h"
#include "qt/widget/led_sign_binding.h"

namespace glimmer::qt {

class LedSignItem : public QQuickItem, public QtContainer {
  Q_OBJECT
  QML_NAMED_ELEMENT(LedSign)
  // The colours as LedSign.Red, LedSign.Green and LedSign.Yellow: the widget's enum, not a copy of it.
  QML_EXTENDED_NAMESPACE(glimmer::qt::LedSignProperties)
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
  Q_PROPERTY(glimmer::qt::LedSignProperties::Color color READ color WRITE setColor NOTIFY colorChanged)
  Q_PROPERTY(int delay READ delay WRITE setDelay NOTIFY delayChanged)
  Q_PROPERTY(bool repeated READ isRepeated WRITE setRepeated NOTIFY repeatedChanged)
  Q_PROPERTY(int borderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
  Q_PROPERTY(bool scrolling READ isScrolling NOTIFY scrollingChanged)

 public:
  using Color = LedSignProperties::Color;

  explicit LedSignItem(QQuickItem* parent = nullptr);
  ~LedSignItem() override;
  LedSignItem(const LedSignItem&) = delete;
  LedSignItem& operator=(const LedSignItem&) = delete;

  [[nodiscard]] QString text() const;
  [[nodiscard]] Color color() const;
  [[nodiscard]] int delay() const;
  [[nodiscard]] bool isRepeated() const;
  [[nodiscard]] int borderStyle() const;
  [[nodiscard]] bool isScrolling() const;

  // Times the sign's frame was turned into a texture, for tests.
  [[nodiscard]] std::int64_t paints() const { return paints_; }
  // Whether a frame drawn now could be seen.
  [[nodiscard]] bool OnScreen() const;

 public slots:
  void setText(const QString& text);
  void setColor(glimmer::qt::LedSignProperties::Color color);
  void setDelay(int milliseconds);
  void setRepeated(bool repeated);
  void setBorderStyle(int style);
  // The control's Show: starts the text from the right edge, only when the sign is idle (so after a pass
  // that did not repeat, clear() first). False when the control failed.
  bool start();
  // The control's Clear: stops the text and clears the dots. False when the control failed.
  bool clear();
  // Moves the text one step now, as the timer would: only while it scrolls. Returns whether it did.
  bool advance();

 signals:
  void textChanged(const QString& text);
  void colorChanged(glimmer::qt::LedSignProperties::Color color);
  void delayChanged(int milliseconds);
  void repeatedChanged(bool repeated);
  void borderStyleChanged(int style);
  void scrollingChanged(bool scrolling);
  void passFinished();
  void clicked();
  void doubleClicked();

 protected:
  QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;
  void itemChange(ItemChange change, const ItemChangeData& value) override;
  void geometryChange(const QRectF& new_geometry, const QRectF& old_geometry) override;
  void componentComplete() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

  // QtContainer: the control drew, cleared, resized, changed its rings, its Enabled, a property, raised an
  // event, or its timer started or stopped.
  void CallbackDone(std::string_view callback, const Status& status) override;
  void AreaCleared() override { FrameChanged(); }
  void SizeChanged() override;
  void ShapesChanged() override;
  void EnabledChanged(bool on) override;
  void PropertyNoticed(std::string_view name) override;
  void EventNoticed(DispId event) override;
  void TimerChanged(QtTimer& timer) override;

 private:
  [[nodiscard]] qreal ratio() const;
  void FrameChanged();
  void Reappear();
  void FollowWindow(QQuickWindow* window);
  void FollowParent(QQuickItem* parent);
  void FollowSize();
  void FitTo(QSizeF requested);
  void SyncEnabled();
  void AttachAccessible();
  void UpdateAccessibleName();

  std::optional<LedSignBinding> binding_;
  // The frame has changed since it was last turned into a texture.
  bool stale_ = true;
  bool fitting_ = false;
  ClickTracker clicks_;
  bool closing_ = false;
  std::int64_t paints_ = 0;
  QPointer<QQuickWindow> window_;
  QPointer<QQuickItem> parent_;
  // The Accessible attached object and the name this item last gave it.
  QPointer<QObject> accessible_;
  QString accessible_name_;
};

}  // namespace glimmer::qt
