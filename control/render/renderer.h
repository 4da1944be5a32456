// SPDX-License-Identifier: MIT
// The animation engine: Show (start), Clear (stop and release), and the timer tick, which builds one whole
// frame on an off-screen surface and copies it to the control in one block.
//
// A frame is the container's background colour over the display window, a grid of 9 rows of unlit 2 x 2
// dots on a 3-pixel pitch, and the text of Value in 5 x 7 glyphs of lit and unlit dots. Every tick moves the
// text one dot column (3 pixels) to the left; when the last character has left the display the pass ends:
// the timer keeps running or stops according to Repeated, the text goes back to the right edge and
// Terminate is raised.
//
// Coordinates and counters are 16-bit and every sum and product on them is checked. The tick never fails:
// a step that fails is skipped, and whatever it would have set keeps its value. So:
// - a container that cannot report ScaleWidth gets one block of grid, no background fill and no copy on
//   that tick (the size-dependent steps fail; nothing else does);
// - a control whose tables could not be built shows background only: no glyph is found and no dot has a
//   colour, while the text still moves and passes end on time;
// - a BackColor that cannot be translated becomes -1, whose brush paints white (only the low 24 bits of a
//   colour count); the container's Cls clears to the same white, so ticks and Clear agree;
// - a fresh surface is black until the first tick paints it, and a copy that reaches beyond a surface made
//   for a smaller control leaves the control's pixels there as they were.
//
// A tick costs what changes, not the sign's area: when nothing that shapes a frame has changed since the
// last one (size, colours, text, glyphs, surface) and that frame was painted whole without a failure, the
// new frame is that one moved one dot column (3 pixels) to the left, and only the columns that come in on
// the right are painted. The pixels, the brushes accounted for and the calls to the container are exactly
// those of painting the whole frame.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <glimmer/control/properties/led_fields.h>
#include <glimmer/control/tables/glyphs.h>
#include <glimmer/control/tables/palette.h>
#include <glimmer/host/container.h>
#include <glimmer/host/gdi/gdi.h>

namespace glimmer {

// The renderer's members. The surface (MemDC with MemBitmap selected) lives from Show to Clear.
struct RendererState {
  std::int16_t ScrollX = 0;    // surface x of the first character cell's left edge
  gdi::HBITMAP MemBitmap = 0;  // the surface's bitmap; 0 when there is none
  gdi::HDC MemDC = 0;          // the surface's drawing context; 0 when there is none
  gdi::HBITMAP OldBitmap = 0;  // what MemDC held before MemBitmap; Clear puts it back and keeps the value
  // Texts longer than kLongestPass only: how many leading characters have scrolled out for good (see
  // Renderer::PaintLongText); ScrollX is then shifted right by 18 pixels for each of them.
  std::int32_t TextOffset = 0;
};

class Renderer {
 public:
  // The longest text whose pass can end within the 16-bit scroll position.
  static constexpr std::size_t kLongestPass = 1820;

  Renderer(Container& container, const LedFields& fields, const Palette& palette, const Glyphs& glyphs);
  // Releases a surface that Clear did not release, without calling the container.
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // When idle (timer off, no surface): makes the surface at the control's size, puts the text at the right
  // edge and starts the timer. Without a context it stays idle; without a bitmap it keeps the context with
  // the timer off. The first failing container call ends it and is its result.
  [[nodiscard]] Status Show();
  // Stops the timer, clears the control's area and releases the surface, in any state.
  [[nodiscard]] Status Clear();
  // One tick: builds and copies one frame.
  void TimerLED_Timer();

  [[nodiscard]] const RendererState& state() const { return state_; }

 private:
  // Tests and benchmarks turn direct painting off (direct_) to compare it with painting every dot through
  // its own brush and fill.
  friend class TestAccess;

  // The tick's local variables; like the locals of a procedure they start at 0 on every tick, and a step
  // that fails leaves them as they were.
  struct Locals {
    ColorRef colour;
    gdi::HBRUSH brush = 0;
    Rect rect;
    std::int16_t B = 0;
    std::int16_t X = 0;
    std::int16_t Y = 0;
    std::int16_t L = 0;
    std::int16_t s = 0;
    std::int16_t X0 = 0;
  };

  // What shaped a frame left on the surface by a tick that painted it all by the fast path.
  struct Painted {
    const Pixel* pixels = nullptr;
    std::int32_t surface_width = 0;
    std::int32_t surface_height = 0;
    std::int32_t width = 0;  // the display window
    std::int32_t height = 0;
    Pixel back = 0;
    Pixel lit = 0;
    Pixel unlit = 0;
    std::int16_t scroll = 0;  // the ScrollX its text was laid out from
    std::uint64_t value_version = 0;
    std::uint64_t glyphs = 0;
    bool operator==(const Painted&) const = default;
  };

  // Whether this tick may move the last frame instead of painting it all: see the class comment.
  [[nodiscard]] bool CanShift(const Painted& now) const;
  void PaintBackground(Locals& v);
  void PaintGrid(Locals& v);
  void PaintBlock(Locals& v, std::int32_t b);
  void PaintText(Locals& v);
  void PaintLongText(Locals& v);
  void UnshiftScroll();
  void PaintCharacter(Locals& v, const Result<ColorRef>& lit, const Result<ColorRef>& unlit);
  void EndOfPass();
  void CopyToControl();
  void ReleaseSurface();
  void RefreshLayout();

  // Paints one dot through a brush of its own: shade 0 lit, 1 unlit, in the current colour scheme.
  [[nodiscard]] Status DrawDot(std::int16_t x, std::int16_t y, std::uint8_t shade);
  // The colour of a dot of `shade`: SubscriptOutOfRange for a colour scheme outside the palette.
  [[nodiscard]] Result<ColorRef> DotColour(std::uint8_t shade) const;
  // A container colour as RGB, or -1 when it cannot be translated.
  [[nodiscard]] Result<ColorRef> TranslateColor(ColorRef colour, std::int32_t palette) const;

  [[nodiscard]] Result<std::int32_t> Inner32(Result<float> size) const;
  [[nodiscard]] Result<std::int16_t> Inner16(Result<float> size) const;
  [[nodiscard]] Result<Timer*> TimerLED() const;

  Container& container_;
  const LedFields& fields_;
  const Palette& palette_;
  const Glyphs& glyphs_;
  RendererState state_;
  bool direct_ = true;

  // The last frame, when the next tick may move it; renewed by every tick.
  std::optional<Painted> painted_;
  // Within a tick: what it paints, the first column it paints (0 unless it moved the last frame), and
  // whether every step so far took the fast path.
  Painted frame_;
  std::int32_t from_ = 0;
  bool clean_ = false;

  // Glyph starts of the current text (texts up to kLongestPass), renewed when Value or the table changes.
  std::vector<std::int16_t> starts_;
  std::uint64_t starts_version_ = ~std::uint64_t{0};
  std::uint64_t starts_glyphs_ = 0;  // the id of the table they were found in
};

}  // namespace glimmer
