// SPDX-License-Identifier: MIT
#include "demo/form/toml_precheck.h"

#include <cstdio>

#include "host/automation/property_value.h"

namespace glimmer {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

bool IsBareKeyChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// The character beyond ASCII that starts `text`, when it is well-formed UTF-8 (toml++ refuses any other
// bytes itself, before it looks at them).
std::optional<Utf8Char> NonAsciiAt(std::string_view text) {
  if (text.empty() || static_cast<unsigned char>(text[0]) < 0x80) return std::nullopt;
  return Utf8At(text);
}

// A table header sets the depth of the key/value lines after it; a dotted key adds its parts, an array
// or an inline table one level.
class Precheck {
 public:
  Precheck(std::string_view text, int max_depth) : text_(text), max_depth_(max_depth) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;  // a byte-order mark
  }

  std::optional<TomlHazard> Run() {
    std::int64_t table_depth = 0;
    while (true) {
      SkipBlanks();
      if (AtEnd()) break;
      if (Peek() == '\n') {
        Advance();
      } else if (Peek() == '#') {
        SkipComment();
      } else if (Peek() == '[') {
        const auto depth = Header();
        if (!depth) break;
        table_depth = *depth;
      } else if (!KeyValue(table_depth)) {
        break;
      }
    }
    return found_;
  }

 private:
  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }
  [[nodiscard]] char Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }

  void Advance(std::size_t n = 1) {
    for (; n > 0 && !AtEnd(); --n, ++pos_) {
      if (text_[pos_] == '\n') {
        ++line_;
        column_ = 1;
      } else if ((static_cast<unsigned char>(text_[pos_]) & 0xC0) != 0x80) {
        ++column_;  // continuation bytes belong to the character before them
      }
    }
  }
  void SkipBlanks() {
    while (IsBlank(Peek()))
      Advance();
  }
  void SkipComment() {
    while (!AtEnd() && Peek() != '\n')
      Advance();
  }
  void SkipSpace() {
    while (true) {
      SkipBlanks();
      if (Peek() == '#') SkipComment();
      if (Peek() != '\n') return;
      Advance();
    }
  }

  void Found(std::string what) { found_ = TomlHazard{line_, column_, std::move(what)}; }

  // "'é' (U+00E9)" for the character here, if it is one beyond ASCII.
  [[nodiscard]] std::optional<std::string> NonAsciiHere() const {
    const auto c = NonAsciiAt(text_.substr(pos_));
    if (!c) return std::nullopt;
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c->value));
    return "'" + std::string(text_.substr(pos_, c->length)) + "' (" + code + ")";
  }

  // The text stops being TOML here: the check stops, after noting a character toml++ would trip on.
  bool Stop() {
    if (const auto shown = NonAsciiHere()) Found(*shown + " may stand only in a string or a comment");
    return false;
  }

  bool Deeper(std::int64_t depth, std::int64_t line, std::int64_t column) {
    if (depth <= max_depth_) return false;
    found_ = TomlHazard{
        line, column, "tables and values nest more than " + std::to_string(max_depth_) + " levels deep here"};
    return true;
  }

  // "[a.b]" or "[[a.b]]": the depth of the table it opens, or nothing to stop.
  std::optional<std::int64_t> Header() {
    const std::int64_t line = line_, column = column_;
    Advance();
    const bool array = Peek() == '[';
    if (array) Advance();
    const std::int64_t parts = Key();
    const std::int64_t depth = parts + (array ? 1 : 0);
    if (parts == 0 || Deeper(depth, line, column)) return std::nullopt;
    SkipBlanks();
    for (int closing = array ? 2 : 1; closing > 0; --closing) {
      if (Peek() != ']') {
        Stop();
        return std::nullopt;
      }
      Advance();
    }
    return depth;
  }

  // "a.b = value" within a table at `base`; false to stop.
  bool KeyValue(std::int64_t base) {
    const std::int64_t line = line_, column = column_;
    const std::int64_t parts = Key();
    if (parts == 0 || Deeper(base + parts, line, column)) return false;
    SkipBlanks();
    if (Peek() != '=') return Stop();
    Advance();
    return Value(base + parts);
  }

  // The number of parts of the key here; 0 to stop.
  std::int64_t Key() {
    std::int64_t parts = 0;
    while (true) {
      SkipBlanks();
      if (Peek() == '"' || Peek() == '\'') {
        // toml++ reads a multi-line string here too before it refuses one.
        if (!String(true)) return 0;
      } else if (IsBareKeyChar(Peek())) {
        while (IsBareKeyChar(Peek()))
          Advance();
      } else {
        Stop();
        return 0;
      }
      ++parts;
      SkipBlanks();
      if (Peek() != '.') return parts;
      Advance();
    }
  }

  bool Value(std::int64_t depth) {
    SkipBlanks();
    if (Peek() == '"' || Peek() == '\'') return String(true);
    if (Peek() == '[') return Array(depth);
    if (Peek() == '{') return InlineTable(depth);
    // A number, a Boolean, a date or a time, up to whatever ends a value.
    while (!AtEnd() && std::string_view(",]}#\n").find(Peek()) == std::string_view::npos) {
      if (static_cast<unsigned char>(Peek()) >= 0x80) return Stop();
      Advance();
    }
    return true;
  }

  bool Array(std::int64_t depth) {
    const std::int64_t line = line_, column = column_;
    Advance();
    if (Deeper(depth + 1, line, column)) return false;
    while (true) {
      SkipSpace();
      if (Peek() == ']') break;
      if (!Value(depth + 1)) return false;
      SkipSpace();
      if (Peek() == ']') break;
      if (Peek() != ',') return Stop();
      Advance();
    }
    Advance();
    return true;
  }

  // Newlines, comments and a trailing comma are taken here although TOML 1.0 refuses them, so that the
  // check never stops where a more lenient parser goes on.
  bool InlineTable(std::int64_t depth) {
    Advance();
    while (true) {
      SkipSpace();
      if (Peek() == '}') break;
      if (!KeyValue(depth)) return false;
      SkipSpace();
      if (Peek() == '}') break;
      if (Peek() != ',') return Stop();
      Advance();
    }
    Advance();
    return true;
  }

  // After a backslash in a multi-line basic string: the escaped character, or blanks up to the end of the
  // line and white space up to where the string goes on. False when a character beyond ASCII comes where
  // toml++ asks whether it is white space.
  bool AfterBackslash() {
    const bool continues_line = IsBlank(Peek()) || Peek() == '\n';
    SkipBlanks();
    if (Peek() == '\n') {
      while (IsBlank(Peek()) || Peek() == '\n')
        Advance();
    }
    if (const auto shown = NonAsciiHere()) {
      Found(*shown + " cannot follow a backslash in a multi-line string, even on the next line");
      return false;
    }
    if (!continues_line) Advance();
    return true;
  }

  // A basic or literal string, multi-line ones too where `multi_line` allows them; false to stop.
  bool String(bool multi_line) {
    const char quote = Peek();
    const bool basic = quote == '"';
    if (multi_line && Peek(1) == quote && Peek(2) == quote) {
      Advance(3);
      while (!AtEnd()) {
        if (basic && Peek() == '\\') {
          Advance();
          if (!AfterBackslash()) return false;
        } else if (Peek() == quote && Peek(1) == quote && Peek(2) == quote) {
          Advance(3);
          // Up to two more quotes end the text rather than the string.
          for (int extra = 0; extra < 2 && Peek() == quote; ++extra)
            Advance();
          return true;
        } else {
          Advance();
        }
      }
      return false;
    }
    Advance();
    while (!AtEnd() && Peek() != '\n') {
      if (basic && Peek() == '\\') {
        Advance(2);
      } else if (Peek() == quote) {
        Advance();
        return true;
      } else {
        Advance();
      }
    }
    return false;
  }

  std::string_view text_;
  std::int64_t max_depth_;
  std::size_t pos_ = 0;
  std::int64_t line_ = 1;
  std::int64_t column_ = 1;
  std::optional<TomlHazard> found_;
};

}  // namespace

std::optional<TomlHazard> PrecheckToml(std::string_view text, int max_depth) {
  return Precheck(text, max_depth).Run();
}

}  // namespace glimmer
