// SPDX-License-Identifier: MIT
#include "fuzz/sign_invariants.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace glimmer::fuzz {
namespace {

// The dot colours of the three schemes, black, and the grey and white of the rings.
constexpr std::array<Pixel, 9> kFixed = {0xFFFF0000u, 0xFF770000u, 0xFF00FF00u, 0xFF007700u, 0xFFFFFF00u,
                                         0xFF777700u, 0xFF000000u, 0xFF737373u, 0xFFFFFFFFu};

std::string Describe(const char* what, long long value) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%s %lld", what, value);
  return buffer;
}

}  // namespace

void SignInvariants::BackColorSet(ColorRef colour) {
  // The background fill and Cls paint the translated colour, or white (a brush of -1) when it has none;
  // white and black are always allowed.
  ColorRef rgb;
  if (gdi::OleTranslateColor(colour, 0, &rgb) == gdi::S_OK) backgrounds_.push_back(PixelOf(rgb));
}

std::string SignInvariants::CheckObjects(HeadlessContainer& container, const LED& led) const {
  const RendererState& s = led.renderer_state();
  const gdi::LiveCounts live = gdi::Live();
  if (s.MemDC == 0 && s.MemBitmap != 0) return "a bitmap without its context";
  // The container's own screen area is a context with a bitmap of its own.
  if (live.dcs != baseline_.dcs + 1 + (s.MemDC != 0))
    return Describe("live contexts", live.dcs - baseline_.dcs);
  if (live.bitmaps != baseline_.bitmaps + 1 + (s.MemBitmap != 0))
    return Describe("live bitmaps", live.bitmaps - baseline_.bitmaps);
  if (live.brushes != baseline_.brushes) return Describe("live brushes", live.brushes - baseline_.brushes);
  // Only Show turns the timer on, once the whole surface is made; the end of a pass and Clear turn it off.
  if (container.timer("TimerLED")->enabled() && s.MemBitmap == 0) return "the timer runs without a surface";
  return "";
}

std::string SignInvariants::CheckPixels(const HeadlessContainer& container) const {
  const Image frame = container.Frame();
  Pixel last_good = kFixed[6];
  for (const Pixel p : frame.pixels) {
    if (p == last_good) continue;  // frames are mostly long runs of one colour
    last_good = p;
    if (std::find(kFixed.begin(), kFixed.end(), p) != kFixed.end()) continue;
    if (std::find(backgrounds_.begin(), backgrounds_.end(), p) != backgrounds_.end()) continue;
    return Describe("a pixel of colour", static_cast<long long>(p));
  }
  return "";
}

std::string SignInvariants::Check(HeadlessContainer& container, const LED& led) const {
  if (std::string d = CheckObjects(container, led); !d.empty()) return d;
  return CheckPixels(container);
}

}  // namespace glimmer::fuzz
