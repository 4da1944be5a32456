// SPDX-License-Identifier: MIT
#include "host/automation/memory_property_bag.h"

#include <algorithm>

namespace glimmer {

std::vector<MemoryPropertyBag::Entry>::iterator MemoryPropertyBag::Find(std::string_view key) {
  return std::find_if(entries_.begin(), entries_.end(),
                      [&](const Entry& e) { return KeysEqual(e.first, key); });
}

std::vector<MemoryPropertyBag::Entry>::const_iterator MemoryPropertyBag::Find(std::string_view key) const {
  return std::find_if(entries_.begin(), entries_.end(),
                      [&](const Entry& e) { return KeysEqual(e.first, key); });
}

const Error* MemoryPropertyBag::FailureFor(const std::vector<std::pair<std::string, Error>>& list,
                                           std::string_view key) {
  const auto it =
      std::find_if(list.begin(), list.end(), [&](const auto& f) { return KeysEqual(f.first, key); });
  return it == list.end() ? nullptr : &it->second;
}

Result<PropertyValue> MemoryPropertyBag::ReadProperty(std::string_view key,
                                                      const PropertyValue& default_value) {
  if (const Error* e = FailureFor(failing_reads_, key)) return Fail(*e);
  const auto it = Find(key);
  return it == entries_.end() ? default_value : it->second;
}

Status MemoryPropertyBag::WriteProperty(std::string_view key, const PropertyValue& value,
                                        const PropertyValue& default_value) {
  writes_.push_back(WriteCall{std::string(key), value, default_value});
  if (const Error* e = FailureFor(failing_writes_, key)) return Fail(*e);
  if (default_value.kind() != ValueKind::Empty && value.NumericallyEquals(default_value)) {
    if (const auto it = Find(key); it != entries_.end()) entries_.erase(it);
    return {};
  }
  Set(key, value);
  return {};
}

void MemoryPropertyBag::Set(std::string_view key, PropertyValue value) {
  if (const auto it = Find(key); it != entries_.end())
    it->second = std::move(value);
  else
    entries_.emplace_back(std::string(key), std::move(value));
}

std::optional<PropertyValue> MemoryPropertyBag::Get(std::string_view key) const {
  const auto it = Find(key);
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

void MemoryPropertyBag::FailRead(std::string_view key, Error error) {
  failing_reads_.emplace_back(key, error);
}
void MemoryPropertyBag::FailWrite(std::string_view key, Error error) {
  failing_writes_.emplace_back(key, error);
}

}  // namespace glimmer
