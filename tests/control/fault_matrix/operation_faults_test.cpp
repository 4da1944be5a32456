// SPDX-License-Identifier: MIT
// Every container operation that Show, Clear, the tick, ApplySettings and the size rule call fails once, at
// each of its calls: the procedure must end or skip exactly as its failure handling says, leave nothing
// alive after Clear, and the later course must be what that leaves behind.
//
// Each table lists every call a procedure makes; a test checks that the table is complete, so that a call
// added to a procedure cannot escape the matrix.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "control/geometry/led_design.h"
#include "host/automation/memory_property_bag.h"
#include "tests/control/fault_matrix/fault_tally.h"
#include "tests/control/fault_matrix/matrix_run.h"
#include "tests/support/test_access.h"

namespace glimmer::testing {
namespace {

constexpr auto kOperations = static_cast<int>(Operation::kCount);

// One call of a procedure: the operation and which of its calls within the procedure (from 1).
struct Call {
  Operation op;
  std::int64_t occurrence;
};

using CallCounts = std::array<std::int64_t, kOperations>;

CallCounts CountsOf(const OperationFaults& faults) {
  CallCounts counts{};
  for (int op = 0; op < kOperations; ++op)
    counts[op] = faults.calls(static_cast<Operation>(op));
  return counts;
}

// The calls per operation that `procedure` makes.
template <class F>
CallCounts CallsDuring(OperationFaults& faults, F&& procedure) {
  const CallCounts before = CountsOf(faults);
  procedure();
  CallCounts after = CountsOf(faults);
  for (int op = 0; op < kOperations; ++op)
    after[op] -= before[op];
  return after;
}

// The most calls of each operation that a table lists.
template <class Row>
CallCounts CallsListed(const std::vector<Row>& table) {
  CallCounts counts{};
  for (const Row& row : table) {
    auto& n = counts[static_cast<int>(row.call.op)];
    n = std::max(n, row.call.occurrence);
  }
  return counts;
}

void Arm(OperationFaults& faults, Call call) {
  faults.FailAfter(call.op, call.occurrence - 1);
}

// ---------------------------------------------------------------------------------------------------------
// Show and Clear: the first failing call ends the method and is its result; what was done stays done.

enum class After { Idle, ContextOnly, SurfaceTimerOff };
struct ShowRow {
  Call call;
  After after;
};

const std::vector<ShowRow>& ShowTable() {
  static const std::vector<ShowRow> table = {
      {{Operation::TimerEnabledRead, 1}, After::Idle},
      {{Operation::hDC, 1}, After::Idle},
      {{Operation::hDC, 2}, After::ContextOnly},
      {{Operation::ScaleWidth, 1}, After::ContextOnly},
      {{Operation::ScaleHeight, 1}, After::ContextOnly},
      {{Operation::ScaleWidth, 2}, After::SurfaceTimerOff},  // the text is not placed
      {{Operation::TimerEnabledWrite, 1}, After::SurfaceTimerOff},
  };
  return table;
}

using OperationFaultMatrix = FaultMatrixTest;

TEST_F(OperationFaultMatrix, ShowTableListsEveryCall) {
  MatrixRun run;
  EXPECT_EQ(CallsDuring(TestAccess::faults(run.rig.container), [&] { ASSERT_TRUE(run.rig.led.Show()); }),
            CallsListed(ShowTable()));
}

TEST_F(OperationFaultMatrix, EveryCallOfShow) {
  for (const ShowRow& row : ShowTable()) {
    SCOPED_TRACE(::testing::Message()
                 << "operation " << static_cast<int>(row.call.op) << " call " << row.call.occurrence);
    MatrixRun run;
    const gdi::LiveCounts base = gdi::Live();
    Arm(TestAccess::faults(run.rig.container), row.call);
    const Status shown = run.rig.led.Show();
    Injected(!TestAccess::faults(run.rig.container).armed(row.call.op));
    ASSERT_FALSE(shown);
    EXPECT_EQ(shown.error(), Error::OperationFailed);
    const RendererState& s = run.rig.led.renderer_state();
    EXPECT_EQ(s.MemDC != 0, row.after != After::Idle);
    EXPECT_EQ(s.MemBitmap != 0, row.after == After::SurfaceTimerOff);
    EXPECT_EQ(gdi::Live().dcs - base.dcs, row.after == After::Idle ? 0 : 1);
    EXPECT_EQ(gdi::Live().bitmaps - base.bitmaps, row.after == After::SurfaceTimerOff ? 1 : 0);
    EXPECT_EQ(s.ScrollX, row.call.op == Operation::TimerEnabledWrite ? kMatrixWidth - 4 : 0);
    EXPECT_EQ(run.rig.Tick(3), 0);  // the timer never came on
    ASSERT_TRUE(run.rig.led.Clear());
    EXPECT_EQ(gdi::Live(), base);
    ASSERT_TRUE(run.rig.led.Show());  // and all is well again
    EXPECT_EQ(run.rig.Tick(kMatrixPass), kMatrixPass);
    EXPECT_EQ(run.rig.TerminateTicks().size(), 1u);
    ASSERT_TRUE(run.rig.led.Clear());
    EXPECT_EQ(gdi::Live(), base);
  }
}

TEST_F(OperationFaultMatrix, EveryCallOfClear) {
  const std::vector<Call> calls = {{Operation::TimerEnabledWrite, 1}, {Operation::Cls, 1}};
  {
    MatrixRun run;
    ASSERT_TRUE(run.rig.led.Show());
    CallCounts listed{};
    for (const Call& c : calls)
      listed[static_cast<int>(c.op)] = c.occurrence;
    EXPECT_EQ(CallsDuring(TestAccess::faults(run.rig.container), [&] { ASSERT_TRUE(run.rig.led.Clear()); }),
              listed);
  }
  for (const Call& call : calls) {
    MatrixRun run;
    const gdi::LiveCounts base = gdi::Live();
    ASSERT_TRUE(run.rig.led.Show());
    run.rig.Tick(3);
    const Image frame = run.rig.container.Frame();
    Arm(TestAccess::faults(run.rig.container), call);
    const Status cleared = run.rig.led.Clear();
    Injected(!TestAccess::faults(run.rig.container).armed(call.op));
    ASSERT_FALSE(cleared);
    // The timer stopped only when its write was not the failing step; the area was not cleared and the
    // surface not released either way.
    EXPECT_EQ(run.rig.container.timer_running(), call.op == Operation::TimerEnabledWrite);
    EXPECT_NE(run.rig.led.renderer_state().MemBitmap, 0);
    EXPECT_EQ(run.rig.container.Frame(), frame);
    ASSERT_TRUE(run.rig.led.Clear());
    EXPECT_EQ(gdi::Live(), base);
    EXPECT_FALSE(run.rig.container.timer_running());
  }
}

TEST_F(OperationFaultMatrix, ASurfaceThatClearNeverReleasedGoesWithTheControl) {
  const gdi::LiveCounts base = gdi::Live();
  {
    MatrixRun run;
    ASSERT_TRUE(run.rig.led.Show());
    TestAccess::faults(run.rig.container).Fail(Operation::Cls);
    Injected(!run.rig.led.Clear());
  }
  EXPECT_EQ(gdi::Live(), base);
}

// ---------------------------------------------------------------------------------------------------------
// The tick: a failing step is skipped and what it would have set keeps its value.

struct TickRow {
  Call call;
  TickFaults skipped;
};

const std::vector<TickRow>& MidPassTickTable() {
  static const std::vector<TickRow> table = {
      {{Operation::BackColor, 1}, {.no_background_brush = true}},
      {{Operation::ScaleWidth, 1}, {.no_background_rect = true}},
      {{Operation::ScaleHeight, 1}, {.no_background_rect = true}},
      {{Operation::ScaleWidth, 2}, {.no_block_count = true}},
      {{Operation::hDC, 1}, {.no_copy = true}},
      {{Operation::ScaleWidth, 3}, {.no_copy = true}},
      {{Operation::ScaleHeight, 2}, {.no_copy = true}},
  };
  return table;
}

const std::vector<TickRow>& EndOfPassTickTable() {
  static const std::vector<TickRow> table = {
      {{Operation::BackColor, 1}, {.no_background_brush = true}},
      {{Operation::ScaleWidth, 1}, {.no_background_rect = true}},
      {{Operation::ScaleHeight, 1}, {.no_background_rect = true}},
      {{Operation::ScaleWidth, 2}, {.no_block_count = true}},
      {{Operation::TimerEnabledWrite, 1}, {.no_timer_write = true}},
      {{Operation::ScaleWidth, 3}, {.no_scroll_reset = true}},
      {{Operation::RaiseEvent, 1}, {.no_raise = true}},
      {{Operation::hDC, 1}, {.no_copy = true}},
      {{Operation::ScaleWidth, 4}, {.no_copy = true}},
      {{Operation::ScaleHeight, 2}, {.no_copy = true}},
  };
  return table;
}

struct TickCase {
  const char* name;
  std::int64_t tick;
  bool repeated;
  const std::vector<TickRow>& (*table)();
};

void PrintTo(const TickCase& c, std::ostream* os) {
  *os << c.name;
}

class TickFaultMatrix : public FaultMatrixParamTest<TickCase> {};

TEST_P(TickFaultMatrix, TableListsEveryCall) {
  const TickCase& c = GetParam();
  MatrixRun run(c.repeated, 0);
  run.Show();
  for (std::int64_t t = 1; t < c.tick; ++t)
    run.Tick();
  EXPECT_EQ(CallsDuring(TestAccess::faults(run.rig.container), [&] { run.Tick(); }), CallsListed(c.table()));
}

TEST_P(TickFaultMatrix, EveryCallIsSkippedAlone) {
  const TickCase& c = GetParam();
  for (const TickRow& row : c.table()) {
    SCOPED_TRACE(::testing::Message()
                 << "operation " << static_cast<int>(row.call.op) << " call " << row.call.occurrence);
    MatrixRun run(c.repeated, 0);
    run.Show();
    for (std::int64_t t = 1; t < c.tick; ++t)
      run.Tick();
    ASSERT_EQ(run.Compare("before"), "");
    Arm(TestAccess::faults(run.rig.container), row.call);
    run.Tick(row.skipped);
    Injected(!TestAccess::faults(run.rig.container).armed(row.call.op));
    ASSERT_EQ(run.Compare("faulted tick"), "");
    // What the skipped step left behind plays out over the ticks after it.
    for (std::int64_t t = 1; t <= kMatrixPass + 2; ++t) {
      run.Tick();
      ASSERT_EQ(run.Compare("tick " + std::to_string(t) + " after"), "");
    }
    run.Clear();
    ASSERT_EQ(run.Compare("Clear"), "");
    EXPECT_EQ(run.CompareCreations(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, TickFaultMatrix,
    ::testing::Values(TickCase{"MidPass", 5, true, MidPassTickTable},
                      TickCase{"EndOfPassRepeated", kMatrixPass, true, EndOfPassTickTable},
                      TickCase{"EndOfPassStopping", kMatrixPass, false, EndOfPassTickTable}),
    [](const auto& test) { return std::string(test.param.name); });

// The tick whose Terminate handler calls Clear and Show: every call of it, the handler's included, fails
// in turn. The handler's Clear and Show follow their own tables above; here it must all come out whole:
// no crash, and after a Clear nothing alive and nothing running.
TEST_F(OperationFaultMatrix, EveryCallOfTheTickWithATerminateHandler) {
  const std::int64_t tick = 2 * kMatrixPass;
  CallCounts calls;
  {
    MatrixRun run;
    run.Show();
    for (std::int64_t t = 1; t < tick; ++t)
      run.Tick();
    calls = CallsDuring(TestAccess::faults(run.rig.container), [&] { run.Tick(); });
    ASSERT_EQ(run.Compare("unfaulted"), "");
  }
  for (int op = 0; op < kOperations; ++op)
    for (std::int64_t n = 1; n <= calls[op]; ++n) {
      SCOPED_TRACE(::testing::Message() << "operation " << op << " call " << n);
      MatrixRun run;
      const gdi::LiveCounts base = gdi::Live();
      run.Show();
      for (std::int64_t t = 1; t < tick; ++t)
        run.Tick();
      Arm(TestAccess::faults(run.rig.container), {static_cast<Operation>(op), n});
      run.rig.Tick();
      Injected(!TestAccess::faults(run.rig.container).armed(static_cast<Operation>(op)));
      run.rig.Tick(kMatrixPass + 2);
      const RendererState& s = run.rig.led.renderer_state();
      EXPECT_TRUE(s.MemDC != 0 || s.MemBitmap == 0);
      EXPECT_LE(run.rig.TerminateTicks().size(), 4u);
      ASSERT_TRUE(run.rig.led.Clear());
      EXPECT_EQ(gdi::Live(), base);
      EXPECT_FALSE(run.rig.container.timer_running());
    }
}

// ---------------------------------------------------------------------------------------------------------
// ApplySettings: Enabled, both rings' BorderStyle, the timer's Interval; the first failing step ends it.

struct Applied {
  bool enabled;
  std::int16_t ring0;
  std::int16_t ring1;
  std::int32_t interval;
  friend bool operator==(const Applied&, const Applied&) = default;
};

Applied ContainerValues(HeadlessContainer& c) {
  return {c.enabled(), c.shape(kShapeBorder, 0)->border_style(), c.shape(kShapeBorder, 1)->border_style(),
          c.timer(kTimerLED)->interval()};
}

// The values after steps 1 to `done` of ApplySettings took `to` and the rest kept `from`.
Applied AfterSteps(const Applied& from, const Applied& to, int done) {
  return {done >= 1 ? to.enabled : from.enabled, done >= 2 ? to.ring0 : from.ring0,
          done >= 3 ? to.ring1 : from.ring1, done >= 4 ? to.interval : from.interval};
}

const std::vector<Call>& ApplySettingsCalls() {
  static const std::vector<Call> calls = {{Operation::Enabled, 1},
                                          {Operation::ShapeBorderStyle, 1},
                                          {Operation::ShapeBorderStyle, 2},
                                          {Operation::TimerInterval, 1}};
  return calls;
}

constexpr Applied kDefaults{true, 1, 1, 50};
constexpr Applied kOthers{false, 0, 0, 70};

MemoryPropertyBag OthersBag() {
  return MemoryPropertyBag(
      {{"Enabled", False}, {"BorderStyle", std::int32_t{0}}, {"Delay", std::int16_t{70}}});
}

TEST_F(OperationFaultMatrix, ApplySettingsCallsAreEveryCallOfARestore) {
  MatrixRun run;
  MemoryPropertyBag bag = OthersBag();
  CallCounts listed{};
  for (const Call& c : ApplySettingsCalls())
    listed[static_cast<int>(c.op)] = c.occurrence;
  EXPECT_EQ(
      CallsDuring(TestAccess::faults(run.rig.container), [&] { ASSERT_TRUE(run.rig.container.Load(bag)); }),
      listed);
}

TEST_F(OperationFaultMatrix, EveryStepOfApplySettingsInInitPropertiesAndRestore) {
  for (int step = 1; step <= 4; ++step) {
    const Call call = ApplySettingsCalls()[static_cast<std::size_t>(step - 1)];
    SCOPED_TRACE(::testing::Message() << "step " << step);
    {
      // A new instance's defaults: the error goes back to the container; the fields hold the defaults.
      MatrixRun run;
      MemoryPropertyBag bag = OthersBag();
      ASSERT_TRUE(run.rig.container.Load(bag));
      run.rig.container.ClearRecords();
      Arm(TestAccess::faults(run.rig.container), call);
      EXPECT_FALSE(run.rig.container.InitNew());
      Injected(!TestAccess::faults(run.rig.container).armed(call.op));
      EXPECT_EQ(run.rig.container.callback_errors().size(), 1u);
      EXPECT_EQ(run.rig.led.Delay(), 50);
      EXPECT_EQ(run.rig.led.Enabled(), True);
      EXPECT_EQ(ContainerValues(run.rig.container), AfterSteps(kOthers, kDefaults, step - 1));
    }
    {
      // The restore never fails: the remaining steps are skipped.
      MatrixRun run;
      MemoryPropertyBag bag = OthersBag();
      Arm(TestAccess::faults(run.rig.container), call);
      EXPECT_TRUE(run.rig.container.Load(bag));
      Injected(!TestAccess::faults(run.rig.container).armed(call.op));
      EXPECT_TRUE(run.rig.container.callback_errors().empty());
      EXPECT_EQ(run.rig.led.Delay(), 70);
      EXPECT_EQ(run.rig.led.BorderStyle(), 0);
      EXPECT_EQ(ContainerValues(run.rig.container), AfterSteps(kDefaults, kOthers, step - 1));
      EXPECT_TRUE(run.rig.container.property_changes().empty());
    }
  }
}

TEST_F(OperationFaultMatrix, EveryStepOfApplySettingsInEachPropertyWrite) {
  // Each write, and what ApplySettings then hands the container.
  struct Write {
    const char* name;
    Status (*write)(LED&);
    Applied applied;
    PropertyValue stored;  // the field afterwards, as the save hands it to the bag
  };
  const Write writes[] = {
      {"BorderStyle", [](LED& l) { return l.BorderStyle(0); }, {true, 0, 0, 50}, std::int32_t{0}},
      {"Color", [](LED& l) { return l.Color(0); }, kDefaults, std::int32_t{0}},
      {"Delay", [](LED& l) { return l.Delay(70); }, {true, 1, 1, 70}, std::int16_t{70}},
      {"Enabled", [](LED& l) { return l.Enabled(False); }, {false, 1, 1, 50}, False},
      {"Repeated", [](LED& l) { return l.Repeated(False); }, kDefaults, False},
      {"Value", [](LED& l) { return l.Value(u"NEW"); }, kDefaults, u"NEW"},
  };
  for (const Write& w : writes)
    for (int step = 1; step <= 4; ++step) {
      SCOPED_TRACE(::testing::Message() << w.name << ", step " << step);
      MatrixRun run;
      Arm(TestAccess::faults(run.rig.container), ApplySettingsCalls()[static_cast<std::size_t>(step - 1)]);
      const Status written = w.write(run.rig.led);
      Injected(!TestAccess::faults(run.rig.container)
                    .armed(ApplySettingsCalls()[static_cast<std::size_t>(step - 1)].op));
      ASSERT_FALSE(written);
      EXPECT_EQ(written.error(), Error::OperationFailed);
      EXPECT_EQ(run.rig.container.property_changes(), (std::vector<std::string>{w.name}));
      EXPECT_EQ(ContainerValues(run.rig.container), AfterSteps(kDefaults, w.applied, step - 1));
      MemoryPropertyBag saved;
      ASSERT_TRUE(run.rig.container.Save(saved));  // the field already holds the new value
      const auto& calls = saved.writes();
      const auto call =
          std::find_if(calls.begin(), calls.end(), [&](const auto& c) { return c.key == w.name; });
      ASSERT_NE(call, calls.end());
      EXPECT_EQ(call->value, w.stored);
    }
}

// ---------------------------------------------------------------------------------------------------------
// The size rule: the first failing step ends it; the steps before keep their effect.

struct Layout {
  double width;
  double height;
  float ring0_width, ring0_height, ring1_width, ring1_height;
  friend bool operator==(const Layout&, const Layout&) = default;
};

Layout LayoutOf(HeadlessContainer& c) {
  const RectangleShape* r0 = c.shape(kShapeBorder, 0);
  const RectangleShape* r1 = c.shape(kShapeBorder, 1);
  return {c.width_pixels(), c.height_pixels(), r0->width(), r0->height(), r1->width(), r1->height()};
}

// After `done` of the six effects of the rule (width, height, ring 0 width and height, ring 1 width and
// height) took `to`, the rest kept `from`.
Layout AfterEffects(const Layout& from, const Layout& to, int done) {
  return {done >= 1 ? to.width : from.width,
          done >= 2 ? to.height : from.height,
          done >= 3 ? to.ring0_width : from.ring0_width,
          done >= 4 ? to.ring0_height : from.ring0_height,
          done >= 5 ? to.ring1_width : from.ring1_width,
          done >= 6 ? to.ring1_height : from.ring1_height};
}

struct SizeRow {
  Call call;
  int effects_done;
};

const std::vector<SizeRow>& SizeRuleTable() {
  static const std::vector<SizeRow> table = {
      {{Operation::ScaleWidth, 1}, 0},  {{Operation::TwipsPerPixelX, 1}, 0},
      {{Operation::Width, 1}, 0},       {{Operation::TwipsPerPixelY, 1}, 1},
      {{Operation::Height, 1}, 1},      {{Operation::ScaleWidth, 2}, 2},
      {{Operation::ShapeWidth, 1}, 2},  {{Operation::ScaleHeight, 1}, 3},
      {{Operation::ShapeHeight, 1}, 3}, {{Operation::ScaleWidth, 3}, 4},
      {{Operation::ShapeWidth, 2}, 4},  {{Operation::ScaleHeight, 2}, 5},
      {{Operation::ShapeHeight, 2}, 5},
  };
  return table;
}

// A host resize from 23 x 32 to 100 x 40 pixels, which the rule makes 101 x 32.
constexpr Layout kBefore{kMatrixWidth, 32, kMatrixWidth, 32, kMatrixWidth - 2, 30};
constexpr Layout kAsked{100, 40, kMatrixWidth, 32, kMatrixWidth - 2, 30};
constexpr Layout kSnapped{101, 32, 101, 32, 99, 30};

LedRig NonReentrantRig() {
  return LedRig({.width = kMatrixWidth, .container = {.reenter_on_resize = false}});
}

TEST_F(OperationFaultMatrix, SizeRuleTableListsEveryCall) {
  LedRig rig = NonReentrantRig();
  ASSERT_EQ(LayoutOf(rig.container), kBefore);
  EXPECT_EQ(
      CallsDuring(TestAccess::faults(rig.container), [&] { ASSERT_TRUE(rig.container.Resize(100, 40)); }),
      CallsListed(SizeRuleTable()));
  EXPECT_EQ(LayoutOf(rig.container), kSnapped);
}

TEST_F(OperationFaultMatrix, EveryStepOfTheSizeRule) {
  for (const SizeRow& row : SizeRuleTable()) {
    SCOPED_TRACE(::testing::Message()
                 << "operation " << static_cast<int>(row.call.op) << " call " << row.call.occurrence);
    LedRig rig = NonReentrantRig();
    Arm(TestAccess::faults(rig.container), row.call);
    EXPECT_FALSE(rig.container.Resize(100, 40));
    Injected(!TestAccess::faults(rig.container).armed(row.call.op));
    ASSERT_EQ(rig.container.callback_errors().size(), 1u);
    EXPECT_EQ(rig.container.callback_errors()[0].callback, "UserControl_Resize");
    EXPECT_EQ(LayoutOf(rig.container), AfterEffects(kAsked, kSnapped, row.effects_done));
    ASSERT_TRUE(rig.container.Site());  // the next resize puts everything right
    EXPECT_EQ(LayoutOf(rig.container), kSnapped);
  }
}

// With a container that re-enters from the size assignments, every call of the outer and the nested runs
// fails in turn: the failure is reported, and the next resize gives the full layout.
TEST_F(OperationFaultMatrix, EveryCallOfAReenteredSizeRule) {
  CallCounts calls;
  {
    LedRig rig({.width = kMatrixWidth});
    calls =
        CallsDuring(TestAccess::faults(rig.container), [&] { ASSERT_TRUE(rig.container.Resize(100, 40)); });
  }
  for (int op = 0; op < kOperations; ++op)
    for (std::int64_t n = 1; n <= calls[op]; ++n) {
      SCOPED_TRACE(::testing::Message() << "operation " << op << " call " << n);
      LedRig rig({.width = kMatrixWidth});
      Arm(TestAccess::faults(rig.container), {static_cast<Operation>(op), n});
      (void)rig.container.Resize(100, 40);
      Injected(!TestAccess::faults(rig.container).armed(static_cast<Operation>(op)));
      EXPECT_FALSE(rig.container.callback_errors().empty());
      ASSERT_TRUE(rig.container.Site());
      EXPECT_EQ(LayoutOf(rig.container), kSnapped);
    }
}

}  // namespace
}  // namespace glimmer::testing
