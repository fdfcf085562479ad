// SPDX-License-Identifier: MIT

// WG::Logit: one dated line appended to tarnel.log.

#include <string_view>

#include "tessaly/morvane/wg.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/local_time.h"

namespace morvane {
namespace {

// `data` with each character that some reader of the log takes for a line
// break written as one blank: the C0 control characters, CR and LF among
// them, and NEL (U+0085, C2 85 in UTF-8).
std::string OnOneLine(std::string_view data) {
  constexpr char kNelLead = '\xC2', kNelTrail = '\x85';
  std::string line;
  line.reserve(data.size());
  for (size_t i = 0; i < data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(data[i]);
    if (byte < 0x20) {
      line += ' ';
    } else if (data[i] == kNelLead && i + 1 < data.size() && data[i + 1] == kNelTrail) {
      line += ' ';
      ++i;
    } else {
      line += data[i];
    }
  }
  return line;
}

}  // namespace

void WG::Logit(std::string& data) {
  // A line break in the data would let a caller forge a second record.
  data = OnOneLine(data);
  data = platform::ShortDateAndTime() + " - " + data;
  // One write per record: appends of several writers never interleave.
  platform::AppendWhole(kLogFileName, "\"" + data + "\"\r\n");
}

}  // namespace morvane
