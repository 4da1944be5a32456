// Records when a QTimer fires, to measure how evenly it ticks. The times go into a buffer allocated up
// front and are written out only once the buffer is full, so recording costs one clock read per tick and
// never disturbs the ticks it measures.
//
// Benchmarks switch it on from the environment: GLIMMER_TICK_LOG names the file, GLIMMER_TICK_COUNT the
// number of ticks (401, for 400 intervals, when unset). The file gets one line per tick: nanoseconds on the
// monotonic clock.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace glimmer {

class TickRecorder final : public QObject {
 public:
  static constexpr std::size_t kDefaultTicks = 401;

  // Records the next `ticks` timeouts of `timer` and then writes them to `path`.
  TickRecorder(const QTimer& timer, std::string path, std::size_t ticks, QObject* parent = nullptr);
  // A recorder as the environment asks for one, or none.
  [[nodiscard]] static std::unique_ptr<TickRecorder> FromEnvironment(const QTimer& timer);

  [[nodiscard]] std::size_t recorded() const { return times_.size(); }
  // Whether the file has been written; false also while recording and after a write that failed.
  [[nodiscard]] bool written() const { return written_; }

 private:
  void Record();
  void Write();

  std::string path_;
  std::size_t ticks_;
  std::vector<std::int64_t> times_;
  QMetaObject::Connection connection_;
  bool written_ = false;
};

}  // namespace glimmer
