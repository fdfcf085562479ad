// SPDX-License-Identifier: MIT

// What the test process holds: open file descriptors and resident memory
// (read from /proc; on Windows the open handles and the working set). Load
// tests compare them before and after many commands to find leaks.

#ifndef PLATFORM_TESTS_SUPPORT_PROCESS_RESOURCES_H_
#define PLATFORM_TESTS_SUPPORT_PROCESS_RESOURCES_H_

#include <cstddef>

namespace testing_support {

// Whether resident memory tells of leaks in this build. Under a sanitizer
// freed memory waits in quarantine and shadow memory grows, so it does not;
// the sanitizer's own leak check stands in for it there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kResidentMemoryShowsLeaks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kResidentMemoryShowsLeaks = false;
#else
inline constexpr bool kResidentMemoryShowsLeaks = true;
#endif
#else
inline constexpr bool kResidentMemoryShowsLeaks = true;
#endif

// The number of file descriptors the process has open (the entries of
// /proc/self/fd, not counting the one used to list them).
size_t OpenDescriptorCount();

// The process's resident memory in bytes (/proc/self/statm).
size_t ResidentBytes();

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_PROCESS_RESOURCES_H_
