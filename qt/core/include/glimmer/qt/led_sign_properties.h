// SPDX-License-Identifier: MIT
// The sign's properties as Qt's property system knows them, apart from any widget, so that every Qt face of
// the sign (the LedSign widget, a Qt Designer plugin, a Qt Quick item) names them alike: the Qt names and
// the control members they stand for, the Color enum, and the descriptions and categories that the control's
// own member list gives its properties, methods and events.
#pragma once

#include <glimmer/qt/core_export.h>

#include <QAnyStringView>
#include <QObject>
#include <QString>
#include <optional>
#include <string_view>

namespace glimmer::qt {

/// The sign's properties as Qt's property system knows them, apart from any widget: their Qt names and the
/// control members they stand for, the Color and Glyphs enums, and the control's descriptions and categories.
class GLIMMER_QT_CORE_EXPORT LedSignProperties {
  Q_GADGET

 public:
  // The colour schemes, numbered as the control numbers them (its Color 0, 1 and 2). Unscoped, because Qt
  // Designer saves an enum value as the enum's class and the value (LedSignProperties::Green) and uic
  // writes that into C++; LedSign::Color::Green names it too. Its underlying type is fixed, so that any
  // int a caller writes (the control refuses all but these three) is a value of the type.
  /// The colour schemes, numbered as the control's Color property.
  enum Color : int {
    Red,     ///< 0, the default.
    Green,   ///< 1.
    Yellow,  ///< 2.
  };
  Q_ENUM(Color)
  // The glyph sets, numbered as the control numbers them: its own 39 capitals (the default), printable
  // ASCII, and ASCII with the Latin-1 supplement.
  /// The glyph sets the text is drawn with.
  enum Glyphs : int {
    Capitals,  ///< 0, the default: the control's own 39 glyphs (digits, capitals, "-", ":", space).
    Ascii,     ///< 1: printable ASCII.
    Latin1,    ///< 2: ASCII with the Latin-1 supplement.
  };
  Q_ENUM(Glyphs)

  // The Qt properties that stand for the control's properties, in the order of the control's member list,
  // then those that stand for the host's choices of glyphs, which the control does not save.
  /// The sign's writable Qt properties, in this order.
  enum class Property {
    BorderStyle,  ///< borderStyle, the control's BorderStyle.
    Color,        ///< color, the control's Color.
    Delay,        ///< delay, the control's Delay.
    Enabled,      ///< enabled, the control's Enabled.
    Repeated,     ///< repeated, the control's Repeated.
    Text,         ///< text, the control's Value.
    Glyphs,       ///< glyphs, the host's choice of glyphs.
    UpperCase,    ///< upperCase, the host's choice of capitals for small letters.
  };
  /// How many values Property has.
  static constexpr int kPropertyCount = 8;

  // The Qt name of a property ("borderStyle", "text") and the control member it stands for ("BorderStyle",
  // "Value").
  /// The Qt name of a property ("borderStyle").
  [[nodiscard]] static const char* qtName(Property property);
  /// The name of the control member a property stands for ("Value" for Property::Text).
  [[nodiscard]] static std::string_view memberName(Property property);
  /// The property of a Qt name; none for a name the sign does not have.
  [[nodiscard]] static std::optional<Property> fromQtName(QAnyStringView qt_name);
  /// The property that stands for a control member; none for any other member.
  [[nodiscard]] static std::optional<Property> fromMemberName(std::string_view member);

  /// The one-line description of a property, method or event of the sign by its Qt name ("text", "start",
  /// "passFinished"), as the control's member list has it; empty for a name the sign does not have.
  [[nodiscard]] static QString description(QAnyStringView qt_name);
  /// The category of a property by its Qt name ("Appearance" for "color"), as the control's member list has
  /// it; empty for anything else.
  [[nodiscard]] static QString category(QAnyStringView qt_name);
};

}  // namespace glimmer::qt
