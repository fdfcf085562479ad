// SPDX-License-Identifier: MIT

#include "session_protocol.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "tessaly/platform/ansi_text.h"
#include "wire_texts.h"

namespace wgsim {
namespace {

// The longest command word the log repeats.
constexpr size_t kMaxLoggedWord = 32;

// The command word of `line` as the log shows it: printable ASCII only.
std::string LoggedWord(std::string_view line) {
  std::string word;
  for (const char c : line.substr(0, line.find(' '))) {
    if (word.size() == kMaxLoggedWord) break;
    const auto byte = static_cast<unsigned char>(c);
    word += byte > 0x20 && byte < 0x7F ? static_cast<char>(std::toupper(byte)) : '?';
  }
  return word;
}

// The reply as the log shows it: up to its end mark or line end.
std::string LoggedReply(std::string_view reply) {
  const size_t end = std::min(reply.find(wire::kEndMark), reply.find(wire::kLineEnd));
  return std::string(reply.substr(0, end));
}

SessionProtocol::Step MakeStep(std::string bytes, bool close,
                               SessionProtocol::Event event = SessionProtocol::Event::kNone,
                               std::string command = {}, std::string reply = {}) {
  return {std::move(bytes), close, event, std::move(command), std::move(reply)};
}

// The answer to a command line that cannot be a command, which ends the
// session; `logged_command` is what the log shows for the line.
SessionProtocol::Step MalformedStep(std::string logged_command) {
  return MakeStep(platform::Utf8ToAnsi(std::string(wire::kMalformed) + std::string(wire::kLineEnd)),
                  true, SessionProtocol::Event::kCommand, std::move(logged_command),
                  std::string(wire::kMalformed));
}

// A handshake text with its two end marks, as bytes.
std::string Prompt(std::string_view text) {
  return platform::Utf8ToAnsi(std::string(text) + std::string(wire::kEndMark) +
                              std::string(wire::kEndMark));
}

}  // namespace

SessionProtocol::SessionProtocol(std::string_view secret, std::string_view banner,
                                 const CommandHandler& handler, std::string peer)
    : secret_bytes_(platform::Utf8ToAnsi(secret)),
      banner_bytes_(platform::Utf8ToAnsi(banner)),
      handler_(handler),
      peer_(std::move(peer)) {}

std::string SessionProtocol::Greeting() const {
  std::string greeting;
  if (!banner_bytes_.empty()) greeting = banner_bytes_ + std::string(wire::kLineEnd);
  return greeting + Prompt(wire::kSecretPrompt);
}

std::string SessionProtocol::BusyGreeting() { return Prompt(wire::kBusyGreeting); }

SessionProtocol::Step SessionProtocol::OnLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  switch (state_) {
    case State::kAwaitingSecret:
      if (line != secret_bytes_) {
        state_ = State::kDone;
        return MakeStep(Prompt(wire::kGoodbye), true, Event::kSecretRefused);
      }
      state_ = State::kAwaitingCommand;
      return MakeStep(Prompt(wire::kMasterPrompt), false, Event::kSecretAccepted);
    case State::kAwaitingCommand: {
      state_ = State::kDone;
      // A NUL has no place in a command line; the text after it could not
      // be told apart from the end of a C string on the host.
      if (line.find('\0') != std::string_view::npos) {
        return MalformedStep(LoggedWord(line));
      }
      const std::string reply = handler_.Reply(platform::AnsiToUtf8(line), peer_);
      return MakeStep(platform::Utf8ToAnsi(reply), true, Event::kCommand, LoggedWord(line),
                      LoggedReply(reply));
    }
    case State::kDone: break;
  }
  return MakeStep("", true);
}

SessionProtocol::Step SessionProtocol::OnLineTooLong() {
  const State was = std::exchange(state_, State::kDone);
  if (was == State::kAwaitingSecret)
    return MakeStep(Prompt(wire::kGoodbye), true, Event::kSecretRefused);
  if (was == State::kAwaitingCommand) {
    return MalformedStep("(too long)");
  }
  return MakeStep("", true);
}

}  // namespace wgsim
