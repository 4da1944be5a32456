// SPDX-License-Identifier: MIT
// What containers, tests and the fast frame painter need from the drawing layer beyond the platform calls:
// direct pixel access, owned surfaces, the system colour table, fault injection and object counts.
#pragma once

#include <cstdint>

#include <glimmer/host/gdi/colour.h>
#include <glimmer/host/gdi/gdi.h>
#include <glimmer/host/gdi/gdi_objects.h>
#include <glimmer/host/gdi/image.h>
#include <glimmer/host/gdi/rect.h>

namespace glimmer::gdi {

// The pixels of the bitmap selected in a context; empty (data == nullptr) for a context that is not live.
// Valid until the next call that creates, selects or releases an object.
struct PixelView {
  Pixel* data = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;

  explicit operator bool() const { return data != nullptr; }
  [[nodiscard]] Pixel* row(std::int32_t y) const { return data + static_cast<std::ptrdiff_t>(y) * width; }
};
[[nodiscard]] PixelView Pixels(HDC hdc);

// The rectangle of the pixels of the context's bitmap that FillRect and BitBlt changed since the last call,
// which forgets it; empty when nothing changed or the context is not live. Pixels written directly (through
// Pixels, or by an OwnedSurface's Fill or Resize) are not counted: whoever writes them knows.
[[nodiscard]] Rect TakeDamage(HDC hdc);

// A context with a bitmap of its own: a container's screen area. Owns both and releases both.
class OwnedSurface {
 public:
  OwnedSurface(std::int32_t width, std::int32_t height, Pixel fill);
  ~OwnedSurface();
  OwnedSurface(const OwnedSurface&) = delete;
  OwnedSurface& operator=(const OwnedSurface&) = delete;

  [[nodiscard]] HDC dc() const { return dc_; }
  [[nodiscard]] PixelView pixels() const { return Pixels(dc_); }
  [[nodiscard]] Image snapshot() const;
  // New size; the pixels that stay inside keep their values, new ones take `fill`.
  void Resize(std::int32_t width, std::int32_t height, Pixel fill);
  void Fill(Pixel fill);

 private:
  HDC dc_ = 0;
  HBITMAP bitmap_ = 0;
  HBITMAP stock_ = 0;
};

// The system colours (index 0 to 30) that OleTranslateColor consults. A container that follows the
// desktop's scheme may change them; a change shows at the next translation.
[[nodiscard]] bool SetSysColor(std::int32_t index, ColorRef colour);
[[nodiscard]] bool GetSysColor(std::int32_t index, ColorRef* colour);
void ResetSysColors();
inline constexpr std::int32_t SystemColorFlag = static_cast<std::int32_t>(0x80000000u);

// --- Fault injection and accounting (tests, and the fast frame painter) ---

[[nodiscard]] LiveCounts Live();

// Creation attempts of a kind so far (the counter that fault injection counts in).
[[nodiscard]] std::uint64_t Creations(ObjectKind kind);
// Makes the n-th creation of `kind` from now fail (n = 1: the next one). Several may be armed.
void FailNthCreation(ObjectKind kind, std::uint64_t n);
// Makes every creation of `kind` fail until turned off.
void FailAllCreations(ObjectKind kind, bool on);
void ResetFaults();

// Accounts for `count` brushes that are made and released at once, as a painter that fills directly would
// make them one after another. Returns false, and accounts nothing, when any of those creations would fail;
// the caller then makes them one by one.
[[nodiscard]] bool ReserveBrushes(std::uint64_t count);
// Whether the next `count` brush creations would all succeed; accounts nothing.
[[nodiscard]] bool BrushesSure(std::uint64_t count);

}  // namespace glimmer::gdi
