// SPDX-License-Identifier: MIT

// The wording of what the settings window tells the user about a settings
// file it could not use as it stands.

#ifndef RAVELSET_SRC_LOAD_REPORT_H_
#define RAVELSET_SRC_LOAD_REPORT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ravelset/address_field.h"
#include "tessaly/platform/error.h"

namespace ravelset {

// Where the user will correct the settings, which decides the advice that
// ends a message: the window (press OK) or the command line (ravelset --set).
enum class SaveAdvice { kWindow, kCommandLine };

// Collects the faults found while loading one settings file and words
// them as one message.
class LoadReport {
 public:
  // The file held only `bytes_found` bytes of its 60-byte record.
  void ShortFile(size_t bytes_found);

  // Checks an address field (20 characters as stored) that has been taken
  // apart into `parts`; `name` is how the window calls it ("Local Host IP").
  void Address(std::string_view name, std::string_view field, const AddressField& parts);

  // Checks the port field as stored against the text the port box shows.
  void Port(std::string_view field, std::string_view box_text);

  bool empty() const { return faults_.empty(); }
  const std::vector<std::string>& faults() const { return faults_; }

  // The message for the file at `path`: the faults, one a line.
  std::string Message(const std::string& path, SaveAdvice advice) const;

 private:
  std::vector<std::string> faults_;
};

// The system's reason for a failed file operation, such as "Permission
// denied", taken from the error.
std::string FileErrorReason(const platform::PlatformError& error);

// The message for a settings file at `path` that exists but cannot be read.
std::string UnreadableFileMessage(const std::string& path, const std::string& reason,
                                  SaveAdvice advice);

// The message for a settings path that holds a directory, a pipe or a
// device: it is neither read nor written.
std::string NotAFileMessage(const std::string& path, SaveAdvice advice);

// What a symbolic link at `path` points to when that does not exist (a
// dangling link, which the settings file is never written through);
// nullopt for anything else.
std::optional<std::string> DanglingLinkTarget(const std::string& path);

// The reason given for a dangling link at the settings path.
std::string DanglingLinkReason(const std::string& target);

// The message for settings that could not be written to `path`.
std::string SaveFailedMessage(const std::string& path, const std::string& reason);

}  // namespace ravelset

#endif  // RAVELSET_SRC_LOAD_REPORT_H_
