// SPDX-License-Identifier: MIT
// Serves the ticks of many periodic timers of one thread with one wakeup: the owner keeps a single precise
// wakeup armed for the earliest due tick, and each wakeup runs every tick that has fallen due, one at a time
// and in order of due time, each at its own time. A thread with a hundred signs then wakes once for each
// moment at which a tick is due, not once per sign, and runs the ticks that fall due together in one pass.
//
// Time is whatever the owner's clock counts (nanoseconds on a steady clock in the Qt container, virtual time
// in tests); periods count in the same unit. Ticks keep to their grid: the next tick of a timer is due one
// period after the last one was due, not after it ran, unless the timer fell a whole period behind, when it
// goes on one period from now (missed ticks are dropped, not run in a burst). Start and Stop take effect at
// once, also from inside a tick (of this timer or of another); a timer may be removed inside its own tick.
//
// It belongs to one thread and is not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace glimmer {

class TickScheduler {
 public:
  using Time = std::int64_t;
  using Id = std::uint32_t;

  // `now` reads the owner's clock. `arm` asks the owner to call RunDue once at the given time, replacing
  // any wakeup asked for before; nothing (nullopt) cancels it.
  TickScheduler(std::function<Time()> now, std::function<void(std::optional<Time>)> arm);
  TickScheduler(const TickScheduler&) = delete;
  TickScheduler& operator=(const TickScheduler&) = delete;

  // A new timer, stopped; `fire` runs at each of its ticks.
  [[nodiscard]] Id Add(std::function<void()> fire);
  // Stops and forgets the timer; its id may be given to a later Add.
  void Remove(Id id);
  // Starts the wait afresh: the first tick one period (above 0) from now, then one every period.
  void Start(Id id, Time period);
  void Stop(Id id);
  [[nodiscard]] bool running(Id id) const;
  // When the timer's next tick is due; nothing while it is stopped.
  [[nodiscard]] std::optional<Time> due(Id id) const;

  // The wakeup: runs every tick that is due by now, reading the clock again after each, so that ticks that
  // fall due meanwhile run in the same pass; then arms the wakeup for the next one.
  void RunDue();
  // When the next tick of any timer is due; nothing while none runs.
  [[nodiscard]] std::optional<Time> next_due();
  // Timers added and not removed.
  [[nodiscard]] std::size_t size() const { return slots_.size() - free_.size(); }

 private:
  struct Slot {
    std::function<void()> fire;
    Time period = 0;
    Time due = 0;
    std::uint32_t generation = 0;  // changes with every Start, Stop and Remove: older entries are stale
    bool running = false;
    bool used = false;
  };
  // A due tick in the heap; `order` keeps ticks due at the same time in the order they were scheduled.
  struct Entry {
    Time due;
    std::uint64_t order;
    Id id;
    std::uint32_t generation;
  };
  struct Later {
    bool operator()(const Entry& a, const Entry& b) const {
      return a.due != b.due ? a.due > b.due : a.order > b.order;
    }
  };

  void Schedule(Id id, Time due);
  [[nodiscard]] bool Stale(const Entry& entry) const;
  void DropStale();
  void Rearm();

  std::function<Time()> now_;
  std::function<void(std::optional<Time>)> arm_;
  std::vector<Slot> slots_;
  std::vector<Id> free_;
  std::vector<Entry> heap_;  // a min-heap on (due, order), with stale entries left in until they surface
  std::uint64_t order_ = 0;
  std::optional<Time> armed_;  // the wakeup asked for last
};

}  // namespace glimmer
