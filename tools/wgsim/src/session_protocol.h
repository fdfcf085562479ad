// SPDX-License-Identifier: MIT

// One session of the server module, without the socket: the greeting, the
// secret phrase, then exactly one command, as bytes on the wire.
//
// The wire carries Windows-1252; command lines are converted to UTF-8 for
// the CommandHandler and its replies back to Windows-1252, so the end mark
// "õ" of prompts and values goes out as the byte 0xF5.

#ifndef WGSIM_SRC_SESSION_PROTOCOL_H_
#define WGSIM_SRC_SESSION_PROTOCOL_H_

#include <string>
#include <string_view>

#include "command_handler.h"

namespace wgsim {

class SessionProtocol {
 public:
  // What to send, and whether the session ends after sending it.
  // What a line turned out to be, for the log.
  enum class Event { kNone, kSecretAccepted, kSecretRefused, kCommand };

  struct Step {
    std::string bytes;
    bool close = false;
    Event event = Event::kNone;
    // For kCommand: the command word as sent, in capitals and at most 32
    // printable characters, and the first line of the reply without its
    // end marks. Never the arguments, which may hold a password.
    std::string command;
    std::string reply;
  };

  // A session that asks for `secret` (UTF-8) and then runs one command
  // with `handler`. `banner`, when not empty, is sent as a line of its own
  // before the prompt. `peer` names the client for the audit log.
  SessionProtocol(std::string_view secret, std::string_view banner, const CommandHandler& handler,
                  std::string peer);

  // The first bytes of the session: the banner line, if any, and the
  // secret prompt followed by two end marks.
  std::string Greeting() const;

  // The answer to one line the client sent: `line` is the raw bytes
  // without the line feed that ended it (a CR before it is dropped here).
  // First the secret phrase: "Goodbye." and close when it is wrong, the
  // master prompt when it is right. Then the command: its reply and close.
  Step OnLine(std::string_view line);

  // The answer when the client's line ran past the longest allowed: a
  // secret that long is wrong, a command that long malformed. Both close.
  Step OnLineTooLong();

  // What a client beyond the session limit receives before the close.
  static std::string BusyGreeting();

 private:
  enum class State { kAwaitingSecret, kAwaitingCommand, kDone };

  const std::string secret_bytes_;
  const std::string banner_bytes_;
  const CommandHandler& handler_;
  const std::string peer_;
  State state_ = State::kAwaitingSecret;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_SESSION_PROTOCOL_H_
