// SPDX-License-Identifier: MIT
// Replacing a file when one system call of the replacement fails, as the system would make it fail: the
// old file stays byte for byte (or there is still none), the temporary file is gone, no descriptor is left
// open, and the error names the file and the system's reason.
#include "demo/output/safe_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/report.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;
using testing::Listing;
using testing::ReadFile;

struct CallFault {
  std::string name;
  std::string call;  // the FileCalls member that fails
  int nth;           // on its nth use
  int error;
};
void PrintTo(const CallFault& c, std::ostream* os) {
  *os << c.name;
}

// FileCalls that write at most 100 bytes at a time, so that a description takes several writes, and fail
// the nth use of one call with an errno. A failing close closes all the same, as Linux does.
class FaultyCalls {
 public:
  explicit FaultyCalls(const CallFault& fault) : fault_(fault) {
    calls_.make_temporary = [this](int folder, const char* name) {
      return Fails("make_temporary") ? -1 : FileCalls().make_temporary(folder, name);
    };
    calls_.write = [this](int fd, const void* data, std::size_t size) -> ssize_t {
      return Fails("write") ? -1 : ::write(fd, data, std::min<std::size_t>(size, 100));
    };
    calls_.change_mode = [this](int fd, mode_t mode) {
      return Fails("change_mode") ? -1 : ::fchmod(fd, mode);
    };
    calls_.sync = [this](int fd) { return Fails("sync") ? -1 : ::fsync(fd); };
    calls_.close = [this](int fd) {
      const bool fails = Fails("close");
      const int closed = ::close(fd);
      return fails ? -1 : closed;
    };
    calls_.rename = [this](int folder, const char* from, const char* to) {
      return Fails("rename") ? -1 : FileCalls().rename(folder, from, to);
    };
  }

  [[nodiscard]] const FileCalls& calls() const { return calls_; }
  [[nodiscard]] bool hit() const { return hit_; }

 private:
  bool Fails(const std::string& call) {
    if (call != fault_.call || ++uses_ != fault_.nth) return false;
    hit_ = true;
    errno = fault_.error;
    return true;
  }

  CallFault fault_;
  FileCalls calls_;
  int uses_ = 0;
  bool hit_ = false;
};

// What --save does: the whole text through one SafeFile.
Expected<void, std::string> Save(const fs::path& target, std::string_view contents, const FileCalls& calls) {
  auto file = SafeFile::Open(target, {}, calls);
  if (!file) return Unexpected<std::string>(file.error());
  (void)file->Write(contents);
  return file->Commit();
}

std::size_t OpenDescriptors() {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

// Every byte value, so that a change of any byte shows.
std::string OldContents() {
  std::string bytes;
  for (int i = 0; i < 3000; ++i)
    bytes += static_cast<char>(i * 7);
  return bytes;
}

const std::string kNewContents = std::string(950, 'n') + "\n";

class FailingReplacement : public ::testing::TestWithParam<std::tuple<CallFault, bool>> {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("glimmer-atomic-file-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::remove_all(dir_);
    testing::Report("bad_files.txt", "unwritable 1");
  }

  fs::path dir_;
};

TEST_P(FailingReplacement, LeavesTheOldFileAndNothingElse) {
  const auto& [fault, exists] = GetParam();
  const fs::path target = dir_ / "form.toml";
  if (exists) std::ofstream(target, std::ios::binary) << OldContents();
  const std::size_t descriptors = OpenDescriptors();

  FaultyCalls calls(fault);
  const auto written = Save(target, kNewContents, calls.calls());
  ASSERT_TRUE(calls.hit());
  EXPECT_EQ(OpenDescriptors(), descriptors);
  if (fault.error == EINTR) {  // an interrupted write is tried again
    EXPECT_TRUE(written);
    EXPECT_EQ(ReadFile(target), kNewContents);
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"form.toml"});
    return;
  }
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error(), target.string() + ": " + std::strerror(fault.error));
  if (exists) {
    EXPECT_EQ(ReadFile(target), OldContents());
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"form.toml"});
  } else {
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailingReplacement,
    ::testing::Combine(::testing::Values(CallFault{"NoTemporaryFile", "make_temporary", 1, EACCES},
                                         CallFault{"FirstWriteFindsTheDiskFull", "write", 1, ENOSPC},
                                         CallFault{"WriteFailsHalfWay", "write", 5, EIO},
                                         CallFault{"LastWriteTooLarge", "write", 10, EFBIG},
                                         CallFault{"WriteInterrupted", "write", 3, EINTR},
                                         CallFault{"ModeRefused", "change_mode", 1, EPERM},
                                         CallFault{"SyncFails", "sync", 1, EIO},
                                         CallFault{"SyncFindsTheDiskFull", "sync", 1, ENOSPC},
                                         CallFault{"CloseFails", "close", 1, EIO},
                                         CallFault{"RenameRefused", "rename", 1, EACCES},
                                         CallFault{"RenameAcrossDevices", "rename", 1, EXDEV}),
                       ::testing::Bool()),
    [](const auto& test) {
      return std::get<0>(test.param).name + (std::get<1>(test.param) ? "OverAFile" : "ToANewFile");
    });

// A file written in pieces, as a recording streams it: the target changes only at Commit(), and a file
// dropped before it leaves nothing behind.
TEST(SafeFile, WrittenInPiecesReplacesTheTargetOnlyWhenCommitted) {
  const fs::path dir = fs::temp_directory_path() / ("glimmer-atomic-pieces-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path target = dir / "sign.gif";
  std::ofstream(target, std::ios::binary) << OldContents();
  for (const bool commit : {false, true}) {
    auto file = SafeFile::Open(target);
    ASSERT_TRUE(file) << file.error();
    for (std::size_t at = 0; at < kNewContents.size(); at += 100)
      ASSERT_TRUE(file->Write(std::string_view(kNewContents).substr(at, 100)));
    EXPECT_EQ(ReadFile(target), OldContents());
    EXPECT_EQ(Listing(dir).size(), 2u);  // the target and the temporary file
    if (commit) {
      ASSERT_TRUE(file->Commit());
    }
  }
  EXPECT_EQ(ReadFile(target), kNewContents);
  EXPECT_EQ(Listing(dir), std::vector<std::string>{"sign.gif"});
  fs::remove_all(dir);
}

TEST(AtomicFile, ReplacesAFileWholeAndKeepsItsMode) {
  const fs::path dir = fs::temp_directory_path() / ("glimmer-atomic-mode-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path target = dir / "form.toml";
  std::ofstream(target) << OldContents();
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(Save(target, kNewContents, {}));
  EXPECT_EQ(ReadFile(target), kNewContents);
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Listing(dir), std::vector<std::string>{"form.toml"});
  fs::remove_all(dir);
}

}  // namespace
}  // namespace glimmer
