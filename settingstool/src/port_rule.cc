// SPDX-License-Identifier: MIT

#include "ravelset/port_rule.h"

#include "ravelset/form1_host.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/numeric_text.h"

namespace ravelset {

bool ValidPort(std::string_view text) {
  // The length is judged before the number: "032000" is refused although
  // its value would do, because the box could never hold it.
  if (platform::Utf8Length(text) > kPortBoxMaxLength) return false;
  const auto port = platform::ParseLong(text);  // rounds halves to even
  return port && *port >= kLowestPort && *port <= kHighestPort;
}

}  // namespace ravelset
