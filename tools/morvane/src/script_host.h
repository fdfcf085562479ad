// The script host: creates "Morvane.WG" by name and calls one member
// late-bound, through the object's member table, as a script page would.

#ifndef MORVANE_TOOL_SCRIPT_HOST_H_
#define MORVANE_TOOL_SCRIPT_HOST_H_

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace morvane_tool {

// Supplies the secret phrase for --secret-stdin: the phrase, or nullopt
// when there is none to read.
using SecretSource = std::function<std::optional<std::string>()>;

// Runs the command line `args` (without the program name), printing
// results on `out` and errors on `err`. Returns the exit status: 0 when the
// member returned, 1 when it raised a platform error, 2 for a usage error.
int RunScriptHost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                  const SecretSource& read_secret);

}  // namespace morvane_tool

#endif  // MORVANE_TOOL_SCRIPT_HOST_H_
