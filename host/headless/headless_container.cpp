// SPDX-License-Identifier: MIT
#include "host/headless/headless_container.h"

#include <algorithm>

#include "host/automation/property_bag.h"

namespace glimmer {

HeadlessContainer::HeadlessContainer(const ControlClass& control_class)
    : HeadlessContainer(control_class, Options{}) {}

HeadlessContainer::HeadlessContainer(const ControlClass& control_class, Options options)
    : ContainerBase(control_class, {.twips_per_pixel_x = options.twips_per_pixel_x,
                                    .twips_per_pixel_y = options.twips_per_pixel_y,
                                    .reenter_on_resize = options.reenter_on_resize}),
      record_(options.record) {
  for (const auto& child : control_class.design->children)
    if (const auto* t = std::get_if<TimerDesign>(&child))
      timers_.push_back(std::make_unique<VirtualTimer>(*t, now_, &faults()));
  CreateControl(control_class);
}

HeadlessContainer::~HeadlessContainer() {
  DestroyControl();
}

void HeadlessContainer::StopTimers() {
  for (auto& t : timers_)
    (void)t->Enabled(false);
}

VirtualTimer* HeadlessContainer::NextTimer(std::int64_t until) const {
  VirtualTimer* next = nullptr;
  for (const auto& t : timers_)
    if (auto due = t->due(); due && *due <= until && (next == nullptr || *due < *next->due())) next = t.get();
  return next;
}

bool HeadlessContainer::Advance(std::int64_t milliseconds) {
  // A tick inside another callback would run before that callback ends (inside a tick: before its copy).
  if (busy()) return false;
  const std::int64_t target = now_ + std::max<std::int64_t>(milliseconds, 0);
  while (VirtualTimer* next = NextTimer(target)) {
    now_ = *next->due();
    next->Fired();
    ++ticks_;
    in_tick_ = true;
    (void)Deliver(std::string(next->name()) + "_Timer", [&] { return control().OnTimer(next->name()); });
    in_tick_ = false;
  }
  now_ = target;
  return true;
}

std::int64_t HeadlessContainer::RunTicks(std::int64_t count) {
  const std::int64_t start = ticks_;
  while (ticks_ - start < count) {
    const auto due = next_due();
    if (!due || !Advance(*due - now_)) break;
  }
  return ticks_ - start;
}

std::optional<std::int64_t> HeadlessContainer::next_due() const {
  std::optional<std::int64_t> next;
  for (const auto& t : timers_)
    if (auto due = t->due(); due && (!next || *due < *next)) next = due;
  return next;
}

VirtualTimer* HeadlessContainer::timer(std::string_view name) {
  for (auto& t : timers_)
    if (KeysEqual(t->name(), name)) return t.get();
  return nullptr;
}

Result<Timer*> HeadlessContainer::TimerChild(std::string_view name) {
  if (VirtualTimer* t = timer(name)) return t;
  return Fail(Error::ObjectRequired);
}

void HeadlessContainer::ClearRecords() {
  events_.clear();
  property_changes_.clear();
  ClearCallbackErrors();
  ResetResizeCounts();
}

void HeadlessContainer::PropertyNoticed(std::string_view name) {
  if (record_) property_changes_.emplace_back(name);
}

void HeadlessContainer::EventNoticed(DispId event) {
  if (record_) events_.push_back(EventRecord{event, in_tick_ ? ticks_ : 0, now_});
}

}  // namespace glimmer
