// SPDX-License-Identifier: MIT
// The tick recorder behind the smoothness figures: it records exactly the ticks asked for, writes them once
// in order, and is switched on only by the environment.
#include "demo/qt/tick_recorder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QTest>
#include <QTimer>
#include <array>
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

TEST_F(TickRecorderTest, SeveralTimersAreWrittenOnceAllHaveTheirTicksEachInItsOwnBlock) {
  const auto path = dir_ / "ticks";
  std::ostringstream err;
  QTimer slow;
  slow.setTimerType(Qt::PreciseTimer);
  const std::array<const QTimer*, 2> timers{&timer_, &slow};
  TickRecorder recorder(timers, {.path = path.string(), .ticks = 3}, err);
  timer_.start(1);
  slow.start(20);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.written(); }, 30000));
  EXPECT_EQ(recorder.recorded(), 6u);
  // The fast timer's three ticks came long before the slow one's third; they were kept, not written early.
  std::ifstream in(path);
  std::vector<std::vector<std::int64_t>> blocks(1);
  for (std::string line; std::getline(in, line);)
    if (line.empty())
      blocks.emplace_back();
    else
      blocks.back().push_back(std::stoll(line));
  ASSERT_EQ(blocks.size(), 2u);
  for (const auto& block : blocks)
    ASSERT_EQ(block.size(), 3u);
  EXPECT_GE(blocks[1][2] - blocks[1][0], 30'000'000) << "the slow timer's ticks, 20 ms apart";
  EXPECT_LT(blocks[0][2], blocks[1][2]);
  EXPECT_EQ(err.str(), "");
}

// Timers that are not QTimers (a QML Timer) report their ticks themselves; extra ticks and unknown timers are
// ignored.
TEST_F(TickRecorderTest, TicksReportedByTheCallerAreKeptPerTimerAsAQTimerIs) {
  const auto path = dir_ / "ticks";
  std::ostringstream err;
  TickRecorder recorder(2, {.path = path.string(), .ticks = 2}, err);
  for (const std::size_t timer : {0u, 0u, 0u, 2u, 1u})
    recorder.Tick(timer);
  EXPECT_FALSE(recorder.written());
  recorder.Tick(1);
  ASSERT_TRUE(recorder.written());
  EXPECT_EQ(recorder.recorded(), 4u);
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[2], "");
  EXPECT_LT(std::stoll(lines[1]), std::stoll(lines[3])) << "timer 1's ticks came after timer 0's";
  EXPECT_EQ(err.str(), "");
}

// A file that cannot be opened is reported at once, and nothing is recorded; one that cannot be written
// is reported after the last tick.
TEST_F(TickRecorderTest, AFileThatCannotBeWrittenIsReported) {
  std::ostringstream err;
  const TickRecorder unopened(timer_, {.path = "/no/such/folder/ticks", .ticks = 2}, err);
  EXPECT_EQ(err.str(),
            "glimmer: cannot write the tick log /no/such/folder/ticks: No such file or directory\n");
  err.str("");
  TickRecorder full(timer_, {.path = "/dev/full", .ticks = 2}, err);
  timer_.start(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return full.recorded() == 2; }, 30000));
  EXPECT_EQ(unopened.recorded(), 0u);
  EXPECT_FALSE(full.written());
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
  if (GetParam().ticks) {
    ASSERT_TRUE(request && *request);
    EXPECT_EQ((*request)->ticks, *GetParam().ticks);
  } else {
    ASSERT_FALSE(request);
    EXPECT_EQ(request.error(), "GLIMMER_TICK_COUNT is '" + std::string(GetParam().count) +
                                   "', not a number of ticks from 1 to 1000000");
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, TickCount,
                         ::testing::Values(CountCase{"", 401}, CountCase{"010", 10},
                                           CountCase{"1000000", 1000000}, CountCase{"99999999999", {}},
                                           CountCase{"0", {}}, CountCase{"-5", {}}, CountCase{"12ms", {}}));

}  // namespace
}  // namespace glimmer
