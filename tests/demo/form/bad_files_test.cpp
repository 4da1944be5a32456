// SPDX-License-Identifier: MIT
// Description files that are not what they should be, through the whole program: every prefix of a
// description, random and mutated bytes, NUL bytes, invalid UTF-8, UTF-16, huge and endless files, deep
// nesting, and settings and entries of the wrong type. A file either opens (the restore skips the entries
// it cannot take) or is refused with exit status 2 and one line that names the file, with the line and
// column where the reader knows them; nothing crashes. Each test reports how many files it tried, as
// "<kind> <count>" lines of bad_files.txt (tests/support/report.h).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "demo/form/form_file.h"
#include "tests/demo/glimmer_run.h"
#include "tests/support/files.h"
#include "tests/support/png_reader.h"
#include "tests/support/report.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;
using testing::Outcome;
using testing::RunGlimmerWith;

enum class Fate { Opened, Refused };

std::int64_t Lines(std::string_view bytes) {
  return std::count(bytes.begin(), bytes.end(), '\n') + 1;
}

// A whole number at the start of `s`, which it consumes; nothing when there is none.
std::optional<std::int64_t> TakeNumber(std::string_view& s) {
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || end == s.data()) return std::nullopt;
  s.remove_prefix(static_cast<std::size_t>(end - s.data()));
  return n;
}

class BadFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("glimmer-bad-files-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    if (!kind_.empty()) testing::Report("bad_files.txt", kind_ + " " + std::to_string(tried_));
  }

  void Kind(std::string kind) { kind_ = std::move(kind); }

  // Writes `bytes` as a description and opens it (see TryPath).
  Fate Try(std::string_view bytes) {
    const fs::path path = dir_ / "form.toml";
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return TryPath(path, Lines(bytes));
  }

  // Runs glimmer --form PATH --frames DIR --ticks 2 and checks the two outcomes a bad file may have: two
  // frames, or a refusal on one line whose place, if it has one, lies within the file's `lines` (and one
  // past the last, for an error at the end).
  Fate TryPath(const fs::path& path, std::int64_t lines) {
    ++tried_;
    const fs::path frames = dir_ / "frames";
    fs::remove_all(frames);
    const Outcome run =
        RunGlimmerWith({"--form", path.string(), "--frames", frames.string(), "--ticks", "2"});
    if (run.status == kExitOk) {
      EXPECT_EQ(run.err, "");
      for (const char* tick : {"tick-00001.png", "tick-00002.png"})
        EXPECT_TRUE(testing::ReadPng((frames / tick).string())) << tick;
      return Fate::Opened;
    }
    EXPECT_EQ(run.status, kExitUsage) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(frames));
    ExpectOneLineNaming(run.err, path.string(), lines);
    return Fate::Refused;
  }

  static void ExpectOneLineNaming(const std::string& err, const std::string& path, std::int64_t lines) {
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_TRUE(err.ends_with("\n")) << err;
    const std::string head = "glimmer: " + path + ":";
    ASSERT_TRUE(err.starts_with(head)) << err;
    std::string_view rest(err);
    rest.remove_prefix(head.size());
    if (rest.starts_with(" ")) return;  // no place
    const auto line = TakeNumber(rest);
    ASSERT_TRUE(line && rest.starts_with(":")) << err;
    rest.remove_prefix(1);
    const auto column = TakeNumber(rest);
    ASSERT_TRUE(column && rest.starts_with(": ")) << err;
    EXPECT_GE(*line, 1) << err;
    EXPECT_LE(*line, lines + 1) << err;
    EXPECT_GE(*column, 1) << err;
  }

  fs::path dir_;
  std::string kind_;
  std::int64_t tried_ = 0;
};

std::string DemoText() {
  return std::string(BuiltInFormText());
}

// The demo's description with entries of every kind the file can hold.
std::string EveryKindOfEntry() {
  auto form = ParseFormDescription(BuiltInFormText(), kBuiltInFormSource);
  form->led1.entries = {{"_extentx", std::int32_t{6641}}, {"_extenty", std::int32_t{847}},
                        {"borderstyle", std::int32_t{0}}, {"color", 2.5},
                        {"delay", std::int16_t{30}},      {"enabled", False},
                        {"repeated", PropertyValue()},    {"value", u"HI \"THERE\"\n"}};
  return FormatFormDescription(*form);
}

TEST_F(BadFileTest, EveryPrefixOpensOrIsRefused) {
  Kind("truncated");
  for (const std::string& whole : {DemoText(), EveryKindOfEntry()}) {
    std::int64_t opened = 0;
    for (std::size_t length = 0; length <= whole.size(); ++length) {
      SCOPED_TRACE("the first " + std::to_string(length) + " bytes");
      opened += Try(std::string_view(whole).substr(0, length)) == Fate::Opened;
      if (HasFatalFailure()) return;
    }
    // A description cut after a whole setting of LED1 opens; one cut before LED1 cannot.
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, static_cast<std::int64_t>(whole.size()) / 2);
  }
}

TEST_F(BadFileTest, RandomBytesAreRefused) {
  Kind("binary");
  std::mt19937 random(6);
  for (int file = 0; file < 200; ++file) {
    std::string bytes(std::uniform_int_distribution<std::size_t>(1, 4096)(random), '\0');
    for (char& c : bytes)
      c = static_cast<char>(random());
    EXPECT_EQ(Try(bytes), Fate::Refused);
    if (HasFatalFailure()) return;
  }
}

TEST_F(BadFileTest, TheDescriptionWithBytesChangedOpensOrIsRefused) {
  Kind("binary");
  std::mt19937 random(7);
  const std::string demo = DemoText();
  for (int file = 0; file < 300; ++file) {
    std::string bytes = demo;
    for (int changes = 1 + file % 4; changes > 0; --changes)
      bytes[std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random)] =
          static_cast<char>(random());
    SCOPED_TRACE(bytes);
    (void)Try(bytes);
    if (HasFatalFailure()) return;
  }
}

struct BinaryCase {
  std::string name;
  std::string bytes;
};
void PrintTo(const BinaryCase& c, std::ostream* os) {
  *os << c.name;
}

class BinaryFile : public BadFileTest, public ::testing::WithParamInterface<BinaryCase> {};

TEST_P(BinaryFile, IsRefused) {
  Kind("binary");
  EXPECT_EQ(Try(GetParam().bytes), Fate::Refused);
}

// The demo's text with `from` replaced by `to`; no `from`: `to` alone.
std::string Edited(std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(to);
  std::string text = DemoText();
  text.replace(text.find(from), from.size(), to);
  return text;
}

std::string Utf16(std::string_view text, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : text) {
    out += big_endian ? '\0' : c;
    out += big_endian ? c : '\0';
  }
  return out;
}

std::vector<BinaryCase> BinaryCases() {
  std::vector<BinaryCase> cases{
      {"NulBytesOnly", std::string(4096, '\0')},
      {"NulFirst", std::string(1, '\0') + DemoText()},
      {"NulInAText", Edited("Glimmer\"", std::string("Gli\0mmer\"", 9))},
      {"NulInAComment", Edited("# FormGlimmer,", std::string("# Form\0Glimmer,", 15))},
      {"NulLast", DemoText() + std::string(1, '\0')},
      {"Utf16LittleEndian", Utf16(DemoText(), false)},
      {"Utf16BigEndian", Utf16(DemoText(), true)},
  };
  // Invalid UTF-8: an overlong '/', a surrogate, a code point beyond U+10FFFF, a lone continuation byte,
  // a byte UTF-8 never uses, a sequence cut short; at the start, in a comment, a key, a text and a value.
  const std::vector<std::pair<std::string, std::string>> sequences{{"Overlong", "\xC0\xAF"},
                                                                   {"Surrogate", "\xED\xA0\x80"},
                                                                   {"BeyondUnicode", "\xF4\x90\x80\x80"},
                                                                   {"LoneContinuation", "\x80"},
                                                                   {"FF", "\xFF"},
                                                                   {"CutShort", "\xE2\x82"}};
  for (const auto& [name, bytes] : sequences) {
    cases.push_back({name + "AtTheStart", bytes + DemoText()});
    cases.push_back({name + "InAComment", Edited("# FormGlimmer,", "# Form" + bytes + "Glimmer,")});
    cases.push_back({name + "InAKey", Edited("caption", "cap" + bytes + "tion")});
    cases.push_back({name + "InACaption", Edited("\"Glimmer\"", "\"Gli" + bytes + "mmer\"")});
    cases.push_back({name + "InAnEntry", Edited("\"GLIMMER\"", "\"GLI" + bytes + "MMER\"")});
    cases.push_back({name + "AsAValue", Edited("= 1680", "= " + bytes)});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, BinaryFile, ::testing::ValuesIn(BinaryCases()),
                         [](const auto& test) { return test.param.name; });

// The demo's description padded with comment lines to `size` bytes.
std::string PaddedTo(std::size_t size) {
  std::string text = DemoText();
  const std::string line = "# " + std::string(97, '.') + "\n";
  while (text.size() + line.size() <= size)
    text += line;
  text += "#" + std::string(size - text.size() - 2, '.') + "\n";
  return text;
}

constexpr std::int64_t kHundredMegabytes = std::int64_t{100} << 20;

TEST_F(BadFileTest, FilesLongerThanTheLimitAreRefusedAfterReadingTheLimit) {
  Kind("huge");
  const std::string refusal = "cannot read it: it is longer than 1048576 bytes";

  ASSERT_EQ(Try(PaddedTo(kMaxFormFileBytes)), Fate::Opened);
  const std::string over = PaddedTo(kMaxFormFileBytes + 1);
  ASSERT_EQ(over.size(), kMaxFormFileBytes + 1);
  EXPECT_EQ(Try(over), Fate::Refused);

  // 100 MB of a valid description's comment lines, written out.
  const fs::path text = dir_ / "huge.toml";
  {
    std::ofstream out(text, std::ios::binary);
    const std::string block = PaddedTo(std::size_t{1} << 20);
    for (std::int64_t written = 0; written < kHundredMegabytes; written += std::ssize(block))
      out << block;
  }
  EXPECT_EQ(TryPath(text, 1), Fate::Refused);
  // 100 MB that are mostly a hole of NUL bytes.
  const fs::path sparse = dir_ / "sparse.toml";
  std::ofstream(sparse) << DemoText();
  fs::resize_file(sparse, static_cast<std::uintmax_t>(kHundredMegabytes));
  EXPECT_EQ(TryPath(sparse, 1), Fate::Refused);
  // A file that never ends.
  EXPECT_EQ(TryPath("/dev/zero", 1), Fate::Refused);

  for (const std::string& path : {text.string(), sparse.string()}) {
    const Outcome run = RunGlimmerWith({"--form", path, "--save", (dir_ / "saved.toml").string()});
    EXPECT_EQ(run.err,
              "glimmer: " + path + ": " + refusal + ", and a form description is about a kilobyte\n");
  }
  // The program reads regular files only: a device is refused before the reader sees it.
  EXPECT_EQ(RunGlimmerWith({"--form", "/dev/zero", "--save", (dir_ / "saved.toml").string()}).err,
            "glimmer: /dev/zero: cannot read it: it is a character device, not a file\n");
}

TEST_F(BadFileTest, TheLongestTextThatFitsOpens) {
  Kind("huge");
  const std::string demo = DemoText();
  std::string text = demo.substr(0, demo.find("\"GLIMMER\"")) + "\"";
  text += std::string(kMaxFormFileBytes - text.size() - 2, 'A') + "\"\n";
  ASSERT_EQ(text.size(), kMaxFormFileBytes);
  EXPECT_EQ(Try(text), Fate::Opened);
}

std::string Repeated(std::string_view part, int times, std::string_view separator = "") {
  std::string out;
  for (int i = 0; i < times; ++i)
    (out += i > 0 ? separator : "") += part;
  return out;
}

struct NestedCase {
  std::string name;
  std::string from;  // replaced in the demo's text
  std::string to;
  std::int64_t line;
  std::int64_t column;
};
void PrintTo(const NestedCase& c, std::ostream* os) {
  *os << c.name;
}

class NestedFile : public BadFileTest, public ::testing::WithParamInterface<NestedCase> {};

TEST_P(NestedFile, IsRefusedWhereItGoesTooDeep) {
  Kind("nested");
  const NestedCase& c = GetParam();
  const fs::path path = dir_ / "nested.toml";
  std::ofstream(path, std::ios::binary) << Edited(c.from, c.to);
  const Outcome run = RunGlimmerWith({"--form", path.string(), "--save", (dir_ / "saved.toml").string()});
  ++tried_;
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_EQ(run.err, "glimmer: " + path.string() + ":" + std::to_string(c.line) + ":" +
                         std::to_string(c.column) +
                         ": tables and values nest more than 32 levels deep here\n");
  EXPECT_FALSE(fs::exists(dir_ / "saved.toml"));
}

// Line 22 holds the first entry, "_extentx = 6641"; the entries table is 3 deep.
INSTANTIATE_TEST_SUITE_P(
    Cases, NestedFile,
    ::testing::Values(
        NestedCase{"DottedKey", "_extentx = 6641", Repeated("a", 400000, ".") + " = 1", 22, 1},
        NestedCase{"TableHeader", "\n[FormGlimmer.LED1.entries]", "\n[" + Repeated("a", 300000, ".") + "]",
                   21, 1},
        NestedCase{"ArrayOfTables", "\n[FormGlimmer.LED1.entries]",
                   "\n[[" + Repeated("a", 300000, ".") + "]]", 21, 1},
        NestedCase{"Arrays", "6641", std::string(300000, '[') + std::string(300000, ']'), 22, 40},
        NestedCase{"InlineTables", "6641", Repeated("{ a = ", 100000) + "1" + std::string(100000, '}'), 22,
                   182},
        NestedCase{"DottedKeysInInlineTables", "6641", "{ " + Repeated("a", 50000, ".") + " = 1 }", 22, 14}),
    [](const auto& test) { return test.param.name; });

// The last lines of the demo's description.
constexpr const char* kEntriesTable =
    "[FormGlimmer.LED1.entries]\n_extentx = 6641\n_extenty = 847\ncolor = 1\nrepeated = true\nvalue = "
    "\"GLIMMER\"\n";

// Settings of the wrong type anywhere in the description are refused at their place (form_file_test has
// more of them, without the program around the reader).
struct WrongSetting {
  std::string name;
  std::string from;
  std::string to;
  std::string says;
};
void PrintTo(const WrongSetting& c, std::ostream* os) {
  *os << c.name;
}

class WrongSettingFile : public BadFileTest, public ::testing::WithParamInterface<WrongSetting> {};

TEST_P(WrongSettingFile, IsRefused) {
  Kind("wrong types");
  const WrongSetting& c = GetParam();
  const std::string text = Edited(c.from, c.to);
  ASSERT_EQ(Try(text), Fate::Refused);
  const Outcome run = RunGlimmerWith({"--form", (dir_ / "form.toml").string(), "--save", "x.toml"});
  EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrongSettingFile,
    ::testing::Values(WrongSetting{"FormIsAText", "", "FormGlimmer = \"Glimmer\"\n",
                                   "FormGlimmer must be a table, not a string"},
                      WrongSetting{"SizeIsADate", "height = 480", "height = 07:32:00", "not a date or time"},
                      WrongSetting{"SizeIsAnArray", "left = 120", "left = [120]", "not an array"},
                      WrongSetting{"ClassIsATable", "class = \"ProjectGlimmer.LED\"",
                                   "class = { name = \"LED\" }", "must be a string, not a table"},
                      WrongSetting{"EntriesAreAnArray", kEntriesTable, "entries = [1]\n",
                                   "entries must be a table, not an array"},
                      WrongSetting{"EntryIsATable", "color = 1", "color = { red = 1 }", "{ int16 = N }"},
                      WrongSetting{"Int16IsAText", "color = 1", "color = { int16 = \"1\" }", "{ int16 = N }"},
                      WrongSetting{"ExtentIsAFloat", "_extentx = 6641", "_extentx = 6641.0",
                                   "must be a 32-bit integer"},
                      WrongSetting{"GlyphsAreNoSet", "top = 120", "top = 120\nglyphs = \"utf8\"",
                                   "FormGlimmer.LED1.glyphs must be \"capitals\" or \"ascii\" or \"latin1\", "
                                   "not \"utf8\""},
                      WrongSetting{"UpperCaseIsANumber", "top = 120", "top = 120\nupper_case = 1",
                                   "FormGlimmer.LED1.upper_case must be true or false, not an integer"}),
    [](const auto& test) { return test.param.name; });

// Entries the restore cannot convert are skipped: the field keeps the value of a fresh instance (0, False,
// the empty text) and the program opens. What LED1 then holds shows in the description it saves.
struct WrongEntry {
  std::string name;
  std::string from;  // replaced in the demo's entries
  std::string to;
  std::string saved;  // the saved entries after the extents, one per line
};
void PrintTo(const WrongEntry& c, std::ostream* os) {
  *os << c.name;
}

class WrongEntryFile : public BadFileTest, public ::testing::WithParamInterface<WrongEntry> {};

TEST_P(WrongEntryFile, OpensWithTheEntrySkipped) {
  Kind("wrong types");
  const WrongEntry& c = GetParam();
  const std::string text = Edited(c.from, c.to);
  SCOPED_TRACE(text);
  const fs::path path = dir_ / "form.toml";
  std::ofstream(path, std::ios::binary) << text;
  ++tried_;
  const fs::path saved = dir_ / "saved.toml";
  const Outcome save = RunGlimmerWith({"--form", path.string(), "--save", saved.string()});
  ASSERT_EQ(save.status, kExitOk) << save.err;
  const std::string written = testing::ReadFile(saved);
  const std::string head = "_extenty = 847\n";
  ASSERT_NE(written.find(head), std::string::npos) << written;
  EXPECT_EQ(written.substr(written.find(head) + head.size()), c.saved);

  const Outcome frames =
      RunGlimmerWith({"--form", path.string(), "--frames", (dir_ / "f").string(), "--ticks", "2"});
  // A sign restored with a Delay of 0 opens, but its timer never ticks: there is nothing to record.
  const bool still = c.saved.find("delay = { int16 = 0 }") != std::string::npos;
  EXPECT_EQ(frames.status, still ? kExitFailure : kExitOk) << frames.err;
}

constexpr const char* kRest = "repeated = true\nvalue = \"GLIMMER\"\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, WrongEntryFile,
    ::testing::Values(
        WrongEntry{"ColorAsAWord", "color = 1", "color = \"purple\"", kRest},
        WrongEntry{"ColorOutOfRangeIsTaken", "color = 1", "color = 5", std::string("color = 5\n") + kRest},
        WrongEntry{"ColorAsAFloatIsRounded", "color = 1", "color = 1.6", std::string("color = 2\n") + kRest},
        WrongEntry{"ColorBeyond32Bits", "color = 1", "color = 3e10", kRest},
        WrongEntry{"ColorNotANumber", "color = 1", "color = nan", kRest},
        WrongEntry{"ColorAsABoolean", "color = 1", "color = true", std::string("color = -1\n") + kRest},
        WrongEntry{"ColorAsANumberInAText", "color = 1", "color = \" 2 \"",
                   std::string("color = 2\n") + kRest},
        WrongEntry{"ColorAsAFractionInAText", "color = 1", "color = \"2.5\"", kRest},
        WrongEntry{"ColorEmpty", "color = 1", "color = { empty = true }", kRest},
        WrongEntry{"DelayBeyond16Bits", "color = 1", "delay = 40000",
                   std::string("delay = { int16 = 0 }\n") + kRest},
        WrongEntry{"DelayInfinite", "color = 1", "delay = inf",
                   std::string("delay = { int16 = 0 }\n") + kRest},
        WrongEntry{"DelayNegativeIsTaken", "color = 1", "delay = -5",
                   std::string("delay = { int16 = -5 }\n") + kRest},
        WrongEntry{"EnabledAsAWord", "color = 1", "enabled = \"maybe\"",
                   std::string("enabled = false\n") + kRest},
        WrongEntry{"EnabledAsZero", "color = 1", "enabled = 0", std::string("enabled = false\n") + kRest},
        WrongEntry{"RepeatedAsAWord", "repeated = true", "repeated = \"yes\"",
                   "color = 1\nvalue = \"GLIMMER\"\n"},
        WrongEntry{"ValueAsANumber", "\"GLIMMER\"", "12", "color = 1\nrepeated = true\nvalue = \"12\"\n"},
        WrongEntry{"ValueAsAFloat", "\"GLIMMER\"", "2.5", "color = 1\nrepeated = true\nvalue = \"2.5\"\n"},
        WrongEntry{"ValueAsABoolean", "\"GLIMMER\"", "true",
                   "color = 1\nrepeated = true\nvalue = \"True\"\n"},
        WrongEntry{"ValueEmpty", "\"GLIMMER\"", "{ empty = true }", "color = 1\nrepeated = true\n"},
        WrongEntry{"BorderStyleOutOfRangeIsTaken", "color = 1", "borderstyle = 7",
                   std::string("borderstyle = 7\n") + kRest},
        WrongEntry{"BorderStyleBeyond16Bits", "color = 1", "borderstyle = 70000",
                   std::string("borderstyle = 70000\n") + kRest},
        WrongEntry{"BorderStyleAsAWord", "color = 1", "borderstyle = \"thick\"",
                   std::string("borderstyle = 0\n") + kRest},
        WrongEntry{"KeyInCapitals", "color = 1", "BORDERSTYLE = 0", std::string("borderstyle = 0\n") + kRest},
        WrongEntry{"UnknownKey", "color = 1", "colour = 2", kRest}),
    [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace glimmer
