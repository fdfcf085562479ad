// SPDX-License-Identifier: MIT

// Running the built programs from tests: to completion with their output
// captured, or in the background with their standard output read line by
// line. Every wait is bounded.

#ifndef PLATFORM_TESTS_SUPPORT_PROCESS_H_
#define PLATFORM_TESTS_SUPPORT_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tessaly/platform/unique_fd.h"

namespace testing_support {

// Environment variables to set (or replace) for the child.
using Environment = std::map<std::string, std::string>;

struct ProcessResult {
  int exit_code = -1;  // -1 when killed by a signal or timed out
  std::string out;
  std::string err;
};

// Runs `argv` with `input` on its standard input and waits at most
// `timeout`, after which it is killed.
ProcessResult RunProcess(const std::vector<std::string>& argv, const Environment& env = {},
                         const std::string& input = "",
                         std::chrono::milliseconds timeout = std::chrono::seconds(20));

// A program running in the background; killed and reaped when destroyed.
class BackgroundProcess {
 public:
  explicit BackgroundProcess(const std::vector<std::string>& argv, const Environment& env = {});
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // The next line of its standard output, or nullopt when none comes
  // within `timeout` or the output ends.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // Sends `signal` and waits at most `timeout` for the end. Returns the
  // exit code, 128 + the signal when a signal ended it, or -1 on timeout.
  int Stop(int signal, std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // Everything it wrote to standard error so far (after Stop: all of it).
  std::string Errors();

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  platform::UniqueFd out_;
  platform::UniqueFd err_;
  std::string out_buffer_;
  std::string err_buffer_;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_PROCESS_H_
