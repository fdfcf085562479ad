// SPDX-License-Identifier: MIT

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "test_system.h"

namespace testing_support {

const bool kOnWindows = false;

void SetEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

bool MakeFifo(const std::filesystem::path& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

namespace {
// SIGXFSZ's handler before the first limit; the limit ignores the signal
// so that a write beyond it fails with EFBIG.
void (*g_previous_handler)(int) = SIG_DFL;
}  // namespace

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
  saved_ = limit.rlim_cur;
  g_previous_handler = ::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = bytes;
  active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
  if (!active_) return;
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = saved_;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  ::signal(SIGXFSZ, g_previous_handler);
}

}  // namespace testing_support
