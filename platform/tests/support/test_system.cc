// SPDX-License-Identifier: MIT

#include "test_system.h"

#include <random>
#include <stdexcept>
#include <system_error>

namespace testing_support {

std::filesystem::path MakeTemporaryDirectory(std::string_view prefix) {
  constexpr int kAttempts = 100;
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::filesystem::path dir = base / (std::string(prefix) + "-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(dir, error)) return dir;
  }
  throw std::runtime_error("no temporary directory for " + std::string(prefix));
}

bool UseWindowsDirectory(const std::filesystem::path& dir) {
  if (kOnWindows) return false;
  SetEnvironment("WINDIR", dir.string());
  return true;
}

void ForgetWindowsDirectory() {
  if (!kOnWindows) UnsetEnvironment("WINDIR");
}

}  // namespace testing_support
