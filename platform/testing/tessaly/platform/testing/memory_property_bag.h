// SPDX-License-Identifier: MIT

// For tests: a property bag (property_bag.h) in memory that shows what a
// control saved, defaults included. Not installed, and not part of the
// platform library: tests link it from the static library platform_testing.

#ifndef TESSALY_PLATFORM_TESTING_MEMORY_PROPERTY_BAG_H_
#define TESSALY_PLATFORM_TESTING_MEMORY_PROPERTY_BAG_H_

#include <string>
#include <string_view>
#include <vector>

#include "tessaly/platform/property_bag.h"
#include "tessaly/platform/variant.h"

namespace platform {

// A bag that keeps every write, defaults included, in the order of writing.
class MemoryPropertyBag : public PropertyBag {
 public:
  struct Entry {
    std::string name;
    Variant value;
    Variant default_value;
  };

  Variant ReadProperty(std::string_view name, const Variant& default_value) override;
  // Keeps the value even when it equals its default; a rewritten name moves
  // to the end of Entries().
  void WriteProperty(std::string_view name, const Variant& value,
                     const Variant& default_value) override;

  // Stores a value without a default, as a form file that holds it would.
  void Set(std::string_view name, Variant value);

  // Every stored property in the order written.
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

}  // namespace platform

#endif  // TESSALY_PLATFORM_TESTING_MEMORY_PROPERTY_BAG_H_
