// What the test process holds, read from /proc: open file descriptors and
// resident memory. Load tests compare them before and after many commands
// to find leaks.

#ifndef PLATFORM_TESTS_SUPPORT_PROCESS_RESOURCES_H_
#define PLATFORM_TESTS_SUPPORT_PROCESS_RESOURCES_H_

#include <cstddef>

namespace testing_support {

// The number of file descriptors the process has open (the entries of
// /proc/self/fd, not counting the one used to list them).
size_t OpenDescriptorCount();

// The process's resident memory in bytes (/proc/self/statm).
size_t ResidentBytes();

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_PROCESS_RESOURCES_H_
