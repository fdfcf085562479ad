// SPDX-License-Identifier: MIT

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "process_resources.h"

namespace testing_support {

size_t OpenDescriptorCount() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count - 1;  // the directory being listed is open while it is listed
}

size_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  size_t total_pages = 0, resident_pages = 0;
  statm >> total_pages >> resident_pages;
  return resident_pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace testing_support
