// SPDX-License-Identifier: MIT
// LedSignApi: the reads and writes that every Qt face of the sign offers (the LedSign widget, the QML item),
// written once. A face derives from its toolkit class first and from this, declares the Q_PROPERTY lines,
// signals and slots that moc must see in the class itself, and hands this part its core.
//
// A write the control refuses (a colour of 3, a delay of -1 or beyond 16 bits, a borderStyle of 2, a number
// that is not exactly an integer) leaves the property as it was and emits nothing.
#pragma once

#include <glimmer/qt/core_export.h>
#include <glimmer/qt/led_sign_properties.h>

#include <QAnyStringView>
#include <QString>
#include <QVariant>

namespace glimmer::qt {

class SignCore;

/// The reads and writes that every Qt face of the sign offers (LedSign, the QML item), written once. A write
/// the control refuses leaves the property as it was and emits nothing; the face emits the NOTIFY signal of
/// an accepted write that changed the value. The defaults are a new control's: empty text, Red, 50 ms, not
/// repeated, rings shown, Capitals, no upper case, still.
class GLIMMER_QT_CORE_EXPORT LedSignApi {
 public:
  /// The colour schemes (LedSignProperties::Color).
  using Color = LedSignProperties::Color;
  /// The glyph sets (LedSignProperties::Glyphs).
  using Glyphs = LedSignProperties::Glyphs;
  // So that LedSign::Green names a colour in C++, as LedSign.Green does in QML.
  /// The red scheme (0), the default.
  static constexpr Color Red = LedSignProperties::Red;
  /// The green scheme (1).
  static constexpr Color Green = LedSignProperties::Green;
  /// The yellow scheme (2).
  static constexpr Color Yellow = LedSignProperties::Yellow;

  /// The text, "" by default.
  [[nodiscard]] QString text() const;
  /// Any text; the glyph set's characters are drawn, any other as a blank cell. It applies from the next
  /// step, going on from the current place.
  void setText(const QString& text);
  /// The colour, Red by default.
  [[nodiscard]] Color color() const;
  /// Red, Green or Yellow, from the next step; any other value is refused.
  void setColor(Color color);
  /// A colour by its number (0 red, 1 green, 2 yellow), as a combo box's index gives one; 3 is refused.
  void setColor(int color);
  /// Milliseconds per step, 50 by default; 0 holds the text where it stands.
  [[nodiscard]] int delay() const;
  /// 0 to 32767, applied at once (the wait for the next step starts afresh); any other value is refused.
  void setDelay(int milliseconds);
  /// A value of any type, as QObject::setProperty and QML pass one: taken only when it is exactly an integer
  /// from 0 to 32767 (1.5, NaN and 2^40 are refused rather than converted).
  void setDelay(const QVariant& milliseconds);
  /// Whether the text starts again after every pass; false by default.
  [[nodiscard]] bool isRepeated() const;
  /// Applies from the next step.
  void setRepeated(bool repeated);
  /// 1 (the default): the grey and white rings around the dots are shown; 0: hidden.
  [[nodiscard]] int borderStyle() const;
  /// 1 or 0, applied at once; any other value is refused.
  void setBorderStyle(int style);
  /// As setBorderStyle(int), for a value of any type: taken only when it is exactly the integer 0 or 1.
  void setBorderStyle(const QVariant& style);
  /// The glyph set, Capitals by default.
  [[nodiscard]] Glyphs glyphs() const;
  /// Capitals, Ascii or Latin1, from the next step; any other value is refused.
  void setGlyphs(Glyphs glyphs);
  /// Whether small letters are drawn with their capitals' glyphs; false by default.
  [[nodiscard]] bool isUpperCase() const;
  /// Applies from the next step.
  void setUpperCase(bool upper);
  /// Whether the text moves: after start() or restart() with a delay above 0, until stop(), clear() or the
  /// end of a pass that does not repeat.
  [[nodiscard]] bool isScrolling() const;

  /// The control's one-line description of a property, slot or signal by its Qt name ("color", "start",
  /// "passFinished"); empty for a name the sign does not have. Qt Designer's tool tips are these.
  [[nodiscard]] static QString description(QAnyStringView name) {
    return LedSignProperties::description(name);
  }
  /// The category of a property by its Qt name ("Appearance" for "color"); empty for anything else.
  [[nodiscard]] static QString category(QAnyStringView name) { return LedSignProperties::category(name); }

  LedSignApi(const LedSignApi&) = delete;
  LedSignApi& operator=(const LedSignApi&) = delete;

 protected:
  /// \cond FACES
  // What the faces build on, not part of their API: left out of the reference.
  /// Made by a face only, which sets core_.
  LedSignApi() = default;
  /// Not deleted through this base: a face owns its core.
  ~LedSignApi() = default;

  // What the faces' slots start(), stop(), restart(), clear() and advance() do. Start: after Stop, the text
  // goes on from where it stood; after a pass that did not repeat, a new pass from the right edge; otherwise
  // the control's Show (the text from the right edge, only when the sign is idle, so nothing while it
  // scrolls). Stop: the text halts and keeps its frame and place (false when it was not moving). Restart: a
  // new pass from the right edge, whatever the sign was doing (the control's Clear and then its Show).
  // Clear: stops the text and clears the dots. Advance: one step now, as the timer would, only while the
  // text moves. Each returns false when the control failed; stop() and advance() also when the text was not
  // moving. start() while the text moves does nothing and returns true.
  /// A face's start(): after stop(), goes on; after a pass that did not repeat, a new pass from the right
  /// edge; when idle, the text from the right edge; while the text moves, nothing. False when the control
  /// failed.
  bool Start();
  /// A face's stop(): halts the text, keeping frame and place. False when the text was not moving.
  bool Stop();
  /// A face's restart(): a new pass from the right edge, whatever the sign was doing.
  bool Restart();
  /// A face's clear(): stops the text and clears the dots. False when the control failed.
  bool Clear();
  /// A face's advance(): one step now, only while the text moves; whether a step was made.
  bool Advance();
  /// Space or Enter while the face has the keyboard focus: the face's clicked().
  void KeyClick();

  /// The shared core, made and disposed of by the face.
  SignCore* core_ = nullptr;
  /// \endcond
};

}  // namespace glimmer::qt
