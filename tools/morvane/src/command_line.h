// SPDX-License-Identifier: MIT

// The command line of morvane:
//
//   morvane [--json] [--secret-stdin] MEMBER [ARG...]
//   morvane --list
//   morvane --help
//   morvane --version
//
// Options come before MEMBER; every word after MEMBER is an argument, even
// one that starts with '-' (a negative number, a user ID).

#ifndef MORVANE_TOOL_COMMAND_LINE_H_
#define MORVANE_TOOL_COMMAND_LINE_H_

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/variant.h"

namespace morvane_tool {

// Exit statuses.
inline constexpr int kExitReturned = 0;       // the member returned, whatever its error_number
inline constexpr int kExitPlatformError = 1;  // the member raised a platform error
inline constexpr int kExitUsage = 2;          // the command line was wrong

// A command line that cannot be run; what() says why, for people.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Invocation {
  enum class Mode { kCall, kList, kHelp, kVersion };
  Mode mode = Mode::kCall;
  bool json = false;
  // Read the secret phrase from standard input and pass it as the first
  // argument, so that it never shows in the process list.
  bool secret_from_stdin = false;
  std::string member;
  std::vector<std::string> args;
};

// The invocation `args` (without the program name) asks for. Raises
// UsageError for an unknown option or a missing MEMBER.
Invocation ParseCommandLine(std::span<const std::string> args);

// The argument `text` for parameter `param`: Long and Integer parameters
// take a decimal whole number (an optional '-' or '+', then digits) within
// their range, everything else the text as it stands. Raises UsageError for
// a bad number.
platform::Variant ArgumentValue(const platform::ParamInfo& param, const std::string& text);

// The three usage lines, shown after a usage error.
std::string ShortUsage();

// The whole usage text, for --help.
std::string UsageText();

}  // namespace morvane_tool

#endif  // MORVANE_TOOL_COMMAND_LINE_H_
