// SPDX-License-Identifier: MIT
#include "host/timing/tick_scheduler.h"

#include <algorithm>
#include <utility>

namespace glimmer {

TickScheduler::TickScheduler(std::function<Time()> now, std::function<void(std::optional<Time>)> arm)
    : now_(std::move(now)), arm_(std::move(arm)) {}

TickScheduler::Id TickScheduler::Add(std::function<void()> fire) {
  Id id;
  if (!free_.empty()) {
    id = free_.back();
    free_.pop_back();
  } else {
    id = static_cast<Id>(slots_.size());
    slots_.emplace_back();
  }
  Slot& slot = slots_[id];
  slot.fire = std::move(fire);
  slot.used = true;
  return id;
}

void TickScheduler::Remove(Id id) {
  if (id >= slots_.size() || !slots_[id].used) return;
  Stop(id);
  Slot& slot = slots_[id];
  slot.fire = nullptr;
  slot.used = false;
  free_.push_back(id);
}

void TickScheduler::Start(Id id, Time period) {
  if (id >= slots_.size() || !slots_[id].used || period <= 0) return;
  Slot& slot = slots_[id];
  ++slot.generation;
  slot.running = true;
  slot.period = period;
  Schedule(id, now_() + period);
  Rearm();
}

void TickScheduler::Stop(Id id) {
  if (id >= slots_.size() || !slots_[id].running) return;
  ++slots_[id].generation;
  slots_[id].running = false;
  Rearm();
}

bool TickScheduler::running(Id id) const {
  return id < slots_.size() && slots_[id].running;
}

std::optional<TickScheduler::Time> TickScheduler::due(Id id) const {
  if (!running(id)) return std::nullopt;
  return slots_[id].due;
}

void TickScheduler::Schedule(Id id, Time due) {
  Slot& slot = slots_[id];
  slot.due = due;
  heap_.push_back(Entry{due, order_++, id, slot.generation});
  std::push_heap(heap_.begin(), heap_.end(), Later{});
}

bool TickScheduler::Stale(const Entry& entry) const {
  const Slot& slot = slots_[entry.id];
  return !slot.running || slot.generation != entry.generation;
}

void TickScheduler::DropStale() {
  while (!heap_.empty() && Stale(heap_.front())) {
    std::pop_heap(heap_.begin(), heap_.end(), Later{});
    heap_.pop_back();
  }
}

std::optional<TickScheduler::Time> TickScheduler::next_due() {
  DropStale();
  if (heap_.empty()) return std::nullopt;
  return heap_.front().due;
}

void TickScheduler::RunDue() {
  // A tick that runs a nested event loop (a dialog in a handler) may get here again: the nested pass serves
  // the other timers, and the outer one goes on after it.
  for (;;) {
    DropStale();
    if (heap_.empty()) break;
    const Time now = now_();
    const Entry entry = heap_.front();
    if (entry.due > now) break;
    std::pop_heap(heap_.begin(), heap_.end(), Later{});
    heap_.pop_back();
    // The next tick is scheduled before this one runs, so that its handler may stop or restart the timer.
    Time next = entry.due + slots_[entry.id].period;
    if (next <= now) next = now + slots_[entry.id].period;
    Schedule(entry.id, next);
    // Moved out while it runs: the handler may remove its own timer, or add timers and so move the slots.
    std::function<void()> fire = std::move(slots_[entry.id].fire);
    if (fire) fire();
    Slot& slot = slots_[entry.id];
    if (slot.used && !slot.fire) slot.fire = std::move(fire);
  }
  // This wakeup has been used up.
  armed_.reset();
  Rearm();
}

// Asks for a wakeup only when the earliest due time changed.
void TickScheduler::Rearm() {
  const std::optional<Time> next = next_due();
  if (next == armed_) return;
  armed_ = next;
  arm_(next);
}

}  // namespace glimmer
