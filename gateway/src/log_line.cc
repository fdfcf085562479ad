// SPDX-License-Identifier: MIT

// WG::Logit: one dated line appended to tarnel.log.

#include <algorithm>

#include "tessaly/morvane/wg.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/local_time.h"

namespace morvane {

void WG::Logit(std::string& data) {
  // A line break in the data would let a caller forge a second record.
  std::replace_if(
      data.begin(), data.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  data = platform::ShortDateAndTime() + " - " + data;
  // One write per record: appends of several writers never interleave.
  platform::AppendWhole(kLogFileName, "\"" + data + "\"\r\n");
}

}  // namespace morvane
