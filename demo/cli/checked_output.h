// SPDX-License-Identifier: MIT
// Standard output that says why it was lost: a stream that passes everything on to another stream's buffer
// and keeps the reason (errno) of the first write or flush that failed, so that the program can end with
// status 1 and a message instead of losing its output without a word (a full disk, a closed pipe).
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace glimmer {

class CheckedOutput {
 public:
  explicit CheckedOutput(std::ostream& target) : buffer_(target.rdbuf()) {}

  [[nodiscard]] std::ostream& stream() { return stream_; }
  // Flushes; "" when everything written has gone out, else why not.
  [[nodiscard]] std::string Finish();

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(std::streambuf* target) : target_(target) {}
    [[nodiscard]] bool failed() const { return failed_; }
    [[nodiscard]] int error() const { return error_; }

   private:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;
    void Failed();

    std::streambuf* target_;
    bool failed_ = false;
    int error_ = 0;  // errno of the first failure, 0 when unknown
  };

  Buffer buffer_;
  std::ostream stream_{&buffer_};
};

}  // namespace glimmer
