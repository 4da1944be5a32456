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

class GLIMMER_QT_CORE_EXPORT LedSignApi {
 public:
  using Color = LedSignProperties::Color;
  using Glyphs = LedSignProperties::Glyphs;
  // So that LedSign::Green names a colour in C++, as LedSign.Green does in QML.
  static constexpr Color Red = LedSignProperties::Red;
  static constexpr Color Green = LedSignProperties::Green;
  static constexpr Color Yellow = LedSignProperties::Yellow;

  [[nodiscard]] QString text() const;
  void setText(const QString& text);
  [[nodiscard]] Color color() const;
  void setColor(Color color);
  [[nodiscard]] int delay() const;
  void setDelay(int milliseconds);
  // A value of any type, as QObject::setProperty and QML pass one: taken only when it is exactly an integer.
  void setDelay(const QVariant& milliseconds);
  [[nodiscard]] bool isRepeated() const;
  void setRepeated(bool repeated);
  [[nodiscard]] int borderStyle() const;
  void setBorderStyle(int style);
  void setBorderStyle(const QVariant& style);
  // The glyphs the text is drawn with (Capitals by default, the control's own), and whether small letters
  // are drawn as capitals (false by default). The next step draws with them.
  [[nodiscard]] Glyphs glyphs() const;
  void setGlyphs(Glyphs glyphs);
  [[nodiscard]] bool isUpperCase() const;
  void setUpperCase(bool upper);
  // Whether the text moves: after start(), with a delay above 0, until clear() or the end of a pass that does
  // not repeat.
  [[nodiscard]] bool isScrolling() const;

  // The description of a property, slot or signal by its Qt name ("color", "start", "passFinished") and the
  // category of a property ("Appearance"), as the control's member list gives them.
  [[nodiscard]] static QString description(QAnyStringView name) {
    return LedSignProperties::description(name);
  }
  [[nodiscard]] static QString category(QAnyStringView name) { return LedSignProperties::category(name); }

  LedSignApi(const LedSignApi&) = delete;
  LedSignApi& operator=(const LedSignApi&) = delete;

 protected:
  LedSignApi() = default;
  ~LedSignApi() = default;

  // What the faces' slots start(), clear() and advance() do. Start: the text from the right edge, as the
  // control's Show does (only when the sign is idle); Clear: stops the text and clears the dots; Advance: one
  // step now, as the timer would, only while the text moves. False when nothing was done or the control
  // failed.
  bool Start();
  bool Clear();
  bool Advance();

  // The shared core, made and disposed of by the face.
  SignCore* core_ = nullptr;
};

}  // namespace glimmer::qt
