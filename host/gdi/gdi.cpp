// SPDX-License-Identifier: MIT
#include "host/gdi/gdi.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host/gdi/gdi_host.h"
#include "host/gdi/gdi_object_table.h"

namespace glimmer::gdi {
namespace {

using detail::BitmapData;
using detail::ObjectTable;

ObjectTable& table() {
  return ObjectTable::Instance();
}

BitmapData* SelectedBitmap(HDC hdc) {
  const detail::DcData* dc = table().Dc(hdc);
  return dc ? table().Bitmap(dc->selected) : nullptr;
}

}  // namespace

HDC CreateCompatibleDC(HDC hdc) {
  if (hdc != 0 && table().Dc(hdc) == nullptr) return 0;
  return table().CreateDc();
}

HBITMAP CreateCompatibleBitmap(HDC hdc, std::int32_t width, std::int32_t height) {
  if (table().Dc(hdc) == nullptr) return 0;
  if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return 0;
  if (std::int64_t{width} * height > kMaxBitmapPixels) return 0;
  return table().CreateBitmap(width, height, MakePixel(0, 0, 0));
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  detail::DcData* dc = table().Dc(hdc);
  BitmapData* bmp = table().Bitmap(object);
  if (dc == nullptr || bmp == nullptr) return 0;
  if (object == dc->selected) return object;
  if (bmp->selected_in != 0 && object != table().stock_bitmap()) return 0;
  const HBITMAP previous = dc->selected;
  if (BitmapData* old = table().Bitmap(previous); old != nullptr && previous != table().stock_bitmap())
    old->selected_in = 0;
  if (object != table().stock_bitmap()) bmp->selected_in = hdc;
  dc->selected = object;
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  bool live = false;
  const ObjectKind kind = table().KindOf(object, &live);
  if (!live || kind == ObjectKind::DC) return 0;
  if (object == table().stock_bitmap()) return 1;
  if (kind == ObjectKind::Bitmap && table().Bitmap(object)->selected_in != 0) return 0;
  table().Release(object);
  return 1;
}

BOOL DeleteDC(HDC hdc) {
  detail::DcData* dc = table().Dc(hdc);
  if (dc == nullptr) return 0;
  if (BitmapData* bmp = table().Bitmap(dc->selected);
      bmp != nullptr && dc->selected != table().stock_bitmap())
    bmp->selected_in = 0;
  table().Release(hdc);
  return 1;
}

HBRUSH CreateSolidBrush(ColorRef colour) {
  return table().CreateBrush(PixelOf(colour));
}

BOOL SetRect(Rect& rect, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  rect = Rect{left, top, right, bottom};
  return 1;
}

std::int32_t FillRect(HDC hdc, const Rect& rect, HBRUSH brush) {
  const Pixel* colour = table().Brush(brush);
  BitmapData* bmp = SelectedBitmap(hdc);
  if (colour == nullptr || bmp == nullptr) return 0;
  const Rect r = rect.intersected(Rect{0, 0, bmp->width, bmp->height});
  if (r.empty()) return 1;
  for (std::int32_t y = r.top; y < r.bottom; ++y) {
    Pixel* row = bmp->pixels.data() + static_cast<std::ptrdiff_t>(y) * bmp->width;
    std::fill(row + r.left, row + r.right, *colour);
  }
  bmp->damage = bmp->damage.united(r);
  return 1;
}

BOOL BitBlt(HDC dest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC src,
            std::int32_t src_x, std::int32_t src_y, std::uint32_t rop) {
  if (rop != SRCCOPY) return 0;
  BitmapData* to = SelectedBitmap(dest);
  BitmapData* from = SelectedBitmap(src);
  if (to == nullptr || from == nullptr) return 0;
  if (width <= 0 || height <= 0) return 1;
  // Clip in 64 bits so that no coordinate sum can overflow; the source offset moves with the destination.
  std::int64_t dx0 = x, dy0 = y, sx0 = src_x, sy0 = src_y, w = width, h = height;
  auto clip = [&](std::int64_t& a, std::int64_t& b, std::int64_t& len, std::int64_t limit_a,
                  std::int64_t limit_b) {
    if (a < 0) {
      b -= a;
      len += a;
      a = 0;
    }
    if (b < 0) {
      a -= b;
      len += b;
      b = 0;
    }
    len = std::min({len, limit_a - a, limit_b - b});
  };
  clip(dx0, sx0, w, to->width, from->width);
  clip(dy0, sy0, h, to->height, from->height);
  if (w <= 0 || h <= 0) return 1;
  const bool same = to == from;
  std::vector<Pixel> scratch;
  // An overlapping copy within one bitmap reads the pixels as they were.
  if (same) scratch.assign(from->pixels.begin(), from->pixels.end());
  const Pixel* source = same ? scratch.data() : from->pixels.data();
  // Only the run of each row that differs is written, and it is what the destination's damage records: a
  // frame that is mostly the last one changes little of what shows it.
  for (std::int64_t row = 0; row < h; ++row) {
    const Pixel* s = source + (sy0 + row) * from->width + sx0;
    Pixel* d = to->pixels.data() + (dy0 + row) * to->width + dx0;
    std::int64_t first = 0, last = w;
    while (first < last && s[first] == d[first])
      ++first;
    while (last > first && s[last - 1] == d[last - 1])
      --last;
    if (first == last) continue;
    std::memcpy(d + first, s + first, static_cast<std::size_t>(last - first) * sizeof(Pixel));
    const auto top = static_cast<std::int32_t>(dy0 + row);
    to->damage = to->damage.united(
        Rect{static_cast<std::int32_t>(dx0 + first), top, static_cast<std::int32_t>(dx0 + last), top + 1});
  }
  return 1;
}

std::int32_t OleTranslateColor(ColorRef colour, HPALETTE /*palette*/, ColorRef* result) {
  if (result == nullptr) return E_INVALIDARG;
  const auto raw = static_cast<std::uint32_t>(colour.value);
  switch (colour.high_byte()) {
    case 0x00:
      *result = colour;
      return S_OK;
    case 0x02:  // palette-relative RGB: without a palette to match against, the RGB value itself
      *result = ColorRef{static_cast<std::int32_t>(raw & 0x00FFFFFFu)};
      return S_OK;
    case 0x80: {
      if ((raw & 0x00FFFF00u) != 0) return E_INVALIDARG;
      ColorRef c;
      if (!GetSysColor(static_cast<std::int32_t>(raw & 0xFFu), &c)) return E_INVALIDARG;
      *result = c;
      return S_OK;
    }
    default:  // palette indexes (0x01) name entries of a logical palette, which this layer does not keep
      return E_INVALIDARG;
  }
}

}  // namespace glimmer::gdi
