// SPDX-License-Identifier: MIT
#include "demo/qt/tick_recorder.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace glimmer {

Expected<std::optional<TickRecorder::Request>, std::string> TickRecorder::RequestFromEnvironment() {
  const char* path = std::getenv("GLIMMER_TICK_LOG");
  if (path == nullptr || *path == '\0') return std::optional<Request>();
  Request request{.path = path};
  const char* count = std::getenv("GLIMMER_TICK_COUNT");
  if (count == nullptr || *count == '\0') return std::optional<Request>(request);
  const std::string_view text(count);
  std::uint64_t n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > kMaxTicks)
    return Unexpected<std::string>("GLIMMER_TICK_COUNT is '" + std::string(text) +
                                   "', not a number of ticks from 1 to " + std::to_string(kMaxTicks));
  request.ticks = static_cast<std::size_t>(n);
  return std::optional<Request>(request);
}

std::unique_ptr<TickRecorder> TickRecorder::FromEnvironment(const QTimer& timer, std::ostream& err) {
  return FromEnvironment(std::span<const QTimer* const>(std::array{&timer}), err);
}

std::unique_ptr<TickRecorder> TickRecorder::FromEnvironment(std::span<const QTimer* const> timers,
                                                            std::ostream& err) {
  auto recorder = FromEnvironment(timers.size(), err);
  if (recorder) recorder->Connect(timers);
  return recorder;
}

std::unique_ptr<TickRecorder> TickRecorder::FromEnvironment(std::size_t timers, std::ostream& err) {
  const auto request = RequestFromEnvironment();
  if (!request) {
    err << "glimmer: " << request.error() << '\n';
    return nullptr;
  }
  if (!*request) return nullptr;
  return std::make_unique<TickRecorder>(timers, **request, err);
}

TickRecorder::TickRecorder(const QTimer& timer, const Request& request, std::ostream& err, QObject* parent)
    : TickRecorder(std::span<const QTimer* const>(std::array{&timer}), request, err, parent) {}

TickRecorder::TickRecorder(std::span<const QTimer* const> timers, const Request& request, std::ostream& err,
                           QObject* parent)
    : TickRecorder(timers.size(), request, err, parent) {
  Connect(timers);
}

TickRecorder::TickRecorder(std::size_t timers, const Request& request, std::ostream& err, QObject* parent)
    : QObject(parent), path_(request.path), ticks_(request.ticks), err_(err), tracks_(timers) {
  // Opened now, so that a file that cannot be written is known before the ticks it would hold.
  file_.reset(std::fopen(path_.c_str(), "w"));
  if (!file_) {
    Report(errno);
    return;
  }
  for (Track& track : tracks_)
    track.times.reserve(ticks_);
}

void TickRecorder::Connect(std::span<const QTimer* const> timers) {
  if (!file_) return;
  for (std::size_t i = 0; i < timers.size(); ++i)
    tracks_[i].connection = connect(timers[i], &QTimer::timeout, this, [this, i] { Tick(i); });
}

void TickRecorder::Tick(std::size_t timer) {
  if (!file_ || timer >= tracks_.size() || tracks_[timer].times.size() >= ticks_) return;
  Record(tracks_[timer]);
}

std::size_t TickRecorder::recorded() const {
  std::size_t n = 0;
  for (const Track& track : tracks_)
    n += track.times.size();
  return n;
}

void TickRecorder::Record(Track& track) {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  track.times.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  if (track.times.size() < ticks_) return;
  disconnect(track.connection);
  // Written after the last tick it measures, so the write delays none of them.
  if (++full_ == tracks_.size()) Write();
}

void TickRecorder::Write() {
  int error = 0;
  for (std::size_t i = 0; i < tracks_.size() && error == 0; ++i) {
    if (i > 0 && std::fputc('\n', file_.get()) == EOF) error = errno;
    for (const std::int64_t t : tracks_[i].times)
      if (error == 0 && std::fprintf(file_.get(), "%lld\n", static_cast<long long>(t)) < 0) error = errno;
  }
  if (std::fclose(file_.release()) != 0 && error == 0) error = errno;
  written_ = error == 0;
  if (!written_) Report(error);
}

void TickRecorder::Report(int error) {
  err_ << "glimmer: cannot write the tick log " << path_ << ": " << std::strerror(error) << '\n';
}

}  // namespace glimmer
