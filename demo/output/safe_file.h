// SPDX-License-Identifier: MIT
// The one way the program writes a file (--save, --record and every --frames frame): a file appears whole
// or not at all, and nothing but a regular file is ever replaced. Open() looks at the name before any work
// is done, so that a path that cannot be written costs nothing:
//
//  - No file yet, or a regular file: a temporary file is made in the same folder under a short name
//    (".", at most 16 bytes of the name, "~" and 6 random characters: never longer than the name itself,
//    or 8 bytes for a shorter one), and Commit() flushes it to disk and renames it over the name. Any
//    failure, or a SafeFile dropped without Commit(), removes it and leaves the old file as it was. A
//    replaced file keeps its mode (and its owner and group where the system lets them be kept); a file
//    that the user may not write is refused, as a plain write would be.
//  - A symbolic link: Replace::kTarget replaces the file it leads to and keeps the link, as an editor does;
//    Replace::kName replaces the link itself and never writes through it (frames in their folder).
//  - A character device or a FIFO (Replace::kTarget only), and "-" for standard output: written straight
//    into, as a shell's redirection writes; what was written cannot be taken back there.
//  - Anything else (a folder, a block device, a socket) is refused.
//
// A writer that streams (a recorder that writes each frame as soon as it is encoded) uses it so:
//
//   auto file = SafeFile::Open(path);       // first of all: a path that cannot be written fails here
//   if (!file) return Fail(file.error());   // "path: reason", for a message
//   ... file->Write(bytes) for every piece, from giflib's output callback say; on false, stop writing
//   if (auto done = file->Commit(); !done) return Fail(done.error());
//
// Write() keeps the first failure's reason, so that a callback that can only answer "no bytes written"
// loses nothing: Commit() then fails with that reason.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "host/base/expected.h"

namespace glimmer {

// The system calls that a replacement makes, one by one, so that a test can make any of them fail as the
// system would. Removing the temporary file after a failure is left to the system itself.
struct FileCalls {
  std::function<int(int folder, const char* name)> make_temporary = [](int folder, const char* name) {
    return ::openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
  };
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write = ::write;
  std::function<int(int fd, mode_t mode)> change_mode = ::fchmod;
  std::function<int(int fd)> sync = ::fsync;
  std::function<int(int fd)> close = ::close;
  std::function<int(int folder, const char* from, const char* to)> rename =
      [](int folder, const char* from, const char* to) { return ::renameat(folder, from, folder, to); };
};

enum class Replace {
  kTarget,  // what the name leads to: a link's target, a device or FIFO written into (--save, --record)
  kName,    // the name itself, a link included; devices and FIFOs are refused (frames)
};

struct SafeFileOptions {
  Replace replace = Replace::kTarget;
  // Whether Commit() syncs the file to disk before the rename. A frame run writes thousands of files, and a
  // sync each would multiply its time on a disk; a run cut short by a crash is run again anyway.
  bool durable = true;
};

class SafeFile {
 public:
  // Ready to be written, or why not ("path: reason").
  [[nodiscard]] static Expected<SafeFile, std::string> Open(const std::filesystem::path& path,
                                                            SafeFileOptions options = {},
                                                            FileCalls calls = {});
  // The same for a name in a folder that is open already, whatever its path has become since (frames):
  // the name itself is replaced (Replace::kName); `shown` is the path for messages.
  [[nodiscard]] static Expected<SafeFile, std::string> OpenAt(int folder, const std::string& name,
                                                              std::string shown, SafeFileOptions options = {},
                                                              FileCalls calls = {});
  SafeFile(SafeFile&& other) noexcept;
  SafeFile& operator=(SafeFile&&) = delete;
  SafeFile(const SafeFile&) = delete;
  SafeFile& operator=(const SafeFile&) = delete;
  ~SafeFile();

  // Appends the bytes; false after a failure, whose reason Commit() reports.
  [[nodiscard]] bool Write(std::string_view bytes);
  // Puts the file in place (or ends the write into a device); on failure says why and removes what it made.
  [[nodiscard]] Expected<void, std::string> Commit();
  // The reason of the first failed Write(), "path: reason", or "".
  [[nodiscard]] std::string WriteError() const;
  // Whether the bytes go straight into standard output ("-", or the device or FIFO it is).
  [[nodiscard]] bool is_standard_output() const { return standard_output_; }
  // Whether the file replaces one (false: written straight into a device, a FIFO or standard output).
  [[nodiscard]] bool replaces() const { return !direct_; }

 private:
  SafeFile(std::string shown, FileCalls calls) : shown_(std::move(shown)), calls_(std::move(calls)) {}
  // Each gets the file ready to be written, or says why not.
  [[nodiscard]] std::string OpenStraight(const std::filesystem::path& path, bool standard_output);
  [[nodiscard]] std::string PrepareReplacement(const std::filesystem::path& target,
                                               const struct stat* existing);
  // What a replacement keeps of the file it replaces (mode, owner), or why it may not replace it.
  [[nodiscard]] std::string TakeOver(const std::filesystem::path& target, const struct stat* existing);
  [[nodiscard]] std::string MakeTemporary();
  // "" when a file of this type may be replaced, else why not.
  [[nodiscard]] std::string Replaceable(mode_t mode) const;
  [[nodiscard]] std::string Reason(int error) const;
  [[nodiscard]] Expected<void, std::string> Fail(std::string why);
  void Abandon();

  std::string shown_;  // the path as the user gave it, for messages
  FileCalls calls_;
  Replace replace_ = Replace::kTarget;
  bool durable_ = true;
  bool direct_ = false;  // written straight into a device, a FIFO or standard output
  int fd_ = -1;
  int folder_ = -1;        // the folder of the replaced name, where the temporary file is
  std::string name_;       // the replaced name in that folder
  std::string temporary_;  // the temporary file's name there, until it is renamed or removed
  mode_t mode_ = 0;
  bool keep_owner_ = false;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  int write_error_ = 0;
  bool standard_output_ = false;
};

}  // namespace glimmer
