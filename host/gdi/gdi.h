// SPDX-License-Identifier: MIT
// The drawing calls the control makes, implemented over in-memory 32-bit pixel surfaces.
//
// The calls keep the shape of the platform calls the control was written against: 32-bit handles, 0 for a
// creation that fails, results that callers may ignore. Every handle is checked: a stale, foreign or mistyped
// handle (or 0) makes a call do nothing and never touches freed memory. All objects live in one process-wide
// table that belongs to the user-interface thread; nothing here is thread-safe, as nothing in a container is.
#pragma once

#include <cstdint>

#include <glimmer/host/gdi/colour.h>
#include <glimmer/host/gdi/rect.h>

namespace glimmer::gdi {

using Handle = std::int32_t;
using HDC = Handle;
using HBITMAP = Handle;
using HBRUSH = Handle;
using HGDIOBJ = Handle;
using HPALETTE = Handle;
using BOOL = std::int32_t;

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::int32_t S_OK = 0;
inline constexpr std::int32_t E_INVALIDARG = static_cast<std::int32_t>(0x80070057u);

// Largest bitmap the layer makes; a larger request fails like any other creation that cannot be met.
inline constexpr std::int32_t kMaxBitmapSide = 16384;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 24;

// A new memory drawing context, compatible with `hdc` (0 means the screen), holding a 1 x 1 stock bitmap;
// 0 when it cannot be made or `hdc` is not a live context.
[[nodiscard]] HDC CreateCompatibleDC(HDC hdc);

// A new black bitmap of width x height pixels; 0 when `hdc` is not a live context, a side is not in
// 1..kMaxBitmapSide or the bitmap would hold more than kMaxBitmapPixels pixels.
[[nodiscard]] HBITMAP CreateCompatibleBitmap(HDC hdc, std::int32_t width, std::int32_t height);

// Selects a bitmap into a memory context; returns the bitmap selected before, or 0 (and changes nothing)
// when either handle is not live, the object is not a bitmap, or the bitmap is selected in another context.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

// Releases a brush or a bitmap. A bitmap still selected in a context is not released (result 0).
BOOL DeleteObject(HGDIOBJ object);

// Releases a memory context; its selected bitmap stays alive, no longer selected.
BOOL DeleteDC(HDC hdc);

// A brush that paints the low 24 bits of `colour`; 0 when it cannot be made.
[[nodiscard]] HBRUSH CreateSolidBrush(ColorRef colour);

BOOL SetRect(Rect& rect, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// Paints the pixels left <= x < right, top <= y < bottom of the context's bitmap with the brush, clipped to
// the bitmap. Nothing happens for a context or brush that is not live.
std::int32_t FillRect(HDC hdc, const Rect& rect, HBRUSH brush);

// Copies width x height pixels from (src_x, src_y) of `src` to (x, y) of `dest`, unchanged. Only SRCCOPY is
// supported. Parts of the rectangle outside either bitmap are not copied: the destination keeps its pixels.
BOOL BitBlt(HDC dest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC src,
            std::int32_t src_x, std::int32_t src_y, std::uint32_t rop);

// Turns a container colour into RGB. A plain colour (high byte 0x00) is itself; a system colour (0x800000ii)
// is looked up in the system colour table; a palette-relative colour (high byte 0x02) is its low 24 bits.
// Returns S_OK with *result set, or E_INVALIDARG for a colour that names nothing (an unknown system colour
// index, a palette index, any other high byte).
std::int32_t OleTranslateColor(ColorRef colour, HPALETTE palette, ColorRef* result);

}  // namespace glimmer::gdi
