// SPDX-License-Identifier: MIT
// A step-by-step model of the sign written from its documented behaviour alone: the timer and surface
// state, the scroll position, the ends of passes, the off-screen surface and the control's pixels, including
// what the failure handling promises when a creation or a container operation fails. The fault matrix runs
// the control and this model side by side and compares them after every step.
//
// It covers a sited control with BorderStyle 1 and texts and widths whose coordinates stay well inside
// 16 bits; the long-text and overflow rules are tested elsewhere.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "host/gdi/gdi_host.h"
#include "host/gdi/image.h"

namespace glimmer::testing {

// Container operations of one tick that fail; the tick skips each such step.
struct TickFaults {
  bool no_background_brush = false;  // the background colour cannot be read: no brush, no fill
  bool no_background_rect = false;   // the fill rectangle is not set: the brush is made, nothing is filled
  bool no_block_count = false;       // the grid's block count is not computed: only block 0 is painted
  bool no_timer_write = false;       // end of pass: the timer keeps its state
  bool no_scroll_reset = false;      // end of pass: the text is not put back at the right edge
  bool no_raise = false;             // end of pass: Terminate is not raised
  bool no_copy = false;              // the frame is not copied to the control
};

class SignModel {
 public:
  SignModel(std::int32_t width, std::u16string text, std::int32_t color, bool repeated);

  // The n-th creation of `kind` from now fails (n = 1: the next one).
  void FailCreation(gdi::ObjectKind kind, std::uint64_t n);

  void Show();
  void Clear(Pixel back);
  // One tick on the background `back`; `on_terminate` is the host's handler, run inside the tick. Returns
  // whether Terminate was raised.
  bool Tick(Pixel back, const TickFaults& faults = {}, const std::function<void()>& on_terminate = {});

  // The control's pixels with both rings over them.
  [[nodiscard]] Image Frame() const;
  [[nodiscard]] bool timer_on() const { return timer_; }
  [[nodiscard]] bool has_dc() const { return dc_; }
  [[nodiscard]] bool has_bitmap() const { return bitmap_; }
  [[nodiscard]] std::int64_t scroll() const { return scroll_; }
  [[nodiscard]] std::uint64_t creations(gdi::ObjectKind kind) const { return made_[Index(kind)]; }

 private:
  static constexpr std::size_t Index(gdi::ObjectKind k) { return static_cast<std::size_t>(k); }
  [[nodiscard]] bool Create(gdi::ObjectKind kind);
  void PaintDot(std::int64_t x, std::int64_t y, Pixel colour);
  void PaintText(const TickFaults& faults, const std::function<void()>& on_terminate, bool& raised);
  void EndOfPass(const TickFaults& faults, const std::function<void()>& on_terminate, bool& raised);
  void Copy();

  std::int32_t width_;
  std::u16string text_;
  std::int32_t color_;
  bool repeated_;

  bool timer_ = false;
  bool dc_ = false;
  bool bitmap_ = false;
  std::int64_t scroll_ = 0;
  Image surface_;  // the context's pixels: ours, or the 1 x 1 black stock bitmap of a context without ours
  Image screen_;   // the control's own pixels, without the rings
  std::array<std::uint64_t, 3> made_{};
  std::array<std::uint64_t, 3> fail_at_{};
};

}  // namespace glimmer::testing
