// SPDX-License-Identifier: MIT

// The keys and values of a registry export file, as the file registry
// (MakeFileRegistry in registry.h) reads them at every OpenKey. The file's
// format is described in registry.h.

#ifndef PLATFORM_SRC_REGISTRY_STORE_H_
#define PLATFORM_SRC_REGISTRY_STORE_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tessaly/platform/registry.h"

namespace platform {

// One value of the store.
struct RegistryValue {
  uint32_t type = kRegNone;
  std::string data;  // the bytes a query returns
};

class RegistryStore {
 public:
  // The store described by the bytes of an export file. Lines that cannot
  // be read are skipped and described in `problems`, if given.
  static RegistryStore Parse(std::string_view file_bytes,
                             std::vector<std::string>* problems = nullptr);

  // Whether the key at the full path `path` ("HKEY_LOCAL_MACHINE\SOFTWARE")
  // exists; the parents of a stored key exist too.
  bool HasKey(std::string_view path) const;

  // The value `name` of the key `path`, or nullptr.
  const RegistryValue* Find(std::string_view path, std::string_view name) const;

  // The values of the key `path` by folded name, or nullptr when the key
  // does not exist.
  using Values = std::map<std::string, RegistryValue>;
  const Values* ValuesOf(std::string_view path) const;

 private:
  void AddKey(std::string_view path);

  // Folded key path to its values.
  std::map<std::string, Values> keys_;
};

}  // namespace platform

#endif  // PLATFORM_SRC_REGISTRY_STORE_H_
