// SPDX-License-Identifier: MIT

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "tessaly/platform/error.h"
#include "tessaly/platform/program_start.h"

extern char** environ;

namespace platform {

void StartProgram(const std::string& path) {
  if (path.empty()) throw FileError(ENOENT, path);
  std::string argument0 = path;
  std::vector<char*> argv = {argument0.data(), nullptr};
  pid_t child = 0;
  // glibc's posix_spawn reports a failed exec (a missing or non-executable
  // file) as its result, so a start that fails is an error here.
  const int error = ::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ);
  if (error != 0) throw FileError(error, path);
  // Nobody waits for the program, but its exit status must be collected so
  // that it does not linger as a zombie while the caller runs on.
  std::thread([child] {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

}  // namespace platform
