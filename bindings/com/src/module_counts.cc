// SPDX-License-Identifier: MIT

#include "module_counts.h"

#include <atomic>

namespace morvane::com {
namespace {

// Objects may be released on any thread that holds them, so the counts
// are atomic.
std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};
HMODULE module_handle = nullptr;

}  // namespace

void ObjectCreated() { ++live_objects; }
void ObjectDestroyed() { --live_objects; }
void ServerLocked() { ++server_locks; }
void ServerUnlocked() { --server_locks; }

bool ModuleIsIdle() { return live_objects.load() == 0 && server_locks.load() == 0; }

void SetModuleHandle(HMODULE module) { module_handle = module; }
HMODULE ModuleHandle() { return module_handle; }

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(module_handle, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // the path was cut off: try a longer buffer
  }
}

}  // namespace morvane::com
