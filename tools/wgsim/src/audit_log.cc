// SPDX-License-Identifier: MIT

#include "audit_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "control_bytes.h"
#include "tessaly/platform/unique_fd.h"

namespace wgsim {

AuditLog::AuditLog(std::filesystem::path path) : path_(std::move(path)) {}

bool AuditLog::Append(std::string_view peer, std::string_view message, std::string* error) const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);

  std::string line = std::string(stamp) + " " + std::string(peer) + " ";
  AppendWithoutControls(message, line);
  line += '\n';

  platform::UniqueFd file;
  int fd = STDERR_FILENO;
  if (!path_.empty()) {
    file.Reset(::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    fd = file.get();
  }
  // O_APPEND makes one write land whole at the end of the file.
  const ssize_t written = fd < 0 ? -1 : ::write(fd, line.data(), line.size());
  if (written == static_cast<ssize_t>(line.size())) return true;
  if (error != nullptr) {
    // Taken before anything else can change it. A write cut short by a
    // full disk or a size limit sets no errno at all.
    const int reason = errno;
    *error = "cannot append to " + path_.string() + ": " +
             (written < 0 ? std::string(std::strerror(reason))
                          : "only " + std::to_string(written) + " of " +
                                std::to_string(line.size()) + " bytes written");
  }
  return false;
}

}  // namespace wgsim
