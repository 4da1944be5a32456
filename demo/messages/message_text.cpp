// SPDX-License-Identifier: MIT
#include "demo/messages/message_text.h"

#include <cstdio>

#include "host/automation/property_value.h"

namespace glimmer {
namespace {

void AppendEscaped(std::string& out, const char* format, unsigned value) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, format, value);
  out += escaped;
}

std::string Escape(std::string_view text, bool keep_lines) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const auto c = Utf8At(text);
    if (!c) {
      AppendEscaped(out, "\\x%02X", static_cast<unsigned char>(text[0]));
      text.remove_prefix(1);
      continue;
    }
    if (c->value == '\n') {
      out += keep_lines ? "\n" : "\\n";
    } else if (c->value < 0x20 || (c->value >= 0x7F && c->value <= 0x9F)) {
      AppendEscaped(out, "\\u%04X", static_cast<unsigned>(c->value));
    } else {
      out += text.substr(0, c->length);
    }
    text.remove_prefix(c->length);
  }
  return out;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  return Escape(text, false);
}

std::string EscapeControlsKeepingLines(std::string_view text) {
  return Escape(text, true);
}

}  // namespace glimmer
