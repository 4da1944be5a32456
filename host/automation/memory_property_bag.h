// SPDX-License-Identifier: MIT
// A property bag held in memory: entries in the order they were first stored, keys kept as they were
// written and matched without regard to letter case. A value equal to its default (numerically, whatever the
// widths) is left out, and any entry it would replace is removed, so a bag of defaults stays empty.
//
// Hosts fill it from their stored form and read it back to store it; tests can make the read or the write
// of a key fail.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <glimmer/host/automation/property_bag.h>

namespace glimmer {

class MemoryPropertyBag final : public PropertyBag {
 public:
  using Entry = std::pair<std::string, PropertyValue>;

  MemoryPropertyBag() = default;
  explicit MemoryPropertyBag(std::vector<Entry> entries) : entries_(std::move(entries)) {}

  Result<PropertyValue> ReadProperty(std::string_view key, const PropertyValue& default_value) override;
  Status WriteProperty(std::string_view key, const PropertyValue& value,
                       const PropertyValue& default_value) override;

  // Host side: set or look up an entry directly, without default handling.
  void Set(std::string_view key, PropertyValue value);
  [[nodiscard]] std::optional<PropertyValue> Get(std::string_view key) const;
  [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }

  // Tests: make every read or write of `key` fail with `error`.
  void FailRead(std::string_view key, Error error = Error::OperationFailed);
  void FailWrite(std::string_view key, Error error = Error::OperationFailed);
  // Every WriteProperty call, in order, with the value and default it was given (also those left out).
  struct WriteCall {
    std::string key;
    PropertyValue value;
    PropertyValue default_value;
  };
  [[nodiscard]] const std::vector<WriteCall>& writes() const { return writes_; }

 private:
  [[nodiscard]] std::vector<Entry>::iterator Find(std::string_view key);
  [[nodiscard]] std::vector<Entry>::const_iterator Find(std::string_view key) const;
  [[nodiscard]] static const Error* FailureFor(const std::vector<std::pair<std::string, Error>>& list,
                                               std::string_view key);

  std::vector<Entry> entries_;
  std::vector<std::pair<std::string, Error>> failing_reads_;
  std::vector<std::pair<std::string, Error>> failing_writes_;
  std::vector<WriteCall> writes_;
};

}  // namespace glimmer
