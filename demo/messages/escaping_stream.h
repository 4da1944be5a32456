// SPDX-License-Identifier: MIT
// An output stream that passes whole lines on to another stream with their control characters escaped
// (EscapeControlsKeepingLines). The program writes every message through one, so that no message, whoever
// composes it and whatever it repeats, sends the terminal anything but text.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>

namespace glimmer {

class EscapingStream final : public std::ostream {
 public:
  explicit EscapingStream(std::ostream& to);
  // Passes on what is left of an unfinished line.
  ~EscapingStream() override;
  EscapingStream(const EscapingStream&) = delete;
  EscapingStream& operator=(const EscapingStream&) = delete;

 private:
  // Collects a line, so that a character of several bytes is judged whole, and passes it on at its end.
  class LineBuffer final : public std::streambuf {
   public:
    explicit LineBuffer(std::ostream& to) : to_(to) {}
    void PassOn();

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

   private:
    std::ostream& to_;
    std::string line_;
  };

  LineBuffer buffer_;
};

}  // namespace glimmer
