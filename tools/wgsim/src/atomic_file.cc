// SPDX-License-Identifier: MIT

#include "atomic_file.h"

#include <system_error>

#include "tessaly/platform/file_system.h"

namespace wgsim {

std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path) {
  const std::filesystem::path directory =
      path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  std::vector<std::filesystem::path> removed;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (!platform::IsTemporaryNameOf(entry.path().filename().string(), path.string()) ||
        !entry.is_regular_file()) {
      continue;
    }
    std::error_code ignored;
    if (std::filesystem::remove(entry.path(), ignored)) removed.push_back(entry.path());
  }
  return removed;
}

}  // namespace wgsim
