#include "command_catalogue.h"

#include <array>

#include "morvane/result_codes.h"

namespace morvane {
namespace {

// answer_string of the two styles of commands: empty, or the status words.
constexpr std::string_view kEmpty = "";
constexpr std::string_view kError = kErrorWord;
constexpr std::string_view kNoError = kNoErrorWord;

// Reply texts searched for.
constexpr std::string_view kMalformedReply = "Malformed request syntax";
constexpr std::string_view kNoCommandReply = "No such command";
constexpr std::string_view kNoUserReply = "No such user";
constexpr std::string_view kUnableReply = "Unable to comply";
constexpr std::string_view kNoVariableReply = "No such system variable exists";
constexpr std::string_view kNegativeDaysReply = "Action would place user at negative days";
constexpr std::string_view kNoClassReply = "No such class";
constexpr std::string_view kProtectedReply = "User is protected";
constexpr std::string_view kOkReply = "Ok";
constexpr std::string_view kNoReply = "NO";

// Outcomes.
constexpr Outcome Answer(int32_t long_value, std::string_view string_value = kEmpty) {
  return {kSuccess, kSuccessText, long_value, string_value};
}
constexpr Outcome kMalformed = {kMalformedRequest, kMalformedRequestText, 0, kEmpty};
constexpr Outcome NoCommand(int32_t long_value, std::string_view string_value) {
  return {kNoSuchCommand, kNoSuchCommandText, long_value, string_value};
}
constexpr Outcome NoUser(int32_t long_value, std::string_view string_value) {
  return {kNoSuchUser, kNoSuchUserText, long_value, string_value};
}
constexpr Outcome kNotComplied = {morvane::kNotComplied, kNotCompliedText, 0, kError};
constexpr Outcome kValueAsNumber = {kSuccess, kSuccessText, 0, kEmpty, Capture::kValueAsLong};
constexpr Outcome kValueAsText = {kSuccess, kSuccessText, 0, kEmpty, Capture::kValueAsText};
constexpr Outcome kDone = Answer(1, kNoError);
constexpr Outcome kUnrecognised = {kSuccess, kEmpty, 0, kEmpty};

// Commands come in two styles, which differ in answer_string only: plain
// (always empty) and marked ("Error" on failures, "No Error" on answers).
struct Style {
  std::string_view failure;
  std::string_view answer;
};
constexpr Style kPlain = {kEmpty, kEmpty};
constexpr Style kMarked = {kError, kNoError};

// The three error rules most commands begin with, then the command's own.
template <class... Own>
constexpr auto ErrorRulesThen(Style style, Own... own) {
  return std::array<Rule, 3 + sizeof...(Own)>{
      Rule{kMalformedReply, kMalformed}, Rule{kNoCommandReply, NoCommand(0, style.failure)},
      Rule{kNoUserReply, NoUser(0, style.failure)}, own...};
}

// Identity.
constexpr std::array kUserIDExistsRules = {
    Rule{kMalformedReply, kMalformed},
    Rule{kNoReply, Answer(0)},
};
constexpr auto kAuthUserRules = ErrorRulesThen(kPlain, Rule{"Password is incorrect", Answer(0)});

// Value queries. Errors about an account's numbers give answer_long -1,
// except a malformed request.
constexpr std::array kAccountNumberRules = {
    Rule{kMalformedReply, kMalformed},
    Rule{kNoCommandReply, NoCommand(-1, kEmpty)},
    Rule{kNoUserReply, NoUser(-1, kEmpty)},
};
constexpr auto kClassNameRules = ErrorRulesThen(kMarked);
constexpr std::array kSystemVariableRules = {
    Rule{kMalformedReply, kMalformed},
    Rule{kNoCommandReply, NoCommand(0, kError)},
    Rule{kUnableReply, kNotComplied},
    Rule{kNoVariableReply, {kNoSuchSystemVariable, kNoSuchSystemVariableText, 0, kError}},
};

// Confirmed changes: done only when the reply carries the confirmation.
// GiveCredits looks for "Ok" before "Unable to comply"; GiveDays looks for
// its two error texts first.
constexpr auto kGiveCreditsRules =
    ErrorRulesThen(kMarked, Rule{kOkReply, kDone}, Rule{kUnableReply, kNotComplied});
constexpr auto kGiveDaysRules = ErrorRulesThen(
    kMarked, Rule{kUnableReply, kNotComplied},
    Rule{kNegativeDaysReply, {kNegativeDays, kNegativeDaysText, 0, kError}}, Rule{kOkReply, kDone});
constexpr auto kSwitchClassRules = ErrorRulesThen(
    kMarked, Rule{kNoClassReply, {kNoSuchClass, kNoSuchClassText, 0, kError}}, Rule{kOkReply, kDone});
constexpr auto kDeleteUserRules = ErrorRulesThen(
    kMarked, Rule{kProtectedReply, {kUserProtected, kUserProtectedText, 0, kError}},
    Rule{"User is deleted", kDone});
constexpr auto kUnDeleteUserRules = ErrorRulesThen(kMarked, Rule{"User is undeleted", kDone});
constexpr auto kSuspendUserRules = ErrorRulesThen(kMarked, Rule{"User is suspended", kDone});
constexpr auto kUnSuspendUserRules = ErrorRulesThen(kMarked, Rule{"User is unsuspended", kDone});

// Default-yes commands: yes unless an error or the negative marker.
constexpr auto kPlainRules = ErrorRulesThen(kPlain);
constexpr auto kPlainNoRules = ErrorRulesThen(kPlain, Rule{kNoReply, Answer(0)});
constexpr auto kMarkedNoRules = ErrorRulesThen(kMarked, Rule{kNoReply, Answer(0, kNoError)});
constexpr auto kNoFieldRules = ErrorRulesThen(kMarked, Rule{"No such field", Answer(0, kNoError)});
constexpr std::array kAuditMessageRules = {Rule{kMalformedReply, kMalformed}};

}  // namespace

namespace catalogue {

// clang-format off
// member, line layout, rules, otherwise, answer_string on failure, key argument
const Command kUserIDExists = {"UserIDExists", "USERIDEXISTS {1}", kUserIDExistsRules, Answer(1), kEmpty};
const Command kAuthUser = {"AuthUser", "AUTHUSER {1}%%{2}", kAuthUserRules, Answer(1), kEmpty};

const Command kNumberofCredits = {"NumberofCredits", "NUMBEROFCREDITS {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
const Command kNumberOfDays = {"NumberOfDays", "NUMBEROFDAYS {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
const Command kLastLogin = {"LastLogin", "LASTLOGIN {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
const Command kCreationDate = {"CreationDate", "CREATIONDATE {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
const Command kPrimaryClass = {"PrimaryClass", "PRIMARYCLASS {1}", kClassNameRules, kValueAsText, kEmpty};
const Command kCurrentClass = {"CurrentClass", "CURRENTCLASS {1}", kClassNameRules, kValueAsText, kError};
const Command kSystemVariable = {"SystemVariable", "SYSTEMVARIABLE {1}", kSystemVariableRules,
                                 {kSuccess, kSuccessText, 0, kNoError, Capture::kValueAsLong}, kError};

const Command kGiveCredits = {"GiveCredits", "GIVECREDITS {2} {1}", kGiveCreditsRules, kUnrecognised, kError};
const Command kGiveDays = {"GiveDays", "GIVEDAYS {2} {1}", kGiveDaysRules, kUnrecognised, kError};
const Command kSwitchClass = {"SwitchClass", "SWITCHCLASS {2} {1}", kSwitchClassRules, kUnrecognised, kError};
const Command kDeleteUser = {"DeleteUser", "DELETEUSER {1}", kDeleteUserRules, kUnrecognised, kError};
const Command kUnDeleteUser = {"UnDeleteUser", "UNDELETEUSER {1}", kUnDeleteUserRules, kUnrecognised, kError};
const Command kSuspendUser = {"SuspendUser", "SUSPENDUSER {1}", kSuspendUserRules, kUnrecognised, kError};
const Command kUnSuspendUser = {"UnSuspendUser", "UNSUSPENDUSER {1}", kUnSuspendUserRules, kUnrecognised, kError};

const Command kGiveKey = {"GiveKey", "GIVEKEY {2} {1}", kPlainRules, Answer(1), kEmpty, 2};
const Command kTakeKey = {"TakeKey", "TAKEKEY {2} {1}", kPlainRules, Answer(1), kEmpty, 2};
const Command kHasKey = {"HasKey", "HASKEY {2} {1}", kMarkedNoRules, Answer(1, kNoError), kError, 2};
const Command kHasMaster = {"HasMaster", "HASMASTER {1}", kPlainNoRules, Answer(1), kEmpty};
const Command kIsSuspended = {"IsSuspended", "ISSUSPENDED {1}", kPlainNoRules, Answer(1), kEmpty};
const Command kUserOnline = {"UserOnline", "USERONLINE {1}", kMarkedNoRules, Answer(1, kNoError), kError};
const Command kUpdateUserField = {"UpdateUserField", "UPDATEUSERFIELD {2} {1}%%{3}", kNoFieldRules, Answer(1, kNoError), kError};
const Command kAuditMessage = {"AuditMessage", "AUDITMESSAGE {1}", kAuditMessageRules, Answer(1), kEmpty};
// clang-format on

}  // namespace catalogue

const Command* FindCommand(std::string_view member) {
  using namespace catalogue;
  static const Command* const kAll[] = {
      &kUserIDExists, &kAuthUser, &kNumberofCredits, &kNumberOfDays, &kLastLogin,
      &kCreationDate, &kPrimaryClass, &kCurrentClass, &kSystemVariable, &kGiveCredits,
      &kGiveDays, &kSwitchClass, &kDeleteUser, &kUnDeleteUser, &kSuspendUser,
      &kUnSuspendUser, &kGiveKey, &kTakeKey, &kHasKey, &kHasMaster,
      &kIsSuspended, &kUserOnline, &kUpdateUserField, &kAuditMessage};
  for (const Command* command : kAll) {
    if (command->member == member) return command;
  }
  return nullptr;
}

}  // namespace morvane
