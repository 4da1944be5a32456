// SPDX-License-Identifier: MIT
#include "fuzz/sequence_target.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "control/interface/led_members.h"
#include "control/led.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/sign_invariants.h"
#include "host/automation/memory_property_bag.h"

namespace glimmer::fuzz {
namespace {

constexpr std::int64_t kMaxSteps = 64;
constexpr std::int64_t kMaxTicksPerStep = 24;

enum class Handler { None, Clear, Show, ClearShow, WriteValue };

// A member identifier: mostly one the control has, sometimes any.
DispId MemberId(FuzzInput& in) {
  static constexpr std::array<DispId, 9> kIds = {0x68030004, 0x68030003, 0x68030002,
                                                 0x68030001, 0x68030000, kDispIdValue,
                                                 kClearId,   kShowId,    kTerminateEvent};
  const std::int64_t pick = in.Range(0, kIds.size());
  return pick < static_cast<std::int64_t>(kIds.size()) ? kIds[static_cast<std::size_t>(pick)] : in.Int32();
}

// A host size: mostly an ordinary one, sometimes anything a window system might report.
double HostSize(FuzzInput& in) {
  switch (in.Range(0, 15)) {
    case 0:
      return in.Double();
    case 1:
      return std::numeric_limits<double>::quiet_NaN();
    case 2:
      return in.Range(-5, 1) * 1e9;
    default:
      return static_cast<double>(in.Range(0, 1200)) + (in.Bool() ? 0.5 : 0.0);
  }
}

std::u16string SignText(FuzzInput& in) {
  std::u16string text = in.Text(24);
  // Now and then a long one: past the longest text whose pass can end within 16 bits, too.
  if (!text.empty() && in.Range(0, 7) == 0) {
    const std::int64_t copies = in.Range(1, 4000 / static_cast<std::int64_t>(text.size()) + 1);
    std::u16string longer;
    for (std::int64_t i = 0; i < copies; ++i)
      longer += text;
    text = std::move(longer);
  }
  return text;
}

class Sequence {
 public:
  Sequence(FuzzInput& in, const gdi::LiveCounts& baseline)
      : in_(in), led_(container_.control_as<LED>()), invariants_(baseline) {
    container_.on_event = [this](DispId event) { OnEvent(event); };
  }

  std::string Run() {
    if (in_.Bool()) (void)container_.InitNew();
    (void)container_.Site();
    for (std::int64_t step = 0; step < kMaxSteps && !in_.empty(); ++step) {
      const bool ticked = Step();
      if (!failure_.empty()) return failure_;
      const std::string d =
          ticked ? invariants_.Check(container_, led_) : invariants_.CheckObjects(container_, led_);
      if (!d.empty()) return "step " + std::to_string(step) + ": " + d;
    }
    if (!led_.Clear()) return "Clear failed";
    if (std::string d = invariants_.Check(container_, led_); !d.empty()) return "after Clear: " + d;
    return "";
  }

 private:
  void OnEvent(DispId event) {
    if (event != kTerminateEvent) return;
    if (handler_ == Handler::Clear || handler_ == Handler::ClearShow) (void)led_.Clear();
    if (handler_ == Handler::Show || handler_ == Handler::ClearShow) (void)led_.Show();
    if (handler_ == Handler::WriteValue) (void)led_.Value(handler_text_);
  }

  // One step; returns whether ticks ran (so that the pixels are worth checking).
  bool Step() {
    switch (in_.Range(0, 15)) {
      case 0:
        (void)led_.Value(SignText(in_));
        return false;
      case 1:
        WriteInRange(&LED::Color, &LED::Color, in_.Int32(), 0, 2);
        return false;
      case 2:
        WriteInRange(&LED::Delay, &LED::Delay, in_.Int16(), 0, 32767);
        return false;
      case 3:
        WriteInRange(&LED::BorderStyle, &LED::BorderStyle, in_.Int32(), 0, 1);
        return false;
      case 4:
      case 5:
        (void)(in_.Bool() ? led_.Enabled(Boolean(in_.Bool())) : led_.Repeated(Boolean(in_.Bool())));
        return false;
      case 6:
        LateBound();
        return false;
      case 7:
        (void)led_.Show();
        return false;
      case 8:
        (void)led_.Clear();
        return false;
      case 9:
        (void)container_.Resize(HostSize(in_), HostSize(in_));
        return false;
      case 10:
      case 11:
        return container_.RunTicks(in_.Range(1, kMaxTicksPerStep)) > 0;
      case 12: {
        // Up to kMaxTicksPerStep ticks' worth of time, however short the interval.
        const std::int64_t interval = std::max(container_.timer("TimerLED")->interval(), 1);
        container_.Advance(std::min(in_.Range(0, 500), interval * kMaxTicksPerStep));
        return true;
      }
      case 13: {
        const ColorRef colour{in_.Range(0, 3) == 0 ? static_cast<std::int32_t>(0x80000000u | in_.Byte())
                                                   : in_.Int32()};
        invariants_.BackColorSet(colour);
        container_.SetBackColor(colour);
        return false;
      }
      case 14:
        handler_ = static_cast<Handler>(in_.Range(0, 4));
        handler_text_ = in_.Text(8);
        return false;
      default:
        RoundTrip();
        return false;
    }
  }

  // A write within the range stores the value; one outside is ignored. Either way it succeeds.
  template <class T>
  void WriteInRange(Status (LED::*write)(T), T (LED::*read)() const, T value, std::int32_t lo,
                    std::int32_t hi) {
    const T before = (led_.*read)();
    if (!(led_.*write)(value)) failure_ = "a property write failed";
    const T expected = value >= lo && value <= hi ? value : before;
    if ((led_.*read)() != expected) failure_ = "a property write stored the wrong value";
  }

  void LateBound() {
    const DispId id = MemberId(in_);
    const auto kind = static_cast<InvokeKind>(in_.Range(0, 3));
    std::vector<PropertyValue> args(static_cast<std::size_t>(in_.Range(0, 2)));
    for (auto& a : args)
      a = in_.Value();
    const auto result = led_.Invoke(id, kind, args);
    // A property read answers with the property's own value.
    if (kind == InvokeKind::PropertyGet && args.empty() && id == kDispIdValue &&
        (!result || result->ToText() != led_.Value()))
      failure_ = "a late-bound read of Value differs from Value";
  }

  // Whatever the control holds saves and restores to the same values.
  void RoundTrip() {
    MemoryPropertyBag bag;
    if (!container_.Save(bag)) {
      failure_ = "the save failed";
      return;
    }
    const auto before = Snapshot();
    if (!container_.Load(bag)) failure_ = "the restore failed";
    if (Snapshot() != before) failure_ = "save and restore changed a value";
  }

  [[nodiscard]] std::tuple<std::int32_t, std::int32_t, std::int16_t, Boolean, Boolean, std::u16string>
  Snapshot() const {
    return {led_.BorderStyle(), led_.Color(), led_.Delay(), led_.Enabled(), led_.Repeated(), led_.Value()};
  }

  FuzzInput& in_;
  HeadlessContainer container_{LED::Class()};
  LED& led_;
  SignInvariants invariants_;
  Handler handler_ = Handler::None;
  std::u16string handler_text_;
  std::string failure_;
};

}  // namespace

std::string FuzzSequence(std::span<const std::uint8_t> bytes) {
  FuzzInput in(bytes);
  const gdi::LiveCounts baseline = gdi::Live();
  std::string result;
  {
    Sequence sequence(in, baseline);
    result = sequence.Run();
  }
  if (result.empty() && gdi::Live() != baseline) result = "objects left alive after the control went";
  gdi::ResetSysColors();
  return result;
}

}  // namespace glimmer::fuzz
