// SPDX-License-Identifier: MIT

// The script host: creates "Morvane.WG" by name and calls one member
// late-bound, through the object's member table, as a script page would.

#ifndef MORVANE_TOOL_SCRIPT_HOST_H_
#define MORVANE_TOOL_SCRIPT_HOST_H_

#include <cstddef>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace morvane_tool {

// Supplies the secret phrase for --secret-stdin: the phrase, or nullopt
// when there is none to read.
using SecretSource = std::function<std::optional<std::string>()>;

// The longest secret phrase --secret-stdin accepts: far beyond any real
// phrase, and a bound on what a runaway pipe can make the program hold.
inline constexpr size_t kMaxSecretBytes = 64 * 1024;

// The first line of `in` without its line end (LF or CR LF), or nullopt
// when `in` is at its end. Raises UsageError, having read at most
// kMaxSecretBytes + 2 bytes, when the line is longer than kMaxSecretBytes.
std::optional<std::string> ReadSecretLine(std::istream& in);

// Runs the command line `args` (without the program name), printing
// results on `out` and errors on `err` (with --json a platform error goes
// to `out` as a JSON object). Says on `err` when the settings file is
// absent and the built-in default hosts are used. Returns the exit status:
// 0 when the member returned, 1 when it raised a platform error, 2 for a
// usage error.
int RunScriptHost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const SecretSource& read_secret);

}  // namespace morvane_tool

#endif  // MORVANE_TOOL_SCRIPT_HOST_H_
