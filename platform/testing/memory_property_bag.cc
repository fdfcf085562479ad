// SPDX-License-Identifier: MIT

#include "tessaly/platform/testing/memory_property_bag.h"

#include <algorithm>

namespace platform {

Variant MemoryPropertyBag::ReadProperty(std::string_view name, const Variant& default_value) {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& entry) { return entry.name == name; });
  return it == entries_.end() ? default_value : it->value;
}

void MemoryPropertyBag::WriteProperty(std::string_view name, const Variant& value,
                                      const Variant& default_value) {
  std::erase_if(entries_, [&](const Entry& entry) { return entry.name == name; });
  entries_.push_back(Entry{std::string(name), value, default_value});
}

void MemoryPropertyBag::Set(std::string_view name, Variant value) {
  WriteProperty(name, value, Variant());
}

}  // namespace platform
