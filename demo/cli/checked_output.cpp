// SPDX-License-Identifier: MIT
#include "demo/cli/checked_output.h"

#include <cerrno>
#include <system_error>

namespace glimmer {

void CheckedOutput::Buffer::Failed() {
  if (!failed_) error_ = errno;
  failed_ = true;
}

CheckedOutput::Buffer::int_type CheckedOutput::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  errno = 0;
  if (traits_type::eq_int_type(target_->sputc(traits_type::to_char_type(c)), traits_type::eof())) {
    Failed();
    return traits_type::eof();
  }
  return c;
}

std::streamsize CheckedOutput::Buffer::xsputn(const char* s, std::streamsize n) {
  errno = 0;
  const std::streamsize written = target_->sputn(s, n);
  if (written < n) Failed();
  return written;
}

int CheckedOutput::Buffer::sync() {
  errno = 0;
  if (target_->pubsync() == 0) return 0;
  Failed();
  return -1;
}

std::string CheckedOutput::Finish() {
  stream_.flush();
  if (!buffer_.failed() && stream_.good()) return "";
  if (buffer_.error() == 0) return "the output was lost";
  return std::error_code(buffer_.error(), std::generic_category()).message();
}

}  // namespace glimmer
