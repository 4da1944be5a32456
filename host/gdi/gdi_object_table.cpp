// SPDX-License-Identifier: MIT
#include "host/gdi/gdi_object_table.h"

#include <algorithm>
#include <new>

namespace glimmer::gdi::detail {
namespace {

// Handle layout: bit 31 clear (handles are positive), bits 19-30 generation, bits 0-18 slot index + 1.
constexpr int kIndexBits = 19;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
constexpr std::uint32_t kGenerationMask = 0xFFF;
constexpr std::size_t kMaxSlots = kIndexMask - 1;

Handle Encode(std::uint32_t index, std::uint16_t generation) {
  return static_cast<Handle>(((generation & kGenerationMask) << kIndexBits) | (index + 1));
}

}  // namespace

ObjectTable& ObjectTable::Instance() {
  static ObjectTable table;
  return table;
}

ObjectTable::ObjectTable() {
  // The stock bitmap every new context starts with; it is never released and never counted.
  slots_.reserve(1024);
  stock_bitmap_ = Allocate(ObjectKind::Bitmap);
  auto bmp = std::make_unique<BitmapData>();
  bmp->width = 1;
  bmp->height = 1;
  bmp->pixels.assign(1, MakePixel(0, 0, 0));
  slots_[0].bitmap = std::move(bmp);
}

std::int64_t& ObjectTable::Counter(ObjectKind k) {
  switch (k) {
    case ObjectKind::DC:
      return live_.dcs;
    case ObjectKind::Bitmap:
      return live_.bitmaps;
    case ObjectKind::Brush:
      break;
  }
  return live_.brushes;
}

bool ObjectTable::NextCreationFails(ObjectKind k) {
  Faults& f = faults_[Index(k)];
  const std::uint64_t attempt = ++f.attempts;
  const auto it = std::find(f.armed.begin(), f.armed.end(), attempt);
  if (it != f.armed.end()) {
    f.armed.erase(it);
    return true;
  }
  return f.fail_all;
}

Handle ObjectTable::Allocate(ObjectKind k) {
  std::uint32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    if (slots_.size() >= kMaxSlots) return 0;
    index = static_cast<std::uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  Slot& s = slots_[index];
  s.kind = k;
  s.live = true;
  return Encode(index, s.generation);
}

Handle ObjectTable::CreateDc(bool injectable) {
  if (injectable && NextCreationFails(ObjectKind::DC)) return 0;
  const Handle h = Allocate(ObjectKind::DC);
  if (h == 0) return 0;
  Find(h, ObjectKind::DC)->dc.selected = stock_bitmap_;
  ++live_.dcs;
  return h;
}

Handle ObjectTable::CreateBitmap(std::int32_t width, std::int32_t height, Pixel fill, bool injectable) {
  if (injectable && NextCreationFails(ObjectKind::Bitmap)) return 0;
  std::unique_ptr<BitmapData> data;
  try {
    data = std::make_unique<BitmapData>();
    data->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
  } catch (const std::bad_alloc&) {
    return 0;  // out of memory is a failed creation, like any other
  }
  data->width = width;
  data->height = height;
  const Handle h = Allocate(ObjectKind::Bitmap);
  if (h == 0) return 0;
  Find(h, ObjectKind::Bitmap)->bitmap = std::move(data);
  ++live_.bitmaps;
  return h;
}

Handle ObjectTable::CreateBrush(Pixel pixel) {
  if (NextCreationFails(ObjectKind::Brush)) return 0;
  const Handle h = Allocate(ObjectKind::Brush);
  if (h == 0) return 0;
  Find(h, ObjectKind::Brush)->brush = pixel;
  ++live_.brushes;
  return h;
}

ObjectTable::Slot* ObjectTable::Find(Handle h, ObjectKind k) {
  if (h <= 0) return nullptr;
  const auto raw = static_cast<std::uint32_t>(h);
  const std::uint32_t index = (raw & kIndexMask) - 1;
  if (index >= slots_.size()) return nullptr;
  Slot& s = slots_[index];
  if (!s.live || s.kind != k || (s.generation & kGenerationMask) != ((raw >> kIndexBits) & kGenerationMask))
    return nullptr;
  return &s;
}

ObjectKind ObjectTable::KindOf(Handle h, bool* live) const {
  *live = false;
  if (h <= 0) return ObjectKind::Brush;
  const auto raw = static_cast<std::uint32_t>(h);
  const std::uint32_t index = (raw & kIndexMask) - 1;
  if (index >= slots_.size()) return ObjectKind::Brush;
  const Slot& s = slots_[index];
  *live = s.live && (s.generation & kGenerationMask) == ((raw >> kIndexBits) & kGenerationMask);
  return s.kind;
}

void ObjectTable::Release(Handle h) {
  bool live = false;
  const ObjectKind k = KindOf(h, &live);
  if (!live || h == stock_bitmap_) return;
  const std::uint32_t index = (static_cast<std::uint32_t>(h) & kIndexMask) - 1;
  Slot& s = slots_[index];
  s.live = false;
  s.bitmap.reset();
  s.dc = {};
  ++s.generation;
  --Counter(k);
  free_.push_back(index);
}

DcData* ObjectTable::Dc(Handle h) {
  Slot* s = Find(h, ObjectKind::DC);
  return s ? &s->dc : nullptr;
}

BitmapData* ObjectTable::Bitmap(Handle h) {
  Slot* s = Find(h, ObjectKind::Bitmap);
  return s ? s->bitmap.get() : nullptr;
}

const Pixel* ObjectTable::Brush(Handle h) {
  Slot* s = Find(h, ObjectKind::Brush);
  return s ? &s->brush : nullptr;
}

void ObjectTable::FailNth(ObjectKind k, std::uint64_t n) {
  if (n == 0) return;
  Faults& f = faults_[Index(k)];
  f.armed.push_back(f.attempts + n);
}

void ObjectTable::ResetFaults() {
  for (Faults& f : faults_) {
    f.armed.clear();
    f.fail_all = false;
  }
}

bool ObjectTable::Sure(ObjectKind k, std::uint64_t count) const {
  const Faults& f = faults_[Index(k)];
  if (count == 0) return true;
  if (f.fail_all) return false;
  for (const std::uint64_t a : f.armed)
    if (a > f.attempts && a <= f.attempts + count) return false;
  // A brush made and released at once needs one free slot; a full table would refuse it.
  return !free_.empty() || slots_.size() < kMaxSlots;
}

bool ObjectTable::Reserve(ObjectKind k, std::uint64_t count) {
  if (!Sure(k, count)) return false;
  faults_[Index(k)].attempts += count;
  return true;
}

}  // namespace glimmer::gdi::detail
