// SPDX-License-Identifier: MIT
// The allocator of bitmap pixels: a large buffer is mapped from the system in whole pages and unmapped when
// it is released, so that the screens and surfaces of many controls, made, resized and released at different
// times, leave no holes in the heap that the process would keep. Small buffers come from the heap as usual.
// Page mapping is the system's (POSIX mmap); where the system has none, every buffer comes from the heap and
// only the standard library is used.
#pragma once

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define GLIMMER_GDI_MAPPED_PAGES 1
#else
#define GLIMMER_GDI_MAPPED_PAGES 0
#endif

#include <cstddef>
#include <memory>
#include <new>

namespace glimmer::gdi {

template <class T>
class PageAllocator {
 public:
  using value_type = T;
  // From this size on a buffer has pages of its own: a 161 x 32 sign's pixels (20 KiB) do, a 1 x 1 stock
  // bitmap does not.
  static constexpr std::size_t kMappedFrom = GLIMMER_GDI_MAPPED_PAGES ? 16 * 1024 : std::size_t(-1);

  PageAllocator() = default;
  template <class U>
  explicit PageAllocator(const PageAllocator<U>& /*other*/) noexcept {}

  [[nodiscard]] T* allocate(std::size_t n) {
    if (n > std::size_t(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kMappedFrom) return std::allocator<T>().allocate(n);
#if GLIMMER_GDI_MAPPED_PAGES
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<T*>(p);
#else
    return std::allocator<T>().allocate(n);
#endif
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n * sizeof(T) < kMappedFrom) return std::allocator<T>().deallocate(p, n);
#if GLIMMER_GDI_MAPPED_PAGES
    munmap(p, n * sizeof(T));
#endif
  }
  friend bool operator==(const PageAllocator&, const PageAllocator&) noexcept {
    return true;
  }
};

}  // namespace glimmer::gdi
