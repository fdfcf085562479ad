// SPDX-License-Identifier: MIT

// Windows keeps handles, not descriptors: the count of the process's open
// handles stands in for them, and the working set for resident memory.

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "process_resources.h"

namespace testing_support {

size_t OpenDescriptorCount() {
  DWORD count = 0;
  ::GetProcessHandleCount(::GetCurrentProcess(), &count);
  return count;
}

size_t ResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.WorkingSetSize;
}

}  // namespace testing_support
