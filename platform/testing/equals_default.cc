// SPDX-License-Identifier: MIT

#include "tessaly/platform/testing/equals_default.h"

#include <exception>
#include <memory>
#include <string>
#include <variant>

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

}  // namespace platform
