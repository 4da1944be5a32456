// SPDX-License-Identifier: MIT
// Where --save and --record write other than a plain file in a plain folder: through symbolic links, over
// files the user may not write or that belong to another user, into FIFOs, devices and standard output,
// under names as long as the system allows. Nothing but a regular file is ever replaced. Device nodes are
// made with mknod in the test's own folder; the cases that need root say so and skip without it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "tests/demo/glimmer_run.h"
#include "tests/support/files.h"
#include "tests/support/report.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;
using testing::NameOf;
using testing::Outcome;
using testing::ReadFile;
using testing::RunGlimmerWith;

constexpr uid_t kNobody = 65534;
int g_fifo = -1;  // the reading end of the FIFO case's FIFO

struct PlaceCase {
  std::string name;
  std::string mode;  // --save or --record
  // Makes what the output meets in `dir` and returns the path to write to; "" skips, with why in *skip.
  std::function<std::string(const fs::path& dir, std::string* skip)> make;
  int status;
  std::string err;         // PATH stands for the path
  std::string holds = "";  // the file in the folder that then holds what was written
  mode_t stays = 0;        // what the path still is afterwards (a link, a FIFO, a device), when not a file
  bool as_nobody = false;  // root runs it as the user nobody
};
void PrintTo(const PlaceCase& c, std::ostream* os) {
  *os << c.name;
}

// A file that must stay as it is unless it is the one written.
std::string Old(const fs::path& path, fs::perms mode) {
  std::ofstream(path) << "old";
  fs::permissions(path, mode);
  return path.string();
}
std::string Node(const fs::path& path, mode_t type, unsigned major, unsigned minor, std::string* skip) {
  *skip = testing::MakeNode(path, type, major, minor);
  return skip->empty() ? path.string() : "";
}
mode_t TypeOf(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

class OutputPlaces : public ::testing::TestWithParam<PlaceCase> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("glimmer-output-places-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    testing::Report("bad_files.txt", "odd target 1");
  }
  fs::path dir_;
};

TEST_P(OutputPlaces, WriteWhatTheNameLeadsToAndReplaceOnlyFiles) {
  const PlaceCase& c = GetParam();
  std::string skip;
  const std::string path = c.make(dir_, &skip);
  if (path.empty()) GTEST_SKIP() << skip;
  struct stat before {};
  const bool replaces = !c.holds.empty() && ::stat((dir_ / c.holds).c_str(), &before) == 0;
  const bool nobody = c.as_nobody && ::geteuid() == 0;
  if (nobody) {
    fs::permissions(dir_, fs::perms::all);
    ASSERT_EQ(::seteuid(kNobody), 0);
  }
  std::vector<std::string> args{c.mode, path};
  if (c.mode == "--record") args.insert(args.end(), {"--ticks", "130"});
  const Outcome run = RunGlimmerWith(args);
  if (nobody) {
    ASSERT_EQ(::seteuid(0), 0);
  }
  EXPECT_EQ(run.status, c.status) << run.err;
  std::string err = c.err;
  if (const auto at = err.find("PATH"); at != std::string::npos) err.replace(at, 4, path);
  EXPECT_EQ(run.err, err);
  EXPECT_TRUE(c.status == kExitOk || run.out.empty()) << "refused after rendering: " << run.out;
  EXPECT_TRUE(c.stays == 0 || TypeOf(path) == c.stays) << "replaced: " << path;
  const std::string written = c.mode == "--save" ? std::string(BuiltInFormText()) : "GIF89a";
  EXPECT_TRUE(c.holds.empty() || ReadFile(dir_ / c.holds).starts_with(written)) << c.holds;
  struct stat after {};
  if (replaces && ::stat((dir_ / c.holds).c_str(), &after) == 0) {  // mode and owner kept
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
  }
  if (c.stays == S_IFIFO) {
    std::string got(65536, '\0');
    got.resize(static_cast<std::size_t>(std::max<ssize_t>(::read(g_fifo, got.data(), got.size()), 0)));
    ::close(g_fifo);
    EXPECT_EQ(got, written);
  }
  // No temporary file is left, and every other file is as it was.
  for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
    EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    EXPECT_TRUE(!fs::is_regular_file(entry.symlink_status()) || entry.path() == dir_ / c.holds ||
                ReadFile(entry.path()) == "old")
        << entry.path();
  }
}

constexpr auto kOwn = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
const std::string kRefused = "glimmer: cannot save the form: PATH: ";

INSTANTIATE_TEST_SUITE_P(
    Places, OutputPlaces,
    ::testing::Values(
        PlaceCase{"ALinksTargetIsReplacedAndTheLinkStays", "--save",
                  [](const fs::path& dir, std::string*) {
                    fs::create_directories(dir / "real");
                    Old(dir / "real/form.toml", kOwn);
                    fs::create_symlink("real/form.toml", dir / "link.toml");
                    return (dir / "link.toml").string();
                  },
                  kExitOk, "", "real/form.toml", S_IFLNK},
        PlaceCase{"ALinkLoopIsRefused", "--save",
                  [](const fs::path& dir, std::string*) {
                    fs::create_symlink("b.toml", dir / "a.toml");
                    fs::create_symlink("a.toml", dir / "b.toml");
                    return (dir / "a.toml").string();
                  },
                  kExitFailure, kRefused + std::strerror(ELOOP) + " (nothing was changed)\n", "", S_IFLNK},
        PlaceCase{
            "AFileTheUserMayNotWriteIsRefused", "--save",
            [](const fs::path& dir, std::string*) { return Old(dir / "form.toml", fs::perms::others_read); },
            kExitFailure, kRefused + std::strerror(EACCES) + " (nothing was changed)\n", "", 0, true},
        PlaceCase{"AnotherUsersFileKeepsItsOwnerAndMode", "--save",
                  [](const fs::path& dir, std::string* skip) -> std::string {
                    const std::string path =
                        Old(dir / "form.toml", fs::perms::owner_read | fs::perms::others_read);
                    if (::chown(path.c_str(), kNobody, kNobody) == 0) return path;
                    *skip = "giving a file away needs root";
                    return "";
                  },
                  kExitOk, "", "form.toml"},
        PlaceCase{"AFifoIsWrittenInto", "--save",
                  [](const fs::path& dir, std::string*) {
                    EXPECT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
                    // Opened first, and read after the run: the description fits the FIFO's buffer.
                    g_fifo = ::open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                    return (dir / "fifo").string();
                  },
                  kExitOk, "", "", S_IFIFO},
        PlaceCase{
            "ADeviceIsWrittenIntoAndAFullOneSaysSo", "--save",
            [](const fs::path& dir, std::string* skip) { return Node(dir / "full", S_IFCHR, 1, 7, skip); },
            kExitFailure, kRefused + std::strerror(ENOSPC) + "\n", "", S_IFCHR},
        PlaceCase{
            "ABlockDeviceIsRefusedBeforeRendering", "--record",
            [](const fs::path& dir, std::string* skip) { return Node(dir / "disk", S_IFBLK, 7, 0, skip); },
            kExitFailure,
            "glimmer: cannot write the GIF: PATH: is a block device; glimmer writes only into files, "
            "character devices and FIFOs\n",
            "", S_IFBLK},
        PlaceCase{"TheLongestNameRecords", "--record",
                  [](const fs::path& dir, std::string*) {
                    return (dir / (std::string(251, 'r') + ".gif")).string();
                  },
                  kExitOk, "", std::string(251, 'r') + ".gif"}),
    NameOf<PlaceCase>);

// "-" is standard output: the description, or the GIF without the Terminate lines that would spoil it.
TEST(OutputPlaces, ADashIsStandardOutput) {
  const fs::path captured = fs::temp_directory_path() / ("glimmer-stdout-" + std::to_string(::getpid()));
  Outcome save, record;
  {
    const testing::RedirectedStdout redirect(captured);
    save = RunGlimmerWith({"--save", "-"});
  }
  EXPECT_EQ(save.status, kExitOk) << save.err;
  EXPECT_EQ(ReadFile(captured), BuiltInFormText());
  {
    const testing::RedirectedStdout redirect(captured);
    record = RunGlimmerWith({"--record", "-", "--ticks", "130"});
  }
  EXPECT_EQ(record.status, kExitOk) << record.err;
  EXPECT_EQ(record.out, "");
  EXPECT_EQ(ReadFile(captured).substr(0, 6), "GIF89a");
  fs::remove(captured);
}

}  // namespace
}  // namespace glimmer
