#include "demo/output/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace glimmer {
namespace {

std::string Reason(const std::filesystem::path& path, int error) {
  return path.string() + ": " + std::error_code(error, std::generic_category()).message();
}

// A file descriptor that is closed, and whose file is removed, unless Commit() has released it.
class TemporaryFile {
 public:
  TemporaryFile(const std::filesystem::path& target, const FileCalls& calls) : calls_(calls) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    fd_ = calls_.make_temporary(buffer.data());
    if (fd_ >= 0) path_ = buffer.data();
  }
  ~TemporaryFile() {
    if (fd_ >= 0) (void)calls_.close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  [[nodiscard]] int fd() const { return fd_; }
  [[nodiscard]] const std::string& path() const { return path_; }
  // Closes the descriptor; returns errno on failure (0 when it worked).
  [[nodiscard]] int Close() {
    const int result = calls_.close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  // The file now lives under another name: nothing to remove.
  void Commit() { path_.clear(); }

 private:
  const FileCalls& calls_;
  int fd_ = -1;
  std::string path_;
};

int WriteAll(const FileCalls& calls, int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t n = calls.write(fd, contents.data(), contents.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    contents.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// The mode an existing target has, or the usual mode of a new file under the current umask.
mode_t ModeFor(const std::filesystem::path& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

Expected<void, std::string> WriteFileAtomically(const std::filesystem::path& path, std::string_view contents,
                                                const FileCalls& calls) {
  TemporaryFile temp(path, calls);
  if (temp.fd() < 0) return Unexpected<std::string>(Reason(path, errno));
  if (const int e = WriteAll(calls, temp.fd(), contents)) return Unexpected<std::string>(Reason(path, e));
  if (calls.change_mode(temp.fd(), ModeFor(path)) != 0) return Unexpected<std::string>(Reason(path, errno));
  // On disk before the rename, so that a crash cannot leave an empty file under the target's name.
  if (calls.sync(temp.fd()) != 0) return Unexpected<std::string>(Reason(path, errno));
  if (const int e = temp.Close()) return Unexpected<std::string>(Reason(path, e));
  if (calls.rename(temp.path().c_str(), path.c_str()) != 0)
    return Unexpected<std::string>(Reason(path, errno));
  temp.Commit();
  return {};
}

}  // namespace glimmer
