// SPDX-License-Identifier: MIT

// WG::Logit: one dated line appended to tarnel.log.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <string_view>

#include "tessaly/morvane/wg.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/unique_fd.h"

namespace morvane {
namespace {

// The short date of the user's locale (from the environment, without
// touching the process's global locale) and the time as HH:MM.
std::string DateAndTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  std::ostringstream out;
  try {
    out.imbue(std::locale(""));
  } catch (const std::runtime_error&) {
    // An unknown locale in the environment: keep the classic one.
  }
  out << std::put_time(&local, "%x %H:%M");
  return out.str();
}

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
  data = DateAndTime() + " - " + data;
  const std::string record = "\"" + data + "\"\r\n";
  platform::UniqueFd log(::open(kLogFileName, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (!log) throw platform::FileError(errno, kLogFileName);
  // One write per record: appends of several writers never interleave.
  ssize_t written;
  do {
    written = ::write(log.get(), record.data(), record.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) throw platform::FileError(errno, kLogFileName);
  if (static_cast<size_t>(written) != record.size()) {
    throw platform::PlatformError(platform::kDeviceIOError, std::string(kLogFileName));
  }
}

}  // namespace morvane
