// SPDX-License-Identifier: MIT

// Settings readers, socket creation and the session opener of WG.

#include <cstdint>
#include <optional>
#include <string_view>

#include "ascii_words.h"
#include "reply_rules.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/ansi_text.h"
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

// Field `index` of `record` as UTF-8, trimmed. A field of plain ASCII, the
// usual host or port, reads the same in both encodings and is viewed where
// it stands; any other is converted into `converted`, which must outlive
// the view.
std::string_view TrimmedField(const SettingsRecord& record, size_t index, std::string& converted) {
  const std::string_view bytes =
      record.bytes().substr(SettingsRecord::FieldOffset(index), SettingsRecord::kFieldWidth);
  if (platform::ascii_words::IsAscii(bytes)) return TrimSpaces(bytes);
  converted = platform::AnsiToUtf8(bytes);
  return TrimSpaces(converted);
}

// The settings record, read afresh, or nullopt when the file is absent and
// the defaults hold.
std::optional<SettingsRecord> ReadSettings() {
  return ReadSettingsRecordIfPresent(SettingsFilePath());
}

// Address field `index` of `record`, trimmed, or `fallback` without one.
std::string HostSetting(const std::optional<SettingsRecord>& record, size_t index,
                        const char* fallback) {
  if (!record) return fallback;
  std::string converted;
  return std::string(TrimmedField(*record, index, converted));
}

// The port of `record`, or the default without one. Raises 13 or 6 when
// the stored port is not a 32-bit number.
int32_t PortSetting(const std::optional<SettingsRecord>& record) {
  if (!record) return kDefaultPort;
  std::string converted;
  return platform::TextToLong(TrimmedField(*record, SettingsRecord::kPortField, converted));
}

}  // namespace

std::string WG::GetLocalHost() const {
  return HostSetting(ReadSettings(), SettingsRecord::kLocalHostField, kDefaultLocalHost);
}

std::string WG::GetRemoteHost() const {
  return HostSetting(ReadSettings(), SettingsRecord::kRemoteHostField, kDefaultRemoteHost);
}

int32_t WG::GetLocalPort() const { return PortSetting(ReadSettings()); }

std::shared_ptr<platform::TcpSocket> WG::InitWinsock() const {
  auto socket = platform::CreateObjectAs<platform::TcpSocket>(platform::kTcpSocketProgId);
  // One read for all three values: a settings tool rewriting the file
  // meanwhile must not leave us with the old host and the new port.
  const std::optional<SettingsRecord> record = ReadSettings();
  socket->SetLocalHost(HostSetting(record, SettingsRecord::kLocalHostField, kDefaultLocalHost));
  socket->SetRemoteHost(HostSetting(record, SettingsRecord::kRemoteHostField, kDefaultRemoteHost));
  socket->SetRemotePort(PortSetting(record));
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
  if (socket.Receive(greeting, platform::kReceivePrompt) == platform::kSocketFailed) {
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
  if (socket.Receive(answer, platform::kReceivePrompt) == platform::kSocketFailed) {
    return fail(kWrongSecret, kWrongSecretText);
  }
  const FoldedReply folded_answer(answer);
  if (folded_answer.Contains(kWrongSecretAnswer)) return fail(kWrongSecret, kWrongSecretText);
  if (!folded_answer.Contains(kMasterPrompt)) return fail(kOutOfSync, kOutOfSyncText);
  return session;
}

}  // namespace morvane
