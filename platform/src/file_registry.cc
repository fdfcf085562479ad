// SPDX-License-Identifier: MIT

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "registry_store.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/registry.h"
#include "tessaly/platform/windows_directory.h"

namespace platform {
namespace {

// A store file larger than this is not read: the registry is then empty.
constexpr size_t kMaxStoreBytes = 4 * 1024 * 1024;

const char* RootName(RegKey root) {
  switch (root) {
    case kHKeyClassesRoot: return "HKEY_CLASSES_ROOT";
    case kHKeyCurrentUser: return "HKEY_CURRENT_USER";
    case kHKeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kHKeyUsers: return "HKEY_USERS";
    case kHKeyCurrentConfig: return "HKEY_CURRENT_CONFIG";
    default: return nullptr;
  }
}

// The store in the file at `path`; empty when the file cannot be read.
RegistryStore ReadStore(const std::string& path) {
  try {
    return RegistryStore::Parse(ReadWholeFile(path, kMaxStoreBytes));
  } catch (const PlatformError&) {
    return {};
  }
}

// The registry kept in a store file.
class FileRegistry : public RegistryApi {
 public:
  explicit FileRegistry(std::string path) : path_(std::move(path)) {}

  int32_t OpenKey(RegKey root, std::string_view sub_key, uint32_t access, RegKey& key) override;
  int32_t QueryValue(RegKey key, std::string_view name, uint32_t& type, std::span<char> data,
                     uint32_t& size) override;
  int32_t CloseKey(RegKey key) override;

 private:
  struct OpenedKey {
    std::string path;              // full path as given
    RegistryStore::Values values;  // as read when the key was opened
  };

  // The full path of a key under `root`, or empty when `root` is unknown.
  std::string FullPath(RegKey root, std::string_view sub_key) const;

  std::string path_;  // empty: RegistryFilePath()
  mutable std::mutex mutex_;
  std::map<RegKey, OpenedKey> open_;
  RegKey next_handle_ = 0x100;
};

std::string FileRegistry::FullPath(RegKey root, std::string_view sub_key) const {
  std::string base;
  if (const char* name = RootName(root)) {
    base = name;
  } else if (const auto it = open_.find(root); it != open_.end()) {
    base = it->second.path;
  } else {
    return {};
  }
  while (sub_key.starts_with('\\')) sub_key.remove_prefix(1);
  return sub_key.empty() ? base : base + "\\" + std::string(sub_key);
}

int32_t FileRegistry::OpenKey(RegKey root, std::string_view sub_key, uint32_t /*access*/,
                              RegKey& key) {
  key = 0;
  std::string full_path;
  {
    std::lock_guard lock(mutex_);
    full_path = FullPath(root, sub_key);
  }
  if (full_path.empty()) return kRegInvalidHandle;
  // Read outside the lock: a slow file blocks no other caller.
  const RegistryStore store = ReadStore(path_.empty() ? RegistryFilePath() : path_);
  const RegistryStore::Values* values = store.ValuesOf(full_path);
  if (values == nullptr) return kRegFileNotFound;
  std::lock_guard lock(mutex_);
  key = next_handle_;
  next_handle_ += 4;
  open_.emplace(key, OpenedKey{std::move(full_path), *values});
  return kRegSuccess;
}

int32_t FileRegistry::QueryValue(RegKey key, std::string_view name, uint32_t& type,
                                 std::span<char> data, uint32_t& size) {
  std::lock_guard lock(mutex_);
  const auto opened = open_.find(key);
  if (opened == open_.end()) return kRegInvalidHandle;
  const RegistryStore::Values& values = opened->second.values;
  const auto it = values.find(FoldCase(name));
  if (it == values.end()) return kRegFileNotFound;
  const RegistryValue& value = it->second;
  type = value.type;
  size = static_cast<uint32_t>(value.data.size());
  if (data.size() < value.data.size()) return kRegMoreData;
  std::copy(value.data.begin(), value.data.end(), data.begin());
  return kRegSuccess;
}

int32_t FileRegistry::CloseKey(RegKey key) {
  std::lock_guard lock(mutex_);
  return open_.erase(key) == 1 ? kRegSuccess : kRegInvalidHandle;
}

}  // namespace

std::string RegistryFilePath() { return WindowsDirectory() + "/" + kRegistryFileName; }

std::unique_ptr<RegistryApi> MakeFileRegistry(std::string path) {
  return std::make_unique<FileRegistry>(std::move(path));
}

}  // namespace platform
