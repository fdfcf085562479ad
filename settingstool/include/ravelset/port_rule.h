// SPDX-License-Identifier: MIT

// The rule a port text must pass before the settings tool stores it.

#ifndef RAVELSET_PORT_RULE_H_
#define RAVELSET_PORT_RULE_H_

#include <string_view>

namespace ravelset {

// The smallest and largest port the tool accepts.
inline constexpr int kLowestPort = 1;
inline constexpr int kHighestPort = 32000;

// True when `text` (UTF-8) has at most 5 characters, counted as they stand
// (blanks and leading zeros count), and reads as a number whose nearest
// whole value, halves going to the even neighbour, lies from kLowestPort to
// kHighestPort. Blanks around the digits are allowed; the empty text and
// text that is no number fail. The text itself, not the number, is what
// gets stored.
bool ValidPort(std::string_view text);

}  // namespace ravelset

#endif  // RAVELSET_PORT_RULE_H_
