// SPDX-License-Identifier: MIT

// Settings readers, socket creation and the session opener of WG.

#include <optional>
#include <string_view>

#include "reply_rules.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/numeric_text.h"

namespace morvane {
namespace {

// What the server module says during the handshake. Each text counts only
// when the two end-of-value characters follow it directly.
constexpr std::string_view kBusyGreeting =
    "Sorry, already too many requests.  Try again later!\u00F5\u00F5";
constexpr std::string_view kSecretPrompt =
    "Please enter your secret string to continue.\u00F5\u00F5";
constexpr std::string_view kWrongSecretAnswer = "Goodbye.\u00F5\u00F5";
constexpr std::string_view kMasterPrompt = "What is your wish my master?\u00F5\u00F5";

// One address field of the settings file, trimmed, or `fallback`
// when the file does not exist.
std::string ReadSetting(std::string (SettingsRecord::*field)() const, const char* fallback) {
  const std::optional<SettingsRecord> record = ReadSettingsRecordIfPresent(SettingsFilePath());
  if (!record) return fallback;
  return std::string(TrimSpaces(((*record).*field)()));
}

}  // namespace

std::string WG::GetLocalHost() const {
  return ReadSetting(&SettingsRecord::local_host, kDefaultLocalHost);
}

std::string WG::GetRemoteHost() const {
  return ReadSetting(&SettingsRecord::remote_host, kDefaultRemoteHost);
}

int32_t WG::GetLocalPort() const {
  const std::optional<SettingsRecord> record = ReadSettingsRecordIfPresent(SettingsFilePath());
  if (!record) return kDefaultPort;
  return platform::TextToLong(TrimSpaces(record->port()));
}

std::shared_ptr<platform::TcpSocket> WG::InitWinsock() const {
  auto socket = platform::CreateObjectAs<platform::TcpSocket>(platform::kTcpSocketProgId);
  // One read for all three values: a settings tool rewriting the file
  // meanwhile must not leave us with the old host and the new port.
  const std::optional<SettingsRecord> record = ReadSettingsRecordIfPresent(SettingsFilePath());
  if (!record) {
    socket->SetLocalHost(kDefaultLocalHost);
    socket->SetRemoteHost(kDefaultRemoteHost);
    socket->SetRemotePort(kDefaultPort);
    return socket;
  }
  socket->SetLocalHost(std::string(TrimSpaces(record->local_host())));
  socket->SetRemoteHost(std::string(TrimSpaces(record->remote_host())));
  socket->SetRemotePort(platform::TextToLong(TrimSpaces(record->port())));
  return socket;
}

ConnectObject WG::OpenSession(const std::string& secret) {
  // The socket first: InitWinsock may raise, and nothing else is built yet.
  std::shared_ptr<platform::TcpSocket> sock = InitWinsock();
  ConnectObject session{{kSuccess, std::string(kSuccessText)}, std::move(sock)};
  platform::TcpSocket& socket = *session.sock;
  const auto fail = [&](int32_t number, std::string_view text) {
    session.error_object = {number, std::string(text)};
    socket.Close();
    return session;
  };

  if (socket.Connect() == platform::kSocketFailed) return fail(kNoConnection, kNoConnectionText);
  std::string greeting;
  if (socket.Receive(greeting, platform::kReceiveText) == platform::kSocketFailed) {
    return fail(kBadCommunication, kBadCommunicationText);
  }
  // A greeting with both texts counts as a refusal.
  const FoldedReply folded_greeting(greeting);
  if (folded_greeting.Contains(kBusyGreeting)) return fail(kServerBusy, kServerBusyText);
  if (!folded_greeting.Contains(kSecretPrompt)) return fail(kOutOfSync, kOutOfSyncText);

  if (socket.Send(secret + "\r\n") == platform::kSocketFailed) {
    return fail(kWrongSecret, kWrongSecretText);
  }
  std::string answer;
  if (socket.Receive(answer, platform::kReceiveText) == platform::kSocketFailed) {
    return fail(kWrongSecret, kWrongSecretText);
  }
  const FoldedReply folded_answer(answer);
  if (folded_answer.Contains(kWrongSecretAnswer)) return fail(kWrongSecret, kWrongSecretText);
  if (!folded_answer.Contains(kMasterPrompt)) return fail(kOutOfSync, kOutOfSyncText);
  return session;
}

}  // namespace morvane
