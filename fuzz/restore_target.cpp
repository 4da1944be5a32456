// SPDX-License-Identifier: MIT
#include "fuzz/restore_target.h"

#include <array>
#include <optional>

#include "control/led.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/sign_invariants.h"
#include "host/automation/memory_property_bag.h"

namespace glimmer::fuzz {
namespace {

constexpr std::array<std::string_view, 6> kKeys = {"BorderStyle", "Color",    "Delay",
                                                   "Enabled",     "Repeated", "Value"};

std::string RandomCase(FuzzInput& in, std::string_view key) {
  std::string k(key);
  for (char& c : k)
    if (in.Bool()) c = static_cast<char>(c >= 'a' ? c - 32 : c + 32);
  return k;
}

std::string Key(FuzzInput& in) {
  const std::int64_t pick = in.Range(0, 9);
  if (pick < 6) return RandomCase(in, kKeys[static_cast<std::size_t>(pick)]);
  if (pick == 6) return "_ExtentX";
  std::string key(static_cast<std::size_t>(in.Range(0, 12)), ' ');
  for (char& c : key)
    c = static_cast<char>(in.Byte());
  return key;
}

// The number in a value, when it is one the restore must take exactly: an integer or a Boolean.
std::optional<std::int64_t> Whole(const PropertyValue& v) {
  if (const auto* i = v.get_if<std::int16_t>()) return *i;
  if (const auto* i = v.get_if<std::int32_t>()) return *i;
  if (const auto* b = v.get_if<Boolean>()) return b->value;
  if (v.kind() == ValueKind::Empty) return 0;
  return std::nullopt;
}

// What the restore must make of `stored` for an integer field of [lo, hi] that held `before`.
std::optional<std::int64_t> ExpectedWhole(const std::optional<PropertyValue>& stored, std::int64_t fallback,
                                          std::int64_t before, std::int64_t lo, std::int64_t hi) {
  if (!stored) return fallback;
  const auto whole = Whole(*stored);
  if (!whole) return std::nullopt;  // a double or a text: rounding and parsing are tested elsewhere
  return *whole >= lo && *whole <= hi ? *whole : before;
}

struct Fields {
  std::int32_t border_style, color;
  std::int16_t delay;
  Boolean enabled, repeated;
  std::u16string value;
  friend bool operator==(const Fields&, const Fields&) = default;
};

Fields Read(const LED& led) {
  return {led.BorderStyle(), led.Color(), led.Delay(), led.Enabled(), led.Repeated(), led.Value()};
}

// The restored numbers and texts against the conversion rules, key by key.
std::string CheckRestored(const MemoryPropertyBag& bag, const std::array<bool, 6>& failing,
                          const Fields& before, const Fields& after) {
  auto stored = [&](std::size_t k) -> std::optional<PropertyValue> { return bag.Get(kKeys[k]); };
  const std::int64_t numbers[] = {after.border_style, after.color, after.delay};
  const std::int64_t before_numbers[] = {before.border_style, before.color, before.delay};
  const std::int64_t defaults[] = {1, 0, 50};
  const std::int64_t lows[] = {INT32_MIN, INT32_MIN, INT16_MIN};
  const std::int64_t highs[] = {INT32_MAX, INT32_MAX, INT16_MAX};
  for (std::size_t k = 0; k < 3; ++k) {
    const auto expected = failing[k]
                              ? std::optional<std::int64_t>(before_numbers[k])
                              : ExpectedWhole(stored(k), defaults[k], before_numbers[k], lows[k], highs[k]);
    if (expected && *expected != numbers[k]) return "restored " + std::string(kKeys[k]) + " is wrong";
  }
  if (!failing[5]) {
    const auto v = stored(5);
    if (!v && !after.value.empty()) return "Value without an entry is not empty";
    if (v && v->kind() == ValueKind::Text && after.value != *v->get_if<std::u16string>())
      return "restored Value is not the stored text";
  } else if (after.value != before.value) {
    return "Value changed although its read failed";
  }
  return "";
}

}  // namespace

std::string FuzzRestore(std::span<const std::uint8_t> bytes) {
  FuzzInput in(bytes);
  MemoryPropertyBag bag;
  const std::int64_t entries = in.Range(0, 12);
  for (std::int64_t i = 0; i < entries; ++i) {
    std::string key = Key(in);
    bag.Set(key, in.Value());
  }
  std::array<bool, 6> failing{};
  const std::uint8_t failures = in.Byte();
  for (std::size_t k = 0; k < failing.size(); ++k) {
    failing[k] = (failures >> k & 1) != 0 && (failures & 0xC0) == 0xC0;
    if (failing[k]) bag.FailRead(kKeys[k]);
  }
  const bool initialised = in.Bool();
  const double width = static_cast<double>(in.Range(0, 700));
  const std::int64_t ticks = in.Range(0, 63);

  const gdi::LiveCounts baseline = gdi::Live();
  {
    HeadlessContainer container(LED::Class());
    auto& led = container.control_as<LED>();
    SignInvariants invariants(baseline);
    if (initialised && !container.InitNew()) return "InitProperties failed";
    const Fields before = Read(led);
    if (!container.Load(bag)) return "the restore reported an error";
    if (!container.property_changes().empty()) return "the restore called PropertyChanged";
    if (std::string d = CheckRestored(bag, failing, before, Read(led)); !d.empty()) return d;
    (void)container.Resize(width, 40);
    if (!led.Show()) return "Show failed";
    for (std::int64_t t = 1; t <= ticks && container.RunTicks(1) == 1; ++t) {
      // The objects after every tick, the pixels after every eighth (the end of a pass is among them often
      // enough over a fuzzing run).
      const std::string d =
          t % 8 == 0 ? invariants.Check(container, led) : invariants.CheckObjects(container, led);
      if (!d.empty()) return "tick " + std::to_string(t) + ": " + d;
    }
    if (std::string d = invariants.Check(container, led); !d.empty()) return d;

    if (!led.Clear()) return "Clear failed";
    if (std::string d = invariants.CheckObjects(container, led); !d.empty()) return "after Clear: " + d;

    // Whatever was restored saves and restores to the same values.
    MemoryPropertyBag saved;
    if (!container.Save(saved)) return "the save failed";
    HeadlessContainer again(LED::Class());
    if (!again.Load(saved)) return "the second restore failed";
    if (Read(again.control_as<LED>()) != Read(led)) return "save and restore changed a value";
  }
  if (gdi::Live() != baseline) return "objects left alive";
  return "";
}

}  // namespace glimmer::fuzz
