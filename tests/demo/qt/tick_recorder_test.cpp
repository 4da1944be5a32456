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
#include <optional>
#include <sstream>
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
  std::ostringstream err;
  TickRecorder recorder(timer_, {.path = path.string(), .ticks = 5}, err);
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
  EXPECT_EQ(err.str(), "");
}

TEST_F(TickRecorderTest, AFileThatCannotBeOpenedIsReportedAtOnceAndNothingIsRecorded) {
  const auto path = dir_ / "missing" / "ticks";
  std::ostringstream err;
  TickRecorder recorder(timer_, {.path = path.string(), .ticks = 2}, err);
  EXPECT_EQ(err.str(),
            "glimmer: cannot write the tick log " + path.string() + ": No such file or directory\n");
  timer_.start(1);
  QTest::qWait(20);
  EXPECT_EQ(recorder.recorded(), 0u);
  EXPECT_FALSE(recorder.written());
}

TEST_F(TickRecorderTest, AFileThatCannotBeWrittenIsReported) {
  std::ostringstream err;
  TickRecorder recorder(timer_, {.path = "/dev/full", .ticks = 2}, err);
  timer_.start(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.recorded() == 2; }, 30000));
  EXPECT_FALSE(recorder.written());
  EXPECT_EQ(err.str(), "glimmer: cannot write the tick log /dev/full: No space left on device\n");
}

TEST_F(TickRecorderTest, TheEnvironmentSwitchesItOnWithItsCount) {
  std::ostringstream err;
  EXPECT_EQ(TickRecorder::FromEnvironment(timer_, err), nullptr);
  setenv("GLIMMER_TICK_LOG", "", 1);
  EXPECT_EQ(TickRecorder::FromEnvironment(timer_, err), nullptr);

  const auto path = dir_ / "from-env";
  setenv("GLIMMER_TICK_LOG", path.c_str(), 1);
  setenv("GLIMMER_TICK_COUNT", "3", 1);
  const auto recorder = TickRecorder::FromEnvironment(timer_, err);
  ASSERT_NE(recorder, nullptr);
  timer_.start(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder->written(); }, 30000));
  EXPECT_EQ(ReadTimes(path).size(), 3u);
  EXPECT_EQ(err.str(), "");
}

// GLIMMER_TICK_COUNT is input like any other: a whole decimal number from 1 to kMaxTicks, or refused.
struct CountCase {
  const char* count;
  std::optional<std::size_t> ticks;  // none: refused
};
void PrintTo(const CountCase& c, std::ostream* os) {
  *os << "GLIMMER_TICK_COUNT='" << c.count << "'";
}

class TickCount : public TickRecorderTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(TickCount, IsTakenOrRefused) {
  setenv("GLIMMER_TICK_LOG", (dir_ / "log").c_str(), 1);
  setenv("GLIMMER_TICK_COUNT", GetParam().count, 1);
  const auto request = TickRecorder::RequestFromEnvironment();
  if (!GetParam().ticks) {
    ASSERT_FALSE(request);
    EXPECT_EQ(request.error(), "GLIMMER_TICK_COUNT is '" + std::string(GetParam().count) +
                                   "', not a number of ticks from 1 to 1000000");
    std::ostringstream err;
    EXPECT_EQ(TickRecorder::FromEnvironment(timer_, err), nullptr);
    EXPECT_EQ(err.str(), "glimmer: " + request.error() + "\n");
    return;
  }
  ASSERT_TRUE(request);
  ASSERT_TRUE(*request);
  EXPECT_EQ((*request)->ticks, *GetParam().ticks);
  EXPECT_EQ((*request)->path, (dir_ / "log").string());
}

INSTANTIATE_TEST_SUITE_P(Counts, TickCount,
                         ::testing::Values(CountCase{"", 401}, CountCase{"1", 1}, CountCase{"010", 10},
                                           CountCase{"1000000", 1000000}, CountCase{"99999999999", {}},
                                           CountCase{"1000001", {}}, CountCase{"0", {}}, CountCase{"-5", {}},
                                           CountCase{"abc", {}}, CountCase{"12ms", {}},
                                           CountCase{"18446744073709551617", {}}));

}  // namespace
}  // namespace glimmer
