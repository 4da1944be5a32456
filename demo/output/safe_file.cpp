// SPDX-License-Identifier: MIT
#include "demo/output/safe_file.h"

#include <cerrno>
#include <random>
#include <system_error>
#include <utility>

namespace glimmer {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as many as the system follows in one path
constexpr std::size_t kTemporaryHead = 16;
constexpr std::size_t kTemporaryExtra = 8;  // ".", "~" and six random characters

const char* KindOf(mode_t mode) {
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "not a regular file";
}

// ".", the start of the name (no longer than keeps the whole within the name's length, and never half a
// UTF-8 character), "~" and six random characters: it fits wherever the name does, also in a folder whose
// path is as long as the system allows, since it is made relative to the folder.
std::string TemporaryName(std::string_view name) {
  static constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kChars.size() - 1);
  std::size_t head =
      name.size() > kTemporaryExtra ? std::min(name.size() - kTemporaryExtra, kTemporaryHead) : 0;
  while (head > 0 && (static_cast<unsigned char>(name[head]) & 0xC0) == 0x80)
    --head;
  std::string temporary = "." + std::string(name.substr(0, head)) + "~";
  for (int i = 0; i < 6; ++i)
    temporary += kChars[pick(random)];
  return temporary;
}

struct Found {
  fs::path path;
  bool exists = false;
  struct stat st {};
};

// The file that `path` names, following symbolic links to their end (which need not exist yet); errno on
// failure.
Expected<Found, int> FollowLinks(fs::path path, bool follow) {
  for (int links = 0; links <= kMaxLinks; ++links) {
    Found found{path, true, {}};
    if (::lstat(path.c_str(), &found.st) != 0) {
      if (errno != ENOENT) return Unexpected<int>(errno);
      found.exists = false;
      return found;
    }
    if (!follow || !S_ISLNK(found.st.st_mode)) return found;
    std::error_code ec;
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) return Unexpected<int>(ec.value());
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return Unexpected<int>(ELOOP);
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

Expected<SafeFile, std::string> SafeFile::Open(const fs::path& path, SafeFileOptions options,
                                               FileCalls calls) {
  const bool follow = options.replace == Replace::kTarget;
  const bool dash = follow && path == "-";
  SafeFile file(dash ? "standard output" : path.string(), std::move(calls));
  file.replace_ = options.replace;
  file.durable_ = options.durable;
  struct stat st {};
  // Devices and FIFOs are opened as the user named them: a link such as /dev/stdout leads to one.
  if (dash || (follow && ::stat(path.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)))) {
    if (std::string why = file.OpenStraight(path, dash); !why.empty()) return Unexpected<std::string>(why);
    return file;
  }
  const auto found = FollowLinks(path, follow);
  if (!found) return Unexpected<std::string>(file.Reason(found.error()));
  if (std::string why = file.PrepareReplacement(found->path, found->exists ? &found->st : nullptr);
      !why.empty())
    return Unexpected<std::string>(why);
  return file;
}

Expected<SafeFile, std::string> SafeFile::OpenAt(int folder, const std::string& name, std::string shown,
                                                 SafeFileOptions options, FileCalls calls) {
  SafeFile file(std::move(shown), std::move(calls));
  file.replace_ = Replace::kName;
  file.durable_ = options.durable;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
    return Unexpected<std::string>(file.Reason(EINVAL));
  struct stat st {};
  const bool exists = ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return Unexpected<std::string>(file.Reason(errno));
  if (std::string why = file.TakeOver(name, exists ? &st : nullptr); !why.empty())
    return Unexpected<std::string>(why);
  file.name_ = name;
  file.folder_ = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
  if (file.folder_ < 0) return Unexpected<std::string>(file.Reason(errno));
  if (std::string why = file.MakeTemporary(); !why.empty()) return Unexpected<std::string>(why);
  return file;
}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : shown_(std::move(other.shown_)),
      calls_(std::move(other.calls_)),
      replace_(other.replace_),
      durable_(other.durable_),
      direct_(other.direct_),
      fd_(std::exchange(other.fd_, -1)),
      folder_(std::exchange(other.folder_, -1)),
      name_(std::move(other.name_)),
      temporary_(std::exchange(other.temporary_, {})),
      mode_(other.mode_),
      keep_owner_(other.keep_owner_),
      owner_(other.owner_),
      group_(other.group_),
      write_error_(other.write_error_),
      standard_output_(other.standard_output_) {}

SafeFile::~SafeFile() {
  Abandon();
  if (folder_ >= 0) ::close(folder_);
}

std::string SafeFile::OpenStraight(const fs::path& path, bool standard_output) {
  direct_ = true;
  fd_ = standard_output ? ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0)
                        : ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return Reason(errno);
  struct stat mine {};
  struct stat out {};
  standard_output_ = standard_output || (::fstat(fd_, &mine) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
                                         mine.st_dev == out.st_dev && mine.st_ino == out.st_ino);
  return "";
}

std::string SafeFile::PrepareReplacement(const fs::path& target, const struct stat* existing) {
  if (std::string why = TakeOver(target, existing); !why.empty()) return why;
  name_ = target.filename().string();
  if (name_.empty() || name_ == "." || name_ == "..") return Reason(EISDIR);
  folder_ =
      ::open(target.has_parent_path() ? target.parent_path().c_str() : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) return Reason(errno);
  return MakeTemporary();
}

std::string SafeFile::TakeOver(const fs::path& target, const struct stat* existing) {
  mode_ = NewFileMode();
  if (existing == nullptr || (S_ISLNK(existing->st_mode) && replace_ == Replace::kName)) return "";
  if (std::string why = Replaceable(existing->st_mode); !why.empty()) return why;
  // The folder's permissions would allow the rename, but a plain write would be refused: so is this.
  if (replace_ == Replace::kTarget && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return Reason(errno);
  mode_ = existing->st_mode & 07777;
  keep_owner_ = true;
  owner_ = existing->st_uid;
  group_ = existing->st_gid;
  return "";
}

std::string SafeFile::MakeTemporary() {
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    temporary_ = TemporaryName(name_);
    fd_ = calls_.make_temporary(folder_, temporary_.c_str());
    if (fd_ < 0 && errno != EEXIST) break;
  }
  if (fd_ >= 0) return "";
  const int error = errno;
  temporary_.clear();
  return Reason(error);
}

std::string SafeFile::Replaceable(mode_t mode) const {
  if (S_ISREG(mode)) return "";
  if (S_ISDIR(mode)) return Reason(EISDIR);
  return shown_ + ": is " + KindOf(mode) +
         (replace_ == Replace::kTarget ? "; glimmer writes only into files, character devices and FIFOs"
                                       : ", not a file that glimmer may replace");
}

bool SafeFile::Write(std::string_view bytes) {
  if (write_error_ != 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = calls_.write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      write_error_ = n < 0 ? errno : EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string SafeFile::WriteError() const {
  return write_error_ != 0 ? Reason(write_error_) : "";
}

Expected<void, std::string> SafeFile::Commit() {
  if (write_error_ != 0) return Fail(Reason(write_error_));
  if (direct_) {
    if (calls_.close(std::exchange(fd_, -1)) != 0) return Fail(Reason(errno));
    return {};
  }
  // The owner goes first, since a change of owner clears the set-user-ID bits.
  if (keep_owner_ && ::fchown(fd_, owner_, group_) != 0) {
    // Only root may give a file away: anyone else's replacement is theirs, as with any editor.
  }
  if (calls_.change_mode(fd_, mode_) != 0) return Fail(Reason(errno));
  // On disk before the rename, so that a crash cannot leave an empty file under the name.
  if (durable_ && calls_.sync(fd_) != 0) return Fail(Reason(errno));
  if (calls_.close(std::exchange(fd_, -1)) != 0) return Fail(Reason(errno));
  // The name may have changed since Open() looked at it (a long render): the rule still holds.
  struct stat now {};
  if (::fstatat(folder_, name_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
      !(S_ISLNK(now.st_mode) && replace_ == Replace::kName))
    if (std::string why = Replaceable(now.st_mode); !why.empty()) return Fail(why);
  if (calls_.rename(folder_, temporary_.c_str(), name_.c_str()) != 0) return Fail(Reason(errno));
  temporary_.clear();
  return {};
}

std::string SafeFile::Reason(int error) const {
  return shown_ + ": " + std::error_code(error, std::generic_category()).message();
}

Expected<void, std::string> SafeFile::Fail(std::string why) {
  Abandon();
  return Unexpected<std::string>(std::move(why));
}

void SafeFile::Abandon() {
  if (fd_ >= 0) (void)calls_.close(std::exchange(fd_, -1));
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  temporary_.clear();
}

}  // namespace glimmer
