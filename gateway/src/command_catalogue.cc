// SPDX-License-Identifier: MIT

#include "command_catalogue.h"

#include <array>
#include <vector>

#include "reply_rules.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/platform/error.h"

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
  return std::array<Rule, 3 + sizeof...(Own)>{Rule{kMalformedReply, kMalformed},
                                              Rule{kNoCommandReply, NoCommand(0, style.failure)},
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
constexpr auto kSwitchClassRules =
    ErrorRulesThen(kMarked, Rule{kNoClassReply, {kNoSuchClass, kNoSuchClassText, 0, kError}},
                   Rule{kOkReply, kDone});
constexpr auto kDeleteUserRules =
    ErrorRulesThen(kMarked, Rule{kProtectedReply, {kUserProtected, kUserProtectedText, 0, kError}},
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

// Parameters.
using platform::ParamInfo;
using platform::VarType;
constexpr ParamInfo kSecret = {"secret", VarType::kString};
constexpr ParamInfo kUserId = {"userid", VarType::kString};
constexpr std::array kUserParams = {kSecret, kUserId};
constexpr std::array kPasswordParams = {kSecret, kUserId, ParamInfo{"password", VarType::kString}};
constexpr std::array kKeyParams = {kSecret, kUserId, ParamInfo{"key", VarType::kString}};
constexpr std::array kCredsParams = {kSecret, kUserId, ParamInfo{"creds", VarType::kLong}};
constexpr std::array kDaysParams = {kSecret, kUserId, ParamInfo{"days", VarType::kLong}};
constexpr std::array kSysvarParams = {kSecret, ParamInfo{"sysvar", VarType::kLong}};
constexpr std::array kNewclassParams = {kSecret, kUserId, ParamInfo{"newclass", VarType::kString}};
constexpr std::array kFieldParams = {kSecret, kUserId, ParamInfo{"field", VarType::kInteger},
                                     ParamInfo{"newdata", VarType::kString}};
constexpr std::array kMessageParams = {kSecret, ParamInfo{"themessage", VarType::kString}};

constexpr Outcome kValueAsNumberMarked = {kSuccess, kSuccessText, 0, kNoError,
                                          Capture::kValueAsLong};

// Each row is put at its index, so that a row and its name in CommandIndex
// stand on one line.
constexpr std::array<Command, kCommandCount> MakeRows() {
  std::array<Command, kCommandCount> c{};
  // clang-format off
  // member, dispatch id, parameters, summary,
  //     line layout, rules, otherwise, answer_string on failure, key argument
  c[kUserIDExists] = {"UserIDExists", 0x60030006, kUserParams, "Does an account with this user ID exist?",
      "USERIDEXISTS {1}", kUserIDExistsRules, Answer(1), kEmpty};
  c[kAuthUser] = {"AuthUser", 0x60030007, kPasswordParams, "Is password the password of the account?",
      "AUTHUSER {1}%%{2}", kAuthUserRules, Answer(1), kEmpty};
  c[kGiveKey] = {"GiveKey", 0x60030008, kKeyParams, "Gives the user a key.",
      "GIVEKEY {2} {1}", kPlainRules, Answer(1), kEmpty, 2};
  c[kTakeKey] = {"TakeKey", 0x60030009, kKeyParams, "Takes a key from the user.",
      "TAKEKEY {2} {1}", kPlainRules, Answer(1), kEmpty, 2};
  c[kHasMaster] = {"HasMaster", 0x6003000a, kUserParams, "Does the user have master rights?",
      "HASMASTER {1}", kPlainNoRules, Answer(1), kEmpty};
  c[kIsSuspended] = {"IsSuspended", 0x6003000b, kUserParams, "Is the account suspended?",
      "ISSUSPENDED {1}", kPlainNoRules, Answer(1), kEmpty};
  c[kNumberofCredits] = {"NumberofCredits", 0x6003000c, kUserParams, "The credits of the account.",
      "NUMBEROFCREDITS {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
  c[kNumberOfDays] = {"NumberOfDays", 0x6003000d, kUserParams, "The days of the account.",
      "NUMBEROFDAYS {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
  c[kLastLogin] = {"LastLogin", 0x6003000e, kUserParams, "The number the host gives for the last login of the account.",
      "LASTLOGIN {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
  c[kCreationDate] = {"CreationDate", 0x6003000f, kUserParams, "The number the host gives for the creation date of the account.",
      "CREATIONDATE {1}", kAccountNumberRules, kValueAsNumber, kEmpty};
  c[kPrimaryClass] = {"PrimaryClass", 0x60030010, kUserParams, "The primary class of the account.",
      "PRIMARYCLASS {1}", kClassNameRules, kValueAsText, kEmpty};
  c[kCurrentClass] = {"CurrentClass", 0x60030011, kUserParams, "The current class of the account.",
      "CURRENTCLASS {1}", kClassNameRules, kValueAsText, kError};
  c[kUserOnline] = {"UserOnline", 0x60030012, kUserParams, "Is the user online?",
      "USERONLINE {1}", kMarkedNoRules, Answer(1, kNoError), kError};
  c[kHasKey] = {"HasKey", 0x60030013, kKeyParams, "Does the user hold the key?",
      "HASKEY {2} {1}", kMarkedNoRules, Answer(1, kNoError), kError, 2};
  c[kGiveCredits] = {"GiveCredits", 0x60030014, kCredsParams, "Gives the user credits.",
      "GIVECREDITS {2} {1}", kGiveCreditsRules, kUnrecognised, kError};
  c[kGiveDays] = {"GiveDays", 0x60030015, kDaysParams, "Gives the user days; days may be negative.",
      "GIVEDAYS {2} {1}", kGiveDaysRules, kUnrecognised, kError};
  c[kSystemVariable] = {"SystemVariable", 0x60030016, kSysvarParams, "The value of a system variable of the host.",
      "SYSTEMVARIABLE {1}", kSystemVariableRules, kValueAsNumberMarked, kError};
  c[kSwitchClass] = {"SwitchClass", 0x60030017, kNewclassParams, "Moves the user to another class.",
      "SWITCHCLASS {2} {1}", kSwitchClassRules, kUnrecognised, kError};
  c[kDeleteUser] = {"DeleteUser", 0x60030018, kUserParams, "Deletes the account.",
      "DELETEUSER {1}", kDeleteUserRules, kUnrecognised, kError};
  c[kUnDeleteUser] = {"UnDeleteUser", 0x60030019, kUserParams, "Undeletes the account.",
      "UNDELETEUSER {1}", kUnDeleteUserRules, kUnrecognised, kError};
  c[kSuspendUser] = {"SuspendUser", 0x6003001a, kUserParams, "Suspends the account.",
      "SUSPENDUSER {1}", kSuspendUserRules, kUnrecognised, kError};
  c[kUnSuspendUser] = {"UnSuspendUser", 0x6003001b, kUserParams, "Lifts the suspension of the account.",
      "UNSUSPENDUSER {1}", kUnSuspendUserRules, kUnrecognised, kError};
  c[kUpdateUserField] = {"UpdateUserField", 0x6003001c, kFieldParams, "Replaces one field of the account.",
      "UPDATEUSERFIELD {2} {1}%%{3}", kNoFieldRules, Answer(1, kNoError), kError};
  c[kAuditMessage] = {"AuditMessage", 0x6003001d, kMessageParams, "Hands a message to the audit trail of the host.",
      "AUDITMESSAGE {1}", kAuditMessageRules, Answer(1), kEmpty};
  // clang-format on
  return c;
}

// Whether every "{n}" of the layout names a parameter after the secret
// phrase and every such parameter appears in the line.
constexpr bool LayoutFitsParameters(const Command& command) {
  const std::string_view layout = command.layout;
  size_t seen = 0;  // bit n set when "{n}" appears
  for (size_t i = 0; i + 2 < layout.size(); ++i) {
    if (layout[i] != '{' || layout[i + 2] != '}') continue;
    const size_t n = static_cast<size_t>(layout[i + 1] - '0');
    if (n < 1 || n >= command.params.size()) return false;
    seen |= size_t{1} << n;
  }
  return seen == ((size_t{1} << command.params.size()) - 2);
}

// The rows are the interface's commands in order: every row is filled,
// and the dispatch identifiers follow one another from the first command's.
constexpr bool RowsAreTheInterfaceInOrder(std::span<const Command> rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const Command& row = rows[i];
    if (row.member.empty() || row.summary.empty() || row.layout.empty()) return false;
    if (row.id != kFirstCommandId + static_cast<platform::DispId>(i)) return false;
    if (row.params.empty() || row.params[0].name != "secret") return false;
    if (!LayoutFitsParameters(row)) return false;
    if (row.key_argument < 0 || static_cast<size_t>(row.key_argument) >= row.params.size()) {
      return false;
    }
  }
  return true;
}

// Shown in every help text: the refusal made before any connection and
// what the session itself may give.
std::string CommonCodes() {
  const auto code = [](int32_t number, std::string_view meaning) {
    return std::to_string(number) + " " + std::string(meaning);
  };
  return code(kInvalidCharacter,
              "when an argument holds a character that cannot be sent (nothing is sent); ") +
         code(kServerBusy, "busy, ") + code(kOutOfSync, "out of sync, ") +
         code(kWrongSecret, "wrong secret, ") + code(kNoConnection, "no connection, ") +
         code(kBadCommunication, "bad communication.");
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The answer fields an outcome sets, as a help text says them.
std::string AnswerFields(const Outcome& outcome) {
  std::string text;
  switch (outcome.capture) {
    case Capture::kValueAsLong:
      text = "answer_long is the value after " + Quoted(kValueMarker);
      break;
    case Capture::kValueAsText:
      text = "answer_string is the value after " + Quoted(kValueMarker);
      break;
    case Capture::kNone: text = "answer_long " + std::to_string(outcome.long_value); break;
  }
  if (!outcome.string_value.empty()) text += ", answer_string " + Quoted(outcome.string_value);
  return text;
}

// What ends every command line.
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

// Declared extern in the header, so constexpr here keeps it one object
// for the whole library while the rows are checked as the build compiles.
constexpr std::array<Command, kCommandCount> kCommands = MakeRows();
static_assert(RowsAreTheInterfaceInOrder(kCommands));

std::string ComposeLine(const Command& command, std::span<const std::string_view> args) {
  if (args.size() + 1 != command.params.size()) {
    throw platform::PlatformError(platform::kWrongArgumentCount);
  }
  const std::string_view layout = command.layout;
  size_t size = layout.size() + kLineEnd.size();
  for (std::string_view arg : args) size += arg.size();
  std::string line;
  line.reserve(size);
  // The text between the placeholders is copied in runs.
  size_t copied = 0;
  for (size_t i = layout.find('{'); i != std::string_view::npos; i = layout.find('{', i + 1)) {
    if (i + 2 < layout.size() && layout[i + 2] == '}') {
      line.append(layout.substr(copied, i - copied));
      line.append(args[static_cast<size_t>(layout[i + 1] - '1')]);
      i += 2;
      copied = i + 1;
    }
  }
  line.append(layout.substr(copied));
  line.append(kLineEnd);
  return line;
}

std::string CommandHelp(const Command& command) {
  std::vector<std::string_view> names;
  for (size_t i = 1; i < command.params.size(); ++i) names.push_back(command.params[i].name);
  std::string line = ComposeLine(command, names);
  line.resize(line.size() - kLineEnd.size());

  std::string answers;
  for (const Rule& rule : command.rules) {
    if (rule.outcome.number != kSuccess) continue;
    answers += AnswerFields(rule.outcome) + " when the reply contains " + Quoted(rule.text) + "; ";
  }
  answers += answers.empty() ? "" : "otherwise ";
  answers += AnswerFields(command.otherwise);
  if (command.otherwise.description.empty()) answers += " (a reply it does not recognise)";

  std::string codes = "0";
  for (const Rule& rule : command.rules) {
    if (rule.outcome.number == kSuccess) continue;
    codes +=
        "; " + std::to_string(rule.outcome.number) + " " + std::string(rule.outcome.description);
  }
  if (command.key_argument > 0) {
    codes += "; " + std::to_string(kKeyTooLong) + " when the key is longer than " +
             std::to_string(kMaxKeyLength) + " characters (nothing is sent)";
  }
  codes += "; " + CommonCodes();

  std::string help = std::string(command.summary) + "\nSends " + Quoted(line) +
                     ".\nAnswers: " + answers + ".\nResult codes: " + codes;
  if (command.otherwise.capture == Capture::kValueAsLong) {
    help += "\nRaises PlatformError when the value is not a number.";
  }
  return help;
}

}  // namespace morvane
