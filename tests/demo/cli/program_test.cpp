// SPDX-License-Identifier: MIT
// The program as a whole, run in-process: headless frames, saving and reopening, bad descriptions, and
// what happens without a display.
#include "demo/cli/program.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "demo/form/form_file.h"
#include "demo/output/frames.h"
#include "host/headless/headless_container.h"
#include "tests/demo/glimmer_run.h"
#include "tests/support/files.h"
#include "tests/support/png_reader.h"
#include "tests/support/reference_frame.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;

using testing::ExpectedFrame;
using testing::FirstDifference;
using testing::NameOf;
using testing::Outcome;
using testing::ReadPng;
using testing::RunGlimmerWith;

// What the window opener was asked to do, when a test stands in for it.
struct OpenedWindow {
  int calls = 0;
  FormDescription form;
  Overrides overrides;
};
OpenedWindow* g_opened = nullptr;
OpenedWindow* g_terminal = nullptr;
bool g_output_is_terminal = false;
std::optional<std::string> g_unreachable;  // why the named display does not answer

int Record(OpenedWindow* opened, const FormDescription& form, const Overrides& overrides) {
  ++opened->calls;
  opened->form = form;
  opened->overrides = overrides;
  return 0;
}
int RecordingOpener(const FormDescription& form, const Overrides& overrides, std::ostream&) {
  return Record(g_opened, form, overrides);
}
int RecordingTerminal(const FormDescription& form, const Overrides& overrides, std::ostream&) {
  return Record(g_terminal, form, overrides);
}
bool FakeReachable(std::string* why) {
  if (g_unreachable) *why = *g_unreachable;
  return !g_unreachable;
}
bool FakeOutputIsTerminal() {
  return g_output_is_terminal;
}

// The frame runs below are shorter than 100000 ticks: their frames have five digits.
constexpr std::int64_t kShortRun = 99999;

// What the opener of Qt Designer forms was given, when a test stands in for it.
struct OpenedDesignerForm {
  int calls = 0;
  std::string source;
  std::string ui;
  Overrides overrides;
};
OpenedDesignerForm* g_designer = nullptr;
int RecordingDesignerForm(const std::string& source, const std::string& ui, const Overrides& overrides,
                          std::ostream&) {
  ++g_designer->calls;
  g_designer->source = source;
  g_designer->ui = ui;
  g_designer->overrides = overrides;
  return 0;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("glimmer-program-test-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    g_opened = &opened_;
    g_terminal = &terminal_;
    g_designer = &designer_;
    g_output_is_terminal = false;
    g_unreachable.reset();
  }
  void TearDown() override {
    fs::remove_all(dir_);
    g_opened = nullptr;
    g_terminal = nullptr;
    g_designer = nullptr;
  }

  // A build without Qt's UiTools has no opener for Qt Designer forms.
  static Outcome Glimmer(std::vector<std::string> args, bool designer_forms = true) {
    return RunGlimmerWith(std::move(args),
                          {.window = &RecordingOpener,
                           .display_reachable = &FakeReachable,
                           .terminal = &RecordingTerminal,
                           .output_is_terminal = &FakeOutputIsTerminal,
                           .designer_form = designer_forms ? &RecordingDesignerForm : nullptr});
  }

  [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  void Write(const std::string& name, const std::string& text) const { std::ofstream(dir_ / name) << text; }

  [[nodiscard]] std::string Read(const std::string& name) const { return testing::ReadFile(dir_ / name); }

  [[nodiscard]] Image Frame(const std::string& frames, std::int64_t tick) const {
    const auto png = ReadPng(Path(frames + "/" + FrameFileName(tick, kShortRun)));
    EXPECT_TRUE(png) << "tick " << tick;
    return png ? png->image : Image();
  }

  // Files in a folder of the test's own.
  [[nodiscard]] std::size_t FileCount(const std::string& folder) const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir_ / folder), fs::directory_iterator()));
  }

  fs::path dir_;
  OpenedWindow opened_;
  OpenedWindow terminal_;
  OpenedDesignerForm designer_;
};

// ScrollX on tick t of the first pass of a sign W pixels wide.
std::int32_t ScrollAt(std::int32_t width, std::int32_t tick) {
  return width - 4 - 3 * tick;
}

TEST_F(ProgramTest, FramesOfTheDemoDefaults) {
  const Outcome run = Glimmer({"--frames", Path("frames"), "--ticks", "250"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "Terminate 125\nTerminate 250\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(FileCount("frames"), 250u);

  const auto first = ReadPng(Path("frames/tick-00001.png"));
  ASSERT_TRUE(first);
  EXPECT_EQ(first->bit_depth, 8);
  EXPECT_EQ(first->color_type, 2);  // RGB
  // Tick 1: the empty grid inside both rings.
  EXPECT_EQ(FirstDifference(first->image, ExpectedFrame({.width = 251, .text = u"", .color = 1})), "");
  // Tick 2: the first column of "G" at the right edge; every tick moves the text one dot column.
  for (const std::int32_t tick : {2, 3, 60, 124}) {
    const Image expected =
        ExpectedFrame({.width = 251, .text = u"GLIMMER", .color = 1, .scroll_x = ScrollAt(251, tick)});
    EXPECT_EQ(FirstDifference(Frame("frames", tick), expected), "") << "tick " << tick;
  }
  EXPECT_NE(Frame("frames", 2), first->image);
  // The pass ends on tick 125 with the empty grid; the text comes back from the right on tick 126.
  EXPECT_EQ(FirstDifference(Frame("frames", 125), ExpectedFrame({.width = 251, .text = u"", .color = 1})),
            "");
  EXPECT_EQ(Frame("frames", 126), Frame("frames", 1));
  EXPECT_EQ(Frame("frames", 127), Frame("frames", 2));
}

TEST_F(ProgramTest, FramesFollowTheOverridesAndStopWithTheTimer) {
  const Outcome run = Glimmer({"--frames", Path("out"), "--ticks", "1000", "--text", "HI", "--color", "red",
                               "--width", "100", "--border", "off", "--once", "--delay", "10"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  // 101 pixels wide: n = 33, a pass of two characters takes 33 + 12 = 45 ticks, and then the timer stops.
  EXPECT_EQ(run.out, "Terminate 45\n");
  EXPECT_EQ(FileCount("out"), 45u);
  const Image expected =
      ExpectedFrame({.width = 101, .text = u"HI", .color = 0, .scroll_x = ScrollAt(101, 7), .rings = false});
  EXPECT_EQ(FirstDifference(Frame("out", 7), expected), "");
}

// The glyph options reach the frames; small letters as capitals keep the letters without a capital.
TEST_F(ProgramTest, FramesShowTheTextInTheGlyphsAskedFor) {
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e aus K\xC3\xB6ln: 12:30 Uhr";
  const Outcome mixed =
      Glimmer({"--frames", Path("mixed"), "--ticks", "100", "--glyphs", "latin1", "--text", text});
  const Outcome upper =
      Glimmer({"--frames", Path("upper"), "--ticks", "100", "--glyphs", "latin1", "--upper", "--text", text});
  ASSERT_EQ(mixed.status, kExitOk) << mixed.err;
  ASSERT_EQ(upper.status, kExitOk) << upper.err;
  for (const auto& [folder, shown] : {std::pair{"mixed", u"Gr\u00FC\u00DFe aus K\u00F6ln: 12:30 Uhr"},
                                      std::pair{"upper", u"GR\u00DC\u00DFE AUS K\u00D6LN: 12:30 UHR"}})
    EXPECT_EQ(FirstDifference(Frame(folder, 100), ExpectedFrame({.width = 251,
                                                                 .text = shown,
                                                                 .color = 1,
                                                                 .scroll_x = ScrollAt(251, 100),
                                                                 .glyphs = GlyphSet::Latin1})),
              "")
        << folder;
}

// Frame names sort in tick order in every run the command line accepts, up to 2147483647 ticks.
TEST(FrameFileName, SortsInTickOrder) {
  EXPECT_EQ(FrameFileName(99999, 99999), "tick-99999.png");
  EXPECT_EQ(FrameFileName(7, 2147483647), "tick-0000000007.png");
  for (const std::int64_t ticks : {std::int64_t{100000}, std::int64_t{2147483647}}) {
    EXPECT_LT(FrameFileName(9, ticks), FrameFileName(10, ticks));
    EXPECT_LT(FrameFileName(99999, ticks), FrameFileName(100000, ticks));
    EXPECT_LT(FrameFileName(ticks - 1, ticks), FrameFileName(ticks, ticks));
  }
}

// What a frames folder holds before a run, and after it: exactly that run's frames, written beside a link
// of a frame's name and never through it; anything else of a frame's name, or a timer that never ticks,
// leaves the folder untouched.
struct FolderCase {
  std::string name;
  std::function<void(const fs::path& out)> before;
  std::vector<std::string> args;  // after --frames DIR
  int status;
  std::string err;  // with DIR for the folder
  std::vector<std::string> listing;
};
void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << c.name;
}

class FramesFolder : public ProgramTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FramesFolder, HoldsExactlyTheRunsFrames) {
  const FolderCase& c = GetParam();
  fs::create_directories(dir_ / "out");
  Write("victim", "victim");
  c.before(dir_ / "out");
  std::vector<std::string> args{"--frames", Path("out")};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const Outcome run = Glimmer(args);
  EXPECT_EQ(run.status, c.status);
  std::string err = c.err;
  if (const auto at = err.find("DIR"); at != std::string::npos) err.replace(at, 3, Path("out"));
  EXPECT_EQ(run.err, err);
  EXPECT_EQ(testing::Listing(dir_ / "out"), c.listing);
  EXPECT_EQ(Read("victim"), "victim");
  if (c.status != kExitOk) {
    EXPECT_EQ(run.out, "");  // refused before the first tick
    return;
  }
  for (const std::string& name : c.listing)
    if (name.ends_with(".png")) {
      EXPECT_TRUE(ReadPng(Path("out/" + name))) << name;
    }
}

std::vector<std::string> Frames(std::int64_t count, std::int64_t ticks,
                                std::vector<std::string> others = {}) {
  for (std::int64_t tick = 1; tick <= count; ++tick)
    others.push_back(FrameFileName(tick, ticks));
  std::sort(others.begin(), others.end());
  return others;
}
void Touch(const fs::path& path) {
  std::ofstream(path) << "earlier";
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FramesFolder,
    ::testing::Values(
        FolderCase{"ALinkIsReplacedNotWrittenThrough",
                   [](const fs::path& out) { fs::create_symlink("../victim", out / "tick-00001.png"); },
                   {"--ticks", "2"},
                   kExitOk,
                   "",
                   Frames(2, 2)},
        FolderCase{"EarlierFramesAreRemovedAndOtherFilesKept",
                   [](const fs::path& out) {
                     for (const char* name : {"tick-00003.png", "tick-00009.png", "tick-000001.png",
                                              "tick-123456.png", "notes.txt", "tick-00003.png.bak"})
                       Touch(out / name);
                     fs::create_symlink("../victim", out / "tick-00012.png");
                   },
                   {"--ticks", "5"},
                   kExitOk,
                   "",
                   Frames(5, 5, {"notes.txt", "tick-00003.png.bak"})},
        FolderCase{"NamesWidenPast99999Ticks",
                   [](const fs::path& out) { Touch(out / "tick-00002.png"); },
                   {"--ticks", "100000", "--once", "--text", "A", "--width", "2"},
                   kExitOk,
                   "",
                   {"tick-000001.png", "tick-000002.png", "tick-000003.png", "tick-000004.png",
                    "tick-000005.png", "tick-000006.png"}},
        FolderCase{"ATimerThatNeverTicksIsRefused",
                   [](const fs::path& out) { Touch(out / "tick-00001.png"); },
                   {"--ticks", "5", "--delay", "0"},
                   kExitFailure,
                   "glimmer: nothing to record: the sign's timer does not run (its Delay is 0)\n",
                   {"tick-00001.png"}},
        FolderCase{
            "AFifoOfAFramesNameIsRefused",
            [](const fs::path& out) {
              Touch(out / "tick-00001.png");
              ::mkfifo((out / "tick-00003.png").c_str(), 0600);
            },
            {"--ticks", "5"},
            kExitFailure,
            "glimmer: cannot write the frames: DIR/tick-00003.png: is a FIFO, not a file that glimmer may "
            "replace\n",
            {"tick-00001.png", "tick-00003.png"}}),
    NameOf<FolderCase>);

// Standard output that runs an action when the first text arrives, which for --frames is the end of the
// first pass: in the middle of the run.
class ActOnFirstOutput : public std::streambuf {
 public:
  explicit ActOnFirstOutput(std::function<void()> act) : act_(std::move(act)) {}

 private:
  int_type overflow(int_type c) override {
    Act();
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    Act();
    return n;
  }
  void Act() {
    if (act_) std::exchange(act_, nullptr)();
  }
  std::function<void()> act_;
};

TEST_F(ProgramTest, AFramesFolderSwappedForALinkMidRunGetsAllItsFramesAndTheLinksTargetNone) {
  fs::create_directories(dir_ / "out");
  Touch(dir_ / "out" / "tick-00140.png");  // an earlier run's, to be removed
  fs::create_directories(dir_ / "elsewhere");
  for (const char* name : {"tick-00127.png", "tick-00140.png"})
    Touch(dir_ / "elsewhere" / name);
  ActOnFirstOutput swap([&] {
    fs::rename(dir_ / "out", dir_ / "moved");
    fs::create_directory_symlink("elsewhere", dir_ / "out");
  });
  std::ostream out(&swap);
  const Outcome run = testing::RunGlimmerInto(out, {"--frames", Path("out"), "--ticks", "130"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  ASSERT_TRUE(fs::is_symlink(dir_ / "out"));
  EXPECT_EQ(testing::Listing(dir_ / "moved"), Frames(130, 130));
  EXPECT_EQ(testing::Listing(dir_ / "elsewhere"),
            (std::vector<std::string>{"tick-00127.png", "tick-00140.png"}));
  EXPECT_EQ(Read("elsewhere/tick-00127.png"), "earlier");
}

TEST_F(ProgramTest, AFramesFolderThatCannotBeMadeIsAnError) {
  Write("file", "in the way");
  const Outcome run = Glimmer({"--frames", Path("file/frames"), "--ticks", "3"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("cannot make the frames folder " + Path("file/frames")), std::string::npos)
      << run.err;
}

TEST_F(ProgramTest, EntriesTheRestoreCannotConvertAreSkipped) {
  std::string text(BuiltInFormText());
  text.replace(text.find("color = 1"), 9, "color = \"purple\"");
  text.replace(text.find("repeated = true"), 15, "repeated = \"maybe\"");
  Write("odd.toml", text);
  const Outcome run = Glimmer({"--form", Path("odd.toml"), "--frames", Path("out"), "--ticks", "300"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  // Color and Repeated keep the values of a fresh instance: red, and one pass only.
  EXPECT_EQ(run.out, "Terminate 125\n");
  EXPECT_EQ(FirstDifference(
                Frame("out", 10),
                ExpectedFrame({.width = 251, .text = u"GLIMMER", .color = 0, .scroll_x = ScrollAt(251, 10)})),
            "");
}

// A saved value of the right type that the sign cannot use is kept as stored, as the restore keeps it: a
// colour scheme of 7 paints no dot, the passes still end on time, and a save writes it back.
TEST_F(ProgramTest, EntriesOutsideTheSignsRangeAreKeptAsStored) {
  std::string text(BuiltInFormText());
  text.replace(text.find("color = 1"), 9, "color = 7");
  Write("seven.toml", text);
  const Outcome run = Glimmer({"--form", Path("seven.toml"), "--frames", Path("out"), "--ticks", "130"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(run.out, "Terminate 125\n");
  // Background alone: no grid, no text.
  EXPECT_EQ(FirstDifference(Frame("out", 60), ExpectedFrame({.width = 251, .color = 7})), "");
  ASSERT_EQ(Glimmer({"--form", Path("seven.toml"), "--save", Path("saved.toml")}).status, kExitOk);
  EXPECT_NE(Read("saved.toml").find("\ncolor = 7\n"), std::string::npos) << Read("saved.toml");
}

// Whatever a message repeats from the command line or the file system, it shows as plain text: control
// characters escaped, one line ("@" stands for the test's folder).
TEST_F(ProgramTest, MessagesShowNamesAsPlainText) {
  Write("in\x1b[7mthe way", "a file");
  for (auto [args, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--form", "@/a\x1b[2Jb.toml"}, "a\\u001B[2Jb.toml: cannot read it"},
           {{"--frames", "@/in\x1b[7mthe way/x", "--ticks", "1"}, "in\\u001B[7mthe way/x"},
           {{"--save", "@/no\afolder/f.toml"}, "no\\u0007folder/f.toml"},
           {{"--record", "@/no\x9b\x1b[1mfolder/a.gif"}, "no\\x9B\\u001B[1mfolder/a.gif"}}) {
    for (auto& a : args)
      if (a.front() == '@') a = dir_.string() + a.substr(1);
    const Outcome run = Glimmer(args);
    EXPECT_NE(run.status, kExitOk);
    EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find_first_of("\x01\x02\x03\x04\x05\x06\x07\x08\x1b\x7f"), std::string::npos)
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST_F(ProgramTest, ABadDescriptionExitsWithStatus2NamingFileLineAndColumn) {
  std::string text(BuiltInFormText());
  text.replace(text.find("client_width = 3975"), 19, "client_width = -3975");
  Write("bad.toml", text);
  const Outcome run = Glimmer({"--form", Path("bad.toml"), "--frames", Path("out"), "--ticks", "1"});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_EQ(
      run.err.rfind("glimmer: " + Path("bad.toml") + ":9:16: FormGlimmer.client_width is -3975 twips", 0), 0u)
      << run.err;
  EXPECT_FALSE(fs::exists(dir_ / "out"));
  const Outcome missing = Glimmer({"--form", Path("missing.toml")});
  EXPECT_EQ(missing.status, kExitUsage);
  EXPECT_NE(missing.err.find("missing.toml: cannot read it"), std::string::npos) << missing.err;
}

TEST_F(ProgramTest, ASavedFormOpensAsTheSameSign) {
  const std::vector<std::string> overrides{"--text", "HI THERE", "--color", "yellow",  "--delay", "30",
                                           "--once", "--border", "off",     "--width", "302"};
  std::vector<std::string> save{"--save", Path("saved.toml")};
  save.insert(save.end(), overrides.begin(), overrides.end());
  const Outcome saved = Glimmer(save);
  ASSERT_EQ(saved.status, kExitOk) << saved.err;
  EXPECT_EQ(saved.out, "");

  const auto form = ReadFormFile(Path("saved.toml"));
  ASSERT_TRUE(form) << form.error().Message();
  EXPECT_EQ(form->client_width, (8 + 302 + 8) * 15);  // grown around the wider sign
  EXPECT_EQ(form->client_height, 1680);
  EXPECT_EQ(form->led1.width, 302 * 15);
  EXPECT_EQ(form->led1.height, 480);
  const std::vector<MemoryPropertyBag::Entry> entries{
      {"_extentx", std::int32_t{7990}}, {"_extenty", std::int32_t{847}}, {"borderstyle", std::int32_t{0}},
      {"color", std::int32_t{2}},       {"delay", std::int16_t{30}},     {"value", u"HI THERE"}};
  EXPECT_EQ(form->led1.entries, entries);

  std::vector<std::string> direct{"--frames", Path("direct"), "--ticks", "200"};
  direct.insert(direct.end(), overrides.begin(), overrides.end());
  const Outcome a = Glimmer(direct);
  const Outcome b = Glimmer({"--form", Path("saved.toml"), "--frames", Path("reopened"), "--ticks", "200"});
  ASSERT_EQ(a.status, kExitOk);
  ASSERT_EQ(b.status, kExitOk);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(FileCount("direct"), FileCount("reopened"));
  for (const std::int64_t tick : {1, 50, 100, 148})
    EXPECT_EQ(Frame("direct", tick), Frame("reopened", tick)) << "tick " << tick;
  // Saving the reopened form changes nothing.
  ASSERT_EQ(Glimmer({"--form", Path("saved.toml"), "--save", Path("again.toml")}).status, kExitOk);
  EXPECT_EQ(Read("again.toml"), Read("saved.toml"));
}

// Whatever --save writes opens again, and saving that again writes the same bytes: random option sets on
// random forms (a fixed seed), LED1 anywhere in its range, at any size that snaps, the widest among them.
TEST_F(ProgramTest, WhatASaveWritesOpensAndSavesTheSame) {
  std::mt19937 random(20261208);
  // Either end of the range as often as anything in between.
  const auto any = [&](std::int64_t lo, std::int64_t hi) {
    const std::int64_t v = std::uniform_int_distribution<std::int64_t>(lo, hi)(random);
    return std::to_string(v % 4 == 0 ? lo : v % 4 == 1 ? hi : v);
  };
  const auto set = [](std::string& text, const std::string& key, const std::string& value) {
    const auto at = text.find("\n" + key + " = ") + 1;
    text.replace(at, text.find('\n', at) - at, key + " = " + value);
  };
  for (int i = 0; i < 100; ++i) {
    std::string form(BuiltInFormText());
    const std::string width = any(0, 16382 * 15);
    set(form, "width", width);
    set(form, "_extentx", std::to_string(TwipsToHimetric(std::stod(width))));
    for (const char* key : {"left", "top"})
      set(form, key, any(0, 16384 * 15));
    for (const char* key : {"client_width", "client_height"})
      set(form, key, any(15, 16384 * 15));
    Write("form.toml", form);
    std::vector<std::string> args{"--form", Path("form.toml"), "--save", Path("a.toml")};
    for (const auto& option : std::vector<std::vector<std::string>>{{"--width", any(0, 16382)},
                                                                    {"--text", any(0, 999999)},
                                                                    {"--color", any(0, 2)},
                                                                    {"--delay", any(0, 32767)},
                                                                    {"--once"},
                                                                    {"--border", "off"},
                                                                    {"--glyphs", "latin1"},
                                                                    {"--upper"}})
      if (random() % 2 == 0) args.insert(args.end(), option.begin(), option.end());
    const Outcome first = Glimmer(args);
    ASSERT_EQ(first.status, kExitOk) << first.err << form;
    const Outcome again = Glimmer({"--form", Path("a.toml"), "--save", Path("b.toml")});
    ASSERT_EQ(again.status, kExitOk) << again.err << Read("a.toml");
    ASSERT_EQ(Read("b.toml"), Read("a.toml"));
  }
}

// Standard output that cannot be written ends in status 1 with the reason, whatever wrote to it.
TEST_F(ProgramTest, LostStandardOutputIsAFailure) {
  if (const std::string why = testing::MakeNode(dir_ / "full", S_IFCHR, 1, 7); !why.empty())
    GTEST_SKIP() << why;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                               {"--version"},
                                               {"--frames", Path("f"), "--ticks", "130"},
                                               {"--record", Path("r.gif"), "--ticks", "130"}}) {
    testing::Outcome run;
    {
      const testing::RedirectedStdout full(dir_ / "full");
      run = testing::RunGlimmerInto(std::cout, args);
    }
    EXPECT_EQ(run.status, kExitFailure) << args[0];
    EXPECT_EQ(run.err, "glimmer: cannot write to standard output: No space left on device\n") << args[0];
  }
}

TEST_F(ProgramTest, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  Write("form.toml", "the old contents\n");
  // Writes beyond 100 bytes fail (EFBIG), half-way through the description.
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const Outcome run = Glimmer({"--save", Path("form.toml")});
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);

  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_NE(run.err.find("cannot save the form: " + Path("form.toml") + ": File too large"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Read("form.toml"), "the old contents\n");
  EXPECT_EQ(FileCount("."), 1u);  // form.toml alone: the temporary file is gone
}

TEST_F(ProgramTest, SavingIntoAMissingFolderSaysWhy) {
  const Outcome run = Glimmer({"--save", Path("no/such/folder/form.toml")});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_NE(run.err.find("No such file or directory"), std::string::npos) << run.err;
}

TEST_F(ProgramTest, ASaveReplacesAnExistingFileWhole) {
  Write("form.toml", std::string(10000, 'x'));
  ASSERT_EQ(Glimmer({"--save", Path("form.toml")}).status, kExitOk);
  EXPECT_EQ(Read("form.toml"), BuiltInFormText());
  EXPECT_EQ(FileCount("."), 1u);
}

// Sets or clears an environment variable for one test and puts it back afterwards.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST_F(ProgramTest, WithoutADisplayOrATerminalTheProgramSaysSoAndSuggestsTheAlternatives) {
  const ScopedEnv display("DISPLAY", nullptr);
  const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  const Outcome run = Glimmer({});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(opened_.calls + terminal_.calls, 0);
  EXPECT_EQ(run.out, "");
  for (const char* hint : {"DISPLAY and WAYLAND_DISPLAY are unset", "terminal", "--record", "--frames"})
    EXPECT_NE(run.err.find(hint), std::string::npos) << hint << " in " << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

// Where plain glimmer shows the sign: the display, whether it answers, and whether standard output is a
// terminal.
struct PlaceCase {
  std::string name;
  const char* display;                     // DISPLAY, or none
  std::optional<std::string> unreachable;  // why the display does not answer
  bool output_is_terminal = false;
  std::string expected;  // "window", "terminal" or "nowhere"
  std::string notice;    // what standard error says, in part ("" for nothing at all)
};
void PrintTo(const PlaceCase& c, std::ostream* os) {
  *os << c.name;
}

class PlaceTest : public ProgramTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PlaceTest, PlainGlimmerShowsTheSignWhereItCan) {
  const PlaceCase& c = GetParam();
  const ScopedEnv display("DISPLAY", c.display);
  const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  g_unreachable = c.unreachable;
  g_output_is_terminal = c.output_is_terminal;
  const Outcome run = Glimmer({"--text", "HI"});
  EXPECT_EQ(run.status, c.expected == "nowhere" ? kExitFailure : kExitOk);
  EXPECT_EQ(opened_.calls, c.expected == "window" ? 1 : 0);
  EXPECT_EQ(terminal_.calls, c.expected == "terminal" ? 1 : 0);
  if (c.expected == "terminal") {
    EXPECT_EQ(terminal_.overrides.text, u"HI");
  }
  if (c.notice.empty()) {
    EXPECT_EQ(run.err, "");
  } else {
    EXPECT_NE(run.err.find(c.notice), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Places, PlaceTest,
    ::testing::Values(
        PlaceCase{"DisplayAnswers", ":7", std::nullopt, true, "window", ""},
        PlaceCase{"NoDisplayInATerminal", nullptr, std::nullopt, true, "terminal",
                  "(DISPLAY and WAYLAND_DISPLAY are unset); showing the sign in this terminal (q ends it)"},
        PlaceCase{"DisplayDoesNotAnswerInATerminal", ":7", "cannot open the display :7", true, "terminal",
                  "glimmer: cannot open the display :7; showing the sign in this terminal"},
        PlaceCase{"DisplayDoesNotAnswerNoTerminal", ":7", "cannot open the display :7", false, "nowhere",
                  "glimmer: cannot open the display :7; run it in a terminal"}),
    NameOf<PlaceCase>);

TEST_F(ProgramTest, TheTerminalOptionUsesTheTerminalEvenWithADisplay) {
  const ScopedEnv display("DISPLAY", ":7");
  g_output_is_terminal = true;
  const Outcome run = Glimmer({"--terminal", "--color", "yellow"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(opened_.calls, 0);
  ASSERT_EQ(terminal_.calls, 1);
  EXPECT_EQ(terminal_.overrides.color, 2);
  EXPECT_EQ(run.err, "");
}

TEST_F(ProgramTest, TheTerminalOptionWithoutATerminalIsAnError) {
  const Outcome run = Glimmer({"--terminal"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(terminal_.calls, 0);
  EXPECT_EQ(run.err, "glimmer: --terminal needs a terminal on standard output\n");
}

TEST_F(ProgramTest, WithADisplayTheWindowOpensWithTheDescriptionAndOverrides) {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const ScopedEnv display("DISPLAY", nullptr);
    const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    const ScopedEnv named(variable, ":7");
    opened_ = {};
    const Outcome run = Glimmer({"--width", "302", "--text", "X"});
    EXPECT_EQ(run.status, kExitOk) << variable;
    ASSERT_EQ(opened_.calls, 1) << variable;
    EXPECT_EQ(opened_.form.caption, "Glimmer");
    EXPECT_EQ(opened_.overrides.width, 302);
    EXPECT_EQ(opened_.overrides.text, u"X");
  }
}

TEST(DesignerFormFile, IsNamedByItsExtensionInAnyLetterCase) {
  for (const char* name : {"board.ui", "B.UI", "dir/x.Ui", ".ui"})
    EXPECT_TRUE(IsDesignerForm(name)) << name;
  for (const char* name : {"board.toml", "ui", "board.uix", "board.ui/form.toml", "boardui", ""})
    EXPECT_FALSE(IsDesignerForm(name)) << name;
}

TEST_F(ProgramTest, ADesignerFormOpensInAWindowWithTheOptionsForItsSigns) {
  const ScopedEnv display("DISPLAY", ":7");
  Write("board.UI", "<ui/>");
  const Outcome run = Glimmer({"--form", Path("board.UI"), "--color", "green", "--once", "--text", "GO"});
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_EQ(opened_.calls + terminal_.calls, 0);
  ASSERT_EQ(designer_.calls, 1);
  EXPECT_EQ(designer_.source, Path("board.UI"));
  EXPECT_EQ(designer_.ui, "<ui/>");
  EXPECT_EQ(designer_.overrides.color, 1);
  EXPECT_EQ(designer_.overrides.repeated, false);
  EXPECT_EQ(designer_.overrides.text, u"GO");
  EXPECT_EQ(run.err, "");

  const Outcome missing = Glimmer({"--form", Path("missing.ui")});
  EXPECT_EQ(missing.status, kExitUsage);
  EXPECT_EQ(missing.err, "glimmer: " + Path("missing.ui") + ": cannot read it: No such file or directory\n");
  EXPECT_EQ(designer_.calls, 1);
}

// A FIFO would hold the read for good, a device never end it: only regular files are read, as forms of either
// kind.
TEST_F(ProgramTest, AFormThatIsNotARegularFileIsRefusedBeforeItIsRead) {
  const ScopedEnv display("DISPLAY", ":7");
  ASSERT_EQ(::mkfifo(Path("fifo.ui").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(Path("fifo.toml").c_str(), 0600), 0);
  fs::create_directories(dir_ / "folder.ui");
  for (const auto& [path, kind] :
       std::vector<std::pair<std::string, std::string>>{{Path("fifo.ui"), "a FIFO"},
                                                        {Path("fifo.toml"), "a FIFO"},
                                                        {Path("folder.ui"), "a folder"},
                                                        {"/dev/null", "a character device"}}) {
    const Outcome run = Glimmer({"--form", path});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.err, "glimmer: " + path + ": cannot read it: it is " + kind + ", not a file\n");
  }
  EXPECT_EQ(designer_.calls + opened_.calls, 0);
}

// What --save writes, --form opens again; a name ending in .ui it would open as a Qt Designer form.
TEST_F(ProgramTest, ASaveToAUiNameIsRefused) {
  for (const char* name : {"form.ui", "form.UI", "form.uI"}) {
    const Outcome run = Glimmer({"--save", Path(name)});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find(Path(name) + ": a name ending in .ui is a Qt Designer form to --form"),
              std::string::npos)
        << run.err;
  }
  EXPECT_EQ(FileCount(""), 0u);
}

// What glimmer --form FILE.ui refuses, and how: what needs the form as a description of LED1 (status 2), and
// no window to open it in (1).
struct DesignerRefusalCase {
  std::string name;
  std::vector<std::string> args;  // after --form <folder>/board.ui
  int status;
  std::string message;  // part of standard error
  const char* display = ":7";
  bool designer_forms = true;
};
void PrintTo(const DesignerRefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class DesignerRefusalTest : public ProgramTest, public ::testing::WithParamInterface<DesignerRefusalCase> {};

TEST_P(DesignerRefusalTest, NothingOpensAndNothingIsWritten) {
  const DesignerRefusalCase& c = GetParam();
  const ScopedEnv display("DISPLAY", c.display);
  const ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
  Write("board.ui", "<ui/>");
  std::vector<std::string> args{"--form", Path("board.ui")};
  for (const std::string& a : c.args)
    args.push_back(a.starts_with("@") ? Path(a.substr(1)) : a);
  const Outcome run = Glimmer(args, c.designer_forms);
  EXPECT_EQ(run.status, c.status);
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_EQ(designer_.calls + opened_.calls + terminal_.calls, 0);
  EXPECT_EQ(FileCount(""), 1u);  // board.ui alone
  EXPECT_EQ(run.out, "");
}

const std::string kNotForDesignerForms =
    " works with the built-in form and TOML descriptions, not with the Qt "
    "Designer form ";

INSTANTIATE_TEST_SUITE_P(
    Cases, DesignerRefusalTest,
    ::testing::Values(
        DesignerRefusalCase{"Save", {"--save", "@x.toml"}, kExitUsage, "--save" + kNotForDesignerForms},
        DesignerRefusalCase{
            "Frames", {"--frames", "@out", "--ticks", "1"}, kExitUsage, "--frames" + kNotForDesignerForms},
        DesignerRefusalCase{"Record", {"--record", "@x.gif"}, kExitUsage, "--record" + kNotForDesignerForms},
        DesignerRefusalCase{"Terminal", {"--terminal"}, kExitUsage, "--terminal" + kNotForDesignerForms},
        DesignerRefusalCase{"Width", {"--width", "302"}, kExitUsage, "set their minimumSize in Designer"},
        DesignerRefusalCase{
            "NoDisplay", {}, kExitFailure, "; a Qt Designer form opens only in a window", nullptr},
        DesignerRefusalCase{"BuiltWithoutUiTools",
                            {},
                            kExitFailure,
                            "this build cannot open Qt Designer forms",
                            ":7",
                            false}),
    NameOf<DesignerRefusalCase>);

struct AreaCase {
  std::optional<std::int32_t> width;
  ClientArea expected;
};
void PrintTo(const AreaCase& c, std::ostream* os) {
  *os << "--width " << (c.width ? std::to_string(*c.width) : "none");
}

class ClientAreaTest : public ::testing::TestWithParam<AreaCase> {};

TEST_P(ClientAreaTest, GrowsOnlyAroundAWiderSign) {
  const auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  ASSERT_TRUE(form);
  HeadlessContainer host(LED::Class());
  ASSERT_TRUE(BuildLed1(host, form->led1, {.width = GetParam().width}));
  const ClientArea area = ClientAreaFor(*form, host.width_pixels(), host.height_pixels());
  const ClientArea& e = GetParam().expected;
  EXPECT_EQ(area.left, e.left);
  EXPECT_EQ(area.top, e.top);
  EXPECT_EQ(area.width, e.width);
  EXPECT_EQ(area.height, e.height);
}

INSTANTIATE_TEST_SUITE_P(Widths, ClientAreaTest,
                         ::testing::Values(AreaCase{std::nullopt, {8, 8, 265, 112}},  // 251 x 32 as stored
                                           AreaCase{249, {8, 8, 265, 112}},           // snaps to 251
                                           AreaCase{252, {8, 8, 270, 112}},           // snaps to 254
                                           AreaCase{302, {8, 8, 318, 112}},
                                           AreaCase{100, {8, 8, 265, 112}}));  // never shrinks

}  // namespace
}  // namespace glimmer
