// SPDX-License-Identifier: MIT

// A bare TCP client of the simulator on 127.0.0.1, for the behaviour the
// gateway never shows: holding a session, sending too much or too little.

#ifndef TOOLS_TESTS_SUPPORT_RAW_CLIENT_H_
#define TOOLS_TESTS_SUPPORT_RAW_CLIENT_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "tessaly/platform/unique_fd.h"

namespace tools_testing {

class RawClient {
 public:
  // Connects to 127.0.0.1:`port`; a failure is a test failure.
  explicit RawClient(uint16_t port);

  // What arrives within `timeout_ms`, up to and including the first two
  // 0xF5 bytes or CR LF; less when the server closes first.
  std::string ReadAnswer(int timeout_ms = 2000);

  void Send(std::string_view bytes);

 private:
  platform::UniqueFd fd_;
};

}  // namespace tools_testing

#endif  // TOOLS_TESTS_SUPPORT_RAW_CLIENT_H_
