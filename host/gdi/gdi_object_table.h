// SPDX-License-Identifier: MIT
// The drawing layer's object table: every context, bitmap and brush, addressed by checked 32-bit handles.
//
// A handle carries a slot index and the slot's generation; a slot's generation changes whenever its object is
// released, so an old handle stops matching. Lookups check kind, liveness and generation and yield nullptr
// for anything else. Internal to the drawing layer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <glimmer/host/gdi/colour.h>
#include <glimmer/host/gdi/gdi.h>
#include <glimmer/host/gdi/gdi_objects.h>
#include <glimmer/host/gdi/page_allocator.h>

namespace glimmer::gdi::detail {

struct BitmapData {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<Pixel, PageAllocator<Pixel>> pixels;
  HDC selected_in = 0;
  Rect damage;  // the pixels that drawing calls changed since TakeDamage last asked
};

struct DcData {
  HBITMAP selected = 0;
};

class ObjectTable {
 public:
  static ObjectTable& Instance();

  // `injectable` false: the creation is the container's own (its screen area) and is not subject to
  // fault injection, so that injected faults land on the control's creations only.
  [[nodiscard]] Handle CreateDc(bool injectable = true);
  [[nodiscard]] Handle CreateBitmap(std::int32_t width, std::int32_t height, Pixel fill,
                                    bool injectable = true);
  [[nodiscard]] Handle CreateBrush(Pixel pixel);
  void Release(Handle h);

  [[nodiscard]] DcData* Dc(Handle h);
  [[nodiscard]] BitmapData* Bitmap(Handle h);
  [[nodiscard]] const Pixel* Brush(Handle h);
  [[nodiscard]] ObjectKind KindOf(Handle h, bool* live) const;
  [[nodiscard]] Handle stock_bitmap() const { return stock_bitmap_; }

  [[nodiscard]] LiveCounts live() const { return live_; }
  [[nodiscard]] std::uint64_t creations(ObjectKind k) const { return faults_[Index(k)].attempts; }
  void FailNth(ObjectKind k, std::uint64_t n);
  void FailAll(ObjectKind k, bool on) { faults_[Index(k)].fail_all = on; }
  void ResetFaults();
  [[nodiscard]] bool Reserve(ObjectKind k, std::uint64_t count);
  // Whether Reserve(k, count) would succeed now; accounts nothing.
  [[nodiscard]] bool Sure(ObjectKind k, std::uint64_t count) const;

 private:
  struct Slot {
    ObjectKind kind = ObjectKind::Brush;
    std::uint16_t generation = 0;
    bool live = false;
    Pixel brush = 0;
    DcData dc;
    std::unique_ptr<BitmapData> bitmap;
  };
  struct Faults {
    std::uint64_t attempts = 0;
    std::vector<std::uint64_t> armed;  // absolute attempt numbers that fail
    bool fail_all = false;
  };

  ObjectTable();
  static constexpr std::size_t Index(ObjectKind k) { return static_cast<std::size_t>(k); }
  [[nodiscard]] bool NextCreationFails(ObjectKind k);
  [[nodiscard]] Handle Allocate(ObjectKind k);
  [[nodiscard]] Slot* Find(Handle h, ObjectKind k);
  std::int64_t& Counter(ObjectKind k);

  std::vector<Slot> slots_;
  std::vector<std::uint32_t> free_;
  Faults faults_[3];
  LiveCounts live_;
  Handle stock_bitmap_ = 0;
};

}  // namespace glimmer::gdi::detail
