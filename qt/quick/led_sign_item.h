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
// It hosts one LED through the core it shares with the LedSign widget (the same Qt container, precise timers,
// ticks, frames, property rules and signals), so that the names, types, refusals and notifications are the
// widget's:
//
//   text         string   the text, UTF-16 as the control keeps it
//   color        enum     LedSign.Red, LedSign.Green or LedSign.Yellow
//   delay        int      milliseconds per step, 0 to 32767 (0: the text stands still); like borderStyle
//                         declared as a variant, so that a value that is not exactly an integer is refused
//   repeated     bool     start the text again after every pass
//   borderStyle  int      1 shows the grey and white rings, 0 hides them
//   enabled      bool     the item's own, kept in step with the control's Enabled both ways
//   scrolling    bool     read only: the text is moving
//
// A write the control refuses leaves the property as it was and emits nothing; the change signals come
// when the control accepted a write and the value differs from before. Methods start(), stop(), restart(),
// clear() and advance() (one step now, for hosts that keep their own time), with the widget's playback
// rules; signals passFinished() (inside the step that ends the pass), clicked() and doubleClicked() (left
// button, while enabled). With active focus (focus: true, or activeFocusOnTab), Space, Enter and Return
// emit clicked() and a dotted frame shows over the outer ring, as on the widget.
//
// Pixels and size: the same device pixels as the widget's at every device pixel ratio, through the same
// core: at a whole ratio r each control pixel an r x r square, at a fractional one the dots laid out again
// on a grid of constant pitch, evenly spaced, in the same logical size. The implicit size is a new sign's,
// 161 x 32. A width given to the item stays the item's: the sign drawn is the widest the size rule allows
// within it (the largest 3n + 2 not above it), 32 high, from the item's top left corner; a lower item clips
// it, and nothing is drawn outside the item (it clips). Disabled (itself or through a parent) the sign is
// drawn at half opacity over the application palette's disabled Window colour, as the widget over its
// palette's. While the item cannot be seen (not visible, no window, the window hidden or minimised) the sign
// ticks on but nothing is drawn; it shows its current frame when it is seen again.
//
// The item may be deleted (from C++) inside a handler of any of its signals.
//
// Accessibility: Accessible.role is StaticText and Accessible.name the whole text (not the slice on
// display), unless the item's user has given Accessible.name a value of their own.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <glimmer/qt/led_sign_api.h>

#include <QColor>
#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

#include "qt/core/sign_view.h"

namespace glimmer::qt {

class LedSignItem : public QQuickItem, public LedSignApi, private SignView {
  Q_OBJECT
  QML_NAMED_ELEMENT(LedSign)
  // The colours as LedSign.Red, LedSign.Green and LedSign.Yellow: the widget's enum, not a copy of it.
  QML_EXTENDED_NAMESPACE(glimmer::qt::LedSignProperties)
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
  Q_PROPERTY(glimmer::qt::LedSignProperties::Color color READ color WRITE setColor NOTIFY colorChanged)
  Q_PROPERTY(QVariant delay READ delay WRITE setDelay NOTIFY delayChanged)
  Q_PROPERTY(bool repeated READ isRepeated WRITE setRepeated NOTIFY repeatedChanged)
  Q_PROPERTY(QVariant borderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
  Q_PROPERTY(glimmer::qt::LedSignProperties::Glyphs glyphs READ glyphs WRITE setGlyphs NOTIFY glyphsChanged)
  Q_PROPERTY(bool upperCase READ isUpperCase WRITE setUpperCase NOTIFY upperCaseChanged)
  Q_PROPERTY(bool scrolling READ isScrolling NOTIFY scrollingChanged)

 public:
  explicit LedSignItem(QQuickItem* parent = nullptr);
  ~LedSignItem() override;
  LedSignItem(const LedSignItem&) = delete;
  LedSignItem& operator=(const LedSignItem&) = delete;
  using LedSignApi::setBorderStyle;
  using LedSignApi::setDelay;

 public slots:
  // The setters as slots, for signal-slot connections (Qt Designer's editor among them); a write by name
  // takes the variant setDelay and setBorderStyle of the shared part.
  void setText(const QString& text) { LedSignApi::setText(text); }
  void setColor(glimmer::qt::LedSignProperties::Color color) { LedSignApi::setColor(color); }
  // A colour by number, for a combo box's currentIndexChanged(int): 0 red, 1 green, 2 yellow.
  void setColor(int color) { LedSignApi::setColor(color); }
  void setDelay(int milliseconds) { LedSignApi::setDelay(milliseconds); }
  void setRepeated(bool repeated) { LedSignApi::setRepeated(repeated); }
  void setBorderStyle(int style) { LedSignApi::setBorderStyle(style); }
  void setGlyphs(glimmer::qt::LedSignProperties::Glyphs glyphs) { LedSignApi::setGlyphs(glyphs); }
  void setUpperCase(bool upper) { LedSignApi::setUpperCase(upper); }
  // Starts the text from the right edge; after stop(), goes on from where the text stood; while the text
  // moves, does nothing. False when the control failed.
  bool start() { return Start(); }
  // Halts the text and keeps the frame and place, until start(). False when the text was not moving.
  bool stop() { return Stop(); }
  // A new pass from the right edge, whether the sign was scrolling, stopped or idle.
  bool restart() { return Restart(); }
  // The control's Clear: stops the text and clears the dots. False when the control failed.
  bool clear() { return Clear(); }
  // Moves the text one step now, as the timer would: only while it scrolls. Returns whether it did.
  bool advance() { return Advance(); }

 signals:
  void textChanged(const QString& text);
  void colorChanged(glimmer::qt::LedSignProperties::Color color);
  void delayChanged(int milliseconds);
  void repeatedChanged(bool repeated);
  void borderStyleChanged(int style);
  void glyphsChanged(glimmer::qt::LedSignProperties::Glyphs glyphs);
  void upperCaseChanged(bool upper);
  void scrollingChanged(bool scrolling);
  void passFinished();
  void clicked();
  void doubleClicked();

 protected:
  QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;
  void itemChange(ItemChange change, const ItemChangeData& value) override;
  void geometryChange(const QRectF& new_geometry, const QRectF& old_geometry) override;
  void componentComplete() override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend class LedSignItemProbe;

  // SignView: the core drew, resized, changed the control's Enabled or the text.
  [[nodiscard]] QObject& face() override { return *this; }
  [[nodiscard]] qreal ratio() const override;
  [[nodiscard]] QSizeF GivenSize() const override;
  void FrameChanged() override;
  void SizeChanged(QSize logical) override;
  void EnabledChanged(bool on) override;
  void TextChanged() override { UpdateAccessibleName(); }

  // Paints the sign at (0, 0), as the widget does: dimmed when disabled, the focus frame with active focus.
  void PaintSign(QPainter& painter);
  [[nodiscard]] std::optional<QColor> DimmedOver() const;
  // Whether a frame drawn now could be seen.
  [[nodiscard]] bool OnScreen() const;
  void Reappear();
  void FollowWindow(QQuickWindow* window);
  void FollowParent(QQuickItem* parent);
  void SyncEnabled();
  void AttachAccessible();
  void UpdateAccessibleName();

  // The frame has changed since it was last turned into a texture.
  bool stale_ = true;
  std::int64_t paints_ = 0;
  QPointer<QQuickWindow> window_;
  QPointer<QQuickItem> parent_;
  // The Accessible attached object and the name this item last gave it.
  QPointer<QObject> accessible_;
  QString accessible_name_;
};

}  // namespace glimmer::qt
