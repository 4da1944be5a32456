// SPDX-License-Identifier: MIT
// The headless container with a probe control that records what the container delivers.
#include "host/headless/headless_container.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/automation/memory_property_bag.h"
#include "tests/support/test_access.h"

namespace glimmer {
namespace {

class Probe final : public Control {
 public:
  explicit Probe(Container& c) : container(c) {}
  Status UserControl_Initialize() override { return Log("Initialize"); }
  Status UserControl_InitProperties() override { return Log("InitProperties"); }
  Status UserControl_ReadProperties(PropertyBag&) override { return Log("ReadProperties"); }
  Status UserControl_WriteProperties(PropertyBag&) override { return Log("WriteProperties"); }
  Status UserControl_Resize() override {
    (void)Log("Resize");
    return on_resize ? on_resize() : Status{};
  }
  Status UserControl_Terminate() override { return Log("Terminate"); }
  Status OnTimer(std::string_view name) override {
    (void)Log(std::string(name));
    return on_tick ? on_tick() : Status{};
  }
  std::span<const MemberInfo> Members() const override { return {}; }
  std::span<const EventInfo> Events() const override { return {}; }
  Result<PropertyValue> Invoke(DispId, InvokeKind, std::span<const PropertyValue>) override {
    return Fail(Error::MemberNotFound);
  }

  Status Log(std::string what) {
    log->push_back(std::move(what));
    return {};
  }
  Container& container;
  std::vector<std::string>* log = nullptr;
  std::function<Status()> on_resize;
  std::function<Status()> on_tick;
};

std::vector<std::string>* g_log = nullptr;

const ControlDesign& ProbeDesign() {
  static const ControlDesign d{.back_color = ColorRef{0x000080},
                               .width_twips = 150,
                               .height_twips = 90,
                               .children = {TimerDesign{.name = "Clock", .enabled = false, .interval = 50},
                                            ShapeDesign{.name = "Frame",
                                                        .index = 0,
                                                        .border_color = ColorRef{0xFFFFFF},
                                                        .left = 0,
                                                        .top = 0,
                                                        .width = 10,
                                                        .height = 6}}};
  return d;
}

const ControlClass& ProbeClass() {
  static const ControlClass cls{"Test.Probe", &ProbeDesign(), [](Container& c) -> std::unique_ptr<Control> {
                                  auto p = std::make_unique<Probe>(c);
                                  p->log = g_log;
                                  return p;
                                }};
  return cls;
}

class HeadlessContainerTest : public ::testing::Test {
 protected:
  HeadlessContainerTest() { g_log = &log; }
  std::vector<std::string> log;
};

TEST_F(HeadlessContainerTest, CreatesFromTheDesignAndInitialisesFirst) {
  HeadlessContainer c(ProbeClass());
  EXPECT_EQ(log, std::vector<std::string>{"Initialize"});
  EXPECT_EQ(c.width_pixels(), 10);
  EXPECT_EQ(c.height_pixels(), 6);
  ASSERT_NE(c.timer("Clock"), nullptr);
  EXPECT_FALSE(c.timer("Clock")->enabled());
  EXPECT_EQ(c.Pixels().at(3, 3), MakePixel(0x80, 0, 0));  // 0x00BBGGRR: red 0x80
  EXPECT_FALSE(c.TimerChild("Other"));
  EXPECT_FALSE(c.ShapeChild("Frame", 1));
}

TEST_F(HeadlessContainerTest, TimerFiresEveryIntervalWhileEnabled) {
  HeadlessContainer c(ProbeClass());
  Timer& t = **c.TimerChild("Clock");
  c.Advance(1000);
  EXPECT_EQ(c.ticks(), 0);
  ASSERT_TRUE(t.Enabled(true));
  c.Advance(49);
  EXPECT_EQ(c.ticks(), 0);
  c.Advance(1);
  EXPECT_EQ(c.ticks(), 1);
  c.Advance(200);
  EXPECT_EQ(c.ticks(), 5);
  ASSERT_TRUE(t.Interval(50));  // the same value: the wait goes on
  c.Advance(50);
  EXPECT_EQ(c.ticks(), 6);
  c.Advance(20);
  ASSERT_TRUE(t.Interval(30));  // a new value starts the wait afresh
  c.Advance(29);
  EXPECT_EQ(c.ticks(), 6);
  c.Advance(1);
  EXPECT_EQ(c.ticks(), 7);
  EXPECT_EQ(t.Interval(-1).error(), Error::InvalidPropertyValue);
}

TEST_F(HeadlessContainerTest, IntervalZeroFiresNothing) {
  HeadlessContainer c(ProbeClass());
  Timer& t = **c.TimerChild("Clock");
  ASSERT_TRUE(t.Interval(0));
  ASSERT_TRUE(t.Enabled(true));
  c.Advance(1'000'000'000);
  EXPECT_EQ(c.ticks(), 0);
  EXPECT_FALSE(c.timer_running());
  EXPECT_EQ(c.RunTicks(5), 0);
}

TEST_F(HeadlessContainerTest, ATickMayStopOrRestartItsTimer) {
  HeadlessContainer c(ProbeClass());
  auto& probe = c.control_as<Probe>();
  Timer& t = **c.TimerChild("Clock");
  probe.on_tick = [&]() -> Status {
    if (c.ticks() == 3) return t.Enabled(false);
    return {};
  };
  ASSERT_TRUE(t.Enabled(true));
  c.Advance(10'000);
  EXPECT_EQ(c.ticks(), 3);
  EXPECT_EQ(c.now(), 10'000);
}

TEST_F(HeadlessContainerTest, ASizeAssignmentThatChangesTheSizeReentersResize) {
  HeadlessContainer c(ProbeClass());
  auto& probe = c.control_as<Probe>();
  probe.on_resize = [&]() -> Status {
    if (auto s = c.Width(15.0f * 20); !s) return s;  // 20 pixels
    return c.Height(15.0f * 8);
  };
  ASSERT_TRUE(c.Site());
  EXPECT_EQ(c.width_pixels(), 20);
  EXPECT_EQ(c.height_pixels(), 8);
  // The site; inside it, the run for the width change; inside that, the run for the height change.
  EXPECT_EQ(TestAccess::resize_calls(c), 3);
  EXPECT_EQ(TestAccess::max_resize_depth(c), 3);
  c.ClearRecords();
  ASSERT_TRUE(c.Resize(20, 8));  // unchanged: nothing
  EXPECT_EQ(TestAccess::resize_calls(c), 0);
}

TEST_F(HeadlessContainerTest, WithoutReentryTheSameAssignmentsRaiseNothingMore) {
  HeadlessContainer c(ProbeClass(), {.reenter_on_resize = false});
  c.control_as<Probe>().on_resize = [&]() { return c.Width(15.0f * 20); };
  ASSERT_TRUE(c.Site());
  EXPECT_EQ(c.width_pixels(), 20);
  EXPECT_EQ(TestAccess::resize_calls(c), 1);
}

TEST_F(HeadlessContainerTest, ClsClearsToTheBackgroundAndShapesStayAbove) {
  HeadlessContainer c(ProbeClass());
  ASSERT_TRUE(c.Cls());
  const Image frame = c.Frame();
  EXPECT_EQ(frame.at(0, 0), MakePixel(255, 255, 255));  // the shape's outline
  EXPECT_EQ(frame.at(9, 5), MakePixel(255, 255, 255));
  EXPECT_EQ(frame.at(4, 3), MakePixel(0x80, 0, 0));
  EXPECT_EQ(c.Pixels().at(0, 0), MakePixel(0x80, 0, 0));  // the outline is not part of the pixels
}

TEST_F(HeadlessContainerTest, RecordsEventsWithTheirTickAndRunsTheHandlerBeforeTheRaiseReturns) {
  HeadlessContainer c(ProbeClass());
  bool handled = false;
  c.on_event = [&](DispId id) { handled = id == 7; };
  c.control_as<Probe>().on_tick = [&]() -> Status {
    if (auto s = c.RaiseEvent(7); !s) return s;
    EXPECT_TRUE(handled);
    return {};
  };
  ASSERT_TRUE((*c.TimerChild("Clock"))->Enabled(true));
  c.Advance(100);
  ASSERT_EQ(c.events().size(), 2u);
  EXPECT_EQ(c.events()[1].tick, 2);
  EXPECT_EQ(c.events()[1].time, 100);
}

// A host that drives the clock from inside a callback (a tick, an event handler inside a tick, a resize) is
// refused, as the window container refuses it: no tick runs inside another callback, and the clock stands.
class NestedTicks : public HeadlessContainerTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(NestedTicks, AreRefused) {
  HeadlessContainer c(ProbeClass());
  auto& probe = c.control_as<Probe>();
  int refused = 0;
  const auto nested = [&] {
    const std::int64_t now = c.now();
    refused += !c.Advance(50) && c.RunTicks(1) == 0 && c.now() == now;
    return Status{};
  };
  if (GetParam() == "event") c.on_event = [&](DispId) { (void)nested(); };
  probe.on_tick = GetParam() == "event" ? std::function<Status()>([&] { return c.RaiseEvent(7); }) : nested;
  if (GetParam() == "resize") probe.on_tick = nullptr, probe.on_resize = nested;
  ASSERT_TRUE((*c.TimerChild("Clock"))->Enabled(true));
  ASSERT_TRUE(c.Resize(30, 20));
  c.Advance(100);
  EXPECT_EQ(refused, GetParam() == "resize" ? 1 : 2);
  EXPECT_EQ(c.ticks(), 2);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Clock"), 2);
}

INSTANTIATE_TEST_SUITE_P(Callbacks, NestedTicks, ::testing::Values("tick", "event", "resize"));

TEST_F(HeadlessContainerTest, InjectedOperationFailuresAreCountedAndCallbackErrorsRecorded) {
  HeadlessContainer c(ProbeClass());
  TestAccess::faults(c).Fail(Operation::PropertyChanged, 2);
  EXPECT_FALSE(c.PropertyChanged("A"));
  EXPECT_FALSE(c.PropertyChanged("B"));
  EXPECT_TRUE(c.PropertyChanged("C"));
  EXPECT_EQ(c.property_changes(), std::vector<std::string>{"C"});
  c.control_as<Probe>().on_resize = [] { return Status(Fail(Error::Overflow)); };
  EXPECT_EQ(c.Site().error(), Error::Overflow);
  ASSERT_EQ(c.callback_errors().size(), 1u);
  EXPECT_EQ(c.callback_errors()[0].callback, "UserControl_Resize");
}

TEST_F(HeadlessContainerTest, DestructionStopsTimersBeforeTerminateAndTheControlGoes) {
  {
    HeadlessContainer c(ProbeClass());
    ASSERT_TRUE((*c.TimerChild("Clock"))->Enabled(true));
    c.control_as<Probe>().on_tick = [] {
      ADD_FAILURE() << "tick during destruction";
      return Status{};
    };
  }
  EXPECT_EQ(log.back(), "Terminate");
}

}  // namespace
}  // namespace glimmer
