// SPDX-License-Identifier: MIT

// Control characters in text that reaches a log line or a file: what
// counts as one, and how a log shows one.

#ifndef WGSIM_SRC_CONTROL_BYTES_H_
#define WGSIM_SRC_CONTROL_BYTES_H_

#include <algorithm>
#include <string>
#include <string_view>

namespace wgsim {

// What a log line shows in place of a control character, so that a line
// feed or an escape sequence from a client can neither split the line nor
// reach the terminal.
constexpr char kControlStandIn = '?';

// Whether `byte` is a control character: below space, or DEL.
constexpr bool IsControlByte(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// Whether `text` holds a control character.
inline bool HoldsControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return IsControlByte(static_cast<unsigned char>(c)); });
}

// Appends `text` to `line` with each control character as kControlStandIn.
inline void AppendWithoutControls(std::string_view text, std::string& line) {
  for (const char c : text) {
    line += IsControlByte(static_cast<unsigned char>(c)) ? kControlStandIn : c;
  }
}

}  // namespace wgsim

#endif  // WGSIM_SRC_CONTROL_BYTES_H_
