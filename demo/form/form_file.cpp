// SPDX-License-Identifier: MIT
// Form description files: reading one from disk, within its size limit, and the messages of its errors. The
// text is read by form_reader.cpp and written by form_writer.cpp.
#include "demo/form/form_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "demo/messages/message_text.h"
#include "host/base/try.h"

namespace glimmer {
namespace {

Unexpected<DescriptionError> Unreadable(const std::filesystem::path& path, const std::string& why) {
  return Unexpected<DescriptionError>(DescriptionError{path.string(), 0, 0, "cannot read it" + why});
}

}  // namespace

std::string DescriptionError::Message() const {
  // The file name and the keys and texts from the file in `what` are shown with their control characters
  // escaped, so that the message stays one line and sends the terminal nothing but text.
  const std::string shown = EscapeControls(what);
  if (line <= 0) return EscapeControls(source) + ": " + shown;
  return EscapeControls(source) + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + shown;
}

Expected<FormDescription, DescriptionError> ReadFormFile(const std::filesystem::path& path) {
  return ParseFormDescription(TRY(ReadFormFileText(path)), path.string());
}

Expected<std::string, DescriptionError> ReadFormFileText(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return Unreadable(path, ": it is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ec.assign(errno, std::generic_category());
    return Unreadable(path, ": " + ec.message());
  }
  std::string text(kMaxFormFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return Unreadable(path, "");
  if (static_cast<std::size_t>(in.gcount()) > kMaxFormFileBytes)
    return Unreadable(path, ": it is longer than " + std::to_string(kMaxFormFileBytes) +
                                " bytes, and a form description is about a kilobyte");
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

}  // namespace glimmer
