// SPDX-License-Identifier: MIT
// The command line: what each option hands on, and what is refused before it reaches the control.
#include "demo/cli/command_line.h"

#include <glimmer/version.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace glimmer {
namespace {

struct Parsed {
  Expected<CommandLine, int> line;
  std::string out;
  std::string err;
};

Parsed Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "glimmer");
  std::vector<const char*> argv;
  for (const auto& a : args)
    argv.push_back(a.c_str());
  std::ostringstream out, err;
  auto line = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
  return {std::move(line), out.str(), err.str()};
}

TEST(CommandLine, NoOptionsOverrideNothing) {
  const Parsed p = Parse({});
  ASSERT_TRUE(p.line);
  const Overrides& o = p.line->overrides;
  EXPECT_FALSE(o.text || o.color || o.delay || o.repeated || o.border_style || o.width);
  EXPECT_FALSE(p.line->form_file || p.line->save_file || p.line->frames_dir);
}

// The arguments, as a test's name shows them.
std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const auto& a : args)
    text += (text.empty() ? "" : " ") + a;
  return text;
}

struct Accepted {
  std::vector<std::string> args;
  Overrides expected;
};
void PrintTo(const Accepted& c, std::ostream* os) {
  *os << Joined(c.args);
}

class AcceptedOverride : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedOverride, ReachesTheOverrides) {
  const Parsed p = Parse(GetParam().args);
  ASSERT_TRUE(p.line) << p.err;
  const Overrides& o = p.line->overrides;
  const Overrides& e = GetParam().expected;
  EXPECT_EQ(o.text, e.text);
  EXPECT_EQ(o.color, e.color);
  EXPECT_EQ(o.delay, e.delay);
  EXPECT_EQ(o.repeated, e.repeated);
  EXPECT_EQ(o.border_style, e.border_style);
  EXPECT_EQ(o.width, e.width);
  EXPECT_EQ(o.glyphs, e.glyphs);
  EXPECT_EQ(o.upper_case, e.upper_case);
}

INSTANTIATE_TEST_SUITE_P(
    Options, AcceptedOverride,
    ::testing::Values(
        Accepted{{"--color", "red"}, {.color = 0}}, Accepted{{"--color", "green"}, {.color = 1}},
        Accepted{{"--color", "yellow"}, {.color = 2}}, Accepted{{"--color", "2"}, {.color = 2}},
        Accepted{{"--color=0"}, {.color = 0}}, Accepted{{"--delay", "0"}, {.delay = 0}},
        Accepted{{"--delay", "32767"}, {.delay = 32767}}, Accepted{{"--once"}, {.repeated = false}},
        Accepted{{"--repeat"}, {.repeated = true}}, Accepted{{"--border", "off"}, {.border_style = 0}},
        Accepted{{"--border", "on"}, {.border_style = 1}}, Accepted{{"--width", "302"}, {.width = 302}},
        Accepted{{"--width", "0"}, {.width = 0}}, Accepted{{"--text", ""}, {.text = u""}},
        // An empty value after '=' is the empty value; numbers are decimal, leading zeros and all.
        Accepted{{"--text="}, {.text = u""}}, Accepted{{"--text=A=B"}, {.text = u"A=B"}},
        Accepted{{"--delay", "010"}, {.delay = 10}}, Accepted{{"--delay", "08"}, {.delay = 8}},
        Accepted{{"--delay=0032767"}, {.delay = 32767}}, Accepted{{"--width", "0302"}, {.width = 302}},
        Accepted{{"--color", "02"}, {.color = 2}},
        Accepted{{"--glyphs", "capitals"}, {.glyphs = GlyphSet::Capitals}},
        Accepted{{"--glyphs=latin1", "--upper"}, {.glyphs = GlyphSet::Latin1, .upper_case = true}},
        Accepted{{"--glyphs", "ascii"}, {.glyphs = GlyphSet::Ascii}},
        // UTF-8 in, 16-bit characters out, a surrogate pair for a character beyond 16 bits.
        Accepted{{"--text", "h\xC3\xA9llo \xF0\x9F\x98\x80"}, {.text = u"h\u00e9llo \U0001F600"}},
        Accepted{
            {"--text", "HI", "--color", "red", "--delay", "20", "--once", "--border", "off", "--width",
             "100"},
            {.text = u"HI", .color = 0, .delay = 20, .repeated = false, .border_style = 0, .width = 100}}));

TEST(CommandLine, FilesAndFramesAreHandedOn) {
  const Parsed p = Parse({"--form", "a.toml", "--frames", "out", "--ticks", "7"});
  ASSERT_TRUE(p.line) << p.err;
  EXPECT_EQ(p.line->form_file, "a.toml");
  EXPECT_EQ(p.line->frames_dir, "out");
  EXPECT_EQ(p.line->ticks, 7);
  const Parsed s = Parse({"--save", "b.toml"});
  ASSERT_TRUE(s.line) << s.err;
  EXPECT_EQ(s.line->save_file, "b.toml");
  EXPECT_FALSE(s.line->record_file || s.line->terminal || s.line->ticks);
}

TEST(CommandLine, TicksAndScaleAreDecimal) {
  const Parsed p = Parse({"--record", "a.gif", "--ticks", "010", "--scale", "09"});
  ASSERT_TRUE(p.line) << p.err;
  EXPECT_EQ(p.line->ticks, 10);
  EXPECT_EQ(p.line->scale, 9);
}

TEST(CommandLine, RecordingTakesItsFileTicksAndScale) {
  const Parsed p = Parse({"--record", "a.gif", "--ticks", "7", "--scale", "3", "--text", "HI"});
  ASSERT_TRUE(p.line) << p.err;
  EXPECT_EQ(p.line->record_file, "a.gif");
  EXPECT_EQ(p.line->ticks, 7);
  EXPECT_EQ(p.line->scale, 3);
  EXPECT_EQ(p.line->overrides.text, u"HI");
  // Without --ticks the recorder picks the length; the scale is 1.
  const Parsed plain = Parse({"--record", "b.gif"});
  ASSERT_TRUE(plain.line) << plain.err;
  EXPECT_EQ(plain.line->ticks, std::nullopt);
  EXPECT_EQ(plain.line->scale, 1);
  const Parsed terminal = Parse({"--terminal", "--color", "red"});
  ASSERT_TRUE(terminal.line) << terminal.err;
  EXPECT_TRUE(terminal.line->terminal);
  EXPECT_EQ(terminal.line->overrides.color, 0);
}

struct Refused {
  std::vector<std::string> args;
  std::string says;
};
void PrintTo(const Refused& c, std::ostream* os) {
  *os << Joined(c.args);
}

class RefusedCommandLine : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedCommandLine, ExitsWithStatus2AndAMessage) {
  const Parsed p = Parse(GetParam().args);
  ASSERT_FALSE(p.line);
  EXPECT_EQ(p.line.error(), kExitUsage);
  EXPECT_EQ(p.out, "");
  EXPECT_EQ(p.err.rfind("glimmer: ", 0), 0u) << p.err;
  EXPECT_NE(p.err.find(GetParam().says), std::string::npos) << p.err;
  // What the user typed is shown as plain text: no control character but the line ends.
  EXPECT_EQ(
      std::count_if(p.err.begin(), p.err.end(),
                    [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F; }),
      0)
      << p.err;
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedCommandLine,
    ::testing::Values(
        Refused{{"--color", "7"}, "--color: '7' is not one of red, green or yellow (or 0 to 2)"},
        Refused{{"--color", "blue"}, "'blue' is not one of red, green or yellow"},
        Refused{{"--color", "Red"}, "'Red' is not one of"},
        Refused{{"--delay", "-5"}, "--delay: '-5' is not a number of milliseconds from 0 to 32767"},
        Refused{{"--delay", "32768"}, "'32768' is not a number of milliseconds"},
        Refused{{"--delay", "1.5"}, "'1.5' is not a number of milliseconds"},
        Refused{{"--border", "yes"}, "'yes' is not one of off or on"},
        Refused{{"--glyphs", "utf8"}, "--glyphs: 'utf8' is not one of capitals, ascii or latin1"},
        Refused{{"--glyphs", "2"}, "'2' is not one of capitals, ascii or latin1"},
        Refused{{"--upper=false"}, "--upper takes no value"},
        Refused{{"--width", "-1"}, "'-1' is not a width in pixels from 0 to 16382"},
        Refused{{"--width", "16383"}, "'16383' is not a width in pixels"},
        Refused{{"--once", "--repeat"}, "--once excludes --repeat"},
        Refused{{"--frames", "out"}, "--frames requires --ticks"},
        Refused{{"--ticks", "3"}, "--ticks requires --frames or --record"},
        Refused{{"--terminal", "--ticks", "3"}, "--ticks requires --frames or --record"},
        Refused{{"--record", "a.gif", "--ticks", "0"}, "--ticks: --record needs at least 1 tick"},
        Refused{{"--frames", "out", "--ticks", "0"}, "--ticks: --frames needs at least 1 tick"},
        Refused{{"--scale", "2"}, "--scale requires --record"},
        Refused{{"--record", "a.gif", "--scale", "0"}, "--scale: '0' is not a scale from 1 to 16"},
        Refused{{"--record", "a.gif", "--scale", "17"}, "'17' is not a scale from 1 to 16"},
        Refused{{"--record", "a.gif", "--frames", "out", "--ticks", "1"}, "excludes"},
        Refused{{"--record", "a.gif", "--save", "b.toml"}, "excludes"},
        Refused{{"--terminal", "--record", "a.gif"}, "excludes"},
        Refused{{"--terminal", "--frames", "out", "--ticks", "1"}, "excludes"},
        Refused{{"--record"}, "--record"},
        Refused{{"--frames", "out", "--ticks", "-1"}, "'-1' is not a number of ticks"},
        Refused{{"--save", "a.toml", "--frames", "out", "--ticks", "1"}, "excludes"},
        Refused{{"--text"}, "--text"}, Refused{{"stray"}, "stray"}, Refused{{"--colour", "red"}, "--colour"},
        // Numbers are decimal only.
        Refused{{"--delay", "0x10"}, "'0x10' is not a number of milliseconds"},
        Refused{{"--width", "+5"}, "'+5' is not a width in pixels"},
        Refused{{"--delay", ""}, "'' is not a number of milliseconds"},
        // A flag takes no value; a name is never empty.
        Refused{{"--repeat=false"}, "--repeat takes no value"},
        Refused{{"--once=no"}, "--once takes no value"},
        Refused{{"--terminal=0"}, "--terminal takes no value"},
        Refused{{"--frames", "", "--ticks", "1"}, "--frames: the name of the folder is empty"},
        Refused{{"--frames=", "--ticks", "1"}, "--frames: the name of the folder is empty"},
        Refused{{"--record", ""}, "--record: the name of the file is empty"},
        Refused{{"--save="}, "--save: the name of the file is empty"},
        Refused{{"--form", ""}, "--form: the name of the file is empty"},
        // Control characters are shown escaped.
        Refused{{"--color", "\x1b[2J\x9b"}, "'\\u001B[2J\\x9B' is not one of"},
        Refused{{"--width", "1\n2"}, "'1\\n2' is not a width"},
        Refused{{"--border",
                 "\xC2\x9B"
                 "1m"},
                "'\\u009B1m' is not one of off or on"},
        Refused{{"stray\x1b]0;title\x07"}, "stray\\u001B]0;title\\u0007"}));

TEST(CommandLine, HelpAndVersionGoToStandardOutputAndEndTheProgram) {
  const Parsed help = Parse({"--help"});
  ASSERT_FALSE(help.line);
  EXPECT_EQ(help.line.error(), kExitOk);
  for (const char* option :
       {"--text", "--color", "--delay", "--once", "--repeat", "--border", "--width", "--form", "--save",
        "--frames", "--ticks", "--record", "--scale", "--terminal", "--version"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  const Parsed version = Parse({"--version"});
  ASSERT_FALSE(version.line);
  EXPECT_EQ(version.line.error(), kExitOk);
  EXPECT_EQ(version.out, "glimmer " GLIMMER_VERSION_STRING "\n");
  EXPECT_EQ(version.err, "");
}

}  // namespace
}  // namespace glimmer
