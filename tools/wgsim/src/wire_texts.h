// SPDX-License-Identifier: MIT

// The fixed texts of the server module's side of the protocol. Clients
// search replies for them without regard to letter case, so their wording
// is part of the protocol and must not change.

#ifndef WGSIM_SRC_WIRE_TEXTS_H_
#define WGSIM_SRC_WIRE_TEXTS_H_

#include <string_view>

namespace wgsim::wire {

// The character that ends a prompt (twice) and a reply value (once): the
// letter o with tilde, byte 0xF5 in Windows-1252, written here in UTF-8.
// A copy of the platform's constant on purpose: the simulator checks the gateway independently.
inline constexpr std::string_view kEndMark = "\u00F5";
inline constexpr std::string_view kLineEnd = "\r\n";
// Between the words of a value reply and the value.
inline constexpr std::string_view kValueMarker = " is : ";

// Handshake. Each is sent followed by kEndMark twice.
inline constexpr std::string_view kBusyGreeting =
    "Sorry, already too many requests.  Try again later!";
inline constexpr std::string_view kSecretPrompt = "Please enter your secret string to continue.";
inline constexpr std::string_view kGoodbye = "Goodbye.";
inline constexpr std::string_view kMasterPrompt = "What is your wish my master?";

// Errors.
inline constexpr std::string_view kMalformed = "Malformed request syntax";
inline constexpr std::string_view kNoSuchCommand = "No such command";
inline constexpr std::string_view kNoSuchUser = "No such user";
inline constexpr std::string_view kUnableToComply = "Unable to comply";
inline constexpr std::string_view kNoSuchSystemVariable = "No such system variable exists";
inline constexpr std::string_view kNegativeDays = "Action would place user at negative days";
inline constexpr std::string_view kNoSuchClass = "No such class";
inline constexpr std::string_view kUserProtected = "User is protected";
inline constexpr std::string_view kNoSuchField = "No such field";

// Answers. A yes must not hold the letters "no" side by side in any case:
// clients read those as a no.
inline constexpr std::string_view kYes = "YES";
inline constexpr std::string_view kNo = "NO";
inline constexpr std::string_view kOk = "Ok";
inline constexpr std::string_view kUserExists = "User exists";
inline constexpr std::string_view kPasswordCorrect = "Password is correct";
inline constexpr std::string_view kPasswordIncorrect = "Password is incorrect";
inline constexpr std::string_view kUserDeleted = "User is deleted";
inline constexpr std::string_view kUserUndeleted = "User is undeleted";
inline constexpr std::string_view kUserSuspended = "User is suspended";
inline constexpr std::string_view kUserUnsuspended = "User is unsuspended";
inline constexpr std::string_view kKeyGiven = "Key given";
inline constexpr std::string_view kKeyTaken = "Key taken";
inline constexpr std::string_view kFieldUpdated = "Field updated";
inline constexpr std::string_view kAuditRecorded = "Audit message recorded";

}  // namespace wgsim::wire

#endif  // WGSIM_SRC_WIRE_TEXTS_H_
