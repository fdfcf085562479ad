// SPDX-License-Identifier: MIT

// The reply classification, through the whole command frame: any of the 24
// commands, with any arguments, meets a server whose greeting, answer to
// the secret and reply come from the fuzzer's bytes. A stand-in socket
// component plays the server in memory, so nothing connects anywhere.
//
// The outcome must be the one the command catalogue gives for the first
// rule whose text a plain byte-by-byte search finds in the reply, the
// handshake's outcome likewise, the refusals before any connection as
// documented, and the result properties must equal the returned record.

#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "command_catalogue.h"
#include "reference_text.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/component.h"
#include "tessaly/platform/tcp_socket.h"
#include "tessaly/platform/variant.h"

namespace {

using morvane::fuzz::ContainsAnsi;
using morvane::fuzz::Fail;

// The server's side of one session, as Windows-1252 bytes. An answer that
// is absent, or empty, makes that Receive fail, as nothing arrived.
struct ServerScript {
  bool connects = true;
  std::deque<std::string> answers;
  std::vector<std::string> sent;
};

ServerScript* g_script = nullptr;

class InMemorySocket final : public platform::TcpSocket {
 public:
  void SetLocalHost(const std::string&) override {}
  void SetRemoteHost(const std::string&) override {}
  void SetRemotePort(int32_t) override {}
  void SetTimeouts(const platform::SocketTimeouts&) override {}
  int16_t Connect() override {
    open_ = g_script->connects;
    return open_ ? platform::kSocketOk : platform::kSocketFailed;
  }
  int16_t Receive(std::string& data, int16_t) override {
    data.clear();
    if (!open_ || g_script->answers.empty()) return platform::kSocketFailed;
    const std::string bytes = std::move(g_script->answers.front());
    g_script->answers.pop_front();
    if (bytes.empty()) return platform::kSocketFailed;
    data = platform::AnsiToUtf8(bytes);
    return platform::kSocketOk;
  }
  int16_t Send(const std::string& line) override {
    if (!open_) return platform::kSocketFailed;
    g_script->sent.push_back(line);
    return platform::kSocketOk;
  }
  void Close() override { open_ = false; }
  std::string Describe() const override { return "in-memory socket"; }

 private:
  bool open_ = false;
};

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::RegisterClass(platform::kTcpSocketProgId,
                          [] { return std::make_shared<InMemorySocket>(); });
  // Settings of our own, so that even the stand-in is never told to go to
  // the built-in default address.
  std::string dir = std::filesystem::temp_directory_path().string() + "/morvane-fuzz-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr) Fail("no temporary directory");
  ::setenv("WINDIR", dir.c_str(), 1);
  morvane::WriteSettingsRecord(morvane::SettingsFilePath(), morvane::SettingsRecord::FromValues(
                                                                "127.0.0.1", "127.0.0.1", "3425"));
  static const std::string kDir = dir;
  std::atexit([] { std::filesystem::remove_all(kDir); });
  return 0;
}

constexpr std::string_view kPrompt = "Please enter your secret string to continue.\xF5\xF5";
constexpr std::string_view kBusy = "Sorry, already too many requests.  Try again later!\xF5\xF5";
constexpr std::string_view kMaster = "What is your wish my master?\xF5\xF5";
constexpr std::string_view kGoodbye = "Goodbye.\xF5\xF5";

struct Expected {
  int32_t number;
  std::string description;
  bool check_answers = true;  // false where a reply value decides them
  int32_t long_value = 0;
  std::string string_value;
};

// What a session opening gives: 0, or its failure code and text.
std::pair<int32_t, std::string_view> SessionOutcome(const ServerScript& script) {
  using namespace morvane;
  if (!script.connects) return {kNoConnection, kNoConnectionText};
  const std::string& greeting = script.answers.size() > 0 ? script.answers[0] : std::string();
  if (greeting.empty()) return {kBadCommunication, kBadCommunicationText};
  if (ContainsAnsi(greeting, kBusy)) return {kServerBusy, kServerBusyText};
  if (!ContainsAnsi(greeting, kPrompt)) return {kOutOfSync, kOutOfSyncText};
  const std::string& answer = script.answers.size() > 1 ? script.answers[1] : std::string();
  if (answer.empty()) return {kWrongSecret, kWrongSecretText};
  if (ContainsAnsi(answer, kGoodbye)) return {kWrongSecret, kWrongSecretText};
  if (!ContainsAnsi(answer, kMaster)) return {kOutOfSync, kOutOfSyncText};
  return {kSuccess, kSuccessText};
}

// What the wire cannot carry: a line break or NUL, or a character that
// would not survive the trip to Windows-1252 and back.
bool Unsendable(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos ||
         platform::AnsiToUtf8(platform::Utf8ToAnsi(text)) != text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace morvane;
  FuzzedDataProvider input(data, size);
  WG wg;
  const auto members = wg.Members();
  // Members 4 to 27 are the 24 commands, in the order of the catalogue.
  constexpr size_t kFirstCommandMember = 4;
  const size_t index = input.ConsumeIntegralInRange<size_t>(0, kCommandCount - 1);
  const platform::MemberInfo& member = members[kFirstCommandMember + index];
  const Command* command = &kCommands[index];
  if (member.name != command->member || member.id != command->id) {
    Fail("a command member out of step with its catalogue row");
  }

  // Arguments: the secret phrase and the command's own, as texts.
  std::vector<platform::Variant> args;
  std::vector<std::string> texts;
  for (const platform::ParamInfo& param : member.params) {
    switch (param.type) {
      case platform::VarType::kLong: {
        const auto value = input.ConsumeIntegral<int32_t>();
        args.emplace_back(value);
        texts.push_back(std::to_string(value));
        break;
      }
      case platform::VarType::kInteger: {
        const auto value = input.ConsumeIntegral<int16_t>();
        args.emplace_back(value);
        texts.push_back(std::to_string(value));
        break;
      }
      default: {
        // Mostly plain, sometimes odd, so that the dialogue is reached.
        std::string text = input.ConsumeBool() ? input.ConsumeRandomLengthString(24) : "bob";
        args.emplace_back(text);
        texts.push_back(std::move(text));
        break;
      }
    }
  }

  // The server: a well-behaved handshake or one made of the fuzzer's bytes.
  ServerScript script;
  script.connects = input.ConsumeIntegral<uint8_t>() != 0;
  const uint8_t handshake = input.ConsumeIntegral<uint8_t>();
  script.answers.emplace_back(handshake % 4 == 0 ? input.ConsumeRandomLengthString(128)
                                                 : std::string(kPrompt));
  script.answers.emplace_back(handshake % 5 == 0 ? input.ConsumeRandomLengthString(128)
                                                 : std::string(kMaster));
  script.answers.emplace_back(input.ConsumeRemainingBytesAsString());
  const std::string reply = script.answers[2];
  const ServerScript before = script;
  g_script = &script;

  // The outcome the catalogue and the plain search give.
  Expected expected{kSuccess, "", true, 0, ""};
  bool may_raise = false;
  const std::string failure_text(command->failure_text);
  const auto [session_number, session_text] = SessionOutcome(before);
  bool unsafe = false;
  for (const std::string& text : texts) unsafe = unsafe || Unsendable(text);
  if (command->key_argument > 0 &&
      platform::Utf8Length(texts[static_cast<size_t>(command->key_argument)]) > kMaxKeyLength) {
    expected = {kKeyTooLong, std::string(kKeyTooLongText), true, 0, ""};
  } else if (unsafe) {
    expected = {kInvalidCharacter, std::string(kInvalidCharacterText), true, 0, failure_text};
  } else if (session_number != kSuccess) {
    expected = {session_number, std::string(session_text), true, 0, failure_text};
  } else if (reply.empty()) {
    expected = {kBadCommunication, std::string(kBadCommunicationText), true, 0, failure_text};
  } else {
    const Outcome* outcome = &command->otherwise;
    for (const Rule& rule : command->rules) {
      if (ContainsAnsi(reply, platform::Utf8ToAnsi(rule.text))) {
        outcome = &rule.outcome;
        break;
      }
    }
    expected = {outcome->number, std::string(outcome->description), true, outcome->long_value,
                std::string(outcome->string_value)};
    if (outcome->capture == Capture::kValueAsText) {
      const fuzz::ReferenceCut cut = fuzz::ReferenceValue(reply);
      may_raise = cut.error != 0;
      expected.string_value = platform::AnsiToUtf8(cut.value);
    } else if (outcome->capture == Capture::kValueAsLong) {
      may_raise = true;  // the number conversion has a fuzz target of its own
      expected.check_answers = false;
    }
  }

  platform::Variant result;
  try {
    result = wg.Invoke(member.id, platform::InvokeKind::kMethod, args);
  } catch (const platform::PlatformError& error) {
    const int32_t number = error.number();
    if (!may_raise || (number != platform::kInvalidProcedureCall && number != platform::kOverflow &&
                       number != platform::kTypeMismatch)) {
      Fail("the command raised where it should have answered");
    }
    if (wg.error_number() != 0 || !wg.error_description().empty() || wg.answer_long() != 0 ||
        !wg.answer_string().empty()) {
      Fail("a raising command changed the result properties");
    }
    return 0;
  }

  if (wg.error_number() != expected.number) Fail("error_number differs from the catalogue");
  if (wg.error_description() != expected.description) Fail("error_description differs");
  if (expected.check_answers &&
      (wg.answer_long() != expected.long_value || wg.answer_string() != expected.string_value)) {
    Fail("answer_long or answer_string differs from the catalogue");
  }
  // The record returned holds the same four values as the properties.
  const auto& record = std::get<std::shared_ptr<const platform::Record>>(result);
  const auto& error_object =
      std::get<std::shared_ptr<const platform::Record>>(record->Field("error_object"));
  if (platform::ToLong(error_object->Field("number")) != wg.error_number() ||
      platform::ToText(error_object->Field("description")) != wg.error_description() ||
      platform::ToLong(record->Field("long_value")) != wg.answer_long() ||
      platform::ToText(record->Field("string_value")) != wg.answer_string()) {
    Fail("the record and the properties differ");
  }
  // A session that opened sent the secret line and one command line, each
  // ending in its only CR LF.
  if (expected.number != kNoConnection && session_number == kSuccess &&
      expected.number != kKeyTooLong && expected.number != kInvalidCharacter) {
    if (script.sent.size() != 2) Fail("an open session did not send exactly two lines");
    for (const std::string& line : script.sent) {
      if (line.size() < 2 || line.find("\r\n") != line.size() - 2)
        Fail("a line break inside a line");
    }
  }
  return 0;
}
