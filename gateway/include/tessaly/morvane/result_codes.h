// SPDX-License-Identifier: MIT

// Result codes and their fixed texts, as script pages receive them in
// error_number and error_description. The texts are the component's own,
// spelling included, and must not change: pages compare against them.

#ifndef TESSALY_MORVANE_RESULT_CODES_H_
#define TESSALY_MORVANE_RESULT_CODES_H_

#include <cstdint>
#include <string_view>

namespace morvane {

// Every answer the server gave: the value is in answer_long / answer_string.
inline constexpr int32_t kSuccess = 0;
inline constexpr std::string_view kSuccessText =
    "No error occured, return value is a literal answer";

// Session opening.
inline constexpr int32_t kServerBusy = -501;
inline constexpr std::string_view kServerBusyText =
    "Error Code -501: Server too busy, try again later.";
inline constexpr int32_t kOutOfSync = -502;
inline constexpr std::string_view kOutOfSyncText =
    "Error Code -502: Socket out of sync, reconnect.";
inline constexpr int32_t kWrongSecret = -503;
inline constexpr std::string_view kWrongSecretText = "Error Code -503: Incorrect secret phrase.";
inline constexpr int32_t kNoConnection = -504;
inline constexpr std::string_view kNoConnectionText = "Unable to open socket connection to server";
// No greeting came; also a command whose line could not be sent or whose
// reply did not arrive.
inline constexpr int32_t kBadCommunication = -506;
inline constexpr std::string_view kBadCommunicationText =
    "Error Code -506: Bad communication with server";

// Commands.
inline constexpr int32_t kNoSuchCommand = -100;
inline constexpr std::string_view kNoSuchCommandText = "No such command";
inline constexpr int32_t kNoSuchUser = -101;
inline constexpr std::string_view kNoSuchUserText = "No such user exists";
// A key longer than kMaxKeyLength characters; nothing was sent.
inline constexpr int32_t kKeyTooLong = -102;
inline constexpr std::string_view kKeyTooLongText = "-102";
inline constexpr int32_t kNotComplied = -104;
inline constexpr std::string_view kNotCompliedText = "Server returned an unknown error";
inline constexpr int32_t kNegativeDays = -105;
inline constexpr std::string_view kNegativeDaysText =
    "This AddDays action would result in the user having negative days";
inline constexpr int32_t kNoSuchSystemVariable = -106;
inline constexpr std::string_view kNoSuchSystemVariableText = "No such system variable exists";
inline constexpr int32_t kNoSuchClass = -107;
inline constexpr std::string_view kNoSuchClassText = "No such class";
inline constexpr int32_t kUserProtected = -108;
inline constexpr std::string_view kUserProtectedText = "User is protected";
// An argument (the secret phrase included) held CR, LF or NUL, which would
// let it smuggle a second command line, or a character Windows-1252 lacks,
// which would reach the server as '?'; nothing was sent.
inline constexpr int32_t kInvalidCharacter = -109;
inline constexpr std::string_view kInvalidCharacterText =
    "Error Code -109: Invalid character in argument";
inline constexpr int32_t kMalformedRequest = -110;
inline constexpr std::string_view kMalformedRequestText = "Malformed request syntax";

// The status words some commands put into answer_string.
inline constexpr std::string_view kErrorWord = "Error";
inline constexpr std::string_view kNoErrorWord = "No Error";

// The longest key, in characters, that GiveKey, TakeKey and HasKey send.
inline constexpr size_t kMaxKeyLength = 15;

}  // namespace morvane

#endif  // TESSALY_MORVANE_RESULT_CODES_H_
