// SPDX-License-Identifier: MIT
// The settings of the form description, each named once: the reader and the writer both walk these tables,
// so a setting's name, its type, its choices and its limits cannot differ between what is read and what is
// written. Each row is a TOML key and the field of the description that holds it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <tuple>

#include "demo/form/form_description.h"
#include "host/gdi/gdi.h"

namespace glimmer::form_settings {

inline constexpr std::string_view kFormKey = "FormGlimmer";
inline constexpr std::string_view kControlKey = "LED1";
inline constexpr std::string_view kEntriesKey = "entries";

// Largest sides, in pixels: what the drawing layer can hold, and the widest sign whose size rule stays
// within it (16382 = 3n + 2 is its own snapped width).
inline constexpr double kMaxSide = gdi::kMaxBitmapSide;
inline constexpr double kMaxSignWidth = gdi::kMaxBitmapSide - 2;
// The largest client area: the window grows around a sign wider or taller than stored so as to keep its left
// or top margin on the other side too (ClientAreaFor), so the widest sign at the farthest place makes a
// margin, the sign and the margin again. What --save writes then always opens again.
inline constexpr double kMaxClientSide = 2 * kMaxSide + kMaxSignWidth;

// The pixels a measure in twips may span.
struct PixelLimits {
  double min = 0;
  double max = 0;
};

// One setting: a text (std::string), true or false (bool), one of the names of ChoiceNames (an enum, stored
// as its index) or a measure in twips within `limits` (double). An optional setting may be left out, for
// the value of a new description, and is written only when it holds another value: files without it are
// read, and written, as before it existed.
template <class Owner, class T>
struct Setting {
  std::string_view name;
  T Owner::*field;
  PixelLimits limits{};
  bool optional = false;
};

// The names of an enum's values, in the order of the values.
constexpr std::array<std::string_view, 2> ChoiceNames(FormBorder) {
  return {"fixed-single", "sizable"};
}
constexpr std::array<std::string_view, 2> ChoiceNames(StartUpPosition) {
  return {"center-screen", "windows-default"};
}
constexpr std::array<std::string_view, 3> ChoiceNames(GlyphSet) {
  return kGlyphSetNames;
}

// [FormGlimmer], in the order in which they are read (the first error found is the one reported). A
// client area needs at least one pixel each way.
inline const auto kFormSettings = std::make_tuple(
    Setting<FormDescription, std::string>{"caption", &FormDescription::caption},
    Setting<FormDescription, FormBorder>{"border_style", &FormDescription::border},
    Setting<FormDescription, bool>{"min_button", &FormDescription::min_button},
    Setting<FormDescription, bool>{"max_button", &FormDescription::max_button},
    Setting<FormDescription, StartUpPosition>{"start_up_position", &FormDescription::start_up_position},
    Setting<FormDescription, double>{"client_width", &FormDescription::client_width, {1, kMaxClientSide}},
    Setting<FormDescription, double>{"client_height", &FormDescription::client_height, {1, kMaxClientSide}});

// [FormGlimmer.LED1], besides its entries table. The class must be kLedClassName.
inline constexpr std::string_view kClassSetting = "class";
inline const auto kControlSettings = std::make_tuple(
    Setting<ControlDescription, std::string>{kClassSetting, &ControlDescription::class_name},
    Setting<ControlDescription, double>{"left", &ControlDescription::left, {0, kMaxSide}},
    Setting<ControlDescription, double>{"top", &ControlDescription::top, {0, kMaxSide}},
    Setting<ControlDescription, double>{"width", &ControlDescription::width, {0, kMaxSignWidth}},
    Setting<ControlDescription, double>{"height", &ControlDescription::height, {0, kMaxSide}},
    Setting<ControlDescription, GlyphSet>{"glyphs", &ControlDescription::glyphs, {}, true},
    Setting<ControlDescription, bool>{"upper_case", &ControlDescription::upper_case, {}, true});

// The names of a table's settings, followed by `more` (its sub-tables).
template <class... Rows, class... More>
constexpr auto SettingNames(const std::tuple<Rows...>& rows, More... more) {
  return std::apply(
      [&](const auto&... row) {
        return std::array<std::string_view, sizeof...(Rows) + sizeof...(More)>{row.name...,
                                                                               std::string_view(more)...};
      },
      rows);
}

}  // namespace glimmer::form_settings
