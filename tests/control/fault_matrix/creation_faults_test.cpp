// SPDX-License-Identifier: MIT
// Every creation the control makes (contexts, bitmaps, brushes), at every position of a Show, ticks (two
// ends of pass, the second with a Terminate handler that calls Clear and Show), Clear sequence, fails once:
// state, events, objects and every pixel must be what the failure handling promises, tick after tick.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tests/control/fault_matrix/fault_tally.h"
#include "tests/control/fault_matrix/matrix_run.h"
#include "tests/support/reference_frame.h"

namespace glimmer::testing {
namespace {

// The brushes the sequence makes on each tick, from the model of a run without faults.
std::vector<std::uint64_t> BrushesPerTick() {
  SignModel model(kMatrixWidth, u"a8", 2, true);
  model.Show();
  std::vector<std::uint64_t> counts;
  int ends = 0;
  for (std::int64_t t = 1; t <= kMatrixTicks; ++t) {
    const std::uint64_t before = model.creations(gdi::ObjectKind::Brush);
    (void)model.Tick(kBlack, {}, [&] {
      if (++ends != 2) return;
      model.Clear(kBlack);
      model.Show();
    });
    counts.push_back(model.creations(gdi::ObjectKind::Brush) - before);
  }
  return counts;
}

// Runs the sequence with the n-th creation of `kind` failing, in the control and in the model alike.
std::string RunWithFailure(gdi::ObjectKind kind, std::uint64_t n, bool* hit) {
  MatrixRun run;
  gdi::FailNthCreation(kind, n);
  run.model.FailCreation(kind, n);
  std::string diff = run.RunAll();
  *hit = run.model.creations(kind) >= n;
  gdi::ResetFaults();
  return diff;
}

using CreationFaults = FaultMatrixTest;

TEST_F(CreationFaults, WithoutFaultsControlAndModelAgree) {
  MatrixRun run;
  EXPECT_EQ(run.RunAll(), "");
  // The sequence has what the matrix needs: two ends of pass, the second handled by Clear and Show.
  EXPECT_EQ(run.rig.TerminateTicks(), (std::vector<std::int64_t>{kMatrixPass, 2 * kMatrixPass}));
  EXPECT_EQ(run.model.creations(gdi::ObjectKind::DC), 2u);
  EXPECT_EQ(run.model.creations(gdi::ObjectKind::Bitmap), 2u);
  const auto brushes = BrushesPerTick();
  // Background, 2 blocks of 45 grid dots, 35 dots of "8"; on an ending tick the "8" is not drawn.
  EXPECT_EQ(brushes.front(), 1u + 90u + 35u);
  EXPECT_EQ(brushes[kMatrixPass - 1], 1u + 90u);
}

TEST_F(CreationFaults, EveryContextAndBitmap) {
  // The first of each is Show's; the second is the Show of the Terminate handler, inside a tick.
  for (const auto kind : {gdi::ObjectKind::DC, gdi::ObjectKind::Bitmap})
    for (std::uint64_t n = 1; n <= 2; ++n) {
      bool hit = false;
      EXPECT_EQ(RunWithFailure(kind, n, &hit), "") << "kind " << static_cast<int>(kind) << ", creation " << n;
      Injected(hit);
    }
}

TEST_F(CreationFaults, AShowWithoutSurfaceRunsNoTickAndClearReleasesTheContext) {
  for (const auto kind : {gdi::ObjectKind::DC, gdi::ObjectKind::Bitmap}) {
    MatrixRun run;
    gdi::FailNthCreation(kind, 1);
    ASSERT_TRUE(run.rig.led.Show());  // a surface that cannot be made is no error
    Injected(true);
    EXPECT_EQ(run.rig.led.renderer_state().MemDC != 0, kind == gdi::ObjectKind::Bitmap);
    EXPECT_EQ(run.rig.Tick(5), 0);
    // Idle starts again at once; Stopped does nothing until Clear.
    ASSERT_TRUE(run.rig.led.Show());
    EXPECT_EQ(run.rig.Tick(5), kind == gdi::ObjectKind::DC ? 5 : 0);
    ASSERT_TRUE(run.rig.led.Clear());
    EXPECT_EQ(run.rig.led.renderer_state().MemDC, 0);
    ASSERT_TRUE(run.rig.led.Show());
    EXPECT_EQ(run.rig.Tick(5), 5);
    ASSERT_TRUE(run.rig.led.Clear());
  }
}

// One test per tick of the sequence: every brush of that tick fails in turn.
class BrushFaults : public FaultMatrixParamTest<std::int64_t> {};

TEST_P(BrushFaults, EveryBrushOfTheTick) {
  const std::int64_t tick = GetParam();
  const auto counts = BrushesPerTick();
  const std::uint64_t first =
      std::accumulate(counts.begin(), counts.begin() + (tick - 1), std::uint64_t{0}) + 1;
  for (std::uint64_t n = first; n < first + counts[static_cast<std::size_t>(tick - 1)]; ++n) {
    bool hit = false;
    const std::string diff = RunWithFailure(gdi::ObjectKind::Brush, n, &hit);
    Injected(hit);
    ASSERT_EQ(diff, "") << "brush " << n << " (brush " << n - first << " of tick " << tick << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(Ticks, BrushFaults, ::testing::Range<std::int64_t>(1, kMatrixTicks + 1));

}  // namespace
}  // namespace glimmer::testing
