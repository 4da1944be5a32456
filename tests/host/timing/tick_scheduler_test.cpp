// SPDX-License-Identifier: MIT
// The tick scheduler on a virtual clock: which timer ticks when, and how many wakeups that takes.
#include "host/timing/tick_scheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace glimmer {
namespace {

using Time = TickScheduler::Time;

// Timers named by a letter on a virtual clock. Advancing the clock serves the one wakeup the scheduler asked
// for, at its time or `late` after it, and logs every tick as "name@time".
class Harness {
 public:
  void Add(char name, Time period) {
    ids_[name] = scheduler_.Add([this, name] { Tick(name); });
    scheduler_.Start(ids_[name], period);
  }
  // What a timer's n-th tick does besides being logged.
  void OnTick(char name, int n, std::function<void(Harness&)> action) {
    actions_[{name, n}] = std::move(action);
  }
  void RunUntil(Time until, Time late = 0) {
    while (armed_ && *armed_ + late <= until) {
      now_ = *armed_ + late;
      armed_.reset();
      ++wakeups_;
      scheduler_.RunDue();
    }
    now_ = until;
  }
  void Start(char name, Time period) { scheduler_.Start(ids_[name], period); }
  void Stop(char name) { scheduler_.Stop(ids_[name]); }
  void Remove(char name) { scheduler_.Remove(ids_[name]); }

  std::vector<std::string> log;
  int wakeups_ = 0;

 private:
  void Tick(char name) {
    const int n = ++counts_[name];
    log.push_back(std::string(1, name) + "@" + std::to_string(now_));
    if (const auto a = actions_.find({name, n}); a != actions_.end()) a->second(*this);
  }

  Time now_ = 0;
  std::optional<Time> armed_;
  TickScheduler scheduler_{[this] { return now_; }, [this](std::optional<Time> due) { armed_ = due; }};
  std::map<char, TickScheduler::Id> ids_;
  std::map<char, int> counts_;
  std::map<std::pair<char, int>, std::function<void(Harness&)>> actions_;
};

struct Case {
  const char* name;
  std::function<void(Harness&)> run;
  std::vector<std::string> ticks;
  int wakeups;
};

const Case kCases[] = {
    {"PeriodsOfTheirOwnShareOneWakeupWhenDueTogether",
     [](Harness& h) {
       h.Add('A', 50);
       h.Add('B', 30);
       h.Add('C', 70);
       h.RunUntil(150);
     },
     {"B@30", "A@50", "B@60", "C@70", "B@90", "A@100", "B@120", "C@140", "A@150", "B@150"},
     9},
    {"ADelayChangeStartsTheNewPeriodAtOnce",
     [](Harness& h) {
       h.Add('A', 50);
       h.RunUntil(120);
       h.Start('A', 20);
       h.RunUntil(180);
     },
     {"A@50", "A@100", "A@140", "A@160", "A@180"},
     5},
    {"ATimerStoppedInsideAnothersTickTicksNoMore",
     [](Harness& h) {
       h.Add('A', 50);
       h.Add('B', 30);
       h.OnTick('B', 3, [](Harness& g) { g.Stop('A'); });
       h.RunUntil(160);
     },
     {"B@30", "A@50", "B@60", "B@90", "B@120", "B@150"},
     6},
    {"ATimerRemovedInItsOwnTickGoesAndTheOthersKeepTime",
     [](Harness& h) {
       h.Add('A', 40);
       h.Add('B', 50);
       h.OnTick('A', 2, [](Harness& g) { g.Remove('A'); });
       h.RunUntil(200);
     },
     {"A@40", "B@50", "A@80", "B@100", "B@150", "B@200"},
     6},
    {"ATimerRestartedInItsOwnTickWaitsAWholePeriodFromThere",
     [](Harness& h) {
       h.Add('A', 50);
       h.OnTick('A', 1, [](Harness& g) { g.Start('A', 30); });
       h.RunUntil(120);
     },
     {"A@50", "A@80", "A@110"},
     3},
    {"ALateWakeupKeepsTheGrid",
     [](Harness& h) {
       h.Add('A', 50);
       h.RunUntil(160, 15);
     },
     {"A@65", "A@115"},
     2},
    {"AWakeupAWholePeriodLateDropsTheMissedTicks",
     [](Harness& h) {
       h.Add('A', 50);
       h.RunUntil(120, 70);
       h.RunUntil(170);
     },
     {"A@120", "A@170"},
     2},
};

class TickSchedulerTiming : public ::testing::TestWithParam<Case> {};

TEST_P(TickSchedulerTiming, TicksAtTheirDueTimes) {
  Harness h;
  GetParam().run(h);
  EXPECT_EQ(h.log, GetParam().ticks);
  EXPECT_EQ(h.wakeups_, GetParam().wakeups);
}

INSTANTIATE_TEST_SUITE_P(Table, TickSchedulerTiming, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(TickScheduler, AsksForNoWakeupWhileNoTimerRuns) {
  std::vector<std::optional<Time>> armed;
  Time now = 0;
  TickScheduler scheduler([&] { return now; }, [&](std::optional<Time> due) { armed.push_back(due); });
  const TickScheduler::Id a = scheduler.Add([] {});
  scheduler.Start(a, 50);
  now = 10;
  scheduler.Stop(a);
  EXPECT_EQ(armed, (std::vector<std::optional<Time>>{50, std::nullopt}));
  EXPECT_FALSE(scheduler.next_due());
  EXPECT_FALSE(scheduler.due(a));
}

}  // namespace
}  // namespace glimmer
