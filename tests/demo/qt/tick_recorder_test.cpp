// The tick recorder behind the smoothness figures: it records exactly the ticks asked for, writes them once
// in order, and is switched on only by the environment.
#include "demo/qt/tick_recorder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace glimmer {
namespace {

std::vector<std::int64_t> ReadTimes(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::int64_t> times;
  for (std::int64_t t; in >> t;)
    times.push_back(t);
  return times;
}

class TickRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tick_recorder_test." + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "." +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    timer_.setTimerType(Qt::PreciseTimer);
  }
  void TearDown() override {
    unsetenv("GLIMMER_TICK_LOG");
    unsetenv("GLIMMER_TICK_COUNT");
    std::filesystem::remove_all(dir_);
  }

  std::filesystem::path dir_;
  QTimer timer_;
};

TEST_F(TickRecorderTest, WritesTheTicksAskedForOnceInOrderAndThenStops) {
  const auto path = dir_ / "ticks";
  TickRecorder recorder(timer_, path.string(), 5);
  timer_.start(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.written(); }, 30000));
  const std::vector<std::int64_t> times = ReadTimes(path);
  ASSERT_EQ(times.size(), 5u);
  for (std::size_t i = 1; i < times.size(); ++i)
    EXPECT_GT(times[i], times[i - 1]) << "tick " << i;
  // Later ticks are not recorded: the file stays as written.
  QTest::qWait(20);
  EXPECT_EQ(recorder.recorded(), 5u);
  EXPECT_EQ(ReadTimes(path), times);
}

TEST_F(TickRecorderTest, AFileThatCannotBeWrittenIsReportedNotWritten) {
  TickRecorder recorder(timer_, (dir_ / "missing" / "ticks").string(), 2);
  timer_.start(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.recorded() == 2; }, 30000));
  EXPECT_FALSE(recorder.written());
}

TEST_F(TickRecorderTest, TheEnvironmentSwitchesItOnWithItsCount) {
  EXPECT_EQ(TickRecorder::FromEnvironment(timer_), nullptr);
  setenv("GLIMMER_TICK_LOG", "", 1);
  EXPECT_EQ(TickRecorder::FromEnvironment(timer_), nullptr);

  const auto path = dir_ / "from-env";
  setenv("GLIMMER_TICK_LOG", path.c_str(), 1);
  setenv("GLIMMER_TICK_COUNT", "3", 1);
  const auto recorder = TickRecorder::FromEnvironment(timer_);
  ASSERT_NE(recorder, nullptr);
  timer_.start(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder->written(); }, 30000));
  EXPECT_EQ(ReadTimes(path).size(), 3u);
}

}  // namespace
}  // namespace glimmer
