// SPDX-License-Identifier: MIT

// An owned file descriptor, closed when its owner goes.

#ifndef TESSALY_PLATFORM_UNIQUE_FD_H_
#define TESSALY_PLATFORM_UNIQUE_FD_H_

#include <unistd.h>

#include <utility>

#include "tessaly/platform/export.h"

namespace platform {

class PLATFORM_EXPORT UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.fd_, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  explicit operator bool() const { return valid(); }

  // Closes the descriptor held, if any, and holds `fd` instead.
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

}  // namespace platform

#endif  // TESSALY_PLATFORM_UNIQUE_FD_H_
