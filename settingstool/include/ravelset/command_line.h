// SPDX-License-Identifier: MIT

// Ravelset without a window: showing and setting the three settings from
// the command line, through the same form logic as the window but without
// any toolkit, so that it runs on a machine that has no display.

#ifndef RAVELSET_COMMAND_LINE_H_
#define RAVELSET_COMMAND_LINE_H_

#include <ostream>
#include <string>
#include <vector>

namespace ravelset {

// Exit statuses of the command-line mode.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// True when `args` (without the program name) are for the command-line
// mode: anything but the toolkit's own options (such as -platform NAME or
// -style=NAME), which alone, or no arguments at all, open the window. An
// argument the program does not know is thus a usage error of the command
// line, found before the toolkit starts: no window opens and nothing is
// written.
bool WantsCommandLine(const std::vector<std::string>& args);

// Runs the command-line mode, printing results on `out` and messages on
// `err`. Returns kExitDone when done, kExitFailed when the settings could
// not be read or a check or the write failed (nothing is written then),
// kExitUsage for a command line it does not understand (after the reason
// and the usage text on `err`).
//
//   --show  prints the settings file's path and the three values as the
//           window would show them; a damaged file's report goes to `err`,
//           with what to do on the command line. A missing file, or a
//           dangling link in its place, is a failure here (nothing is
//           created).
//   --set --local-host A --remote-host B --port P
//           runs OK's checks on the three values and writes the record as
//           OK does, keeping any bytes after it. A refused value prints
//           the window's message.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The text --help prints.
std::string UsageText();

}  // namespace ravelset

#endif  // RAVELSET_COMMAND_LINE_H_
