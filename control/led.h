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

/// The LED control: a one-line dot-matrix sign that scrolls the text of Value from right to left, one dot
/// column per tick of its timer, in red, green or yellow, and raises Terminate at the end of every pass.
///
/// A container creates it from Class(), delivers its callbacks and drives its timer; a host sets its
/// properties and calls Show() and Clear(), directly or late-bound (Invoke()). Size rule: the control makes
/// its area 32 pixels high and 3n + 2 pixels wide, n dot columns, snapping a width up. Nothing throws; an
/// operation that can fail returns a Status.
class LED final : public Control {
 public:
  /// A control in @p container, which outlives it; the container delivers UserControl_Initialize next.
  explicit LED(Container& container);

  /// The class a container instantiates: "ProjectGlimmer.LED", its design-time description and a factory.
  [[nodiscard]] static const ControlClass& Class();

  // Properties. A write outside a property's range is ignored, and that is success; an accepted write
  // stores the value, tells the container (PropertyChanged) and applies Enabled, BorderStyle and Delay.
  /// 0: no rings; 1 (the default): the grey and white rings around the dots.
  [[nodiscard]] std::int32_t BorderStyle() const;
  /// Writes BorderStyle: 0 or 1.
  [[nodiscard]] Status BorderStyle(std::int32_t newValue);
  /// 0 red (the default), 1 green, 2 yellow.
  [[nodiscard]] std::int32_t Color() const;
  /// Writes Color: 0, 1 or 2, from the next tick.
  [[nodiscard]] Status Color(std::int32_t newValue);
  /// Milliseconds per tick, 0 to 32767; 50 by default. 0 holds the text where it stands.
  [[nodiscard]] std::int16_t Delay() const;
  /// Writes Delay: 0 to 32767, applied to the timer at once.
  [[nodiscard]] Status Delay(std::int16_t newValue);
  /// Whether the control takes user input (clicks); True by default. It scrolls either way.
  [[nodiscard]] Boolean Enabled() const;
  /// Writes Enabled.
  [[nodiscard]] Status Enabled(Boolean newValue);
  /// Whether a new pass starts after each one; False by default.
  [[nodiscard]] Boolean Repeated() const;
  /// Writes Repeated, read at the end of the pass.
  [[nodiscard]] Status Repeated(Boolean newValue);
  /// The text, "" by default; read by the next tick, from the current position.
  [[nodiscard]] std::u16string Value() const;
  /// Writes Value: any text; characters without a glyph are drawn as blank cells.
  [[nodiscard]] Status Value(std::u16string_view newValue);

  /// Value, the default member: the control reads as its text.
  [[nodiscard]] operator std::u16string() const { return Value(); }
  /// Value, the default member: the control assigns as its text.
  Status operator=(std::u16string_view newValue) { return Value(newValue); }

  // The glyphs the text is drawn with, a choice of the host that the control neither saves nor reports:
  // Capitals (the default, the control's own 39 glyphs), Ascii or Latin1 (glyph_set.h), and whether small
  // letters are drawn as capitals (false by default). A change rebuilds the glyph table, when there is one,
  // and the next tick draws with it; a value that names no set is ignored.
  /// The glyph set, Capitals by default.
  [[nodiscard]] glimmer::GlyphSet GlyphSet() const { return glyph_set_; }
  /// Chooses the glyph set; the next tick draws with it.
  [[nodiscard]] Status GlyphSet(glimmer::GlyphSet newValue);
  /// Whether small letters are drawn as capitals; false by default.
  [[nodiscard]] bool UpperCase() const { return upper_case_; }
  /// Chooses whether small letters are drawn as capitals; the next tick draws so.
  [[nodiscard]] Status UpperCase(bool newValue);

  /// Starts the animation when idle: takes the current size, makes the frame, puts the text at the right
  /// edge and starts the timer. Does nothing while the text runs.
  [[nodiscard]] Status Show();
  /// Stops the animation, clears the dots and releases the off-screen surface.
  [[nodiscard]] Status Clear();

  // Container callbacks.
  /// Assembles the palette and the glyph table.
  Status UserControl_Initialize() override;
  /// A new control's defaults.
  Status UserControl_InitProperties() override;
  /// Reads the saved properties from @p bag.
  Status UserControl_ReadProperties(PropertyBag& bag) override;
  /// Writes the properties to @p bag, each with its default, so the bag keeps only what differs.
  Status UserControl_WriteProperties(PropertyBag& bag) override;
  /// Applies the size rule: 32 high, 3n + 2 wide.
  Status UserControl_Resize() override;
  /// Nothing: stopping the timer and releasing the surface are Clear()'s work, which the host calls first.
  Status UserControl_Terminate() override;
  /// A tick of the timer of that name.
  Status OnTimer(std::string_view timer_name) override;
  /// A tick of the control's timer: one step of the text, and Terminate at the end of a pass.
  Status TimerLED_Timer();

  // Late-bound interface.
  /// The properties and methods, with their dispatch ids and descriptions.
  std::span<const MemberInfo> Members() const override;
  /// The events the control raises.
  std::span<const EventInfo> Events() const override;
  /// Reads, writes or calls a member by its dispatch id.
  Result<PropertyValue> Invoke(DispId id, InvokeKind kind, std::span<const PropertyValue> args) override;
  using Dispatch::Invoke;

  // Inspection, for tests and tools.
  /// The colours of the three schemes.
  [[nodiscard]] const glimmer::Palette& Palette() const { return palette_; }
  /// The glyph table in use.
  [[nodiscard]] const glimmer::Glyphs& Glyphs() const { return glyphs_; }
  /// Where the text stands and what the frame holds.
  [[nodiscard]] const RendererState& renderer_state() const { return renderer_.state(); }
  /// The renderer itself.
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
