// SPDX-License-Identifier: MIT
#include "control/tables/glyphs.h"

#include <atomic>
#include <mutex>
#include <new>
#include <span>

#include "control/tables/glyph_font.h"
#include "control/tables/glyph_font_ascii.h"
#include "control/tables/glyph_font_latin1.h"
#include "control/tables/table_faults.h"

namespace glimmer {

namespace {

// The fonts of a set, in table order: the capitals first, then what each larger set adds.
std::vector<std::span<const GlyphPattern>> FontsOf(GlyphSet set) {
  std::vector<std::span<const GlyphPattern>> fonts{kGlyphFont};
  if (set == GlyphSet::Ascii || set == GlyphSet::Latin1) fonts.emplace_back(kAsciiGlyphFont);
  if (set == GlyphSet::Latin1) fonts.emplace_back(kLatin1GlyphFont);
  return fonts;
}

std::uint64_t NextId() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

}  // namespace

Result<std::vector<Glyphs::Element>> Glyphs::Assemble(GlyphSet set) {
  if (table_faults::Consume(table_faults::Table::Glyphs)) return Fail(Error::OutOfMemory);
  try {
    const auto fonts = FontsOf(set);
    std::size_t glyphs = 0;
    for (const auto font : fonts)
      glyphs += font.size();
    std::vector<Element> elements;
    elements.reserve(glyphs * kRecord);
    for (const auto font : fonts)
      for (const GlyphPattern& glyph : font) {
        elements.emplace_back(Key{glyph.key});
        for (const char* row : glyph.rows)
          for (int c = 0; c < 5; ++c)
            elements.emplace_back(static_cast<std::int16_t>(row[c] == '#' ? 1 : 0));
      }
    return elements;
  } catch (const std::bad_alloc&) {
    return Fail(Error::OutOfMemory);
  }
}

Glyphs::Glyphs() {
  BuildIndex();
}

Glyphs::Glyphs(std::vector<Element> elements, bool upper_case)
    : elements_(std::move(elements)), upper_case_(upper_case) {
  BuildIndex();
}

bool Glyphs::KeyEquals(std::int32_t index, char16_t ch) const {
  if (index < 0 || index > UpperBound()) return false;
  const Key* key = std::get_if<Key>(&elements_[static_cast<std::size_t>(index)]);
  return key != nullptr && key->ch == ch;
}

Result<std::int16_t> Glyphs::Cell(std::int32_t index) const {
  if (index < 0 || index > UpperBound()) return Fail(Error::SubscriptOutOfRange);
  const std::int16_t* cell = std::get_if<std::int16_t>(&elements_[static_cast<std::size_t>(index)]);
  if (cell == nullptr) return Fail(Error::TypeMismatch);
  return *cell;
}

std::int16_t Glyphs::Scan(char16_t ch) const {
  for (std::int32_t k = 0; k <= UpperBound(); k += kRecord)
    if (KeyEquals(k, ch)) return static_cast<std::int16_t>(k + 1);
  return kNoGlyph;
}

Glyphs::Index Glyphs::MakeIndex() const {
  Index index;
  for (char16_t ch = 0; ch < kIndexed; ++ch)
    index.start[ch] = Scan(upper_case_ ? UpperCaseOf(ch) : ch);
  for (std::int32_t k = 0; k <= UpperBound(); k += kRecord) {
    if (const Key* key = std::get_if<Key>(&elements_[static_cast<std::size_t>(k)]);
        key && key->ch >= kIndexed)
      index.wide_keys = true;
    std::uint64_t bits = 0;
    for (std::int32_t i = 0; i < 35; ++i)
      if (const auto cell = Cell(k + 1 + i); cell && *cell == 1) bits |= std::uint64_t{1} << i;
    index.bits.push_back(bits);
  }
  return index;
}

// An index with the elements and casing it was made from, which a table must match to share it.
struct Glyphs::SharedIndex {
  std::vector<Element> elements;
  bool upper_case;
  Index index;
};

// Controls may be made on several threads, so the cache is locked; it holds its indexes weakly, so that an
// index goes with the last table that uses it.
void Glyphs::BuildIndex() {
  id_ = NextId();
  static std::mutex mutex;
  static std::vector<std::weak_ptr<const SharedIndex>> cache;
  const std::scoped_lock lock(mutex);
  std::erase_if(cache, [](const auto& entry) { return entry.expired(); });
  for (const auto& entry : cache)
    if (const auto shared = entry.lock();
        shared && shared->upper_case == upper_case_ && shared->elements == elements_) {
      index_ = std::shared_ptr<const Index>(shared, &shared->index);
      return;
    }
  const auto shared = std::make_shared<const SharedIndex>(SharedIndex{elements_, upper_case_, MakeIndex()});
  cache.push_back(shared);
  index_ = std::shared_ptr<const Index>(shared, &shared->index);
}

}  // namespace glimmer
