// SPDX-License-Identifier: MIT
// Records when QTimers fire, to measure how evenly they tick. The times go into buffers allocated up front
// and are written out only once every buffer is full, so recording costs one clock read per tick and never
// disturbs the ticks it measures.
//
// Benchmarks switch it on from the environment: GLIMMER_TICK_LOG names the file, GLIMMER_TICK_COUNT the
// number of ticks (401, for 400 intervals, when unset or empty; a whole decimal number from 1 to
// kMaxTicks otherwise), of each timer. The file gets one line per tick: nanoseconds on the monotonic clock;
// with several timers, each timer's ticks in the order the timers were given, with an empty line between
// one timer's and the next.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "host/base/expected.h"

namespace glimmer {

class TickRecorder final : public QObject {
 public:
  static constexpr std::size_t kDefaultTicks = 401;
  // 8 MB of buffer, some 14 hours of ticks at 50 ms.
  static constexpr std::size_t kMaxTicks = 1'000'000;

  struct Request {
    std::string path;
    std::size_t ticks = kDefaultTicks;
  };

  // What the environment asks for: nothing (no GLIMMER_TICK_LOG), a request, or why GLIMMER_TICK_COUNT is
  // refused.
  [[nodiscard]] static Expected<std::optional<Request>, std::string> RequestFromEnvironment();

  // Opens the file at once and records the next `request.ticks` timeouts of `timer`, then writes them. A
  // file that cannot be opened or written is reported on `err`, which must outlive the recorder; nothing
  // is recorded when the file cannot be opened.
  TickRecorder(const QTimer& timer, const Request& request, std::ostream& err, QObject* parent = nullptr);
  // The same for several timers: `request.ticks` timeouts of each, written once all have theirs.
  TickRecorder(std::span<const QTimer* const> timers, const Request& request, std::ostream& err,
               QObject* parent = nullptr);
  // The same for `timers` timers that the caller reports itself, through Tick: timers that are not QTimers,
  // such as a QML Timer.
  TickRecorder(std::size_t timers, const Request& request, std::ostream& err, QObject* parent = nullptr);
  // A recorder as the environment asks for one, or none; a refused GLIMMER_TICK_COUNT is reported on `err`
  // and records nothing either.
  [[nodiscard]] static std::unique_ptr<TickRecorder> FromEnvironment(const QTimer& timer, std::ostream& err);
  [[nodiscard]] static std::unique_ptr<TickRecorder> FromEnvironment(std::span<const QTimer* const> timers,
                                                                     std::ostream& err);
  [[nodiscard]] static std::unique_ptr<TickRecorder> FromEnvironment(std::size_t timers, std::ostream& err);

  // Records a tick of timer `timer` (from 0, in the order the timers were given) now; ticks beyond those
  // asked for, and of a recorder whose file could not be opened, are ignored.
  void Tick(std::size_t timer);

  // Ticks recorded so far, of all timers together.
  [[nodiscard]] std::size_t recorded() const;
  // Whether the file has been written; false also while recording and after a write that failed.
  [[nodiscard]] bool written() const { return written_; }

 private:
  struct Track {
    std::vector<std::int64_t> times;
    QMetaObject::Connection connection;
  };

  void Connect(std::span<const QTimer* const> timers);
  void Record(Track& track);
  void Write();
  void Report(int error);

  struct CloseFile {
    void operator()(std::FILE* f) const { (void)std::fclose(f); }
  };

  std::string path_;
  std::size_t ticks_;
  std::ostream& err_;
  std::unique_ptr<std::FILE, CloseFile> file_;
  std::vector<Track> tracks_;
  std::size_t full_ = 0;
  bool written_ = false;
};

}  // namespace glimmer
