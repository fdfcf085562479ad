// A program the test starts in the background, with its standard output
// read line by line; stopped and reaped when the object goes. Every wait
// is bounded.

#ifndef PLATFORM_TESTS_SUPPORT_CHILD_PROCESS_H_
#define PLATFORM_TESTS_SUPPORT_CHILD_PROCESS_H_

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace testing_support {

class ChildProcess {
 public:
  // Starts argv[0] (a path) with `argv`; its standard output goes to a
  // pipe, its standard error to ours. Throws std::runtime_error when it
  // cannot be started.
  explicit ChildProcess(const std::vector<std::string>& argv);
  // Sends SIGTERM, waits up to five seconds, then kills it outright.
  ~ChildProcess();

  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of its standard output without the line end, or nullopt
  // when none comes within `timeout` or the output ends.
  std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);

  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  platform::UniqueFd out_;
  std::string pending_;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_CHILD_PROCESS_H_
