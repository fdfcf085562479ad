// The command catalogue: every command of the server module as data.
//
// A command is its line layout, its ordered reply rules and what it
// reports when no session could be used. One frame (WG::Run) runs them
// all: open a session, send the line, read one reply, and take the outcome
// of the first rule whose text the reply contains, or `otherwise`.

#ifndef MORVANE_SRC_COMMAND_CATALOGUE_H_
#define MORVANE_SRC_COMMAND_CATALOGUE_H_

#include <cstdint>
#include <span>
#include <string_view>

namespace morvane {

// Where the value read from the reply goes, for outcomes that carry one.
enum class Capture {
  kNone,
  kValueAsLong,  // answer_long := the reply value as a 32-bit number
  kValueAsText,  // answer_string := the reply value, untrimmed
};

struct Outcome {
  int32_t number;
  std::string_view description;
  int32_t long_value;
  std::string_view string_value;
  Capture capture = Capture::kNone;
};

struct Rule {
  std::string_view text;  // the reply contains it, any letter case
  Outcome outcome;
};

struct Command {
  // The member of _WG that runs this command.
  std::string_view member;
  // The line without its CR LF. "{n}" stands for argument n after the
  // secret phrase, inserted unchanged.
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

// The command run by the _WG member `member`, or nullptr.
const Command* FindCommand(std::string_view member);

namespace catalogue {
extern const Command kUserIDExists, kAuthUser;
extern const Command kNumberofCredits, kNumberOfDays, kLastLogin, kCreationDate, kPrimaryClass,
    kCurrentClass, kSystemVariable;
extern const Command kGiveCredits, kGiveDays, kSwitchClass, kDeleteUser, kUnDeleteUser,
    kSuspendUser, kUnSuspendUser;
extern const Command kGiveKey, kTakeKey, kHasKey, kHasMaster, kIsSuspended, kUserOnline,
    kUpdateUserField, kAuditMessage;
}  // namespace catalogue

}  // namespace morvane

#endif  // MORVANE_SRC_COMMAND_CATALOGUE_H_
