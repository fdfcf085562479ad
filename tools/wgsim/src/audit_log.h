// SPDX-License-Identifier: MIT

// The audit log: the messages clients hand to the host with AUDITMESSAGE,
// one line each, appended to a file.

#ifndef WGSIM_SRC_AUDIT_LOG_H_
#define WGSIM_SRC_AUDIT_LOG_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace wgsim {

class AuditLog {
 public:
  // A log appended to the file at `path` (created when missing), or to
  // standard error when `path` is empty.
  explicit AuditLog(std::filesystem::path path);

  // Appends "YYYY-MM-DD HH:MM:SS PEER MESSAGE" and a line feed, in one
  // write, so that lines of concurrent sessions never mix. Control
  // characters of the message become '?'. Returns false, with the reason in
  // `error` when given, when the line could not be written.
  bool Append(std::string_view peer, std::string_view message, std::string* error = nullptr) const;

  const std::filesystem::path& path() const { return path_; }

 private:
  const std::filesystem::path path_;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_AUDIT_LOG_H_
