// SPDX-License-Identifier: MIT

// Values that cross a late-bound interface: arguments and results of a
// member called by dispatch identifier.

#ifndef TESSALY_PLATFORM_VARIANT_H_
#define TESSALY_PLATFORM_VARIANT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "tessaly/platform/component.h"
#include "tessaly/platform/export.h"

namespace platform {

// A 16-bit boolean: true is -1, false is 0. Other values can be stored and
// are kept as they are (some members treat only -1 and 0 as meaningful).
struct PLATFORM_EXPORT Bool16 {
  int16_t value = 0;
  static constexpr int16_t kTrue = -1;
  static constexpr int16_t kFalse = 0;
  friend bool operator==(Bool16, Bool16) = default;
};

struct Record;

// One value: empty, a 16-bit Integer, a 32-bit Long, a Single, a boolean,
// a string (UTF-8), an object reference or a record (a named structure
// returned by value).
using Variant = std::variant<std::monostate, int16_t, int32_t, float, Bool16, std::string,
                             std::shared_ptr<Component>, std::shared_ptr<const Record>>;

// The type of a parameter or result, in the order of the alternatives above.
enum class VarType { kEmpty, kInteger, kLong, kSingle, kBool, kString, kObject, kRecord };

// A record result: its type name and its fields in declaration order.
struct PLATFORM_EXPORT Record {
  std::string type_name;
  std::vector<std::pair<std::string, Variant>> fields;

  // The field called `name`; raises PlatformError 438 when there is none.
  const Variant& Field(std::string_view name) const;
};

// Name of a type as a script programmer knows it ("Long", "String", ...).
PLATFORM_EXPORT const char* VarTypeName(VarType type);

// Coercions with the platform's rules. Each raises PlatformError 13 (type
// mismatch) for a value that cannot be converted, and 6 (overflow) for a
// number outside the target's range. Strings convert as numeric text;
// Singles round to the nearest whole number, halves to the even neighbour.
PLATFORM_EXPORT int16_t ToInteger(const Variant& value);
PLATFORM_EXPORT int32_t ToLong(const Variant& value);
PLATFORM_EXPORT float ToSingle(const Variant& value);
PLATFORM_EXPORT Bool16 ToBool(const Variant& value);
PLATFORM_EXPORT std::string ToText(const Variant& value);

}  // namespace platform

#endif  // TESSALY_PLATFORM_VARIANT_H_
