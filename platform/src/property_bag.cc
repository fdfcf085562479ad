// SPDX-License-Identifier: MIT

#include "tessaly/platform/property_bag.h"

#include <algorithm>

namespace platform {

bool EqualsDefault(const Variant& value, const Variant& default_value) {
  struct Visitor {
    const Variant& fallback;
    bool operator()(std::monostate) const {
      return std::holds_alternative<std::monostate>(fallback);
    }
    bool operator()(int16_t v) const { return ToInteger(fallback) == v; }
    bool operator()(int32_t v) const { return ToLong(fallback) == v; }
    bool operator()(float v) const { return ToSingle(fallback) == v; }
    bool operator()(Bool16 v) const { return ToBool(fallback) == v; }
    bool operator()(const std::string& v) const { return ToText(fallback) == v; }
    bool operator()(const std::shared_ptr<Component>&) const { return false; }
    bool operator()(const std::shared_ptr<const Record>&) const { return false; }
  };
  try {
    return std::visit(Visitor{default_value}, value);
  } catch (const std::exception&) {
    return false;  // a default that does not convert differs from the value
  }
}

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
