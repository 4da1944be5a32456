// SPDX-License-Identifier: MIT
// The dot colours: a lit (bright) and an unlit (dim) colour for each of the three colour schemes.
//
// Entry 2c is the lit colour and entry 2c + 1 the unlit colour of scheme c (0 red, 1 green, 2 yellow).
// Entries 0 and 1 are held as 16-bit integers, entries 2 to 5 as 32-bit integers; every read widens the
// entry to a 32-bit 0x00BBGGRR colour, exactly.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include <glimmer/host/base/error.h>
#include <glimmer/host/gdi/colour.h>

namespace glimmer {

class Palette {
 public:
  using Element = std::variant<std::int16_t, std::int32_t>;

  // The six entries, assembled in a sequence of their own; OutOfMemory when that cannot be done.
  [[nodiscard]] static Result<std::vector<Element>> Assemble();

  Palette() = default;  // no elements: the state before the control's creation callback built it
  explicit Palette(std::vector<Element> elements) : elements_(std::move(elements)) {}

  [[nodiscard]] bool empty() const { return elements_.empty(); }
  [[nodiscard]] std::int32_t LowerBound() const { return 0; }
  [[nodiscard]] std::int32_t UpperBound() const { return static_cast<std::int32_t>(elements_.size()) - 1; }
  [[nodiscard]] const std::vector<Element>& elements() const { return elements_; }

  // Entry `index` as a 32-bit colour; SubscriptOutOfRange outside the table (also for an empty table).
  [[nodiscard]] Result<ColorRef> Entry(std::int64_t index) const;

 private:
  std::vector<Element> elements_;
};

}  // namespace glimmer
