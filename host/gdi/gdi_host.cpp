// SPDX-License-Identifier: MIT
#include "host/gdi/gdi_host.h"

#include <algorithm>
#include <array>
#include <utility>

#include "host/gdi/gdi_object_table.h"

namespace glimmer::gdi {
namespace {

using detail::ObjectTable;

// The usual desktop values of the system colours, by index; index 25 names no colour.
constexpr std::array<std::int32_t, 31> kDefaultSysColors = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x544E43, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, -1,       0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};

std::array<std::int32_t, 31>& SysColors() {
  static std::array<std::int32_t, 31> colours = kDefaultSysColors;
  return colours;
}

}  // namespace

PixelView Pixels(HDC hdc) {
  ObjectTable& t = ObjectTable::Instance();
  const detail::DcData* dc = t.Dc(hdc);
  detail::BitmapData* bmp = dc ? t.Bitmap(dc->selected) : nullptr;
  if (bmp == nullptr) return {};
  return PixelView{bmp->pixels.data(), bmp->width, bmp->height};
}

Rect TakeDamage(HDC hdc) {
  ObjectTable& t = ObjectTable::Instance();
  const detail::DcData* dc = t.Dc(hdc);
  detail::BitmapData* bmp = dc ? t.Bitmap(dc->selected) : nullptr;
  if (bmp == nullptr) return {};
  return std::exchange(bmp->damage, Rect{});
}

OwnedSurface::OwnedSurface(std::int32_t width, std::int32_t height, Pixel fill) {
  dc_ = ObjectTable::Instance().CreateDc(/*injectable=*/false);
  Resize(width, height, fill);
}

OwnedSurface::~OwnedSurface() {
  if (dc_ != 0 && stock_ != 0) SelectObject(dc_, stock_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void OwnedSurface::Resize(std::int32_t width, std::int32_t height, Pixel fill) {
  const PixelView old = pixels();
  const bool has_old = bitmap_ != 0 && old;
  const std::int32_t w = std::clamp(width, 1, kMaxBitmapSide);
  const std::int32_t h = std::clamp(height, 1, kMaxBitmapSide);
  if (has_old && old.width == w && old.height == h) return;
  if (std::int64_t{w} * h > kMaxBitmapPixels) return;
  // The area that a window newly shows is painted in its background colour; what stays inside keeps its
  // pixels.
  const HBITMAP fresh = ObjectTable::Instance().CreateBitmap(w, h, fill, /*injectable=*/false);
  if (fresh == 0) return;  // keeps the old area; a container's screen cannot grow beyond what memory allows
  if (has_old) {
    detail::BitmapData* to = ObjectTable::Instance().Bitmap(fresh);
    for (std::int32_t y = 0; y < std::min(h, old.height); ++y)
      std::copy_n(old.row(y), std::min(w, old.width), to->pixels.data() + static_cast<std::ptrdiff_t>(y) * w);
  }
  const HGDIOBJ previous = SelectObject(dc_, fresh);
  if (stock_ == 0) stock_ = previous;
  DeleteObject(bitmap_);
  bitmap_ = fresh;
}

void OwnedSurface::Fill(Pixel fill) {
  const PixelView v = pixels();
  if (v) std::fill(v.data, v.data + static_cast<std::ptrdiff_t>(v.width) * v.height, fill);
}

Image OwnedSurface::snapshot() const {
  const PixelView v = pixels();
  Image image(v.width, v.height);
  if (v) std::copy(v.data, v.data + static_cast<std::ptrdiff_t>(v.width) * v.height, image.pixels.begin());
  return image;
}

bool SetSysColor(std::int32_t index, ColorRef colour) {
  if (index < 0 || index >= static_cast<std::int32_t>(SysColors().size())) return false;
  SysColors()[static_cast<std::size_t>(index)] = colour.value & 0x00FFFFFF;
  return true;
}

bool GetSysColor(std::int32_t index, ColorRef* colour) {
  if (index < 0 || index >= static_cast<std::int32_t>(SysColors().size())) return false;
  const std::int32_t v = SysColors()[static_cast<std::size_t>(index)];
  if (v < 0) return false;
  *colour = ColorRef{v};
  return true;
}

void ResetSysColors() {
  SysColors() = kDefaultSysColors;
}

LiveCounts Live() {
  return ObjectTable::Instance().live();
}
std::uint64_t Creations(ObjectKind kind) {
  return ObjectTable::Instance().creations(kind);
}
void FailNthCreation(ObjectKind kind, std::uint64_t n) {
  ObjectTable::Instance().FailNth(kind, n);
}
void FailAllCreations(ObjectKind kind, bool on) {
  ObjectTable::Instance().FailAll(kind, on);
}
void ResetFaults() {
  ObjectTable::Instance().ResetFaults();
}
bool ReserveBrushes(std::uint64_t count) {
  return ObjectTable::Instance().Reserve(ObjectKind::Brush, count);
}

bool BrushesSure(std::uint64_t count) {
  return ObjectTable::Instance().Sure(ObjectKind::Brush, count);
}

}  // namespace glimmer::gdi
