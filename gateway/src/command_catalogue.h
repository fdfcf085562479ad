// SPDX-License-Identifier: MIT

// The command catalogue: every command of the server module as data.
//
// A command is the _WG member that runs it (name, dispatch identifier,
// parameters), its line layout, its ordered reply rules and what it reports
// when no session could be used. One frame (WG::Run) runs them all: open a
// session, send the line, read one reply, and take the outcome of the first
// rule whose text the reply contains, or `otherwise`. The member table of
// _WG, the C++ methods and the Python binding are all built from these rows.

#ifndef MORVANE_SRC_COMMAND_CATALOGUE_H_
#define MORVANE_SRC_COMMAND_CATALOGUE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tessaly/platform/dispatch.h"

namespace morvane {

// Where the value read from the reply goes, for outcomes that carry one.
enum class Capture {
  kNone,
  kValueAsLong,  // answer_long := the reply value as a 32-bit number
  kValueAsText,  // answer_string := the reply value, untrimmed
};

struct Outcome {
  int32_t number = 0;
  std::string_view description;
  int32_t long_value = 0;
  std::string_view string_value;
  Capture capture = Capture::kNone;
};

struct Rule {
  std::string_view text;  // the reply contains it, any letter case
  Outcome outcome;
};

struct Command {
  // The member of _WG that runs this command, and its dispatch identifier.
  std::string_view member;
  platform::DispId id = 0;
  // The member's parameters in order, the secret phrase first.
  std::span<const platform::ParamInfo> params;
  // What the command asks or does, in one line.
  std::string_view summary;
  // The line without its CR LF. "{n}" stands for argument n after the
  // secret phrase (parameter n), inserted unchanged.
  std::string_view layout;
  std::span<const Rule> rules;
  Outcome otherwise;
  // answer_string when the session fails, and for the refusals made before
  // a session (-109) or when the exchange breaks (-506).
  std::string_view failure_text;
  // The argument (numbered as in `layout`) that holds a key, limited to
  // kMaxKeyLength characters; 0 when the command has none.
  int key_argument = 0;
};

// The rows of the catalogue, in the order of the interface _WG.
enum CommandIndex : size_t {
  kUserIDExists,
  kAuthUser,
  kGiveKey,
  kTakeKey,
  kHasMaster,
  kIsSuspended,
  kNumberofCredits,
  kNumberOfDays,
  kLastLogin,
  kCreationDate,
  kPrimaryClass,
  kCurrentClass,
  kUserOnline,
  kHasKey,
  kGiveCredits,
  kGiveDays,
  kSystemVariable,
  kSwitchClass,
  kDeleteUser,
  kUnDeleteUser,
  kSuspendUser,
  kUnSuspendUser,
  kUpdateUserField,
  kAuditMessage,
  kCommandCount
};

// The dispatch identifier of the first command; the others follow it one
// by one, in the order of CommandIndex.
inline constexpr platform::DispId kFirstCommandId = 0x60030006;

// Every command, indexed by CommandIndex.
extern const std::array<Command, kCommandCount> kCommands;

// The command line: the layout with "{n}" replaced by args[n - 1], then
// CR LF. `args` are the arguments after the secret phrase, one for each
// further parameter; raises PlatformError 450 (wrong argument count) when
// their number differs.
std::string ComposeLine(const Command& command, std::span<const std::string_view> args);

// The help text of a command: its summary, the line it sends (parameter
// names in place of the arguments), what it answers and the result codes it
// may give.
std::string CommandHelp(const Command& command);

}  // namespace morvane

#endif  // MORVANE_SRC_COMMAND_CATALOGUE_H_
