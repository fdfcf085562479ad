// SPDX-License-Identifier: MIT

#include "answer_end.h"

#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/tcp_socket.h"

namespace platform {
namespace {

bool IsEndOfValue(char byte) { return byte == kEndOfValueByte || byte == kEndOfValueCapitalByte; }

}  // namespace

bool HoldsContent(std::string_view bytes) {
  return bytes.find_first_not_of("\r\n") != std::string_view::npos;
}

bool EndsAnswer(std::string_view bytes, int16_t mode) {
  const size_t size = bytes.size();
  if (size < 2) return false;
  const char last = bytes[size - 1], before = bytes[size - 2];
  if (before == '\r' && last == '\n') return true;
  // Two end-of-value characters end the server's prompts only. A command's
  // answer may repeat what the caller sent, a user ID ending in them among
  // it, and must not end there. A single one is never enough: the second
  // may still be on its way in a segment of its own.
  return mode == kReceivePrompt && IsEndOfValue(before) && IsEndOfValue(last);
}

}  // namespace platform
