// SPDX-License-Identifier: MIT

#include "tessaly/platform/variant.h"

#include <cmath>
#include <limits>

#include "tessaly/platform/error.h"
#include "tessaly/platform/numeric_text.h"

namespace platform {
namespace {

template <class Int>
Int RoundedWhole(double value) {
  const auto rounded = RoundToLong(value);
  if (!rounded || *rounded < std::numeric_limits<Int>::min() ||
      *rounded > std::numeric_limits<Int>::max()) {
    throw PlatformError(kOverflow);
  }
  return static_cast<Int>(*rounded);
}

// A numeric variant as a double; raises 13 for a string that is no number
// and for objects and records.
double AsDouble(const Variant& value) {
  struct Visitor {
    double operator()(std::monostate) const { return 0; }
    double operator()(int16_t v) const { return v; }
    double operator()(int32_t v) const { return v; }
    double operator()(float v) const { return v; }
    double operator()(Bool16 v) const { return v.value; }
    double operator()(const std::string& v) const { return TextToDouble(v); }
    double operator()(const std::shared_ptr<Component>&) const {
      throw PlatformError(kTypeMismatch);
    }
    double operator()(const std::shared_ptr<const Record>&) const {
      throw PlatformError(kTypeMismatch);
    }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace

const Variant& Record::Field(std::string_view name) const {
  for (const auto& [field_name, value] : fields) {
    if (field_name == name) return value;
  }
  throw PlatformError(kObjectDoesNotSupport, std::string(name));
}

const char* VarTypeName(VarType type) {
  switch (type) {
    case VarType::kEmpty: return "Empty";
    case VarType::kInteger: return "Integer";
    case VarType::kLong: return "Long";
    case VarType::kSingle: return "Single";
    case VarType::kBool: return "Boolean";
    case VarType::kString: return "String";
    case VarType::kObject: return "Object";
    case VarType::kRecord: return "Record";
  }
  return "Variant";
}

int16_t ToInteger(const Variant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return TextToInteger(*text);
  return RoundedWhole<int16_t>(AsDouble(value));
}

int32_t ToLong(const Variant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return TextToLong(*text);
  return RoundedWhole<int32_t>(AsDouble(value));
}

float ToSingle(const Variant& value) {
  const double number = AsDouble(value);
  if (std::abs(number) > std::numeric_limits<float>::max()) throw PlatformError(kOverflow);
  return static_cast<float>(number);
}

Bool16 ToBool(const Variant& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (*text == "True" || *text == "true") return Bool16{Bool16::kTrue};
    if (*text == "False" || *text == "false") return Bool16{Bool16::kFalse};
  }
  if (const auto* flag = std::get_if<Bool16>(&value)) return *flag;
  return Bool16{AsDouble(value) != 0 ? Bool16::kTrue : Bool16::kFalse};
}

std::string ToText(const Variant& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(int16_t v) const { return std::to_string(v); }
    std::string operator()(int32_t v) const { return std::to_string(v); }
    std::string operator()(float v) const { return ShortestText(v); }
    std::string operator()(Bool16 v) const { return v.value != 0 ? "True" : "False"; }
    std::string operator()(const std::string& v) const { return v; }
    std::string operator()(const std::shared_ptr<Component>&) const {
      throw PlatformError(kTypeMismatch);
    }
    std::string operator()(const std::shared_ptr<const Record>&) const {
      throw PlatformError(kTypeMismatch);
    }
  };
  return std::visit(Visitor{}, value);
}

}  // namespace platform
