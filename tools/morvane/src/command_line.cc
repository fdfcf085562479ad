// SPDX-License-Identifier: MIT

#include "command_line.h"

#include <charconv>
#include <limits>

#include "tessaly/morvane/settings_file.h"

namespace morvane_tool {
namespace {

template <class Int>
Int ParseDecimal(const platform::ParamInfo& param, const std::string& text) {
  std::string_view digits = text;
  // A '+' may lead, but only before a digit ("+-1" is no number).
  if (digits.size() > 1 && digits.front() == '+' && digits[1] >= '0' && digits[1] <= '9') {
    digits.remove_prefix(1);
  }
  int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  const bool whole =
      !digits.empty() && error == std::errc() && end == digits.data() + digits.size();
  if (!whole || value < std::numeric_limits<Int>::min() ||
      value > std::numeric_limits<Int>::max()) {
    throw UsageError(std::string(param.name) + " must be a whole number from " +
                     std::to_string(std::numeric_limits<Int>::min()) + " to " +
                     std::to_string(std::numeric_limits<Int>::max()) + ", not \"" + text + "\"");
  }
  return static_cast<Int>(value);
}

}  // namespace

Invocation ParseCommandLine(std::span<const std::string> args) {
  Invocation invocation;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--") {
      ++i;
      break;
    }
    if (!word.starts_with("-")) break;
    if (word == "--json") {
      invocation.json = true;
    } else if (word == "--secret-stdin") {
      invocation.secret_from_stdin = true;
    } else if (word == "--list") {
      invocation.mode = Invocation::Mode::kList;
    } else if (word == "--help" || word == "-h") {
      invocation.mode = Invocation::Mode::kHelp;
    } else if (word == "--version") {
      invocation.mode = Invocation::Mode::kVersion;
    } else {
      throw UsageError("unknown option " + word);
    }
  }
  if (invocation.mode != Invocation::Mode::kCall) {
    if (i < args.size()) throw UsageError("--list, --help and --version take no MEMBER");
    return invocation;
  }
  if (i == args.size()) throw UsageError("no MEMBER given");
  invocation.member = args[i];
  invocation.args.assign(args.begin() + static_cast<ptrdiff_t>(i) + 1, args.end());
  return invocation;
}

platform::Variant ArgumentValue(const platform::ParamInfo& param, const std::string& text) {
  switch (param.type) {
    case platform::VarType::kLong: return ParseDecimal<int32_t>(param, text);
    case platform::VarType::kInteger: return ParseDecimal<int16_t>(param, text);
    default: return text;
  }
}

std::string ShortUsage() {
  return R"(usage: morvane [--json] [--secret-stdin] MEMBER [ARG...]
       morvane --list
       morvane --help
       morvane --version
)";
}

std::string UsageText() {
  return ShortUsage() + R"(Creates a Morvane.WG object, as a script page would, and calls its member
MEMBER (any letter case) by name through its member table. ARGs follow the
member's parameters in order; Long and Integer parameters take decimal whole
numbers. Every word after MEMBER is an argument, even one starting with '-'.

  --json          print the result as one JSON object on one line
  --secret-stdin  read the secret phrase from the first line of standard
                  input (without echo on a terminal) and pass it as the
                  member's first argument, `secret`; it then does not show
                  in the process list
  --list          list every member with its dispatch id and parameters
  --help          this text
  --version       the release of the tools

A command member prints error_number, error_description, answer_long and
answer_string, one "name: value" per line, or with --json one object with
those four keys. Other members print their value ({"result": VALUE}).

Exit status: 0 when the member returned, whatever its error_number;
1 when it raised a platform error ("error N: TEXT" on standard error, or
with --json {"platform_error": N, "description": "TEXT"} on standard
output); 2 for a wrong command line. In plain output, control characters
in values are shown as \xHH or \uHHHH.

Settings (remote host, local host, port) come from )" +
         morvane::SettingsFilePath() + R"(
(the directory is $WINDIR). When no file is there, the built-in default
hosts are used and morvane says so on standard error; a file that is there
but cannot be read is a platform error.
)";
}

}  // namespace morvane_tool
