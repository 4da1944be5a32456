// Replaces a file as a whole or not at all: the bytes go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. A failure at any step removes the temporary file and
// leaves an existing target as it was.
//
// A writer that streams (the GIF recorder, which writes each frame as soon as it is coded) uses AtomicFile:
//
//   auto file = AtomicFile::Open(path);     // first of all: a folder that cannot be written fails here
//   if (!file) return Fail(file.error());   // "path: reason", for a message
//   ... file->Write(bytes) for every piece; on false, stop writing
//   if (auto done = file->Commit(); !done) return Fail(done.error());
//
// Write() keeps the first failure's reason, so that a callback that can only answer "no bytes written"
// loses nothing: Commit() then fails with that reason. An AtomicFile dropped without Commit() removes its
// temporary file.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "host/base/expected.h"

namespace glimmer {

// The system calls that a replacement makes, one by one, so that a test can make any of them fail as the
// system would. Removing the temporary file after a failure is left to the system itself.
struct FileCalls {
  std::function<int(char* name_template)> make_temporary = ::mkstemp;
  std::function<ssize_t(int fd, const void* data, std::size_t size)> write = ::write;
  std::function<int(int fd, mode_t mode)> change_mode = ::fchmod;
  std::function<int(int fd)> sync = ::fsync;
  std::function<int(int fd)> close = ::close;
  std::function<int(const char* from, const char* to)> rename = ::rename;
};

class AtomicFile {
 public:
  // Ready to be written, or why not ("path: reason").
  [[nodiscard]] static Expected<AtomicFile, std::string> Open(const std::filesystem::path& path,
                                                              FileCalls calls = {});
  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  // Appends the bytes; false after a failure, whose reason Commit() reports.
  [[nodiscard]] bool Write(std::string_view bytes);
  // Puts the file in place; on failure says why and removes the temporary file.
  [[nodiscard]] Expected<void, std::string> Commit();
  // The reason of the first failed Write(), "path: reason", or "".
  [[nodiscard]] std::string WriteError() const;

 private:
  AtomicFile(std::filesystem::path target, FileCalls calls)
      : target_(std::move(target)), calls_(std::move(calls)) {}
  [[nodiscard]] std::string Reason(int error) const;
  // Closes and removes the temporary file, if there is one.
  void Abandon();

  std::filesystem::path target_;
  FileCalls calls_;
  int fd_ = -1;
  std::string temporary_;  // its path, until it is renamed or removed
  int write_error_ = 0;
};

// The whole text at once; on failure, why (with the path), for a message.
[[nodiscard]] Expected<void, std::string> WriteFileAtomically(const std::filesystem::path& path,
                                                              std::string_view contents,
                                                              const FileCalls& calls = {});

}  // namespace glimmer
