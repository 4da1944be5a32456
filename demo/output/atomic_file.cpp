#include "demo/output/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <vector>

namespace glimmer {
namespace {

// The mode an existing target has, or the usual mode of a new file under the current umask.
mode_t ModeFor(const std::filesystem::path& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

Expected<AtomicFile, std::string> AtomicFile::Open(const std::filesystem::path& path, FileCalls calls) {
  AtomicFile file(path, std::move(calls));
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  std::string name = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  file.fd_ = file.calls_.make_temporary(buffer.data());
  if (file.fd_ < 0) return Unexpected<std::string>(file.Reason(errno));
  file.temporary_ = buffer.data();
  return file;
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)),
      calls_(std::move(other.calls_)),
      fd_(std::exchange(other.fd_, -1)),
      temporary_(std::exchange(other.temporary_, {})),
      write_error_(other.write_error_) {}

AtomicFile::~AtomicFile() {
  Abandon();
}

void AtomicFile::Abandon() {
  if (fd_ >= 0) (void)calls_.close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

std::string AtomicFile::Reason(int error) const {
  return target_.string() + ": " + std::error_code(error, std::generic_category()).message();
}

std::string AtomicFile::WriteError() const {
  return write_error_ != 0 ? Reason(write_error_) : "";
}

bool AtomicFile::Write(std::string_view bytes) {
  if (write_error_ != 0 || fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = calls_.write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      write_error_ = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

Expected<void, std::string> AtomicFile::Commit() {
  const auto fail = [this](int error) {
    Abandon();
    return Unexpected<std::string>(Reason(error));
  };
  if (write_error_ != 0) return fail(write_error_);
  if (fd_ < 0) return fail(EBADF);
  if (calls_.change_mode(fd_, ModeFor(target_)) != 0) return fail(errno);
  // On disk before the rename, so that a crash cannot leave an empty file under the target's name.
  if (calls_.sync(fd_) != 0) return fail(errno);
  const int closed = calls_.close(fd_);
  fd_ = -1;
  if (closed != 0) return fail(errno);
  if (calls_.rename(temporary_.c_str(), target_.c_str()) != 0) return fail(errno);
  temporary_.clear();
  return {};
}

Expected<void, std::string> WriteFileAtomically(const std::filesystem::path& path, std::string_view contents,
                                                const FileCalls& calls) {
  auto file = AtomicFile::Open(path, calls);
  if (!file) return Unexpected<std::string>(file.error());
  (void)file->Write(contents);  // a failure is Commit's to report
  return file->Commit();
}

}  // namespace glimmer
