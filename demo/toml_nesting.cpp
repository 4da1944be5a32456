#include "demo/toml_nesting.h"

namespace glimmer {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// Bytes beyond ASCII count as key characters too: where a parser takes Unicode keys the scan goes on with
// it, and anywhere else the parser stops at them first.
bool IsBareKeyChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || c == '_' || c == '-' ||
         u >= 0x80;
}

// A table header sets the depth of the key/value lines after it; a dotted key adds its parts, an array
// or an inline table one level.
class NestingScan {
 public:
  NestingScan(std::string_view text, int max_depth) : text_(text), max_depth_(max_depth) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;  // a byte-order mark
  }

  std::optional<TooDeep> Run() {
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
  [[nodiscard]] TooDeep Here() const { return {line_, column_}; }

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

  bool Deeper(std::int64_t depth, const TooDeep& at) {
    if (depth <= max_depth_) return false;
    found_ = at;
    return true;
  }

  // "[a.b]" or "[[a.b]]": the depth of the table it opens, or nothing to stop.
  std::optional<std::int64_t> Header() {
    const TooDeep at = Here();
    Advance();
    const bool array = Peek() == '[';
    if (array) Advance();
    const std::int64_t parts = Key();
    const std::int64_t depth = parts + (array ? 1 : 0);
    if (parts == 0 || Deeper(depth, at)) return std::nullopt;
    SkipBlanks();
    for (int closing = array ? 2 : 1; closing > 0; --closing) {
      if (Peek() != ']') return std::nullopt;
      Advance();
    }
    return depth;
  }

  // "a.b = value" within a table at `base`; false to stop.
  bool KeyValue(std::int64_t base) {
    const TooDeep at = Here();
    const std::int64_t parts = Key();
    if (parts == 0 || Deeper(base + parts, at)) return false;
    SkipBlanks();
    if (Peek() != '=') return false;
    Advance();
    return Value(base + parts);
  }

  // The number of parts of the key here; 0 when there is none.
  std::int64_t Key() {
    std::int64_t parts = 0;
    while (true) {
      SkipBlanks();
      if (Peek() == '"' || Peek() == '\'') {
        if (!String(false)) return 0;
      } else if (IsBareKeyChar(Peek())) {
        while (IsBareKeyChar(Peek()))
          Advance();
      } else {
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
    while (!AtEnd() && std::string_view(",]}#\n").find(Peek()) == std::string_view::npos)
      Advance();
    return true;
  }

  bool Array(std::int64_t depth) {
    const TooDeep at = Here();
    Advance();
    if (Deeper(depth + 1, at)) return false;
    while (true) {
      SkipSpace();
      if (Peek() == ']') break;
      if (!Value(depth + 1)) return false;
      SkipSpace();
      if (Peek() == ']') break;
      if (Peek() != ',') return false;
      Advance();
    }
    Advance();
    return true;
  }

  // Newlines, comments and a trailing comma are taken here although TOML 1.0 refuses them, so that the
  // scan never stops where a more lenient parser goes on.
  bool InlineTable(std::int64_t depth) {
    Advance();
    while (true) {
      SkipSpace();
      if (Peek() == '}') break;
      if (!KeyValue(depth)) return false;
      SkipSpace();
      if (Peek() == '}') break;
      if (Peek() != ',') return false;
      Advance();
    }
    Advance();
    return true;
  }

  // A basic or literal string, multi-line ones too where `multi_line` allows them; false when it does not
  // end.
  bool String(bool multi_line) {
    const char quote = Peek();
    const bool basic = quote == '"';
    if (multi_line && Peek(1) == quote && Peek(2) == quote) {
      Advance(3);
      while (!AtEnd()) {
        if (basic && Peek() == '\\') {
          Advance(2);
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
  std::optional<TooDeep> found_;
};

}  // namespace

std::optional<TooDeep> FindTooDeepNesting(std::string_view text, int max_depth) {
  return NestingScan(text, max_depth).Run();
}

}  // namespace glimmer
