// SPDX-License-Identifier: MIT
#include "demo/messages/escaping_stream.h"

#include "demo/messages/message_text.h"

namespace glimmer {

EscapingStream::EscapingStream(std::ostream& to) : std::ostream(nullptr), buffer_(to) {
  rdbuf(&buffer_);
}

EscapingStream::~EscapingStream() {
  buffer_.PassOn();
}

void EscapingStream::LineBuffer::PassOn() {
  if (line_.empty()) return;
  to_ << EscapeControlsKeepingLines(line_);
  to_.flush();
  line_.clear();
}

EscapingStream::LineBuffer::int_type EscapingStream::LineBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  line_ += traits_type::to_char_type(c);
  if (line_.back() == '\n') PassOn();
  return c;
}

std::streamsize EscapingStream::LineBuffer::xsputn(const char* s, std::streamsize n) {
  for (std::streamsize i = 0; i < n; ++i)
    overflow(traits_type::to_int_type(s[i]));
  return n;
}

int EscapingStream::LineBuffer::sync() {
  PassOn();
  return 0;
}

}  // namespace glimmer
