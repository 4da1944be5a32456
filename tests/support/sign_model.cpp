// SPDX-License-Identifier: MIT
#include "tests/support/sign_model.h"

#include <algorithm>

#include "control/tables/glyph_font.h"
#include "tests/support/reference_frame.h"

namespace glimmer::testing {
namespace {

constexpr std::int32_t kHeight = 32;

// Sets the pixels left <= x < right, top <= y < bottom of `image`, clipped to it.
void Fill(Image& image, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
          Pixel colour) {
  for (std::int64_t y = std::max<std::int64_t>(top, 0); y < std::min<std::int64_t>(bottom, image.height); ++y)
    for (std::int64_t x = std::max<std::int64_t>(left, 0); x < std::min<std::int64_t>(right, image.width);
         ++x)
      image.at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)) = colour;
}

const GlyphPattern* FindGlyph(char16_t ch) {
  for (const GlyphPattern& g : kGlyphFont)
    if (g.key == ch) return &g;
  return nullptr;
}

}  // namespace

SignModel::SignModel(std::int32_t width, std::u16string text, std::int32_t color, bool repeated)
    : width_(width),
      text_(std::move(text)),
      color_(color),
      repeated_(repeated),
      screen_(width, kHeight, kBlack) {}

void SignModel::FailCreation(gdi::ObjectKind kind, std::uint64_t n) {
  fail_at_[Index(kind)] = made_[Index(kind)] + n;
}

bool SignModel::Create(gdi::ObjectKind kind) {
  return ++made_[Index(kind)] != fail_at_[Index(kind)];
}

void SignModel::Show() {
  if (timer_ || dc_) return;
  if (!Create(gdi::ObjectKind::DC)) return;
  dc_ = true;
  surface_ = Image(1, 1, kBlack);
  if (!Create(gdi::ObjectKind::Bitmap)) return;  // Stopped: the context stays, without a bitmap
  bitmap_ = true;
  surface_ = Image(width_, kHeight, kBlack);
  scroll_ = width_ - 4;
  timer_ = true;
}

void SignModel::Clear(Pixel back) {
  timer_ = false;
  screen_ = Image(width_, kHeight, back);
  dc_ = bitmap_ = false;
  surface_ = Image();
}

void SignModel::PaintDot(std::int64_t x, std::int64_t y, Pixel colour) {
  if (!Create(gdi::ObjectKind::Brush)) return;  // that dot is not painted
  Fill(surface_, x, y, x + 2, y + 2, colour);
}

bool SignModel::Tick(Pixel back, const TickFaults& faults, const std::function<void()>& on_terminate) {
  if (!faults.no_background_brush && Create(gdi::ObjectKind::Brush) && !faults.no_background_rect)
    Fill(surface_, 0, 0, width_ - 4, kHeight - 4, back);
  const std::int32_t blocks = faults.no_block_count ? 1 : (width_ - 4) / 15 + 1;
  for (std::int32_t b = 0; b < blocks; ++b)
    for (std::int32_t r = 0; r < 9; ++r)
      for (std::int32_t c = 0; c < 5; ++c)
        PaintDot(15 * b + 1 + 3 * c, 1 + 3 * r, UnlitColour(color_));
  if (scroll_ - 3 >= -32768) scroll_ -= 3;
  bool raised = false;
  PaintText(faults, on_terminate, raised);
  if (!faults.no_copy) Copy();
  return raised;
}

void SignModel::PaintText(const TickFaults& faults, const std::function<void()>& on_terminate, bool& raised) {
  const auto length = static_cast<std::int64_t>(text_.size());
  for (std::int64_t i = 0; i < length; ++i) {
    const std::int64_t origin = scroll_ + 18 * i;
    if (i == length - 1 && origin < -17) return EndOfPass(faults, on_terminate, raised);
    const GlyphPattern* glyph = FindGlyph(text_[static_cast<std::size_t>(i)]);
    if (glyph == nullptr) continue;
    for (int r = 0; r < 7; ++r)
      for (int c = 0; c < 5; ++c)
        PaintDot(origin + 3 + 3 * c, 4 + 3 * r,
                 glyph->rows[r][c] == '#' ? LitColour(color_) : UnlitColour(color_));
  }
}

void SignModel::EndOfPass(const TickFaults& faults, const std::function<void()>& on_terminate, bool& raised) {
  if (!faults.no_timer_write) timer_ = repeated_;
  if (!faults.no_scroll_reset) scroll_ = width_ - 4;
  if (faults.no_raise) return;
  raised = true;
  if (on_terminate) on_terminate();
}

// The display window of the surface, as large as the surface has pixels, onto the control at (2, 2).
void SignModel::Copy() {
  if (!dc_) return;
  const std::int32_t w = std::min(width_ - 4, surface_.width);
  const std::int32_t h = std::min(kHeight - 4, surface_.height);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      screen_.at(x + 2, y + 2) = surface_.at(x, y);
}

Image SignModel::Frame() const {
  Image frame = screen_;
  const std::int32_t w = width_, h = kHeight;
  Fill(frame, 1, 1, w - 1, 2, kWhite);
  Fill(frame, 1, h - 2, w - 1, h - 1, kWhite);
  Fill(frame, 1, 1, 2, h - 1, kWhite);
  Fill(frame, w - 2, 1, w - 1, h - 1, kWhite);
  Fill(frame, 0, 0, w, 1, kGrey);
  Fill(frame, 0, h - 1, w, h, kGrey);
  Fill(frame, 0, 0, 1, h, kGrey);
  Fill(frame, w - 1, 0, w, h, kGrey);
  return frame;
}

}  // namespace glimmer::testing
