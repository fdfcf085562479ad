// SPDX-License-Identifier: MIT

// The frame every command method runs: check, open a session, send one
// line, read one reply, classify it, store the result, close.

#include <optional>

#include "command_catalogue.h"
#include "reply_rules.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/numeric_text.h"

namespace morvane {
namespace {

// A result made without a reply: `number` and its text, answer_long 0 and
// the command's failure text.
CommandReturn Failure(const Command& command, int32_t number, std::string_view text) {
  return {{number, std::string(text)}, 0, std::string(command.failure_text)};
}

// True when `text` cannot go on the wire as it stands: a character that
// would end the command line early (a user ID of "bob" CR LF "DELETEUSER
// alice" must never become a second command), or one that Windows-1252
// lacks and that would arrive as '?' (credits for "Zoē" must never go to
// the account "Zo?").
bool Unsendable(std::string_view text) {
  // Bytes that would end the line, or the text, early.
  constexpr std::string_view kLineEnders("\r\n\0", 3);
  return text.find_first_of(kLineEnders) != std::string_view::npos || !platform::FitsAnsi(text);
}

// The refusal due before any connection, if the arguments call for one:
// a key that is too long, or a character the wire cannot carry.
std::optional<CommandReturn> Refusal(const Command& command, std::string_view secret,
                                     std::span<const std::string_view> args) {
  if (command.key_argument > 0 &&
      platform::Utf8Length(args[command.key_argument - 1]) > kMaxKeyLength) {
    return CommandReturn{{kKeyTooLong, std::string(kKeyTooLongText)}, 0, ""};
  }
  bool unsafe = Unsendable(secret);
  for (std::string_view arg : args) unsafe = unsafe || Unsendable(arg);
  if (unsafe) return Failure(command, kInvalidCharacter, kInvalidCharacterText);
  return std::nullopt;
}

// The outcome of the first rule whose text the reply contains, with the
// reply value filled in where the outcome carries one. Raises when that
// value cannot be read.
CommandReturn Classify(const Command& command, std::string_view reply) {
  const FoldedReply folded(reply);
  const Outcome* outcome = &command.otherwise;
  for (const Rule& rule : command.rules) {
    if (folded.Contains(rule.text)) {
      outcome = &rule.outcome;
      break;
    }
  }
  CommandReturn result{{outcome->number, std::string(outcome->description)},
                       outcome->long_value,
                       std::string(outcome->string_value)};
  switch (outcome->capture) {
    case Capture::kNone: break;
    case Capture::kValueAsLong:
      result.long_value = platform::TextToLong(ReplyValue(reply, folded));
      break;
    case Capture::kValueAsText: result.string_value = ReplyValue(reply, folded); break;
  }
  return result;
}

}  // namespace

CommandReturn WG::Run(const Command& command, const std::string& secret,
                      std::initializer_list<std::string_view> args) {
  return Run(command, secret, std::span(args.begin(), args.size()));
}

CommandReturn WG::Run(const Command& command, const std::string& secret,
                      std::span<const std::string_view> args) {
  // Checked before the refusals, which read the key among the arguments.
  if (args.size() + 1 != command.params.size()) {
    throw platform::PlatformError(platform::kWrongArgumentCount);
  }
  if (auto refusal = Refusal(command, secret, args)) return last_ = *refusal;

  ConnectObject session = OpenSession(secret);
  if (session.error_object.number != kSuccess) {
    // The opener has closed the socket already.
    return last_ = CommandReturn{session.error_object, 0, std::string(command.failure_text)};
  }
  platform::TcpSocket& socket = *session.sock;
  std::string reply;
  const bool exchanged = socket.Send(ComposeLine(command, args)) != platform::kSocketFailed &&
                         socket.Receive(reply, platform::kReceiveText) != platform::kSocketFailed;
  // A reply that never came is reported as such, never classified as if
  // the server had answered with nothing.
  last_ = exchanged ? Classify(command, reply)
                    : Failure(command, kBadCommunication, kBadCommunicationText);
  socket.Close();
  return last_;
}

}  // namespace morvane
