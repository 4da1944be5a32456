// SPDX-License-Identifier: MIT
// A failing ReadProperty or WriteProperty for each key, and a failing PropertyChanged for each property
// write, direct and late-bound: the restore skips that key only, the save stops there and reports it, and a
// write returns the error with the field already stored and nothing applied.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/geometry/led_design.h"
#include "host/automation/memory_property_bag.h"
#include "tests/control/fault_matrix/fault_tally.h"
#include "tests/support/led_fixture.h"
#include "tests/support/test_access.h"

namespace glimmer::testing {
namespace {

const std::vector<std::string> kKeys = {"BorderStyle", "Color", "Delay", "Enabled", "Repeated", "Value"};

// The six fields, as the property reads give them.
struct Fields {
  std::int32_t border_style;
  std::int32_t color;
  std::int16_t delay;
  Boolean enabled;
  Boolean repeated;
  std::u16string value;
  friend bool operator==(const Fields&, const Fields&) = default;
};

Fields Read(const LED& led) {
  return {led.BorderStyle(), led.Color(), led.Delay(), led.Enabled(), led.Repeated(), led.Value()};
}

// `base` with the field of key `k` taken from `from`.
Fields With(Fields base, const Fields& from, std::size_t k) {
  switch (k) {
    case 0:
      base.border_style = from.border_style;
      break;
    case 1:
      base.color = from.color;
      break;
    case 2:
      base.delay = from.delay;
      break;
    case 3:
      base.enabled = from.enabled;
      break;
    case 4:
      base.repeated = from.repeated;
      break;
    default:
      base.value = from.value;
  }
  return base;
}

const Fields kZero{0, 0, 0, False, False, u""};
const Fields kDefaults{1, 0, 50, True, False, u""};
const Fields kStored{0, 2, 70, False, True, u"STORED"};

MemoryPropertyBag StoredBag() {
  // Keys in another letter case than the control asks for: the bag matches without regard to it.
  return MemoryPropertyBag({{"borderstyle", std::int32_t{0}},
                            {"COLOR", std::int32_t{2}},
                            {"Delay", std::int16_t{70}},
                            {"enabled", False},
                            {"Repeated", True},
                            {"value", u"STORED"}});
}

using PersistenceFaults = FaultMatrixTest;

TEST_F(PersistenceFaults, AFailingReadSkipsThatKeyOnly) {
  // Over a created instance (zero values) and over one that holds its defaults.
  for (const bool initialised : {false, true})
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
      SCOPED_TRACE(::testing::Message() << kKeys[k] << (initialised ? ", over defaults" : ", over zeros"));
      HeadlessContainer container(LED::Class());
      auto& led = container.control_as<LED>();
      if (initialised) {
        ASSERT_TRUE(container.InitNew());
      }
      const Fields before = Read(led);
      ASSERT_EQ(before, initialised ? kDefaults : kZero);
      MemoryPropertyBag bag = StoredBag();
      bag.FailRead(kKeys[k]);
      EXPECT_TRUE(container.Load(bag));
      Injected(true);
      EXPECT_EQ(Read(led), With(kStored, before, k));
      EXPECT_TRUE(container.callback_errors().empty());
      EXPECT_TRUE(container.property_changes().empty());
      // ApplySettings ran with what was restored.
      EXPECT_EQ(container.enabled(), static_cast<bool>(led.Enabled()));
      EXPECT_EQ(container.shape(kShapeBorder, 0)->border_style(), led.BorderStyle());
      EXPECT_EQ(container.shape(kShapeBorder, 1)->border_style(), led.BorderStyle());
      EXPECT_EQ(container.timer(kTimerLED)->interval(), led.Delay());
    }
}

TEST_F(PersistenceFaults, AFailingWriteStopsTheSaveThereAndReportsIt) {
  for (std::size_t k = 0; k < kKeys.size(); ++k) {
    SCOPED_TRACE(kKeys[k]);
    HeadlessContainer container(LED::Class());
    auto& led = container.control_as<LED>();
    MemoryPropertyBag stored = StoredBag();
    ASSERT_TRUE(container.Load(stored));
    MemoryPropertyBag bag;
    bag.FailWrite(kKeys[k], Error::OutOfMemory);
    const Status saved = container.Save(bag);
    Injected(true);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error(), Error::OutOfMemory);
    ASSERT_EQ(container.callback_errors().size(), 1u);
    EXPECT_EQ(container.callback_errors()[0].callback, "UserControl_WriteProperties");
    // The keys before it were written, in order; it was tried; the keys after it were not.
    ASSERT_EQ(bag.writes().size(), k + 1);
    for (std::size_t i = 0; i <= k; ++i)
      EXPECT_EQ(bag.writes()[i].key, kKeys[i]);
    EXPECT_EQ(bag.entries().size(), k);
    EXPECT_EQ(Read(led), kStored);  // the save changes nothing
    EXPECT_TRUE(container.property_changes().empty());

    // What did get saved restores; the rest takes its defaults.
    HeadlessContainer again(LED::Class());
    ASSERT_TRUE(again.Load(bag));
    Fields expected = kDefaults;
    for (std::size_t i = 0; i < k; ++i)
      expected = With(expected, kStored, i);
    EXPECT_EQ(Read(again.control_as<LED>()), expected);
  }
}

// Every property write, with a failing PropertyChanged.
struct WriteCase {
  const char* name;
  Status (*write)(LED&);
  PropertyValue late_bound;  // the same value for a late-bound write
};

const std::vector<WriteCase>& Writes() {
  static const std::vector<WriteCase> writes = {
      {"BorderStyle", [](LED& l) { return l.BorderStyle(0); }, std::int32_t{0}},
      {"Color", [](LED& l) { return l.Color(2); }, std::int32_t{2}},
      {"Delay", [](LED& l) { return l.Delay(70); }, std::int16_t{70}},
      {"Enabled", [](LED& l) { return l.Enabled(False); }, False},
      {"Repeated", [](LED& l) { return l.Repeated(True); }, True},
      {"Value", [](LED& l) { return l.Value(u"STORED"); }, u"STORED"},
  };
  return writes;
}

TEST_F(PersistenceFaults, AFailingPropertyChangedEndsTheWriteWithTheFieldStored) {
  for (const bool late_bound : {false, true})
    for (std::size_t k = 0; k < Writes().size(); ++k) {
      const WriteCase& w = Writes()[k];
      SCOPED_TRACE(::testing::Message() << w.name << (late_bound ? ", late-bound" : ""));
      LedRig rig({.text = u"", .color = 0, .repeated = false});
      const int interval = rig.container.timer(kTimerLED)->interval();
      TestAccess::faults(rig.container).Fail(Operation::PropertyChanged);
      Status written;
      if (late_bound) {
        const auto id = rig.led.GetIDOfName(w.name);
        ASSERT_TRUE(id);
        const auto r = rig.led.Invoke(*id, InvokeKind::PropertyPut, std::span(&w.late_bound, 1));
        if (!r) written = Fail(r.error());
      } else {
        written = w.write(rig.led);
      }
      Injected(!TestAccess::faults(rig.container).armed(Operation::PropertyChanged));
      ASSERT_FALSE(written);
      EXPECT_EQ(written.error(), Error::OperationFailed);
      EXPECT_EQ(Read(rig.led), With(kDefaults, kStored, k));
      // ApplySettings did not run: the container still has the old values.
      EXPECT_TRUE(rig.container.enabled());
      EXPECT_EQ(rig.container.shape(kShapeBorder, 0)->border_style(), 1);
      EXPECT_EQ(rig.container.timer(kTimerLED)->interval(), interval);
      EXPECT_TRUE(rig.container.property_changes().empty());
    }
}

TEST_F(PersistenceFaults, AnIgnoredWriteNeverReachesAFailingPropertyChanged) {
  LedRig rig;
  const std::int64_t calls = TestAccess::faults(rig.container).calls(Operation::PropertyChanged);
  TestAccess::faults(rig.container).Fail(Operation::PropertyChanged, OperationFaults::kAlways);
  EXPECT_TRUE(rig.led.BorderStyle(2));
  EXPECT_TRUE(rig.led.Color(-1));
  EXPECT_TRUE(rig.led.Delay(-1));
  EXPECT_EQ(TestAccess::faults(rig.container).calls(Operation::PropertyChanged), calls);
  EXPECT_FALSE(rig.led.Color(0));  // an accepted write meets it
  Injected(true);
  TestAccess::faults(rig.container).Clear();
}

}  // namespace
}  // namespace glimmer::testing
