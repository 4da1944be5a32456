#include "demo/qt/tick_recorder.h"

#include <chrono>
#include <cstdlib>
#include <fstream>

namespace glimmer {

TickRecorder::TickRecorder(const QTimer& timer, std::string path, std::size_t ticks, QObject* parent)
    : QObject(parent), path_(std::move(path)), ticks_(ticks) {
  times_.reserve(ticks_);
  connection_ = connect(&timer, &QTimer::timeout, this, [this] { Record(); });
}

std::unique_ptr<TickRecorder> TickRecorder::FromEnvironment(const QTimer& timer) {
  const char* path = std::getenv("GLIMMER_TICK_LOG");
  if (path == nullptr || *path == '\0') return nullptr;
  std::size_t ticks = kDefaultTicks;
  if (const char* count = std::getenv("GLIMMER_TICK_COUNT"); count != nullptr && *count != '\0') {
    const long long n = std::atoll(count);
    if (n > 1) ticks = static_cast<std::size_t>(n);
  }
  return std::make_unique<TickRecorder>(timer, path, ticks);
}

void TickRecorder::Record() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  times_.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  // Written after the last tick it measures, so the write delays none of them.
  if (times_.size() == ticks_) Write();
}

void TickRecorder::Write() {
  disconnect(connection_);
  std::ofstream out(path_);
  for (const std::int64_t t : times_)
    out << t << '\n';
  out.close();
  written_ = static_cast<bool>(out);
}

}  // namespace glimmer
