// SPDX-License-Identifier: MIT
// The glyph table: 39 records of 36 elements in one flat sequence of 1404. Element 36g is the key of glyph g
// (one 16-bit character); elements 36g + 1 to 36g + 35 are its 5 x 7 bitmap cells row after row, 1 for a
// lit dot and 0 for an unlit one: row r, column c is element 36g + 1 + 5r + c.
//
// The control's own table is the Capitals set; a host may build it from a larger glyph set (glyph_set.h),
// whose records follow the 39 capitals in the same layout, and may have small letters drawn as capitals.
// Either way a character finds its glyph by the same scan: exact key, first match.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include <glimmer/control/tables/glyph_set.h>
#include <glimmer/host/base/error.h>

namespace glimmer {

class Glyphs {
 public:
  struct Key {
    char16_t ch;
    friend bool operator==(Key, Key) = default;
  };
  using Element = std::variant<Key, std::int16_t>;

  static constexpr std::int32_t kRecord = 36;
  static constexpr std::int32_t kNoGlyph = -1;

  // The elements of a glyph set (1404 for the capitals), assembled in a sequence of their own; OutOfMemory
  // when that cannot be done.
  [[nodiscard]] static Result<std::vector<Element>> Assemble(GlyphSet set = GlyphSet::Capitals);

  Glyphs();  // no elements: the state before the control's creation callback built it
  // With `upper_case`, a small letter finds the glyph of its capital (UpperCaseOf).
  explicit Glyphs(std::vector<Element> elements, bool upper_case = false);

  [[nodiscard]] bool empty() const { return elements_.empty(); }
  // 1403 for the full table, -1 for an empty one.
  [[nodiscard]] std::int32_t UpperBound() const { return static_cast<std::int32_t>(elements_.size()) - 1; }
  [[nodiscard]] const Element& at(std::int32_t index) const {
    return elements_[static_cast<std::size_t>(index)];
  }

  // Whether element `index` is a key equal to `ch` (exact, case-sensitive).
  [[nodiscard]] bool KeyEquals(std::int32_t index, char16_t ch) const;
  // The cell at `index`: 0 or 1; SubscriptOutOfRange outside the table, TypeMismatch on a key.
  [[nodiscard]] Result<std::int16_t> Cell(std::int32_t index) const;

  // The glyph start of a character: the element after the first key equal to it (to its capital, when small
  // letters are drawn as capitals), found by visiting the keys at 0, 36, 72, ... up to the upper bound;
  // kNoGlyph when no key matches. The answer comes from an index made once from the keys by that same scan,
  // and shared by every table of the same elements and casing, so every character costs one lookup.
  [[nodiscard]] std::int16_t GlyphStart(char16_t ch) const {
    if (ch < kIndexed) return index_->start[ch];
    return index_->wide_keys ? Scan(ch) : kNoGlyph;
  }
  // Different for every table built, so that a layout made with one table is not taken for another's.
  [[nodiscard]] std::uint64_t id() const { return id_; }
  // The 35 cells of the glyph that starts at `start`, as a bit set (bit 5r + c), for painters that draw a
  // whole glyph at once. Valid for starts that GlyphStart returns.
  [[nodiscard]] std::uint64_t Bits(std::int16_t start) const {
    return index_->bits[static_cast<std::size_t>((start - 1) / kRecord)];
  }
  // Whether this table and `other` use one index: tables of the same elements and casing do.
  [[nodiscard]] bool SharesIndexWith(const Glyphs& other) const { return index_ == other.index_; }

 private:
  static constexpr char16_t kIndexed = 256;  // the glyph sets' keys are Latin-1; others are scanned for

  // What the keys and cells of a table give, the same for every table of the same elements and casing: made
  // once and shared by all such tables (every control that builds one) for as long as one of them lives.
  struct Index {
    std::array<std::int16_t, kIndexed> start{};
    std::vector<std::uint64_t> bits;  // per glyph record
    bool wide_keys = false;
  };
  struct SharedIndex;

  [[nodiscard]] std::int16_t Scan(char16_t ch) const;
  [[nodiscard]] Index MakeIndex() const;
  void BuildIndex();

  std::vector<Element> elements_;
  std::shared_ptr<const Index> index_;
  bool upper_case_ = false;
  std::uint64_t id_ = 0;
};

}  // namespace glimmer
