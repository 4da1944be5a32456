// SPDX-License-Identifier: MIT
// LedSign: the dot-matrix LED sign as a Qt widget. It scrolls its text from right to left in red, green or
// yellow, one dot column per step, and says when each pass has finished.
//
//   auto* sign = new glimmer::qt::LedSign;
//   sign->setProperty("text", "HELLO");  // or sign->setText("HELLO")
//   sign->setColor(glimmer::qt::LedSign::Green);
//   QObject::connect(sign, &glimmer::qt::LedSign::passFinished, [] { ... });
//   layout->addWidget(sign);
//   sign->start();
//
// It hosts one LED control, through the core it shares with the QML item; every rule is the control's.
// Properties (readable and writable by name, as Qt Designer, QML and QPropertyAnimation use them):
//
//   text         QString  the text, UTF-16 as the control keeps it; the control draws the digits, the capital
//                         letters, "-", ":" and the space, and a blank cell for any other character
//   color        Color    Red, Green or Yellow (LedSign::Green, as LedSign.Green in QML)
//   delay        int      milliseconds per step, 0 to 32767 (0: the text stands still)
//   repeated     bool     start the text again after every pass
//   borderStyle  int      1 shows the grey and white rings around the dots, 0 hides them
//   enabled      bool     QWidget's own, kept in step with the control's Enabled both ways: a disabled sign
//                         goes on scrolling but takes no mouse input (no clicked(), no doubleClicked())
//   scrolling    bool     read only: the text is moving
//
// A write the control refuses (a color of 3, a delay of -1 or beyond 16 bits, a borderStyle of 2) leaves
// the property as it was and emits nothing. delay and borderStyle are declared as QVariant, so that a value
// written by name that is not exactly an integer (1.5, NaN, 2^40) is refused too rather than converted;
// they read as int. The NOTIFY signals follow Qt's convention: they are emitted when the control accepted a
// write and the value differs from the one held before, also when the value was written through the control
// itself. A new sign starts as a new control does: empty text, red, 50 ms, not repeated, rings shown,
// enabled, still.
//
// Size: the control's size rule makes every sign 32 pixels high and 3n + 2 pixels wide (a new sign is 161;
// the widest is 16382). sizeHint() and minimumSizeHint() are that size and the size policy is fixed both
// ways, so a layout gives the sign exactly its size; a layout that offers more width leaves the sign at its
// width, at the start of the space (or where the layout's alignment for it says). To make it wider, set a
// minimum width (in a layout) or resize() it: the size rule snaps the width up to the next 3n + 2 and the
// sign takes that. The control draws at the width it had when it was started: a sign resized while it
// scrolls shows the new width after clear() and start(). On a screen of device pixel ratio 2 or more every
// pixel of the sign is drawn as a whole square of device pixels; below that, one to one.
//
// A sign may be deleted inside a handler of any of its signals (passFinished(), a NOTIFY, clicked()).
//
// Accessibility: screen readers see static text whose name is the whole text (not the slice on display),
// marked "marqueed" while it scrolls; a change of the text raises a name-change event.
//
// The library is shared, so a program and a plugin that both create signs share one LedSign meta-object.
// This header is plain C++17 and includes only Qt and Glimmer's public headers.
#pragma once

#include <glimmer/qt/export.h>
#include <glimmer/qt/led_sign_api.h>

#include <QString>
#include <QVariant>
#include <QWidget>
#include <memory>

namespace glimmer::qt {

class LedSignPrivate;

class GLIMMER_QT_EXPORT LedSign : public QWidget, public LedSignApi {
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged USER true)
  Q_PROPERTY(glimmer::qt::LedSignProperties::Color color READ color WRITE setColor NOTIFY colorChanged)
  Q_PROPERTY(QVariant delay READ delay WRITE setDelay NOTIFY delayChanged)
  Q_PROPERTY(bool repeated READ isRepeated WRITE setRepeated NOTIFY repeatedChanged)
  Q_PROPERTY(QVariant borderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
  Q_PROPERTY(glimmer::qt::LedSignProperties::Glyphs glyphs READ glyphs WRITE setGlyphs NOTIFY glyphsChanged)
  Q_PROPERTY(bool upperCase READ isUpperCase WRITE setUpperCase NOTIFY upperCaseChanged)
  Q_PROPERTY(bool scrolling READ isScrolling NOTIFY scrollingChanged)

 public:
  explicit LedSign(QWidget* parent = nullptr);
  ~LedSign() override;
  LedSign(const LedSign&) = delete;
  LedSign& operator=(const LedSign&) = delete;
  using LedSignApi::setBorderStyle;
  using LedSignApi::setDelay;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

 public slots:
  // The setters as slots, for signal-slot connections (Qt Designer's editor among them); a write by name
  // takes the variant setDelay and setBorderStyle of the shared part.
  void setText(const QString& text) { LedSignApi::setText(text); }
  void setColor(glimmer::qt::LedSignProperties::Color color) { LedSignApi::setColor(color); }
  void setDelay(int milliseconds) { LedSignApi::setDelay(milliseconds); }
  void setRepeated(bool repeated) { LedSignApi::setRepeated(repeated); }
  void setBorderStyle(int style) { LedSignApi::setBorderStyle(style); }
  void setGlyphs(glimmer::qt::LedSignProperties::Glyphs glyphs) { LedSignApi::setGlyphs(glyphs); }
  void setUpperCase(bool upper) { LedSignApi::setUpperCase(upper); }
  // Starts the text from the right edge, as the control's Show does: only when the sign is idle, so not
  // while it scrolls, nor after a pass that did not repeat, until clear(). False when the control failed.
  bool start() { return Start(); }
  // Stops the text and clears the dots. False when the control failed.
  bool clear() { return Clear(); }
  // Moves the text one step now, as the timer would: only while it scrolls. For hosts that keep their own
  // time (and for tests); returns whether a step was made.
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
  // The last character has left the display; emitted inside the step that ends the pass, after the sign
  // has started the text again (repeated) or stopped.
  void passFinished();
  // A left button pressed and released over the sign, and a double click; only while it is enabled.
  void clicked();
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend class LedSignPrivate;
  std::unique_ptr<LedSignPrivate> d_;
};

}  // namespace glimmer::qt
