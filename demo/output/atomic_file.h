// Replaces a file as a whole or not at all: the text goes to a temporary file in the same folder, which is
// flushed to disk and then renamed over the target. A failure at any step removes the temporary file and
// leaves an existing target as it was.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

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

// On failure, why (with the path), for a message.
[[nodiscard]] Expected<void, std::string> WriteFileAtomically(const std::filesystem::path& path,
                                                              std::string_view contents,
                                                              const FileCalls& calls = {});

}  // namespace glimmer
