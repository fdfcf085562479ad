// SPDX-License-Identifier: MIT

#include <stdlib.h>

#include "test_system.h"

namespace testing_support {

const bool kOnWindows = true;

void SetEnvironment(const std::string& name, const std::string& value) {
  ::_putenv_s(name.c_str(), value.c_str());
}

// An empty value removes the variable on Windows.
void UnsetEnvironment(const std::string& name) { ::_putenv_s(name.c_str(), ""); }

bool MakeFifo(const std::filesystem::path&) { return false; }

FileSizeLimit::FileSizeLimit(uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

}  // namespace testing_support
