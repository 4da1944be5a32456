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
//   scrolling    bool     read only: the text is moving; scrollingChanged(bool) comes with each change
//                         (start(), stop(), restart(), clear(), the end of a pass that does not repeat)
//
// Playback: start() runs the text from the right edge; stop() halts it where it stands, keeping the frame,
// and start() then goes on from there; after a pass that did not repeat, start() runs a new pass; restart()
// runs a new pass from the right at any time; clear() stops the text and clears the dots.
//
// Keyboard: the focus policy is QWidget's, NoFocus by default as for Qt's display widgets; set it to
// Qt::StrongFocus (or TabFocus) and the focused sign shows a dotted frame over its outer ring, and Space,
// Enter and Return emit clicked(). The slots setText(QString), setColor(int), setDelay(int) and
// setRepeated(bool) take a line edit, a combo box, a spin box and a check box in Designer's signal/slot
// editor.
//
// A write the control refuses (a color of 3, a delay of -1 or beyond 16 bits, a borderStyle of 2) leaves
// the property as it was and emits nothing. delay and borderStyle are declared as QVariant, so that a value
// written by name that is not exactly an integer (1.5, NaN, 2^40, "75", true) is refused too rather than
// converted; they read as int. The NOTIFY signals follow Qt's convention: they are emitted when the control
// accepted a write and the value differs from the one held before, also when the value was written through
// the control itself. A new sign starts as a new control does: empty text, red, 50 ms, not repeated, rings
// shown, enabled, still.
//
// Size: the control's size rule makes every sign 32 pixels high and 3n + 2 pixels wide (a new sign is 161;
// the widest is 16382). The widget, like any Qt widget, keeps the geometry its layout or resize() gives it
// and paints nothing outside it: within that width it draws the widest sign the rule allows (the largest
// 3n + 2 not above the width, at least 2), at its top left corner. sizeHint() and minimumSizeHint() are a
// new sign's 161 x 32 and the size policy is fixed both ways, so by default a layout gives the sign exactly
// that. For a wider sign set a minimum width (or setFixedSize(), or resize()); widths of the form 3n + 2
// leave no gap. With a horizontal policy of QSizePolicy::Expanding a sign fills a stretched row, a
// departures board across a window. A height below 32 clips the sign; beyond 32 (and beyond the sign's
// width) the widget shows its parent's background, as Qt's display widgets do (or the palette's Window
// with autoFillBackground). A sign resized while it scrolls takes its new width at once, rings and dots;
// the text goes on from where it stands, and restart() runs a new pass from the new right edge.
//
// Scale: the sign has the same logical size at every device pixel ratio (one control pixel a logical
// pixel). At a whole ratio r every pixel of it is an r x r square of device pixels; at a fractional one
// the dots are laid out again on a grid of constant pitch (floor(3r) device pixels a dot), every dot the
// same size and the rings one gap thick, centred in the sign's logical size, so that the dots stay evenly
// spaced: at 1.25 the grid is that of a ratio of 1 with a margin around it. The QML item shows the same
// device pixels.
//
// Disabled (by setEnabled(false) or with a disabled parent) the sign is drawn at half opacity over the
// palette's Window colour: dimmed, as a disabled label is greyed; it goes on scrolling.
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

/// The dot-matrix %LED sign as a Qt widget: its text scrolls from right to left in red, green or yellow, one
/// dot column per step, and passFinished() says when each pass has ended.
///
/// A new sign starts as a new control does: empty text, Red, a delay of 50 ms, not repeated, rings shown,
/// enabled, still. A write the control refuses leaves the property as it was and emits nothing; a NOTIFY
/// signal comes when a write was accepted and the value differs from before, however it was written.
///
/// Size: every sign is 32 pixels high and 3n + 2 pixels wide (a new sign is 161 x 32, the widest 16382). The
/// widget keeps the geometry it is given and draws, at its top left corner, the widest sign that fits in its
/// width; a height below 32 clips it. sizeHint() and minimumSizeHint() are 161 x 32 and the size policy is
/// fixed both ways; a minimum width or resize() makes a sign wider, and a horizontal policy of Expanding lets
/// it fill a stretched row. The sign has the same logical size and the same evenly spaced dots at every
/// device pixel ratio, and is drawn at half opacity over the palette's Window colour while disabled.
///
/// The focus policy is Qt::NoFocus by default; given one that takes the focus, the focused sign shows a
/// dotted frame, and Space, Enter and Return emit clicked(). A sign may be deleted inside a handler of any of
/// its signals. See the main page for the states of a sign and what each slot does in each.
class GLIMMER_QT_EXPORT LedSign : public QWidget, public LedSignApi {
  Q_OBJECT
  /// The text, UTF-16 as the control keeps it; "" by default. The glyph set's characters are drawn, any other
  /// as a blank cell. The user property: what Designer edits first. A new text goes on from the current
  /// place.
  Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged USER true)
  /// Red (the default), Green or Yellow, by name or number (0, 1, 2); any other number is refused. The
  /// property has the enum's type, for Designer and QML, so a value written by name reaches the control as
  /// Qt converts it to the enum: a 64-bit number cut to its low 32 bits, true as 1, an empty QVariant as 0.
  Q_PROPERTY(glimmer::qt::LedSignProperties::Color color READ color WRITE setColor NOTIFY colorChanged)
  /// Milliseconds per step, 0 to 32767, 50 by default; 0 holds the text where it stands. Declared as
  /// QVariant so that a value written by name that is not exactly an integer (1.5, NaN, 2^40, "75", true) is
  /// refused rather than converted, as are values below 0 or above 32767; it reads as an int.
  Q_PROPERTY(QVariant delay READ delay WRITE setDelay NOTIFY delayChanged)
  /// Whether the text starts again from the right edge after every pass; false by default.
  Q_PROPERTY(bool repeated READ isRepeated WRITE setRepeated NOTIFY repeatedChanged)
  /// 1 (the default) shows the grey and white rings around the dots, 0 hides them; any other value, and any
  /// that is not exactly an integer, is refused. Declared as QVariant for that reason; it reads as an int.
  Q_PROPERTY(QVariant borderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
  /// The glyph set: Capitals (the default, the control's own 39), Ascii or Latin1; the next step draws
  /// with it.
  Q_PROPERTY(glimmer::qt::LedSignProperties::Glyphs glyphs READ glyphs WRITE setGlyphs NOTIFY glyphsChanged)
  /// Whether small letters are drawn with their capitals' glyphs; false by default.
  Q_PROPERTY(bool upperCase READ isUpperCase WRITE setUpperCase NOTIFY upperCaseChanged)
  /// Read only: the text is moving (after start() or restart() with a delay above 0, until stop(), clear() or
  /// the end of a pass that does not repeat); false when new.
  Q_PROPERTY(bool scrolling READ isScrolling NOTIFY scrollingChanged)

 public:
  /// A new sign with the defaults above, owned by @p parent as any widget.
  explicit LedSign(QWidget* parent = nullptr);
  /// Stops the control and releases it; allowed inside a handler of the sign's own signals.
  ~LedSign() override;
  LedSign(const LedSign&) = delete;
  LedSign& operator=(const LedSign&) = delete;
  /// @name Writes by value, as setProperty() passes one
  /// Also the int overloads. See LedSignApi::setDelay(const QVariant&) and
  /// LedSignApi::setBorderStyle(const QVariant&).
  ///@{
  using LedSignApi::setBorderStyle;
  using LedSignApi::setDelay;
  ///@}

  /// A new sign's size, 161 x 32 (3n + 2 wide, as the size rule allows).
  [[nodiscard]] QSize sizeHint() const override;
  /// The same size as sizeHint(): a layout that gives less clips the sign.
  [[nodiscard]] QSize minimumSizeHint() const override;

 public slots:
  // The setters as slots, for signal-slot connections (Qt Designer's editor among them); a write by name
  // takes the variant setDelay and setBorderStyle of the shared part.
  /// Writes the text property (a line edit's textChanged(QString) connects here).
  void setText(const QString& text) { LedSignApi::setText(text); }
  /// Writes the color property.
  void setColor(glimmer::qt::LedSignProperties::Color color) { LedSignApi::setColor(color); }
  /// A colour by number, for a combo box's currentIndexChanged(int): 0 red, 1 green, 2 yellow; 3 is refused.
  /// Overloaded, as Qt's own such slots are: connect it as `qOverload<int>(&LedSign::setColor)`.
  void setColor(int color) { LedSignApi::setColor(color); }
  /// Writes the delay property (a spin box's valueChanged(int) connects here, as
  /// `qOverload<int>(&LedSign::setDelay)`); refused outside 0 to 32767.
  void setDelay(int milliseconds) { LedSignApi::setDelay(milliseconds); }
  /// Writes the repeated property (a check box's toggled(bool) connects here).
  void setRepeated(bool repeated) { LedSignApi::setRepeated(repeated); }
  /// Writes the borderStyle property: 1 or 0, anything else refused.
  void setBorderStyle(int style) { LedSignApi::setBorderStyle(style); }
  /// Writes the glyphs property.
  void setGlyphs(glimmer::qt::LedSignProperties::Glyphs glyphs) { LedSignApi::setGlyphs(glyphs); }
  /// Writes the upperCase property.
  void setUpperCase(bool upper) { LedSignApi::setUpperCase(upper); }
  /// Starts the text from the right edge at the widget's current size. After stop(), goes on from where the
  /// text stood; after a pass that did not repeat, runs a new pass from the right edge; while the text moves,
  /// does nothing (and returns true). False when the control failed. The sign draws its first frame on its
  /// first step: until start() and a step (the timer's, or advance() with a delay of 0), it shows its rings
  /// around a black area.
  bool start() { return Start(); }
  /// Halts the text and keeps the frame and place, until start(). False when the text was not moving.
  bool stop() { return Stop(); }
  /// A new pass from the right edge at the widget's current size, whether the sign was scrolling, stopped,
  /// finished or idle. False when the control failed.
  bool restart() { return Restart(); }
  /// Stops the text, clears the dots and releases the frame. False when the control failed.
  bool clear() { return Clear(); }
  /// Moves the text one step now, as the timer would: only while it scrolls, and not from inside a handler
  /// of the sign's own signals. For hosts that keep their own time (and for tests); returns whether a step
  /// was made.
  bool advance() { return Advance(); }

 signals:
  /// The text property changed.
  void textChanged(const QString& text);
  /// The color property changed.
  void colorChanged(glimmer::qt::LedSignProperties::Color color);
  /// The delay property changed.
  void delayChanged(int milliseconds);
  /// The repeated property changed.
  void repeatedChanged(bool repeated);
  /// The borderStyle property changed.
  void borderStyleChanged(int style);
  /// The glyphs property changed.
  void glyphsChanged(glimmer::qt::LedSignProperties::Glyphs glyphs);
  /// The upperCase property changed.
  void upperCaseChanged(bool upper);
  /// The text started or stopped moving (start(), stop(), restart(), clear(), the end of a pass that does
  /// not repeat, a delay written to or from 0).
  void scrollingChanged(bool scrolling);
  /// The last character has left the display; emitted inside the step that ends the pass, after the sign
  /// has started the text again (repeated) or stopped. An empty text never ends a pass.
  void passFinished();
  /// A left button pressed and released over an enabled sign, or Space, Enter or Return while it has the
  /// keyboard focus.
  void clicked();
  /// A left double click on an enabled sign.
  void doubleClicked();

 protected:
  // QWidget's event handlers; a subclass that overrides one calls LedSign's.
  /// Draws the sign at the top left corner: at a whole device pixel ratio each pixel a whole square of device
  /// pixels, at a fractional one the dots evenly spaced; dimmed while disabled.
  void paintEvent(QPaintEvent* event) override;
  /// Keeps the new size; the sign takes the widest width the size rule allows within it.
  void resizeEvent(QResizeEvent* event) override;
  /// Follows the window's state, to repaint when it is restored from minimised.
  void showEvent(QShowEvent* event) override;
  /// Keeps the control's Enabled in step with the widget's own (not with a disabled parent's).
  void changeEvent(QEvent* event) override;
  /// Space, Enter and Return emit clicked() (not their auto-repeats).
  void keyPressEvent(QKeyEvent* event) override;
  /// Shows the dotted focus frame.
  void focusInEvent(QFocusEvent* event) override;
  /// Hides the dotted focus frame.
  void focusOutEvent(QFocusEvent* event) override;
  /// A left button pressed over an enabled sign: half of clicked().
  void mousePressEvent(QMouseEvent* event) override;
  /// A left button released over an enabled sign after a press on it: clicked().
  void mouseReleaseEvent(QMouseEvent* event) override;
  /// A left double click on an enabled sign: doubleClicked().
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  friend class LedSignPrivate;
  std::unique_ptr<LedSignPrivate> d_;
};

}  // namespace glimmer::qt
