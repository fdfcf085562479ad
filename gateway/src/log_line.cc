// SPDX-License-Identifier: MIT

// WG::Logit: one dated line appended to tarnel.log.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

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

}  // namespace

void WG::Logit(std::string& data) {
  // A line break in the data would let a caller forge a second record.
  std::replace_if(
      data.begin(), data.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
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
