// SPDX-License-Identifier: MIT
#include "control/render/renderer.h"

#include <algorithm>
#include <limits>

#include "control/geometry/led_design.h"
#include "control/interface/led_members.h"
#include "control/render/dot_painter.h"
#include "host/base/checked_math.h"
#include "host/base/try.h"
#include "host/gdi/gdi_host.h"

namespace glimmer {
namespace {

constexpr std::int32_t kBlockDots = 45;  // 5 columns x 9 rows
constexpr std::int32_t kGlyphDots = 35;  // 5 columns x 7 rows
// The last grid block whose every coordinate stays within 16 bits (15b + 16 <= 32767).
constexpr std::int32_t kLastSafeBlock = 2183;
// The rightmost cell origin whose glyph coordinates all stay within 16 bits (X0 + 18 <= 32767).
constexpr std::int32_t kLastSafeOrigin = 32749;

}  // namespace

Renderer::Renderer(Container& container, const LedFields& fields, const Palette& palette,
                   const Glyphs& glyphs)
    : container_(container), fields_(fields), palette_(palette), glyphs_(glyphs) {}

Renderer::~Renderer() {
  ReleaseSurface();
}

Result<Timer*> Renderer::TimerLED() const {
  return container_.TimerChild(kTimerLED);
}

// Size - 4, rounded to the nearest whole pixel (ties to even): the display window's width or height.
Result<std::int32_t> Renderer::Inner32(Result<float> size) const {
  if (!size) return Fail(size.error());
  return RoundTo32(static_cast<double>(*size - 4.0f));
}

Result<std::int16_t> Renderer::Inner16(Result<float> size) const {
  if (!size) return Fail(size.error());
  return RoundTo16(static_cast<double>(*size - 4.0f));
}

// ---------------------------------------------------------------------------------------------------------
// Show and Clear

Status Renderer::Show() {
  const auto timer = TRY(TimerLED());
  const auto running = TRY(timer->Enabled());
  if (running || state_.MemDC != 0) return {};

  const auto hdc = TRY(container_.hDC());
  state_.MemDC = gdi::CreateCompatibleDC(hdc);
  if (state_.MemDC == 0) return {};

  const auto hdc_again = TRY(container_.hDC());
  const auto width = TRY(container_.ScaleWidth());
  const auto w = TRY(RoundTo32(width));
  const auto height = TRY(container_.ScaleHeight());
  const auto h = TRY(RoundTo32(height));
  state_.MemBitmap = gdi::CreateCompatibleBitmap(hdc_again, w, h);
  if (state_.MemBitmap == 0) return {};

  painted_.reset();
  state_.OldBitmap = gdi::SelectObject(state_.MemDC, state_.MemBitmap);
  const auto start = TRY(Inner16(container_.ScaleWidth()));
  state_.ScrollX = start;
  state_.TextOffset = 0;
  return timer->Enabled(true);
}

Status Renderer::Clear() {
  const auto timer = TRY(TimerLED());
  if (auto s = timer->Enabled(false); !s) return s;
  if (auto s = container_.Cls(); !s) return s;
  ReleaseSurface();
  return {};
}

void Renderer::ReleaseSurface() {
  painted_.reset();
  if (state_.MemDC == 0) return;
  if (state_.MemBitmap != 0) {
    const gdi::HBITMAP ours = state_.MemBitmap;
    state_.MemBitmap = gdi::SelectObject(state_.MemDC, state_.OldBitmap);
    gdi::DeleteObject(state_.MemBitmap);
    state_.MemBitmap = 0;
    // Should the old bitmap not go back in, the context releases ours when it goes; release it then too.
    if (gdi::DeleteDC(state_.MemDC) != 0) gdi::DeleteObject(ours);
    state_.MemDC = 0;
    return;
  }
  gdi::DeleteDC(state_.MemDC);
  state_.MemDC = 0;
}

// ---------------------------------------------------------------------------------------------------------
// The tick

void Renderer::TimerLED_Timer() {
  Locals v;
  frame_ = Painted{};
  from_ = 0;
  clean_ = direct_;
  PaintBackground(v);
  PaintGrid(v);
  if (const auto x = Sub16(state_.ScrollX, 3))
    state_.ScrollX = *x;
  else
    clean_ = false;
  PaintText(v);
  painted_.reset();
  if (clean_) {
    frame_.scroll = state_.ScrollX;
    painted_ = frame_;
  }
  CopyToControl();
}

bool Renderer::CanShift(const Painted& now) const {
  if (!direct_ || !painted_ || *painted_ != now || state_.TextOffset != 0) return false;
  if (now.width < 3 || now.height < 27 || now.width > now.surface_width || now.height > now.surface_height)
    return false;
  // Every cell origin of the text stays where the fast path paints it, and the scroll position can move.
  const auto length = static_cast<std::int64_t>(fields_.Value.size());
  if (length > static_cast<std::int64_t>(kLongestPass) || state_.ScrollX < -32765) return false;
  if (std::int64_t{state_.ScrollX} - 3 + 18 * std::max<std::int64_t>(length - 1, 0) > kLastSafeOrigin)
    return false;
  // Every brush of the tick is sure to be made, so that no dot goes unpainted.
  return gdi::BrushesSure(
      static_cast<std::uint64_t>(kBlockDots * (now.width / 15 + 1) + kGlyphDots * length));
}

void Renderer::PaintBackground(Locals& v) {
  // Colour and brush are one step: a colour that cannot be read leaves no brush, and nothing is filled.
  if (const auto back = container_.BackColor()) {
    if (const auto colour = TranslateColor(*back, 0)) {
      v.colour = *colour;
      v.brush = gdi::CreateSolidBrush(v.colour);
    }
  }
  if (v.brush == 0) {
    clean_ = false;
    return;
  }
  const auto right = Inner32(container_.ScaleWidth());
  const auto bottom = Inner32(container_.ScaleHeight());
  if (right && bottom)
    gdi::SetRect(v.rect, 0, 0, *right, *bottom);
  else
    clean_ = false;
  const gdi::PixelView view = gdi::Pixels(state_.MemDC);
  const auto lit = DotColour(0);
  const auto unlit = DotColour(1);
  if (clean_ && view && lit && unlit) {
    frame_ = Painted{.pixels = view.data,
                     .surface_width = view.width,
                     .surface_height = view.height,
                     .width = *right,
                     .height = *bottom,
                     .back = PixelOf(v.colour),
                     .lit = PixelOf(*lit),
                     .unlit = PixelOf(*unlit),
                     .scroll = state_.ScrollX,
                     .value_version = fields_.value_version,
                     .glyphs = glyphs_.id()};
    if (CanShift(frame_)) {
      // Outside the text, before and after the move, a frame is background and grid, which a move of one
      // dot column leaves as it is: only the text's columns move. Then only the column of dots that comes
      // in on the right is painted anew.
      const std::int64_t length = static_cast<std::int64_t>(fields_.Value.size());
      // The text's first glyph column comes to ScrollX - 3 + 3; its last ends at ScrollX + 18 L - 1 now.
      const std::int64_t first = state_.ScrollX;
      const std::int64_t last = std::int64_t{state_.ScrollX} + 18 * length - 1;
      if (length > 0)
        dot_painter::ShiftLeft(view, static_cast<std::int32_t>(std::max<std::int64_t>(first, 0)),
                               static_cast<std::int32_t>(std::min<std::int64_t>(last, *right - 3)), *bottom,
                               3);
      from_ = *right - 3;
      Rect strip;
      gdi::SetRect(strip, from_, 0, *right, *bottom);
      gdi::FillRect(state_.MemDC, strip, v.brush);
      gdi::DeleteObject(v.brush);
      return;
    }
  } else {
    clean_ = false;
  }
  gdi::FillRect(state_.MemDC, v.rect, v.brush);
  gdi::DeleteObject(v.brush);
}

void Renderer::PaintGrid(Locals& v) {
  if (const auto inner = Inner32(container_.ScaleWidth()))
    if (const auto blocks = detail::narrow<std::int16_t>(*inner / 15)) v.B = *blocks;

  // The whole grid at once, when its coordinates cannot overflow and its brushes are sure to be made.
  if (direct_ && v.B <= kLastSafeBlock) {
    const auto dim = DotColour(1);
    const std::int32_t blocks = v.B + 1;
    if (!dim || gdi::ReserveBrushes(static_cast<std::uint64_t>(kBlockDots * blocks))) {
      // Without a dot colour every dot fails before it makes a brush, and nothing is painted.
      if (dim) dot_painter::Grid(gdi::Pixels(state_.MemDC), blocks, PixelOf(*dim), from_);
      if (!dim) clean_ = false;
      v.X = static_cast<std::int16_t>(15 * v.B + 16);
      v.Y = 28;
      return;
    }
  }
  clean_ = false;
  for (std::int32_t b = 0; b <= v.B; ++b)
    PaintBlock(v, b);
}

void Renderer::PaintBlock(Locals& v, std::int32_t b) {
  v.Y = 1;
  for (int r = 0; r < 9; ++r) {
    if (const auto x = Mul16(15, static_cast<std::int16_t>(b)))
      if (const auto x1 = Add16(*x, 1)) v.X = *x1;
    for (int c = 0; c < 5; ++c) {
      (void)DrawDot(v.X, v.Y, 1);
      if (const auto x = Add16(v.X, 3)) v.X = *x;
    }
    if (const auto y = Add16(v.Y, 3)) v.Y = *y;
  }
}

void Renderer::RefreshLayout() {
  if (starts_version_ == fields_.value_version && starts_glyphs_ == glyphs_.id()) return;
  starts_.resize(fields_.Value.size());
  std::transform(fields_.Value.begin(), fields_.Value.end(), starts_.begin(),
                 [&](char16_t ch) { return glyphs_.GlyphStart(ch); });
  starts_version_ = fields_.value_version;
  starts_glyphs_ = glyphs_.id();
}

void Renderer::PaintText(Locals& v) {
  const std::u16string& text = fields_.Value;
  if (const auto length = detail::narrow<std::int16_t>(static_cast<std::int64_t>(text.size()))) v.L = *length;
  if (text.size() > kLongestPass) return PaintLongText(v);

  UnshiftScroll();
  RefreshLayout();
  const auto lit = DotColour(0);
  const auto unlit = DotColour(1);
  for (std::int16_t i = 1; i <= v.L; ++i) {
    v.s = starts_[static_cast<std::size_t>(i - 1)];
    bool placed = false;
    if (const auto a = Mul16(static_cast<std::int16_t>(i - 1), 6))
      if (const auto b = Mul16(*a, 3))
        if (const auto x0 = Add16(state_.ScrollX, *b)) v.X0 = *x0, placed = true;
    if (!placed) clean_ = false;
    if (i == v.L && v.X0 < -17) return EndOfPass();
    PaintCharacter(v, lit, unlit);
  }
}

// A text longer than kLongestPass cannot end its pass within the 16-bit scroll position. It scrolls on
// the same way all the same: once the first laid-out character has wholly left the display on the left,
// it is dropped from the layout for the rest of the pass (TextOffset counts the dropped ones) and ScrollX
// moves one character cell (18 pixels) to the right, so that the text's position on screen is unchanged.
// Only the characters that can reach the surface are laid out, so a tick costs the same for any length.
// The pass ends, as for every text, when the last character's cell origin is left of -17, which for a
// control 3n + 2 pixels wide is on tick n + 6L of the pass.
void Renderer::PaintLongText(Locals& v) {
  clean_ = false;
  const auto length = static_cast<std::int64_t>(fields_.Value.size());
  std::int64_t offset = std::clamp<std::int64_t>(state_.TextOffset, 0, length - 1);
  std::int64_t scroll = state_.ScrollX;
  if (scroll <= -18) {
    const std::int64_t shift = std::min((-18 - scroll) / 18 + 1, length - 1 - offset);
    scroll += 18 * shift;
    offset += shift;
  }
  state_.ScrollX = static_cast<std::int16_t>(scroll);
  state_.TextOffset = static_cast<std::int32_t>(offset);
  if (scroll + 18 * (length - 1 - offset) < -17) return EndOfPass();

  const auto lit = DotColour(0);
  const auto unlit = DotColour(1);
  const std::int64_t limit = gdi::Pixels(state_.MemDC).width;
  for (std::int64_t i = offset; i < length; ++i) {
    const std::int64_t x0 = scroll + 18 * (i - offset);
    if (x0 + 3 >= limit) break;
    v.X0 = static_cast<std::int16_t>(x0);
    v.s = glyphs_.GlyphStart(fields_.Value[static_cast<std::size_t>(i)]);
    PaintCharacter(v, lit, unlit);
  }
}

// After a long text, ScrollX is the shifted position and TextOffset counts the characters dropped from the
// layout. A text short enough for the 16-bit position goes on from the true position, where ScrollX would
// be without the shift, as if it had been there all along; that position stops at -32768 like any other.
void Renderer::UnshiftScroll() {
  if (state_.TextOffset == 0) return;
  const std::int64_t scroll = std::int64_t{state_.ScrollX} - 18 * std::int64_t{state_.TextOffset};
  state_.ScrollX =
      static_cast<std::int16_t>(std::max<std::int64_t>(scroll, std::numeric_limits<std::int16_t>::min()));
  state_.TextOffset = 0;
}

void Renderer::PaintCharacter(Locals& v, const Result<ColorRef>& lit, const Result<ColorRef>& unlit) {
  if (direct_ && v.X0 <= kLastSafeOrigin) {
    // Without a glyph, or without dot colours, no dot makes a brush and nothing is painted. With both, the
    // 35 dots are painted at once when their brushes are sure to be made. Either way the locals end as the
    // dot-by-dot loop leaves them.
    const bool nothing = v.s <= 0 || (!lit && !unlit);
    if (nothing || (lit && unlit && gdi::ReserveBrushes(kGlyphDots))) {
      if (!nothing)
        dot_painter::Glyph(gdi::Pixels(state_.MemDC), v.X0 + 3, 4, glyphs_.Bits(v.s), PixelOf(*lit),
                           PixelOf(*unlit), from_);
      v.X = static_cast<std::int16_t>(v.X0 + 18);
      v.Y = 25;
      return;
    }
  }
  clean_ = false;
  v.Y = 4;
  for (int r = 0; r < 7; ++r) {
    if (const auto x = Add16(v.X0, 3)) v.X = *x;
    for (int c = 0; c < 5; ++c) {
      if (v.s > 0) {
        // A cell that cannot be read counts as not lit.
        const auto cell = glyphs_.Cell(v.s + 5 * r + c);
        (void)DrawDot(v.X, v.Y, cell && *cell == 1 ? 0 : 1);
      }
      if (const auto x = Add16(v.X, 3)) v.X = *x;
    }
    if (const auto y = Add16(v.Y, 3)) v.Y = *y;
  }
}

void Renderer::EndOfPass() {
  // The text starts again from the right edge: the next frame is painted whole.
  clean_ = false;
  if (const auto timer = TimerLED()) (void)(*timer)->Enabled(static_cast<bool>(fields_.Repeated));
  if (const auto start = Inner16(container_.ScaleWidth())) state_.ScrollX = *start;
  state_.TextOffset = 0;
  (void)container_.RaiseEvent(kTerminateEvent);
}

void Renderer::CopyToControl() {
  // The surface is read now, after any Terminate handler has run (it may have released or renewed it).
  const auto hdc = container_.hDC();
  if (!hdc) return;
  const auto width = Inner32(container_.ScaleWidth());
  if (!width) return;
  const auto height = Inner32(container_.ScaleHeight());
  if (!height) return;
  gdi::BitBlt(*hdc, 2, 2, *width, *height, state_.MemDC, 0, 0, gdi::SRCCOPY);
}

// ---------------------------------------------------------------------------------------------------------
// Dots and colours

Result<ColorRef> Renderer::DotColour(std::uint8_t shade) const {
  const auto twice = TRY(Mul32(2, fields_.Color));
  const auto index = TRY(Add32(twice, shade));
  return palette_.Entry(std::int64_t{index} - palette_.LowerBound());
}

Status Renderer::DrawDot(std::int16_t x, std::int16_t y, std::uint8_t shade) {
  const auto colour = TRY(DotColour(shade));
  const gdi::HBRUSH brush = gdi::CreateSolidBrush(colour);
  if (brush == 0) return {};
  const auto right = Add16(x, 2);
  const auto bottom = Add16(y, 2);
  if (!right || !bottom) {
    gdi::DeleteObject(brush);
    return Fail(Error::Overflow);
  }
  Rect rect;
  gdi::SetRect(rect, x, y, *right, *bottom);
  gdi::FillRect(state_.MemDC, rect, brush);
  gdi::DeleteObject(brush);
  return {};
}

Result<ColorRef> Renderer::TranslateColor(ColorRef colour, std::int32_t palette) const {
  ColorRef rgb;
  if (gdi::OleTranslateColor(colour, palette, &rgb) == gdi::S_OK) return rgb;
  return ColorRef{-1};
}

}  // namespace glimmer
