// SPDX-License-Identifier: MIT
#include "tests/control/fault_matrix/matrix_run.h"

#include <array>
#include <sstream>

#include "control/interface/led_members.h"
#include "tests/support/reference_frame.h"

namespace glimmer::testing {
namespace {

// Backgrounds that no dot or ring uses, one after the other.
constexpr std::array<ColorRef, 3> kBackgrounds = {ColorRef{0x302010}, ColorRef{0x103050}, ColorRef{0x204000}};

constexpr gdi::ObjectKind kKinds[] = {gdi::ObjectKind::DC, gdi::ObjectKind::Bitmap, gdi::ObjectKind::Brush};

}  // namespace

MatrixRun::MatrixRun(bool repeated, int handler_end)
    : rig({.width = kMatrixWidth, .text = u"a8", .color = 2, .repeated = repeated}),
      model(kMatrixWidth, u"a8", 2, repeated),
      base_(gdi::Live()),
      handler_end_(handler_end) {
  for (const auto kind : kKinds)
    creations_[static_cast<int>(kind)] = gdi::Creations(kind);
  rig.container.on_event = [this](DispId event) {
    if (event != kTerminateEvent || ++real_ends_ != handler_end_) return;
    (void)rig.led.Clear();
    (void)rig.led.Show();
  };
  rig.container.SetBackColor(kBackgrounds[0]);
}

Pixel MatrixRun::Background() const {
  return PixelOf(kBackgrounds[static_cast<std::size_t>(ticks % 3)]);
}

void MatrixRun::Show() {
  (void)rig.led.Show();
  model.Show();
}

void MatrixRun::Tick(const TickFaults& faults) {
  ++ticks;
  rig.container.SetBackColor(kBackgrounds[static_cast<std::size_t>(ticks % 3)]);
  ran_ = rig.Tick() == 1;
  model_ran_ = model.timer_on();
  if (!model_ran_) return;
  const Pixel back = Background();
  const bool raised = model.Tick(back, faults, [&] {
    if (++model_ends_ != handler_end_) return;
    model.Clear(back);
    model.Show();
  });
  if (raised) model_terminates_.push_back(rig.container.ticks());
}

void MatrixRun::Clear() {
  (void)rig.led.Clear();
  model.Clear(Background());
}

std::string MatrixRun::RunAll() {
  Show();
  if (auto d = Compare("Show"); !d.empty()) return d;
  for (std::int64_t t = 1; t <= kMatrixTicks; ++t) {
    Tick();
    if (auto d = Compare("tick " + std::to_string(t)); !d.empty()) return d;
  }
  Clear();
  if (auto d = Compare("Clear"); !d.empty()) return d;
  return CompareCreations();
}

std::string MatrixRun::Compare(std::string_view step) const {
  std::ostringstream out;
  const RendererState& s = rig.led.renderer_state();
  const gdi::LiveCounts live = gdi::Live();
  if (ran_ != model_ran_) out << " tick ran " << ran_ << ", model " << model_ran_ << ";";
  if (rig.container.timer_running() != model.timer_on()) out << " timer " << !model.timer_on() << ";";
  if ((s.MemDC != 0) != model.has_dc()) out << " MemDC " << s.MemDC << ";";
  if ((s.MemBitmap != 0) != model.has_bitmap()) out << " MemBitmap " << s.MemBitmap << ";";
  if (s.ScrollX != model.scroll()) out << " ScrollX " << s.ScrollX << ", model " << model.scroll() << ";";
  if (live.dcs != base_.dcs + model.has_dc() || live.bitmaps != base_.bitmaps + model.has_bitmap() ||
      live.brushes != base_.brushes)
    out << " live objects " << live.dcs - base_.dcs << "/" << live.bitmaps - base_.bitmaps << "/"
        << live.brushes - base_.brushes << ";";
  if (rig.TerminateTicks() != model_terminates_)
    out << " Terminate count " << rig.TerminateTicks().size() << ", model " << model_terminates_.size()
        << ";";
  if (const std::string d = FirstDifference(rig.container.Frame(), model.Frame()); !d.empty())
    out << " " << d << ";";
  const std::string diff = out.str();
  return diff.empty() ? diff : std::string(step) + ":" + diff;
}

std::string MatrixRun::CompareCreations() const {
  std::ostringstream out;
  for (const auto kind : kKinds) {
    const std::uint64_t made = gdi::Creations(kind) - creations_[static_cast<int>(kind)];
    if (made != model.creations(kind))
      out << "creations of kind " << static_cast<int>(kind) << ": " << made << ", model "
          << model.creations(kind) << "; ";
  }
  return out.str();
}

}  // namespace glimmer::testing
