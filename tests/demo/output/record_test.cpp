// SPDX-License-Identifier: MIT
// --record: the animated GIF, decoded with giflib and played as a viewer plays it, against the PNG frames
// that --frames writes for the same run; its length, delays, loop, palette and failures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "demo/output/frames.h"
#include "tests/demo/glimmer_run.h"
#include "tests/support/files.h"
#include "tests/support/gif_reader.h"
#include "tests/support/png_reader.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;

using testing::Enlarged;
using testing::GifPlayback;
using testing::NameOf;
using testing::Outcome;
using testing::ReadGif;
using testing::ReadPng;
using testing::RunGlimmerWith;

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("glimmer-record-test-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // glimmer --record dir/NAME ARGS...
  [[nodiscard]] Outcome Record(const std::string& name, std::vector<std::string> args) const {
    args.insert(args.begin(), {"--record", Path(name)});
    return RunGlimmerWith(args);
  }

  // The GIF as a viewer plays it; fails the test when it cannot be read.
  [[nodiscard]] GifPlayback Play(const std::string& name) const {
    auto gif = ReadGif(Path(name));
    EXPECT_TRUE(gif) << name;
    return gif ? *gif : GifPlayback{};
  }

  [[nodiscard]] std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path dir_;
};

// A run of the sign, recorded both ways.
struct RunCase {
  std::string name;
  std::vector<std::string> args;      // overrides
  std::optional<std::int64_t> ticks;  // --ticks for the recording; one pass when not given
  std::int64_t frames;                // how many frames both ways give
  int scale = 1;
};
void PrintTo(const RunCase& c, std::ostream* os) {
  *os << c.name;
}

class RecordMatchesFrames : public RecordTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RecordMatchesFrames, EveryFrameAViewerShowsIsTheFrameOfThatTick) {
  const RunCase& c = GetParam();
  std::vector<std::string> record_args = c.args;
  if (c.ticks) record_args.insert(record_args.end(), {"--ticks", std::to_string(*c.ticks)});
  if (c.scale != 1) record_args.insert(record_args.end(), {"--scale", std::to_string(c.scale)});
  const Outcome recorded = Record("sign.gif", record_args);
  ASSERT_EQ(recorded.status, kExitOk) << recorded.err;
  EXPECT_EQ(recorded.err, "");

  std::vector<std::string> frames_args{"--frames", Path("png"), "--ticks",
                                       std::to_string(c.ticks.value_or(c.frames))};
  frames_args.insert(frames_args.end(), c.args.begin(), c.args.end());
  const Outcome framed = RunGlimmerWith(frames_args);
  ASSERT_EQ(framed.status, kExitOk) << framed.err;
  // The same ticks ran, with the same passes.
  EXPECT_EQ(recorded.out, framed.out);

  const GifPlayback gif = Play("sign.gif");
  ASSERT_EQ(gif.frames.size(), static_cast<std::size_t>(c.frames));
  for (std::int64_t tick = 1; tick <= c.frames; ++tick) {
    const auto png = ReadPng(Path("png/" + FrameFileName(tick, c.ticks.value_or(c.frames))));
    ASSERT_TRUE(png) << "tick " << tick;
    const Image& shown = gif.frames[static_cast<std::size_t>(tick - 1)].shown;
    ASSERT_EQ(testing::FirstDifference(shown, Enlarged(png->image, c.scale)), "") << "tick " << tick;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RecordMatchesFrames,
    ::testing::Values(
        // One whole pass of the demo: 83 + 6 x 7 ticks.
        RunCase{"DemoPass", {}, std::nullopt, 125},
        RunCase{"DemoPassThreeTimesLarger", {}, std::nullopt, 125, 3},
        RunCase{"TwoPassesTwiceAsLarge", {}, 250, 250, 2},
        // A narrow red sign without rings that stops after its pass: the timer decides the length.
        RunCase{"OnceWithoutRings",
                {"--text", "HI", "--color", "red", "--width", "100", "--border", "off", "--once", "--delay",
                 "10"},
                1000,
                45},
        RunCase{"PartOfAPass", {"--text", "A-Z: 09", "--color", "yellow"}, 40, 40, 4}),
    NameOf<RunCase>);

TEST_F(RecordTest, TheDemoPassIsSmallAndLoopsForever) {
  const Outcome run = Record("demo.gif", {});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "Terminate 125\n");
  const GifPlayback gif = Play("demo.gif");
  EXPECT_EQ(gif.width, 251);
  EXPECT_EQ(gif.height, 32);
  EXPECT_EQ(gif.loop_count, 0);
  // Every tick of 50 ms lasts 5 hundredths.
  for (const auto& frame : gif.frames)
    EXPECT_EQ(frame.delay, 5);
  // The first frame is the whole picture; later ones only what changed.
  ASSERT_GT(gif.frames.size(), 2u);
  EXPECT_EQ(gif.frames[0].width * gif.frames[0].height, 251 * 32);
  EXPECT_LT(gif.frames[60].width * gif.frames[60].height, 251 * 32 / 2);
}

// No larger than what Debian's gifsicle 1.93 makes of the same pass with -O3 (23,516 and 59,577 bytes).
TEST_F(RecordTest, TheDemoPassIsNoLargerThanTheBestOptimiserMakesIt) {
  ASSERT_EQ(Record("demo.gif", {}).status, kExitOk);
  EXPECT_LE(fs::file_size(Path("demo.gif")), 23516u);
  ASSERT_EQ(Record("demo2.gif", {"--scale", "2"}).status, kExitOk);
  EXPECT_LE(fs::file_size(Path("demo2.gif")), 59577u);
}

TEST_F(RecordTest, ASignThatStopsPlaysOnce) {
  const Outcome run = Record("once.gif", {"--once", "--text", "A"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "Terminate 89\n");  // 83 + 6
  const GifPlayback gif = Play("once.gif");
  EXPECT_EQ(gif.frames.size(), 89u);
  EXPECT_EQ(gif.loop_count, std::nullopt);
}

// The palette holds the colours the sign can paint and nothing else.
struct PaletteCase {
  std::string name;
  std::vector<std::string> args;
  std::set<Pixel> colours;
  std::size_t table;  // entries, a power of two
};
void PrintTo(const PaletteCase& c, std::ostream* os) {
  *os << c.name;
}

class RecordPalette : public RecordTest, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(RecordPalette, HoldsOnlyTheSignsColours) {
  const PaletteCase& c = GetParam();
  std::vector<std::string> args = c.args;
  args.insert(args.end(), {"--ticks", "30"});
  const Outcome run = Record("p.gif", args);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const GifPlayback gif = Play("p.gif");
  ASSERT_EQ(gif.palette.size(), c.table);
  EXPECT_EQ(std::set<Pixel>(gif.palette.begin(), gif.palette.end()), c.colours);
  EXPECT_EQ(gif.palette[static_cast<std::size_t>(gif.background_index)], testing::kBlack);
}

INSTANTIATE_TEST_SUITE_P(
    Signs, RecordPalette,
    ::testing::Values(PaletteCase{"GreenWithRings",
                                  {},
                                  {testing::kBlack, testing::LitColour(1), testing::UnlitColour(1),
                                   testing::kGrey, testing::kWhite},
                                  8},
                      PaletteCase{"RedWithoutRings",
                                  {"--color", "red", "--border", "off"},
                                  {testing::kBlack, testing::LitColour(0), testing::UnlitColour(0)},
                                  4},
                      PaletteCase{"YellowWithRings",
                                  {"--color", "yellow"},
                                  {testing::kBlack, testing::LitColour(2), testing::UnlitColour(2),
                                   testing::kGrey, testing::kWhite},
                                  8}),
    NameOf<PaletteCase>);

TEST_F(RecordTest, AColourSchemeOutsideTheTableGivesBackgroundAndRingsOnly) {
  std::string text(BuiltInFormText());
  text.replace(text.find("color = 1"), 9, "color = 7");
  std::ofstream(dir_ / "odd.toml") << text;
  const Outcome run = Record("odd.gif", {"--form", Path("odd.toml"), "--ticks", "5"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const GifPlayback gif = Play("odd.gif");
  EXPECT_EQ(std::set<Pixel>(gif.palette.begin(), gif.palette.end()),
            (std::set<Pixel>{testing::kBlack, testing::kGrey, testing::kWhite}));
  ASSERT_EQ(gif.frames.size(), 5u);
  EXPECT_EQ(gif.frames[4].shown.at(4, 4), testing::kBlack);
}

struct LengthCase {
  std::string name;
  std::vector<std::string> args;
  std::size_t frames;
  std::string out;
};
void PrintTo(const LengthCase& c, std::ostream* os) {
  *os << c.name;
}

class RecordLength : public RecordTest, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(RecordLength, IsOnePassUnlessToldOtherwise) {
  const Outcome run = Record("l.gif", GetParam().args);
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, GetParam().out);
  EXPECT_EQ(Play("l.gif").frames.size(), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RecordLength,
    ::testing::Values(
        // 302 pixels: n = 100; five characters make a pass of 130 ticks.
        LengthCase{
            "FiveCharactersOnAWideSign", {"--width", "302", "--text", "HELLO"}, 130, "Terminate 130\n"},
        // A text without glyphs still takes its cells' room.
        LengthCase{"LowerCase", {"--text", "abc"}, 101, "Terminate 101\n"},
        // Nothing ever changes and no pass ends: one frame.
        LengthCase{"EmptyText", {"--text", ""}, 1, ""},
        LengthCase{"FewerTicksThanAPass", {"--ticks", "10"}, 10, ""},
        LengthCase{"MoreTicksThanAPass", {"--ticks", "130"}, 130, "Terminate 125\n"},
        // The timer stops at the end of the pass, before the ticks asked for.
        LengthCase{"TimerStopsFirst", {"--once", "--ticks", "500"}, 125, "Terminate 125\n"}),
    NameOf<LengthCase>);

TEST_F(RecordTest, UnchangedTicksKeepAFrameOfOnePixel) {
  const Outcome run = Record("still.gif", {"--text", "", "--ticks", "3"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const GifPlayback gif = Play("still.gif");
  ASSERT_EQ(gif.frames.size(), 3u);
  for (std::size_t i : {1u, 2u}) {
    EXPECT_EQ(gif.frames[i].width * gif.frames[i].height, 1) << i;
    EXPECT_EQ(gif.frames[i].shown, gif.frames[0].shown) << i;
  }
}

// Delays follow the virtual clock, rounded to hundredths, never below 2.
struct DelayCase {
  int delay_ms;
  std::vector<int> first_delays;
};
void PrintTo(const DelayCase& c, std::ostream* os) {
  *os << c.delay_ms << " ms";
}

class RecordDelays : public RecordTest, public ::testing::WithParamInterface<DelayCase> {};

TEST_P(RecordDelays, AddUpToTheRunAndStayPlayable) {
  const Outcome run = Record("d.gif", {"--delay", std::to_string(GetParam().delay_ms), "--ticks", "60"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  const GifPlayback gif = Play("d.gif");
  ASSERT_EQ(gif.frames.size(), 60u);
  std::vector<int> delays;
  for (const auto& frame : gif.frames)
    delays.push_back(frame.delay);
  EXPECT_TRUE(std::equal(GetParam().first_delays.begin(), GetParam().first_delays.end(), delays.begin()));
  EXPECT_GE(*std::min_element(delays.begin(), delays.end()), 2);
  // Played at 2 hundredths or more, the whole recording lasts as long as the run (to the hundredth).
  if (GetParam().delay_ms >= 20) {
    EXPECT_EQ(std::accumulate(delays.begin(), delays.end(), 0), (60 * GetParam().delay_ms + 5) / 10);
  }
}

INSTANTIATE_TEST_SUITE_P(Delays, RecordDelays,
                         ::testing::Values(DelayCase{50, {5, 5, 5}}, DelayCase{33, {4, 3, 3, 4, 3, 3}},
                                           DelayCase{25, {2, 3, 2, 3}}, DelayCase{100, {10, 10}},
                                           DelayCase{10, {2, 2, 2}}, DelayCase{1, {2, 2}}));

TEST_F(RecordTest, AFolderThatDoesNotExistIsAnErrorBeforeAnyTick) {
  const Outcome run = Record("no/such/folder/sign.gif", {"--ticks", "300"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.out, "");  // no Terminate at 125 and 250: nothing was rendered
  EXPECT_NE(run.err.find("glimmer: cannot write the GIF: " + Path("no/such/folder/sign.gif") +
                         ": No such file or directory"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(FileCount(), 0u);
}

TEST_F(RecordTest, AnExistingFileIsReplacedWhole) {
  std::ofstream(dir_ / "sign.gif") << std::string(100000, 'x');
  ASSERT_EQ(Record("sign.gif", {"--ticks", "2"}).status, kExitOk);
  EXPECT_EQ(Play("sign.gif").frames.size(), 2u);
  EXPECT_EQ(FileCount(), 1u);  // no temporary file left behind
}

TEST_F(RecordTest, ASignWhoseTimerNeverTicksHasNothingToRecord) {
  const Outcome run = Record("none.gif", {"--delay", "0"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_NE(run.err.find("nothing to record"), std::string::npos) << run.err;
  EXPECT_EQ(FileCount(), 0u);
}

TEST_F(RecordTest, APictureTooWideForAGifIsRefused) {
  const Outcome run = Record("wide.gif", {"--width", "16382", "--scale", "5"});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_NE(run.err.find("--scale 5 makes the sign 81910 pixels wide; a GIF holds at most 65535"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(FileCount(), 0u);
}

}  // namespace
}  // namespace glimmer
