#include "session_protocol.h"

#include <utility>

#include "platform/ansi_text.h"
#include "wire_texts.h"

namespace wgsim {
namespace {

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
        return {Prompt(wire::kGoodbye), true};
      }
      state_ = State::kAwaitingCommand;
      return {Prompt(wire::kMasterPrompt), false};
    case State::kAwaitingCommand: {
      state_ = State::kDone;
      // A NUL has no place in a command line; the text after it could not
      // be told apart from the end of a C string on the host.
      if (line.find('\0') != std::string_view::npos) {
        return {platform::Utf8ToAnsi(std::string(wire::kMalformed) + std::string(wire::kLineEnd)), true};
      }
      const std::string reply = handler_.Reply(platform::AnsiToUtf8(line), peer_);
      return {platform::Utf8ToAnsi(reply), true};
    }
    case State::kDone: break;
  }
  return {"", true};
}

SessionProtocol::Step SessionProtocol::OnLineTooLong() {
  const State was = std::exchange(state_, State::kDone);
  if (was == State::kAwaitingSecret) return {Prompt(wire::kGoodbye), true};
  if (was == State::kAwaitingCommand) {
    return {platform::Utf8ToAnsi(std::string(wire::kMalformed) + std::string(wire::kLineEnd)), true};
  }
  return {"", true};
}

}  // namespace wgsim
