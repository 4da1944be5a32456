// SPDX-License-Identifier: MIT
// glimmer --save over a file that cannot be replaced, with the file system's own failures: a read-only
// folder, a full disk, a rename the system refuses, a description too long to be read back; and a --record
// that fills the disk. The old file stays byte for byte, no temporary file is left, and the program exits
// with status 1 and says why. A frame run that fills the disk leaves whole frames only.
//
// A read-only folder stops root only as a read-only mount, and a full disk is a tiny tmpfs: those tests
// make their mounts in a mount table of the test process's own (CAP_SYS_ADMIN), which vanishes with the
// process. Without root a folder's permission bits do instead; root without the capability skips them.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo/exit_status.h"
#include "demo/form/built_in_form.h"
#include "demo/form/form_file.h"
#include "demo/output/frames.h"
#include "tests/demo/glimmer_run.h"
#include "tests/support/files.h"
#include "tests/support/png_reader.h"
#include "tests/support/report.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;
using testing::Listing;
using testing::Outcome;
using testing::ReadFile;
using testing::RunGlimmerWith;

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

// Gives the process a mount table of its own, whose mounts nobody else sees; "" or why it cannot.
std::string PrivateMounts() {
  if (::unshare(CLONE_NEWNS) != 0) return SystemError("unshare(CLONE_NEWNS)");
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
    return SystemError("mount --make-rprivate /");
  return "";
}

class SaveFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("glimmer-save-failures-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "folder");
    // Every byte value, so that a change of any byte shows.
    for (int i = 0; i < 3000; ++i)
      old_ += static_cast<char>(i * 7);
    std::ofstream(Target(), std::ios::binary) << old_;
  }
  void TearDown() override {
    for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
      ::umount2(it->c_str(), MNT_DETACH);
    fs::permissions(dir_ / "folder", fs::perms::owner_all);
    fs::remove_all(dir_);
    if (tried_) testing::Report("bad_files.txt", "unwritable 1");
  }

  [[nodiscard]] fs::path Target() const { return dir_ / "folder" / "form.toml"; }

  // mount(2), remembered for TearDown; "" or why it failed.
  std::string Mount(const char* source, const fs::path& target, const char* type, unsigned long flags,
                    const char* options = nullptr) {
    if (::mount(source, target.c_str(), type, flags, options) != 0)
      return SystemError("mount " + target.string());
    if ((flags & MS_REMOUNT) == 0) mounts_.push_back(target.string());
    return "";
  }

  // --save onto the target fails with the system's `reason`; the folder holds the old file and `others`.
  void ExpectTheSaveFails(const std::string& reason, std::vector<std::string> others = {}) {
    tried_ = true;
    const Outcome run = RunGlimmerWith({"--save", Target().string()});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "glimmer: cannot save the form: " + Target().string() + ": " + reason +
                           " (nothing was changed)\n");
    EXPECT_EQ(ReadFile(Target()), old_);
    others.push_back("form.toml");
    std::sort(others.begin(), others.end());
    EXPECT_EQ(Listing(dir_ / "folder"), others);
  }

  fs::path dir_;
  std::string old_;
  std::vector<std::string> mounts_;
  bool tried_ = false;
};

TEST_F(SaveFailureTest, AReadOnlyFolder) {
  if (::geteuid() != 0) {
    fs::permissions(dir_ / "folder", fs::perms::owner_read | fs::perms::owner_exec);
    ExpectTheSaveFails(std::strerror(EACCES));
    return;
  }
  if (const std::string why = PrivateMounts(); !why.empty())
    GTEST_SKIP() << "root writes through permission bits, and a read-only mount needs CAP_SYS_ADMIN: " << why;
  ASSERT_EQ(Mount((dir_ / "folder").c_str(), dir_ / "folder", nullptr, MS_BIND), "");
  ASSERT_EQ(Mount(nullptr, dir_ / "folder", nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY), "");
  ExpectTheSaveFails(std::strerror(EROFS));
}

TEST_F(SaveFailureTest, AFullDisk) {
  if (const std::string why = PrivateMounts(); !why.empty())
    GTEST_SKIP() << "a tiny tmpfs needs CAP_SYS_ADMIN: " << why;
  ASSERT_EQ(Mount("tmpfs", dir_ / "folder", "tmpfs", 0, "size=64k"), "");
  std::ofstream(Target(), std::ios::binary) << old_;
  // Fill what is left.
  {
    std::ofstream filler(dir_ / "folder" / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    for (int i = 0; i < 64 && filler.write(block.data(), std::ssize(block)); ++i) {
    }
  }
  ExpectTheSaveFails(std::strerror(ENOSPC), {"filler"});
}

TEST_F(SaveFailureTest, AFrameRunOnAFullDisk) {
  if (const std::string why = PrivateMounts(); !why.empty())
    GTEST_SKIP() << "a tiny tmpfs needs CAP_SYS_ADMIN: " << why;
  ASSERT_EQ(Mount("tmpfs", dir_ / "folder", "tmpfs", 0, "size=64k"), "");
  tried_ = true;
  const Outcome run = RunGlimmerWith({"--frames", (dir_ / "folder").string(), "--ticks", "1000"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.err.rfind("glimmer: cannot write a frame: " + (dir_ / "folder/tick-0").string(), 0), 0u)
      << run.err;
  EXPECT_TRUE(run.err.ends_with(std::string(": ") + std::strerror(ENOSPC) + "\n")) << run.err;
  // The frames before the disk was full, each whole, and nothing else.
  const std::vector<std::string> names = Listing(dir_ / "folder");
  EXPECT_GT(names.size(), 2u);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(names[i], FrameFileName(static_cast<std::int64_t>(i) + 1, 1000));
    EXPECT_TRUE(testing::ReadPng((dir_ / "folder" / names[i]).string())) << names[i];
  }
}

// A recording streams its frames into the temporary file: the disk fills in the middle of it.
TEST_F(SaveFailureTest, ARecordingThatFillsTheDisk) {
  if (const std::string why = PrivateMounts(); !why.empty())
    GTEST_SKIP() << "a tiny tmpfs needs CAP_SYS_ADMIN: " << why;
  ASSERT_EQ(Mount("tmpfs", dir_ / "folder", "tmpfs", 0, "size=64k"), "");
  std::ofstream(Target(), std::ios::binary) << old_;
  tried_ = true;
  // One pass of the demo at --scale 4 is some 150 kB.
  const Outcome run = RunGlimmerWith({"--record", Target().string(), "--scale", "4"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.err,
            "glimmer: cannot write the GIF: " + Target().string() + ": " + std::strerror(ENOSPC) + "\n");
  EXPECT_EQ(ReadFile(Target()), old_);
  EXPECT_EQ(Listing(dir_ / "folder"), std::vector<std::string>{"form.toml"});
}

TEST_F(SaveFailureTest, ARenameOverAMountPoint) {
  if (const std::string why = PrivateMounts(); !why.empty())
    GTEST_SKIP() << "a file mounted over the target needs CAP_SYS_ADMIN: " << why;
  const fs::path other = dir_ / "other.toml";
  std::ofstream(other, std::ios::binary) << old_;
  ASSERT_EQ(Mount(other.c_str(), Target(), nullptr, MS_BIND), "");
  // Everything but the rename works: the temporary file is written and synced first.
  ExpectTheSaveFails(std::strerror(EBUSY));
}

TEST_F(SaveFailureTest, ARenameOverAFolder) {
  fs::remove(Target());
  fs::create_directories(Target() / "inside");
  tried_ = true;
  const Outcome run = RunGlimmerWith({"--save", Target().string()});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.err, "glimmer: cannot save the form: " + Target().string() + ": " + std::strerror(EISDIR) +
                         " (nothing was changed)\n");
  EXPECT_EQ(Listing(dir_ / "folder"), std::vector<std::string>{"form.toml"});
  EXPECT_EQ(Listing(Target()), std::vector<std::string>{"inside"});
}

TEST_F(SaveFailureTest, ADescriptionTooLongToBeReadBack) {
  // Tabs in a text are one byte in the file that is read and two ("\t") in the file that would be written.
  std::string text(BuiltInFormText());
  text.replace(text.find("\"GLIMMER\""), 9, "\"" + std::string(600000, '\t') + "\"");
  const fs::path form = dir_ / "tabs.toml";
  std::ofstream(form, std::ios::binary) << text;
  tried_ = true;
  const Outcome run = RunGlimmerWith({"--form", form.string(), "--save", Target().string()});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_NE(run.err.find("glimmer: cannot save the form: it would take 1200"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("bytes, more than the 1048576 that --form reads (nothing was changed)\n"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(ReadFile(Target()), old_);
  EXPECT_EQ(Listing(dir_ / "folder"), std::vector<std::string>{"form.toml"});
}

}  // namespace
}  // namespace glimmer
