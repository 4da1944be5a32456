// SPDX-License-Identifier: MIT
// LED: a one-line dot-matrix LED sign that scrolls its text from right to left.
//
// The control shows a lattice of 2 x 2-pixel dots, nine rows high on a 3-pixel pitch, inside a grey and a
// white border ring, and moves the text of Value one dot column to the left on every tick of its timer, in
// red, green or yellow. At the end of every pass it raises Terminate and starts again (Repeated) or stops.
//
// A container creates it from LED::Class(), delivers its callbacks and drives its timer; a host sets its
// properties and calls Show and Clear, directly or late-bound. Nothing here throws; every operation that
// can fail returns a Status.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include <glimmer/control/properties/properties.h>
#include <glimmer/control/render/renderer.h>
#include <glimmer/control/tables/glyphs.h>
#include <glimmer/control/tables/palette.h>
#include <glimmer/host/container.h>
#include <glimmer/host/control.h>

namespace glimmer {

class LED final : public Control {
 public:
  explicit LED(Container& container);

  // The class a container instantiates: "ProjectGlimmer.LED", its design-time description and a factory.
  [[nodiscard]] static const ControlClass& Class();

  // Properties. A write outside a property's range is ignored, and that is success; an accepted write
  // stores the value, tells the container (PropertyChanged) and applies Enabled, BorderStyle and Delay.
  [[nodiscard]] std::int32_t BorderStyle() const;  // 0 no rings, 1 rings (the default)
  [[nodiscard]] Status BorderStyle(std::int32_t newValue);
  [[nodiscard]] std::int32_t Color() const;  // 0 red (the default), 1 green, 2 yellow
  [[nodiscard]] Status Color(std::int32_t newValue);
  [[nodiscard]] std::int16_t Delay() const;  // milliseconds per tick, 0 to 32767; 50 by default
  [[nodiscard]] Status Delay(std::int16_t newValue);
  [[nodiscard]] Boolean Enabled() const;  // takes user input; True by default
  [[nodiscard]] Status Enabled(Boolean newValue);
  [[nodiscard]] Boolean Repeated() const;  // starts a new pass after each one; False by default
  [[nodiscard]] Status Repeated(Boolean newValue);
  [[nodiscard]] std::u16string Value() const;  // the text; read by the next tick, from the current position
  [[nodiscard]] Status Value(std::u16string_view newValue);

  // Value is the default member: the control reads and assigns as its text.
  [[nodiscard]] operator std::u16string() const { return Value(); }
  Status operator=(std::u16string_view newValue) { return Value(newValue); }

  // The glyphs the text is drawn with, a choice of the host that the control neither saves nor reports:
  // Capitals (the default, the control's own 39 glyphs), Ascii or Latin1 (glyph_set.h), and whether small
  // letters are drawn as capitals (false by default). A change rebuilds the glyph table, when there is one,
  // and the next tick draws with it; a value that names no set is ignored.
  [[nodiscard]] glimmer::GlyphSet GlyphSet() const { return glyph_set_; }
  [[nodiscard]] Status GlyphSet(glimmer::GlyphSet newValue);
  [[nodiscard]] bool UpperCase() const { return upper_case_; }
  [[nodiscard]] Status UpperCase(bool newValue);

  // Starts the animation (when idle) and stops it, releasing the off-screen surface.
  [[nodiscard]] Status Show();
  [[nodiscard]] Status Clear();

  // Container callbacks.
  Status UserControl_Initialize() override;
  Status UserControl_InitProperties() override;
  Status UserControl_ReadProperties(PropertyBag& bag) override;
  Status UserControl_WriteProperties(PropertyBag& bag) override;
  Status UserControl_Resize() override;
  Status UserControl_Terminate() override;
  Status OnTimer(std::string_view timer_name) override;
  Status TimerLED_Timer();

  // Late-bound interface.
  std::span<const MemberInfo> Members() const override;
  std::span<const EventInfo> Events() const override;
  Result<PropertyValue> Invoke(DispId id, InvokeKind kind, std::span<const PropertyValue> args) override;
  using Dispatch::Invoke;

  // Inspection, for tests and tools.
  [[nodiscard]] const glimmer::Palette& Palette() const { return palette_; }
  [[nodiscard]] const glimmer::Glyphs& Glyphs() const { return glyphs_; }
  [[nodiscard]] const RendererState& renderer_state() const { return renderer_.state(); }
  [[nodiscard]] Renderer& renderer() { return renderer_; }

 private:
  // Assembles the glyph table of a set and casing and puts it in place whole.
  [[nodiscard]] Status BuildGlyphs(glimmer::GlyphSet set, bool upper_case);

  Container& container_;
  Properties properties_;
  glimmer::Palette palette_;
  glimmer::Glyphs glyphs_;
  Renderer renderer_;
  glimmer::GlyphSet glyph_set_ = glimmer::GlyphSet::Capitals;
  bool upper_case_ = false;
};

}  // namespace glimmer
