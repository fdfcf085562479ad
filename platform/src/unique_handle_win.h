// SPDX-License-Identifier: MIT

// An owned Windows handle, closed when its owner goes.

#ifndef PLATFORM_SRC_UNIQUE_HANDLE_WIN_H_
#define PLATFORM_SRC_UNIQUE_HANDLE_WIN_H_

#include <windows.h>

#include <utility>

namespace platform {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  // Takes `handle`; INVALID_HANDLE_VALUE and null both mean none.
  explicit UniqueHandle(HANDLE handle)
      : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Gives up the handle without closing it.
  HANDLE Release() { return std::exchange(handle_, nullptr); }

  void Reset() {
    if (handle_ != nullptr) ::CloseHandle(std::exchange(handle_, nullptr));
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace platform

#endif  // PLATFORM_SRC_UNIQUE_HANDLE_WIN_H_
