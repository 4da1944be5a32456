// SPDX-License-Identifier: MIT
#include "demo/output/frames.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "control/geometry/led_design.h"
#include "control/interface/led_members.h"
#include "demo/exit_status.h"
#include "demo/output/png_writer.h"
#include "demo/output/safe_file.h"

namespace glimmer {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "tick-";
constexpr std::string_view kSuffix = ".png";
// Frames are the program's own files in a folder of their own: a link of a frame's name is replaced, and
// thousands of them are not each synced to disk.
constexpr SafeFileOptions kFrameFile{.replace = Replace::kName, .durable = false};

// The tick in a frame's name of any width: tick-<digits>.png.
std::optional<std::int64_t> TickOf(std::string_view name) {
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
  const std::string_view digits = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  std::int64_t tick = 0;
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), tick);
  return ec == std::errc() ? tick : -1;  // beyond 64 bits: a frame's name all the same
}

// The folder the frames go to: made when missing, opened once and used through that descriptor only (a
// swap of its path for a link mid-run changes nothing), checked before the first tick, and holding only
// this run's frames when it ends.
class FrameFolder {
 public:
  FrameFolder(fs::path dir, std::int64_t ticks) : dir_(std::move(dir)), ticks_(ticks) {}
  ~FrameFolder() {
    if (fd_ >= 0) ::close(fd_);
  }
  FrameFolder(const FrameFolder&) = delete;
  FrameFolder& operator=(const FrameFolder&) = delete;

  // "" or why the frames cannot go there.
  [[nodiscard]] std::string Prepare() {
    std::error_code ec;
    fs::create_directories(dir_, ec);
    if (ec || !fs::is_directory(dir_))
      return "cannot make the frames folder " + dir_.string() + ": " +
             (ec ? ec.message() : "a file of that name is in the way");
    fd_ = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return "cannot open the frames folder " + dir_.string() + ": " + Reason(errno);
    if (std::string why = FindEarlier(); !why.empty()) return why;
    // The first frame's file can be made: a folder that cannot be written costs no rendering.
    if (auto probe = Open(FrameFileName(1, ticks_)); !probe) return "cannot write a frame: " + probe.error();
    return "";
  }

  // "" or why the frame could not be written (no part of it remains).
  [[nodiscard]] std::string Write(std::int64_t tick, const Image& frame) const {
    auto file = Open(FrameFileName(tick, ticks_));
    if (!file) return file.error();
    if (auto png = WritePng(frame, *file); !png) return png.error();
    if (auto done = file->Commit(); !done) return done.error();
    return "";
  }

  // Removes the frames of earlier runs that ticks 1 to `written` did not replace; "" or why one stays.
  [[nodiscard]] std::string RemoveEarlier(std::int64_t written) const {
    for (const std::string& name : earlier_) {
      const std::int64_t tick = *TickOf(name);
      if (tick >= 1 && tick <= written && name == FrameFileName(tick, ticks_)) continue;
      if (::unlinkat(fd_, name.c_str(), 0) != 0 && errno != ENOENT)
        return "cannot remove an earlier frame: " + (dir_ / name).string() + ": " + Reason(errno);
    }
    return "";
  }

 private:
  static std::string Reason(int error) { return std::error_code(error, std::generic_category()).message(); }

  [[nodiscard]] Expected<SafeFile, std::string> Open(const std::string& name) const {
    return SafeFile::OpenAt(fd_, name, (dir_ / name).string(), kFrameFile);
  }

  // The frames of earlier runs (files and links of a frame's name); "" or why the folder is refused.
  [[nodiscard]] std::string FindEarlier() {
    const int copy = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    DIR* listing = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (listing == nullptr && copy >= 0) ::close(copy);
    if (listing == nullptr) return "cannot read the frames folder " + dir_.string() + ": " + Reason(errno);
    std::string why;
    while (why.empty()) {
      errno = 0;
      const dirent* entry = ::readdir(listing);
      if (entry == nullptr) {
        if (errno != 0) why = "cannot read the frames folder " + dir_.string() + ": " + Reason(errno);
        break;
      }
      const std::string name = entry->d_name;
      struct stat st {};
      if (!TickOf(name) || ::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      // Anything else of a frame's name is not an earlier frame: SafeFile says what it is.
      if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        if (auto refused = Open(name); !refused) why = "cannot write the frames: " + refused.error();
      earlier_.push_back(name);
    }
    ::closedir(listing);
    return why;
  }

  fs::path dir_;
  std::int64_t ticks_;
  int fd_ = -1;
  std::vector<std::string> earlier_;
};

}  // namespace

std::string FrameFileName(std::int64_t tick, std::int64_t ticks) {
  const int digits =
      std::max<int>(5, static_cast<int>(std::to_string(std::max<std::int64_t>(ticks, 1)).size()));
  char name[48];
  std::snprintf(name, sizeof name, "tick-%0*lld.png", digits, static_cast<long long>(tick));
  return name;
}

bool TimerWillTick(HeadlessContainer& host) {
  const VirtualTimer* timer = host.timer(kTimerLED);
  return timer != nullptr && timer->interval() > 0;
}

int RecordFrames(const FormDescription& form, const Overrides& overrides, const std::filesystem::path& dir,
                 std::int64_t ticks, std::ostream& out, std::ostream& err) {
  HeadlessContainer host(LED::Class());
  if (auto s = BuildLed1(host, form.led1, overrides); !s) {
    err << "glimmer: LED1: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  if (!TimerWillTick(host)) {
    err << "glimmer: " << kNothingToRecord << '\n';
    return kExitFailure;
  }
  FrameFolder folder(dir, ticks);
  if (const std::string why = folder.Prepare(); !why.empty()) {
    err << "glimmer: " << why << '\n';
    return kExitFailure;
  }
  host.on_event = [&](DispId event) {
    if (event == kTerminateEvent) out << "Terminate " << host.ticks() << '\n';
  };
  Dispatch& led1 = host.control();
  if (auto s = Form_Load(led1); !s) {
    err << "glimmer: Form_Load: " << Describe(s.error()) << '\n';
    return kExitFailure;
  }
  int status = kExitOk;
  std::int64_t written = 0;
  for (std::int64_t tick = 1; tick <= ticks && host.RunTicks(1) == 1; ++tick) {
    if (const std::string why = folder.Write(tick, host.Frame()); !why.empty()) {
      err << "glimmer: cannot write a frame: " << why << '\n';
      status = kExitFailure;
      break;
    }
    written = tick;
  }
  std::int16_t cancel = 0;
  if (auto s = Form_Unload(led1, cancel); !s) {
    err << "glimmer: Form_Unload: " << Describe(s.error()) << '\n';
    status = kExitFailure;
  }
  if (const std::string why = folder.RemoveEarlier(written); !why.empty()) {
    err << "glimmer: " << why << '\n';
    status = kExitFailure;
  }
  out.flush();
  return status;
}

}  // namespace glimmer
