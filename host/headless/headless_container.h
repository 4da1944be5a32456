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

/// A container without a window: the control's area is a pixel buffer in memory, its timers run on a
/// virtual clock that the host advances (Advance(), RunTicks()), and what the control tells its container
/// (PropertyChanged, raised events, callback errors, resize nesting) is recorded.
class HeadlessContainer : public ContainerBase {
 public:
  /// How the container measures and what it records.
  struct Options {
    /// Twips per pixel across.
    float twips_per_pixel_x = 15.0f;
    /// Twips per pixel down.
    float twips_per_pixel_y = 15.0f;
    /// Whether a size assignment by the control raises UserControl_Resize again before it returns, as
    /// window containers do; tests turn it off to show the layout does not depend on it.
    bool reenter_on_resize = true;
    /// Whether raised events and PropertyChanged names are kept for events() and property_changes(); a
    /// host that runs for days turns this off.
    bool record = true;
  };

  /// An event the control raised.
  struct EventRecord {
    /// Which event.
    DispId event;
    /// The tick during which it was raised (0: outside any tick).
    std::int64_t tick;
    /// Virtual milliseconds.
    std::int64_t time;
  };

  /// Creates the control from its class: background, size and children from the design, then the control
  /// itself, then UserControl_Initialize. Default options.
  explicit HeadlessContainer(const ControlClass& control_class);
  /// As above, with @p options.
  HeadlessContainer(const ControlClass& control_class, Options options);
  /// Stops every timer, delivers UserControl_Terminate and destroys the control.
  ~HeadlessContainer() override;

  /// The virtual clock: fires every timer tick that falls due up to now() + @p milliseconds. Called from
  /// inside a callback (a tick, an event handler, a resize) it is refused, as the window container refuses
  /// a tick then: nothing runs, the clock stands, and the result is false.
  bool Advance(std::int64_t milliseconds);
  /// Advances tick by tick until @p count ticks have run or no timer runs; returns the ticks run (none
  /// inside a callback).
  std::int64_t RunTicks(std::int64_t count);
  /// The virtual time in milliseconds, 0 at the start.
  [[nodiscard]] std::int64_t now() const { return now_; }
  /// The ticks run so far.
  [[nodiscard]] std::int64_t ticks() const { return ticks_; }
  /// Whether any timer runs.
  [[nodiscard]] bool timer_running() const { return next_due().has_value(); }
  /// When the next tick falls due; nothing while no timer runs.
  [[nodiscard]] std::optional<std::int64_t> next_due() const;
  /// The timer of that name, or null when the design has none.
  [[nodiscard]] VirtualTimer* timer(std::string_view name);

  /// The events raised so far (with Options::record).
  [[nodiscard]] const std::vector<EventRecord>& events() const { return events_; }
  /// The names of the PropertyChanged notices so far (with Options::record).
  [[nodiscard]] const std::vector<std::string>& property_changes() const { return property_changes_; }
  /// Forgets what was recorded so far: events, PropertyChanged names, callback errors, resize counts.
  void ClearRecords();

  /// The control's timer of that name (one its design has), run by the virtual clock; ObjectRequired for
  /// any other name.
  Result<Timer*> TimerChild(std::string_view name) override;

 protected:
  /// Stops every virtual timer.
  void StopTimers() override;
  /// Records a PropertyChanged name.
  void PropertyNoticed(std::string_view name) override;
  /// Records a raised event with its tick and time.
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
