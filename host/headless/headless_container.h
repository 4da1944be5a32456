// SPDX-License-Identifier: MIT
// A container without a window: the control's area is a pixel buffer in memory, its timers run on a virtual
// clock that the host advances, and everything the control tells its container (PropertyChanged, raised
// events, callback errors, resize nesting) is recorded. Tests, frame recording, the terminal and the
// benchmarks host the control here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <glimmer/host/container_base.h>
#include <glimmer/host/headless/virtual_timer.h>

namespace glimmer {

class HeadlessContainer : public ContainerBase {
 public:
  struct Options {
    float twips_per_pixel_x = 15.0f;
    float twips_per_pixel_y = 15.0f;
    // Whether a size assignment by the control raises UserControl_Resize again before it returns, as
    // window containers do; tests turn it off to show the layout does not depend on it.
    bool reenter_on_resize = true;
    // Whether raised events and PropertyChanged names are kept for events() and property_changes(); a host
    // that runs for days turns this off.
    bool record = true;
  };

  struct EventRecord {
    DispId event;
    std::int64_t tick;  // the tick during which it was raised (0: outside any tick)
    std::int64_t time;  // virtual milliseconds
  };

  // Creates the control from its class: background, size and children from the design, then the control
  // itself, then UserControl_Initialize.
  explicit HeadlessContainer(const ControlClass& control_class);
  HeadlessContainer(const ControlClass& control_class, Options options);
  // Stops every timer, delivers UserControl_Terminate and destroys the control.
  ~HeadlessContainer() override;

  // The virtual clock. Advance fires every timer tick that falls due up to now + milliseconds. Called from
  // inside a callback (a tick, an event handler, a resize) it is refused, as the window container refuses
  // a tick then: nothing runs, the clock stands, and the result is false.
  bool Advance(std::int64_t milliseconds);
  // Advances tick by tick until `count` ticks have run or no timer runs; returns the ticks run (none inside
  // a callback).
  std::int64_t RunTicks(std::int64_t count);
  [[nodiscard]] std::int64_t now() const { return now_; }
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  [[nodiscard]] bool timer_running() const { return next_due().has_value(); }
  // When the next tick falls due; nothing while no timer runs.
  [[nodiscard]] std::optional<std::int64_t> next_due() const;
  [[nodiscard]] VirtualTimer* timer(std::string_view name);

  [[nodiscard]] const std::vector<EventRecord>& events() const { return events_; }
  [[nodiscard]] const std::vector<std::string>& property_changes() const { return property_changes_; }
  // Forgets what was recorded so far: events, PropertyChanged names, callback errors, resize counts.
  void ClearRecords();

  Result<Timer*> TimerChild(std::string_view name) override;

 protected:
  void StopTimers() override;
  void PropertyNoticed(std::string_view name) override;
  void EventNoticed(DispId event) override;

 private:
  [[nodiscard]] VirtualTimer* NextTimer(std::int64_t until) const;

  bool record_ = true;
  std::int64_t now_ = 0;
  std::int64_t ticks_ = 0;
  bool in_tick_ = false;
  std::vector<std::unique_ptr<VirtualTimer>> timers_;
  std::vector<EventRecord> events_;
  std::vector<std::string> property_changes_;
};

}  // namespace glimmer
